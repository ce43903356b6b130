#include "platform/gridmodel.h"

GridTableModel::GridTableModel(Grid& grid, QObject* parent)
    : QAbstractTableModel(parent)
    , grid_(grid)
{
    observerId_ = grid_.addObserver([this](int row, int col) { onGridChange(row, col); });
    refresh();
}

GridTableModel::~GridTableModel()
{
    grid_.removeObserver(observerId_);
}

void GridTableModel::onGridChange(int row, int col)
{
    if (row >= 1 && row <= rows_ && col >= 1) {
        const int mc = modelColumn(col);
        if (mc >= 0) {
            const QModelIndex at = index(row - 1, mc);
            Q_EMIT dataChanged(at, at);
        }
        return;
    }
    refresh();
}

void GridTableModel::refresh()
{
    beginResetModel();
    rows_ = grid_.RowCount();
    visible_.clear();
    for (int c = 1; c <= grid_.ColCount(); ++c)
        if (grid_.Column(c).visible)
            visible_.push_back(c);
    endResetModel();
}

int GridTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int GridTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(visible_.size());
}

int GridTableModel::gridColumn(int modelColumn) const
{
    return modelColumn >= 0 && modelColumn < int(visible_.size()) ? visible_[size_t(modelColumn)] : 0;
}

int GridTableModel::modelColumn(int gridColumn) const
{
    for (size_t i = 0; i < visible_.size(); ++i)
        if (visible_[i] == gridColumn)
            return int(i);
    return -1;
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return grid_.CellValue(index.row() + 1, gridColumn(index.column()));
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const GridColumn& col = grid_.Column(gridColumn(section));
    return col.header.isEmpty() ? col.key : col.header;
}
