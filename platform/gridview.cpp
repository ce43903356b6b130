#include "platform/gridview.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include <vector>

GridView::GridView(Grid& grid, QWidget* parent)
    : QTableView(parent)
    , model_(new GridTableModel(grid, this))
{
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(20);
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& idx) {
        Grid& g = model_->grid();
        const int row = idx.row() + 1;
        const int col = model_->gridColumn(idx.column());
        if (g.onCellEvent)
            g.onCellEvent(row, col);
        if (g.onRowEvent)
            g.onRowEvent(row);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { viewSelectionChanged(); });
    // Registered after the model's observer, so the model is current here.
    observerId_ = grid.addObserver([this](int row, int col) { gridChanged(row, col); });
    selectFromGrid();
}

GridView::~GridView()
{
    model_->grid().removeObserver(observerId_);
}

void GridView::viewSelectionChanged()
{
    if (syncing_)
        return;
    syncing_ = true;
    Grid& g = model_->grid();
    std::vector<bool> chosen(size_t(g.RowCount()) + 1, false);
    for (const QModelIndex& idx : selectionModel()->selectedRows())
        if (idx.row() + 1 <= g.RowCount())
            chosen[size_t(idx.row() + 1)] = true;
    // Each change is announced as a single cell, which the model passes on
    // without a reset (a reset would drop the selection being made).
    for (int r = 1; r <= g.RowCount(); ++r)
        for (int c = 1; c <= g.ColCount(); ++c)
            if (g.CellSelected(r, c) != chosen[size_t(r)])
                g.SetCellSelected(r, c, chosen[size_t(r)]);
    syncing_ = false;
}

void GridView::gridChanged(int row, int col)
{
    if (syncing_)
        return;
    if (row >= 1 && col >= 1) {
        // One cell: bring that row's selection in line with the grid.
        const bool sel = model_->grid().CellSelected(row, col);
        const QModelIndex at = model_->index(row - 1, 0);
        if (!at.isValid() || selectionModel()->isRowSelected(row - 1, QModelIndex()) == sel)
            return;
        syncing_ = true;
        selectionModel()->select(at, (sel ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                                         | QItemSelectionModel::Rows);
        if (sel)
            scrollTo(at);
        syncing_ = false;
        return;
    }
    selectFromGrid();
}

void GridView::selectFromGrid()
{
    const Grid& g = model_->grid();
    QItemSelection sel;
    const int cols = model_->columnCount();
    if (cols > 0) {
        for (int r = 1; r <= g.RowCount() && r <= model_->rowCount(); ++r) {
            for (int c = 1; c <= g.ColCount(); ++c) {
                if (g.CellSelected(r, c)) {
                    sel.select(model_->index(r - 1, 0), model_->index(r - 1, cols - 1));
                    break;
                }
            }
        }
    }
    syncing_ = true;
    selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
}
