// The template play-list buttons: Up, Down, Add and Remove on the grid.
#include "templates/playlist.h"

#include <gtest/gtest.h>

using namespace templates;

namespace {

Grid playList(const QStringList& rows, const QList<int>& selected = {})
{
    Grid g;
    g.AddCol(kPlayListColumn);
    for (const QString& r : rows)
        g.SetCellValue(g.AddRow(), kPlayListColumn, r);
    for (int row : selected)
        g.SetCellSelected(row, 1, true);
    return g;
}

QStringList rowsOf(const Grid& g)
{
    QStringList out;
    for (int row = 1; row <= g.RowCount(); ++row)
        out << g.CellValue(row, kPlayListColumn);
    return out;
}

} // namespace

TEST(PlayList, UpNeverMovesARowIntoRowOne)
{
    Grid g = playList({"A", "B", "C"}, {3});
    btnUpTemplate_Click(g);
    EXPECT_EQ(rowsOf(g), (QStringList{"A", "C", "B"}));
    // The selection moved with the row; as row 2 it stays.
    btnUpTemplate_Click(g);
    EXPECT_EQ(rowsOf(g), (QStringList{"A", "C", "B"}));

    Grid two = playList({"A", "B", "C", "D", "E"}, {2, 5});
    btnUpTemplate_Click(two);
    EXPECT_EQ(rowsOf(two), (QStringList{"A", "B", "C", "E", "D"}));
    EXPECT_TRUE(two.Redraw());
}

TEST(PlayList, DownNeverMovesRowOneOrTheLastRow)
{
    for (int selected : {1, 3}) {
        Grid g = playList({"A", "B", "C"}, {selected});
        btnDownTemplate_Click(g);
        EXPECT_EQ(rowsOf(g), (QStringList{"A", "B", "C"}));
    }
    Grid g = playList({"A", "B", "C"}, {2});
    btnDownTemplate_Click(g);
    EXPECT_EQ(rowsOf(g), (QStringList{"A", "C", "B"}));
    Grid none = playList({"A", "B", "C"});
    btnDownTemplate_Click(none);
    btnUpTemplate_Click(none);
    EXPECT_EQ(rowsOf(none), (QStringList{"A", "B", "C"}));
}

TEST(PlayList, AddAppendsEachSlotOnceAndKeepsTheOrderUpAndDownSet)
{
    Grid g = playList({});
    btnAddTemplate_Click(g, "Template with 3 records");
    btnAddTemplate_Click(g, "Template with 3 records");
    EXPECT_EQ(rowsOf(g), QStringList{"Template with 3 records"});
    btnAddTemplate_Click(g, "");
    EXPECT_EQ(g.RowCount(), 1);

    // Rows out of name order stay as they are; the new one comes last.
    Grid h = playList({"Template with 5 records", "Default Template"});
    btnAddTemplate_Click(h, " Template with 1 record ");
    EXPECT_EQ(rowsOf(h), (QStringList{"Template with 5 records", "Default Template", "Template with 1 record"}));
    EXPECT_TRUE(h.Redraw());

    // A grid without its column gets no empty rows.
    Grid bare;
    btnAddTemplate_Click(bare, "Default Template");
    EXPECT_EQ(bare.RowCount(), 0);
}

TEST(PlayList, RemoveDeletesTheFirstSelectedRowOnly)
{
    Grid g = playList({"A", "B", "C", "D"}, {1, 4});
    btnRemoveTemplate_Click(g);
    EXPECT_EQ(rowsOf(g), (QStringList{"B", "C", "D"}));
    Grid none = playList({"C", "A", "B"});
    btnRemoveTemplate_Click(none);
    EXPECT_EQ(rowsOf(none), (QStringList{"C", "A", "B"}));
    Grid mid = playList({"C", "A", "B"}, {2});
    btnRemoveTemplate_Click(mid);
    EXPECT_EQ(rowsOf(mid), (QStringList{"C", "B"}));
}
