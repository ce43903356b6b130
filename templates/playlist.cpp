#include "templates/playlist.h"

namespace templates {

namespace {

bool rowSelected(const Grid& g, int row)
{
    const int col = g.ColIndex(kPlayListColumn);
    return col > 0 && g.CellSelected(row, col);
}

} // namespace

void btnUpTemplate_Click(Grid& g)
{
    g.SetRedraw(false);
    const int n = g.RowCount();
    for (int row = 1; row <= n; ++row)
        if (rowSelected(g, row) && row >= 3) {
            g.MoveRow(row, row - 1);
            break;
        }
    g.SetRedraw(true);
}

void btnDownTemplate_Click(Grid& g)
{
    g.SetRedraw(false);
    const int n = g.RowCount();
    for (int row = 2; row <= n; ++row)
        if (row < g.RowCount() && rowSelected(g, row)) {
            g.MoveRow(row, row + 1);
            break;
        }
    g.SetRedraw(true);
}

void btnAddTemplate_Click(Grid& g, const QString& slotText)
{
    const QString name = slotText.trimmed();
    if (name.isEmpty() || g.ColIndex(kPlayListColumn) == 0)
        return;
    g.SetRedraw(false);
    bool present = false;
    for (int row = 1; row <= g.RowCount() && !present; ++row)
        present = g.CellValue(row, kPlayListColumn) == name;
    if (!present)
        g.SetCellValue(g.AddRow(), kPlayListColumn, name);
    fitPlayListColumn(g);
    g.SetRedraw(true);
}

void btnRemoveTemplate_Click(Grid& g)
{
    g.SetRedraw(false);
    for (int row = 1; row <= g.RowCount(); ++row)
        if (rowSelected(g, row)) {
            g.RemoveRow(row);
            break;
        }
    fitPlayListColumn(g);
    g.SetRedraw(true);
}

void fitPlayListColumn(Grid& g)
{
    if (const int col = g.ColIndex(kPlayListColumn); col > 0)
        g.AutoSizeColumn(col);
}

} // namespace templates
