#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "recordlist/idlookup.h"
#include "tests/recordlist/listtestsupport.h"
#include "tests/testsupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

#include <sys/stat.h>

int fuzzBookingReader(const uint8_t* data, size_t size);
int fuzzLookupReader(const uint8_t* data, size_t size);

namespace {

TEST(IDLookup, FirstExactMatchOfTrimmedIds)
{
    Grid g;
    EXPECT_EQ(lookupIDDescription(g, "R1"), ""); // nothing loaded yet
    fillIDLookup({"ID,Description", " \"R1\" , \" Room one \" ,extra", "", "r1,lower case", "R1,second", "R2"}, g);
    EXPECT_EQ(g.RowCount(), 5); // the header is a row like the others; the empty line is not
    EXPECT_EQ(lookupIDDescription(g, " R1 "), "Room one");
    EXPECT_EQ(lookupIDDescription(g, "r1"), "lower case");
    EXPECT_EQ(lookupIDDescription(g, "R2"), "");
    EXPECT_EQ(lookupIDDescription(g, "ID"), "Description");

    const IDLookupIndex index(g);
    for (const char* id : {" R1 ", "r1", "R2", "R3", "ID", ""})
        EXPECT_EQ(index.description(id), lookupIDDescription(g, id)) << id;
}

TEST(IDLookup, LoadingAFileReplacesTheTableAndAFailureKeepsIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ids.txt");
    testsupport::writeAll(path, "\"R1\",\"Ballroom\"\r\nR2,Caf\xe9\r\n"); // Windows-1252
    Grid g;
    fillIDLookup({"OLD,old"}, g);
    ASSERT_TRUE(loadIDLookupFile(g, path));
    EXPECT_EQ(lookupIDDescription(g, "R2"), QString::fromUtf8("Caf\xc3\xa9"));
    EXPECT_EQ(lookupIDDescription(g, "OLD"), "");

    QString error;
    EXPECT_FALSE(loadIDLookupFile(g, dir.filePath("missing.txt"), &error));
    EXPECT_TRUE(StatusLog::instance().lines().last().contains("ID lookup file not loaded"));
    EXPECT_EQ(lookupIDDescription(g, "R1"), "Ballroom");
}

TEST(IDLookup, AnyLineEndAndOnlyASmallRegularFile)
{
    QTemporaryDir dir;
    Grid g;
    // CR alone, LF and CRLF all end a line.
    const QString path = dir.filePath("ids.txt");
    testsupport::writeAll(path, "R1,Ballroom\rR2,Terrace\nR3,Hall\r\n");
    ASSERT_TRUE(loadIDLookupFile(g, path));
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(lookupIDDescription(g, "R2"), "Terrace");

    // A lookup table is small: a larger file is refused unread, as is a pipe.
    const QString big = dir.filePath("big.txt");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(textfile::kMaxSmallFileBytes + 1)); // sparse: nothing is written
    }
    const QString pipe = dir.filePath("pipe.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& refused : {big, pipe}) {
        QString error;
        EXPECT_FALSE(loadIDLookupFile(g, refused, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(g.RowCount(), 3);
}

TEST(DataGridClearing, EmptiesTheLoadedGridsAndTheStatusLog)
{
    DataGrids grids;
    for (Grid* g : {&grids.igRDM, &grids.igRADE, &grids.igRADE2, &grids.igBook, &grids.igBook2, &grids.igIDLookup,
                    &grids.igActiveRecords, &grids.igUR, &grids.igTemplates}) {
        g->AddCol("Line 1");
        g->SetCellValue(g->AddRow(), 1, "x");
    }
    statusMessage("something");
    clearDataGrids(grids);
    for (Grid* g : {&grids.igRDM, &grids.igRADE, &grids.igBook, &grids.igBook2, &grids.igIDLookup}) {
        EXPECT_EQ(g->RowCount(), 0);
        EXPECT_EQ(g->ColCount(), 1); // the loaders rebuild the columns
    }
    for (Grid* g : {&grids.igRADE2, &grids.igActiveRecords, &grids.igUR, &grids.igTemplates})
        EXPECT_EQ(g->RowCount(), 1);
    EXPECT_EQ(StatusLog::instance().count(), 0);
}

TEST(RecordListFuzzCorpus, ReadersHoldTheirRulesOnEverySeed)
{
    for (const char* target : {"fuzz_booking_reader", "fuzz_lookup_reader"}) {
        const QStringList files = testsupport::fuzzCorpus(target);
        EXPECT_FALSE(files.isEmpty()) << target;
        for (const QString& f : files) {
            SCOPED_TRACE(f.toStdString());
            const QByteArray bytes = testsupport::readAll(f);
            const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
            EXPECT_EQ(fuzzBookingReader(data, size_t(bytes.size())), 0);
            EXPECT_EQ(fuzzLookupReader(data, size_t(bytes.size())), 0);
        }
    }
}

} // namespace
