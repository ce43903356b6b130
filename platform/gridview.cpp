#include "platform/gridview.h"

#include <QHeaderView>

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
}
