#include "core/globals.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "recordlist/bookings.h"
#include "recordlist/idlookup.h"
#include "tests/recordlist/listtestsupport.h"
#include "tests/testsupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace listtest;

namespace {

class Bookings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        initRADEGridColumns(grids.igRADE, grids.igRADE2);
    }

    // Loads the lines as a booking file.
    bool load(const QStringList& lines, const QString& assigned = QString(),
              const ListSortSettings& sort = {"None", "", ""})
    {
        const QString path = dir.filePath("bookings.txt");
        testsupport::writeAll(path, lines.join("\r\n").toUtf8());
        return loadEBMSBookingFile(path, grids, assigned, sort);
    }

    QTemporaryDir dir;
    DataGrids grids;
};

TEST_F(Bookings, NumbersCountEveryNonEmptyLineAndTheStatusMustBe29To50)
{
    ASSERT_TRUE(load({
        "Event,HHResource,Start,End,Date,X,Status", // header: number 1
        "E1,R1,0900,1000,20240101,x,29",            // 2 kept
        "E1,R1,0900,1000,20240101,x,28",            // 3
        "E1,R1,0900,1000,20240101,x,50",            // 4 kept
        "",                                         // not counted
        "E1,R1,0900,1000,20240101,x,51",            // 5
        "E1,R1,0900,1000,20240101,x,",              // 6
        "E1,R1,0900,1000,20240101,x,many",          // 7
        "E1,R1,0900",                               // 8: no status
        "E1,hh,0900,1000,20240101,x,\" 40 \"",      // 9 kept: a lower-case hh is no header
        "E1,R1,0900,1000,20240101,x,50.1",          // 10
    }));
    EXPECT_EQ(column(grids.igBook2, "BID"), QStringList({"2", "4", "9"}));
    EXPECT_EQ(column(grids.igBook, "BID"), QStringList({"2", "4", "9"}));
    EXPECT_EQ(column(grids.igBook, "Line 9"), QStringList({"29", "50", "40"}));
}

TEST_F(Bookings, FieldsAreCleanedAndTimesPadded)
{
    ASSERT_TRUE(load({"\" E1 \", R1 ,\"930\",1400, \"20240101\" ,x,45", "E2,R2,5,TBA,d,x,45"}));
    EXPECT_EQ(grids.igBook2.RowValues(1), QStringList({"1", "E1", "R1", "0930", "1400", "20240101"}));
    EXPECT_EQ(grids.igBook2.RowValues(2), QStringList({"2", "E2", "R2", "0005", "TBA", "d"}));
}

TEST_F(Bookings, BookingsJoinEveryMatchingFunctionRecordOfTheirEvent)
{
    Grid& rade = grids.igRADE;
    addFunction(rade, "E1", "Y", "0800", "R1", "Gala"); // 1
    addFunction(rade, "E2", "Y", "0900", "R1");         // 2
    addFunction(rade, "E1", "N", "1000", "R1");         // 3 not a function record
    addFunction(rade, "E1", "y", "1100", "R1");         // 4
    addFunction(rade, "E1", "Y", "1200", "R2");         // 5 other room
    addFunction(rade, "E3", "N", "1300", "R1", "Show"); // 6
    addFunction(rade, "E1", "Y", "1400", "R1");         // 7 the last row
    rade.SetCellValue(7, "Line 6", " 20240101 ");
    fillIDLookup({"R1,Room one", "R2,Room two"}, grids.igIDLookup);

    ASSERT_TRUE(load({"E1,R1,0700,2300,d,x,40", "E9,R2,0700,2300,d,x,40", "E3,R1,0700,2300,d,x,40"}));
    EXPECT_EQ(column(grids.igBook, "BID"), QStringList({"1", "1", "1", "2", "3"}));
    EXPECT_EQ(column(grids.igBook, "Line 10"), QStringList({"0800", "1100", "1400", "", ""}));
    EXPECT_EQ(column(grids.igBook, "Line 7"), QStringList({"E1@R1", "E1@R1", "E1@R1", "", ""}));
    EXPECT_EQ(column(grids.igBook, "FSD"), QStringList({"", "", "20240101", "", ""}));
    // The event title comes from the first scanned record of the event, whatever its flag.
    EXPECT_EQ(column(grids.igBook, "Line 6"), QStringList({"Gala", "E1 title", "E1 title", "", "Show"}));
    EXPECT_EQ(column(grids.igBook, "Line 8"),
              QStringList({"Room one", "Room one", "Room one", "Room two", "Room one"}));

    // A booking whose only function record is the last row gets exactly one row.
    rade.Clear();
    addFunction(rade, "E2", "Y", "0900", "R1");
    addFunction(rade, "E1", "Y", "1400", "R1");
    ASSERT_TRUE(load({"E1,R1,0700,2300,d,x,40"}));
    EXPECT_EQ(column(grids.igBook, "Line 10"), QStringList({"1400"}));
}

TEST_F(Bookings, AssignedLocationsMatchFunctionsInOtherRooms)
{
    addFunction(grids.igRADE, "E1", "Y", "0800", "R7");
    addFunction(grids.igRADE, "E1", "Y", "0900", "");
    addFunction(grids.igRADE, "E1", "Y", "1000", "R8");
    const QStringList booking = {"E1,R1,0700,2300,d,x,40"};

    ASSERT_TRUE(load(booking));
    EXPECT_EQ(column(grids.igBook, "Line 10"), QStringList({""}));
    ASSERT_TRUE(load(booking, " R5 ; R7 "));
    EXPECT_EQ(column(grids.igBook, "Line 10"), QStringList({"0800"}));
    // Empty items match nothing, not even a function without a location.
    ASSERT_TRUE(load(booking, "R5;;R8; "));
    EXPECT_EQ(column(grids.igBook, "Line 10"), QStringList({"1000"}));
    // Locations compare exactly.
    ASSERT_TRUE(load(booking, "r7"));
    EXPECT_EQ(column(grids.igBook, "Line 10"), QStringList({""}));
}

TEST_F(Bookings, BothGridsAreSortedBySortSettings)
{
    const QStringList lines = {"E2,R1,1200,1300,d,x,40", "E1,R1,0900,1000,d,x,40", "E3,R1,1000,1100,d,x,40"};
    ASSERT_TRUE(load(lines, QString(), {"Ascending", "None", "Line 3"}));
    EXPECT_EQ(column(grids.igBook, "Line 3"), column(grids.igBook2, "Line 3"));
    EXPECT_EQ(column(grids.igBook2, "Line 3"), QStringList({"0900", "1000", "1200"}));
    ASSERT_TRUE(load(lines, QString(), {"descending", "Line 1", "Line 3"}));
    EXPECT_EQ(column(grids.igBook2, "Line 1"), QStringList({"E3", "E2", "E1"}));
}

TEST_F(Bookings, ALoneCREndsALine)
{
    const QString path = dir.filePath("cr.txt");
    testsupport::writeAll(path, "E1,R1,0900,1000,d,x,40\rE2,R1,0900,1000,d,x,41\r\rE3,R1,0900,1000,d,x,42\r");
    ASSERT_TRUE(loadEBMSBookingFile(path, grids, QString(), {"None", "", ""}));
    EXPECT_EQ(column(grids.igBook2, "Line 1"), QStringList({"E1", "E2", "E3"}));
    EXPECT_EQ(column(grids.igBook2, "BID"), QStringList({"1", "2", "3"}));
}

TEST_F(Bookings, UnreadableFilesAreRefusedAndTheGridsKept)
{
    ASSERT_TRUE(load({"E1,R1,0900,1000,d,x,40"}));
    const QString big = dir.filePath("big.txt");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(textfile::kMaxInputBytes + 1)); // sparse: nothing is written
    }
    QString error;
    EXPECT_FALSE(loadEBMSBookingFile(big, grids, QString(), {}, &error));
    EXPECT_TRUE(StatusLog::instance().lines().last().contains("too large"));
    EXPECT_FALSE(loadEBMSBookingFile(dir.filePath("missing.txt"), grids, QString(), {}, &error));
    EXPECT_EQ(grids.igBook.RowCount() + grids.igBook2.RowCount(), 2);
}

TEST(BookingLoadOrder, LookupThenRecordsThenBookingsOverTheProgramGrids)
{
    QTemporaryDir dir;
    const QString lookup = dir.filePath("lookup.txt"), bookings = dir.filePath("bookings.txt");
    testsupport::writeAll(lookup, "R1,Main hall\r\n");
    testsupport::writeAll(bookings, "E1,R1,930,1000,d,x,40\r\nE1,R2,800,900,d,x,40\r\n");
    gstrSortType = "Ascending";
    gstrSortGroup = "None";
    gstrSortLine = "Line 3";
    gstrAssignedLocation = "R1"; // functions in R1 serve every resource

    DataGrids& g = dataGrids();
    ASSERT_TRUE(loadIDLookupFile(g.igIDLookup, lookup));
    recordColumns(g.igRDM);
    addFunction(g.igRDM, "E1", "N", "0700", "R1");
    addFunction(g.igRDM, "E1", "Y", "0800", "R1");
    buildRADEList();
    ASSERT_TRUE(loadEBMSBookingFile(bookings));

    EXPECT_EQ(column(g.igBook, "Line 3"), QStringList({"0800", "0930"}));
    EXPECT_EQ(column(g.igBook, "Line 8"), QStringList({"", "Main hall"}));
    EXPECT_EQ(column(g.igBook, "Line 10"), QStringList({"0800", "0800"}));
    EXPECT_EQ(column(g.igBook2, "BID"), QStringList({"2", "1"}));

    clearDataGrids(g);
    gstrSortType = gstrSortGroup = gstrSortLine = gstrAssignedLocation = QString();
}

} // namespace
