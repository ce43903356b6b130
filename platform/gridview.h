#pragma once
// A read-only table view of a Grid. A click on a cell raises the grid's cell
// event (row, column from 1) and its row event.
//
// The view's row selection and the grid's selected cells are kept in step:
// selecting rows in the view marks every cell of those rows selected in the
// grid (so code can read CellSelected), and selecting a cell in code selects
// its row in the view.
#include "platform/gridmodel.h"

#include <QTableView>

class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(Grid& grid, QWidget* parent = nullptr);
    ~GridView() override;
    GridTableModel* gridModel() const { return model_; }

private:
    void viewSelectionChanged();
    void gridChanged(int row, int col);
    void selectFromGrid();

    GridTableModel* model_;
    int observerId_ = 0;
    bool syncing_ = false;
};
