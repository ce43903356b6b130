#pragma once
// A read-only table view of a Grid. A click on a cell raises the grid's cell
// event (row, column from 1) and its row event.
#include "platform/gridmodel.h"

#include <QTableView>

class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(Grid& grid, QWidget* parent = nullptr);
    GridTableModel* gridModel() const { return model_; }

private:
    GridTableModel* model_;
};
