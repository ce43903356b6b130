#pragma once
// A table model over a Grid that shows its visible columns. The model
// resets itself whenever the grid reports a change of rows or columns and
// reports a single changed cell as such. Between two reports it keeps the
// row count it last announced, so a view never sees rows appear or vanish
// behind its back (for instance while the grid's redraw is off).
#include "platform/grid.h"

#include <QAbstractTableModel>

#include <vector>

class GridTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridTableModel(Grid& grid, QObject* parent = nullptr);
    ~GridTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    Grid& grid() { return grid_; }
    // Grid column index (from 1) of a model column, and back (-1 when hidden).
    int gridColumn(int modelColumn) const;
    int modelColumn(int gridColumn) const;

    // Re-reads the grid (called by the grid's observer).
    void refresh();

private:
    void onGridChange(int row, int col);

    Grid& grid_;
    int observerId_ = 0;
    int rows_ = 0;             // row count announced to the views
    std::vector<int> visible_; // grid column indexes shown, in order
};
