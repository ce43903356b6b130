#include "recordlist/renderlist.h"
#include "tests/recordlist/listtestsupport.h"

#include <gtest/gtest.h>

using namespace listtest;

namespace {

class RenderList : public ::testing::Test {
protected:
    void SetUp() override { recordColumns(rdm); }

    void build(const ListSortSettings& sort = {"None", "", ""}) { buildRADEList(rdm, rade, rade2, sort); }

    Grid rdm, rade, rade2;
};

TEST_F(RenderList, BoundsOnLine8AndTheStatusOfFunctionRecords)
{
    // Line 8: empty, 0, 8 and -3 stay; 8.5 and 9 go.
    const char* line8[] = {"", "0", "8", "-3", "8.5", "9"};
    int n = 0;
    for (const char* v : line8)
        addRecord(rdm, {{"Line 9", QString("L8-%1").arg(++n)}, {"Line 8", v}, {"Line 11", "N"}});
    // Status of flagged records: 29 and 50 stay; 28, 51, 50.5, empty and a word go.
    const char* status[] = {"29", "50", "28", "51", "50.5", "", "many"};
    for (const char* v : status)
        addRecord(rdm, {{"Line 9", QString("S%1").arg(v)}, {"Line 11", "Y"}, {"Line 19", v}});
    // An unflagged record's status is not looked at.
    addRecord(rdm, {{"Line 9", "U"}, {"Line 11", "N"}, {"Line 19", "99"}});
    build();
    EXPECT_EQ(column(rade, "Line 9"), QStringList({"L8-1", "L8-2", "L8-3", "L8-4", "S29", "S50", "U"}));
}

TEST_F(RenderList, FunctionRecordsReplaceTheUnflaggedRecordOfTheirEvent)
{
    struct Case {
        const char* name;
        QStringList records; // "event/flag", or "event/flag/status" for a status out of range
        QStringList expected;
    };
    const Case cases[] = {
        {"flagged record takes the place where it was appended", {"X/N", "A/N", "B/N", "A/Y"}, {"X/N", "B/N", "A/Y"}},
        {"an unflagged record after a flagged one is dropped", {"A/Y", "A/N"}, {"A/Y"}},
        {"the first unflagged record of an event stays", {"X/N", "A/N", "A/N"}, {"X/N", "A/N"}},
        {"a second flagged record removes nothing more", {"X/N", "A/N", "A/Y", "A/Y"}, {"X/N", "A/Y", "A/Y"}},
        {"the first record looks ahead for a flagged record of its event", {"A/N", "B/N", "A/Y"}, {"B/N", "A/Y"}},
        {"a lower-case y flags a record", {"X/N", "A/N", "A/y"}, {"X/N", "A/y"}},
        {"an empty flag is replaced like N", {"X/N", "A/", "A/Y"}, {"X/N", "A/Y"}},
        {"flags n and X are never replaced but keep others out",
         {"X/N", "A/n", "B/X", "A/Y", "B/Y", "A/N"},
         {"X/N", "A/n", "B/X", "A/Y", "B/Y"}},
        {"the first record's look-ahead sees a flagged record out of its range", {"A/N", "A/Y/12", "B/N"}, {"B/N"}},
        {"met after another record, the unflagged record stays", {"B/N", "A/N", "A/Y/12"}, {"B/N", "A/N"}},
        {"the first record's look-ahead compares IDs trimmed and case-blind", {" a1/N", "A1/Y"}, {"A1/Y"}},
        {"later records compare IDs exactly", {"X/N", " a1/N", "A1/Y", "a1 /N"}, {"X/N", " a1/N", "A1/Y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rdm.Clear();
        for (const QString& r : c.records) {
            addFunction(rdm, r.section('/', 0, 0), r.section('/', 1, 1));
            if (!r.section('/', 2).isEmpty())
                rdm.SetCellValue(rdm.RowCount(), "Line 19", r.section('/', 2));
        }
        build();
        EXPECT_EQ(pairs(rade2, "Line 9", "Line 11", "/"), c.expected);
        EXPECT_EQ(pairs(rade, "Line 9", "Line 11", "/"), c.expected);
    }
}

TEST_F(RenderList, CellsAreCopiedUnchangedAndAnEmptyStoreGivesEmptyLists)
{
    build();
    EXPECT_EQ(rade.RowCount(), 0);
    EXPECT_EQ(rade2.ColCount(), 21);

    addRecord(rdm, {{"Line 1", "  Gala  "}, {"Line 9", "E"}, {"Line 20", "x"}, {"DateTime", "0900|1000|0|0"}});
    build();
    ASSERT_EQ(rade.RowCount(), 1);
    EXPECT_EQ(rade.RowValues(1), rdm.RowValues(1));
}

using GroupMerge = RenderList;

TEST_F(GroupMerge, GroupsFollowTheirFirstTime)
{
    const QStringList abc = {"A,0900", "A,1400", "B,1000", "C,0800"}, bac = {"B,1000", "A,0900", "C,0800", "A,0700"};
    const ListSortSettings byGroup = {"Ascending", "Line 9", "Line 4"};
    const struct {
        const char* name;
        QStringList records; // "event,Line 4"
        ListSortSettings sort;
        QStringList expected;
    } cases[] = {
        {"ascending", abc, byGroup, {"C,0800", "A,0900", "A,1400", "B,1000"}},
        {"descending", abc, {"Descending", "Line 9", "Line 4"}, {"C,0800", "B,1000", "A,1400", "A,0900"}},
        {"lower-case settings", abc, {"ascending", "line 9", "line 4"}, {"C,0800", "A,0900", "A,1400", "B,1000"}},
        {"equal first values keep the sorted order",
         {"B,0900", "A,0900", "C,0800", "B,1100"},
         byGroup,
         {"C,0800", "A,0900", "B,0900", "B,1100"}},
        {"times with a colon count by the hour", {"A,09:45", "B,09:30"}, byGroup, {"A,09:45", "B,09:30"}},
        {"times without a colon count whole", {"A,0945", "B,0930"}, byGroup, {"B,0930", "A,0945"}},
        {"an empty group in row one stays first",
         {",1200", "B,0800", "C,0700"},
         byGroup,
         {",1200", "C,0700", "B,0800"}},
        {"without a group column every record stays once",
         {"B,1000", "A,0900", "C,0800"},
         {"Ascending", "None", "Line 4"},
         {"C,0800", "A,0900", "B,1000"}},
        {"no sort keeps the collection order", bac, {"None", "Line 9", "Line 4"}, bac},
        {"an empty sort type is no sort", bac, {"", "Line 9", "Line 4"}, bac},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rdm.Clear();
        for (const QString& r : c.records)
            addFunction(rdm, r.section(',', 0, 0), "Y", r.section(',', 1));
        build(c.sort);
        EXPECT_EQ(pairs(rade, "Line 9", "Line 4", ","), c.expected);
    }
}

TEST_F(GroupMerge, OnlyTimeAndDateLinesMergeAndOnlyKnownTypesSort)
{
    const auto add = [this](const QString& line, const QStringList& records) {
        rdm.Clear();
        for (const QString& r : records)
            addRecord(
                rdm,
                {{"Line 9", r.section(',', 0, 0)}, {line, r.section(',', 1)}, {"Line 11", "Y"}, {"Line 19", "40"}});
    };
    // Another line: sorted by group and line, no merge.
    add("Line 2", {"B,x", "A,z", "A,y"});
    build({"Ascending", "Line 9", "Line 2"});
    EXPECT_EQ(column(rade, "Line 2"), QStringList({"y", "z", "x"}));
    // An unknown sort type sorts nothing, but the merge runs on the collection order.
    add("Line 5", {"B,1000", "A,0900", "B,1100"});
    build({"Sideways", "Line 9", "Line 5"});
    EXPECT_EQ(column(rade2, "Line 5"), QStringList({"1000", "0900", "1100"}));
    EXPECT_EQ(column(rade, "Line 5"), QStringList({"0900", "1000", "1100"}));
}

TEST(RenderListSort, SortLineNoneAndMissingColumnsLeaveTheOrder)
{
    Grid g;
    recordColumns(g);
    addRecord(g, {{"Line 2", "b"}});
    addRecord(g, {{"Line 2", "a"}});
    sortGridBySettings(g, {"Ascending", "", "None"}, 2);
    EXPECT_EQ(column(g, "Line 2"), QStringList({"b", "a"}));
    sortGridBySettings(g, {"Ascending", "", " Line 2 "}, 2); // keys are trimmed for the sort
    EXPECT_EQ(column(g, "Line 2"), QStringList({"a", "b"}));
    sortGridBySettings(g, {"DESCENDING", "none", "Line 2"}, 2);
    EXPECT_EQ(column(g, "Line 2"), QStringList({"b", "a"}));
}

} // namespace
