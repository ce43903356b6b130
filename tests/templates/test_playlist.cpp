// The template play-list buttons: Up, Down, Add and Remove on the grid.
#include "templates/playlist.h"

#include <gtest/gtest.h>

#include <vector>

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

TEST(PlayList, UpDownAndRemoveActOnTheFirstSelectedRowWithinTheirBounds)
{
    struct Row {
        const char* what;
        void (*click)(Grid&);
        QStringList rows;
        QList<int> selected;
        QStringList want;
    };
    const QStringList abc{"A", "B", "C"};
    const std::vector<Row> rows{
        {"up", btnUpTemplate_Click, abc, {3}, {"A", "C", "B"}},
        {"up never into row one", btnUpTemplate_Click, abc, {2}, abc},
        {"up, first selected only", btnUpTemplate_Click, {"A", "B", "C", "D", "E"}, {2, 5}, {"A", "B", "C", "E", "D"}},
        {"up, none selected", btnUpTemplate_Click, abc, {}, abc},
        {"down", btnDownTemplate_Click, abc, {2}, {"A", "C", "B"}},
        {"down never row one", btnDownTemplate_Click, abc, {1}, abc},
        {"down never the last row", btnDownTemplate_Click, abc, {3}, abc},
        {"down, none selected", btnDownTemplate_Click, abc, {}, abc},
        {"remove, first selected only", btnRemoveTemplate_Click, {"A", "B", "C", "D"}, {1, 4}, {"B", "C", "D"}},
        {"remove", btnRemoveTemplate_Click, {"C", "A", "B"}, {2}, {"C", "B"}},
        {"remove, none selected", btnRemoveTemplate_Click, {"C", "A", "B"}, {}, {"C", "A", "B"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Grid g = playList(r.rows, r.selected);
        r.click(g);
        EXPECT_EQ(rowsOf(g), r.want);
        EXPECT_TRUE(g.Redraw());
    }
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

    // A grid without its column gets no empty rows.
    Grid bare;
    btnAddTemplate_Click(bare, "Default Template");
    EXPECT_EQ(bare.RowCount(), 0);
}
