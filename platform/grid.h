#pragma once
// A grid of text cells: rows numbered from 1 to RowCount, columns addressed
// by key or by index from 1 to ColCount. Every data grid of the program is
// one of these; GridTableModel shows one in a view.
//
// Out-of-range reads give an empty text and out-of-range writes are ignored,
// so a stale row number never brings the program down.
//
// Sorting is stable: rows that compare equal on every key keep their order.
// Texts compare without regard to case, by Unicode code points
// (QString::compare with Qt::CaseInsensitive); texts equal in that sense then
// compare case-sensitively, so "a" sorts before "B" and "A" before "a".
#include <QAnyStringView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <utility>
#include <vector>

struct GridColumn {
    QString key;
    QString header;
    bool visible = true;
    int setting = 0; // a per-column setting some set-ups pass (no effect on content)
};

// The sort description: keys numbered from 1.
class GridSort {
public:
    int Count() const { return int(keys_.size()); }
    // Raising or lowering the count keeps the keys below it as they were.
    void SetCount(int n);
    int Col(int k) const;
    int Order(int k) const; // 0 ascending, 1 descending
    int Setting(int k) const;
    void SetCol(int k, int col);
    void SetOrder(int k, int order);
    void SetSetting(int k, int setting);

private:
    struct Key {
        int col = 1;
        int order = 0;
        int setting = 0;
    };
    std::vector<Key> keys_;
};

struct GridRowBlock; // a row's stored texts (grid.cpp)

class Grid {
public:
    Grid() = default;
    // A copy takes the content, the sort description and the event handlers,
    // but not the observers: views watch the grid they were made for. An
    // assignment keeps the target's observers and tells them.
    Grid(const Grid& other);
    Grid(Grid&& other) noexcept;
    Grid& operator=(const Grid& other);
    Grid& operator=(Grid&& other) noexcept;

    int RowCount() const { return int(rows_.size()); }
    int ColCount() const { return int(cols_.size()); }

    QString CellValue(int row, const QString& key) const;
    QString CellValue(int row, int col) const;
    void SetCellValue(int row, const QString& key, const QString& value);
    void SetCellValue(int row, int col, const QString& value);

    // Appends a row and returns its number.
    int AddRow();
    // Appends a row whose first cells take `cells` in column order (texts
    // past the last column are dropped, missing ones are empty) and returns
    // its number: the quick way to fill a grid row by row.
    int AppendRow(std::span<const QAnyStringView> cells);
    // Inserts a row before `before` (rows from there move down) and returns
    // its number; a `before` past the end appends.
    int AddRow(int before);
    void RemoveRow(int row);
    // Moves a row so that it ends up at position `target`.
    void MoveRow(int row, int target);

    // Adds a column after the last and returns its index. A hidden column
    // keeps its cells.
    int AddCol(const QString& key, const QString& header = QString(), bool visible = true, int setting = 0);
    // Index of a column key (matched without regard to case), 0 when none.
    int ColIndex(const QString& key) const;
    const GridColumn& Column(int col) const;
    void SetColumnVisible(int col, bool visible);

    // Removes every row; with `columns` also every column.
    void Clear(bool columns = false);

    // Switches change notifications off and on around bulk changes.
    void SetRedraw(bool on);
    bool Redraw() const { return redraw_; }

    GridSort& SortObject() { return sort_; }
    const GridSort& SortObject() const { return sort_; }
    // Reorders whole rows by the sort description.
    void Sort();

    bool CellSelected(int row, int col) const;
    void SetCellSelected(int row, int col, bool selected);

    // Kept for the set-up code; they change nothing in the content.
    void AutoSizeColumn(int) {}
    void RefreshGrid() { notify(); }

    // The whole row as texts, in column order.
    QStringList RowValues(int row) const;

    // A number that changes with every change of the grid (cells, rows,
    // columns, order, selection, a grid moved in or out) and is never the
    // same for two states of any grid: a cache built for one revision of a
    // grid stays right exactly as long as the revision is the same.
    uint64_t Revision() const { return revision_; }

    // The texts of one column, each distinct text once: `ids[r - 1]` is the
    // index in `texts` of row r's text (rows with equal texts share it). A
    // column that does not exist reads as empty texts.
    struct DistinctColumn {
        std::vector<uint32_t> ids;
        std::vector<QString> texts;
    };
    DistinctColumn DistinctTexts(int col) const;

    // Called after every change while redraw is on (one call per change).
    void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }
    // Further observers (views, models) that live and die independently.
    // The observer gets (row, column) when only that cell's text or
    // selection changed, and (0, 0) when anything may have changed (rows,
    // columns, order, or a bulk change ended). Returns an id for removal.
    int addObserver(std::function<void(int, int)> observer);
    void removeObserver(int id);
    // The grid's events: a cell chosen (row, column) and a row shown (row).
    std::function<void(int, int)> onCellEvent;
    std::function<void(int)> onRowEvent;

    // Comparison used by Sort (negative, zero, positive).
    static int CompareText(const QString& a, const QString& b);

private:
    // A row's texts in one allocation: Latin-1 when every character allows
    // it, else UTF-16. Cells past the stored ones are empty.
    class Cells {
    public:
        using Block = GridRowBlock;
        Cells() = default;
        explicit Cells(Block* block)
            : block_(block)
        {
        }
        Cells(const Cells& other);
        Cells(Cells&& other) noexcept
            : block_(std::exchange(other.block_, nullptr))
        {
        }
        Cells& operator=(const Cells& other);
        // Swaps: the moved-from side frees this side's old block later.
        Cells& operator=(Cells&& other) noexcept
        {
            std::swap(block_, other.block_);
            return *this;
        }
        ~Cells();
        Block* block_ = nullptr;
    };
    struct Row {
        Row() = default;
        Row(const Row& other);
        Row(Row&&) noexcept = default;
        Row& operator=(const Row& other);
        Row& operator=(Row&&) noexcept = default;
        Cells cells;
        std::unique_ptr<std::vector<bool>> selected; // none until a cell is selected
    };
    bool validRow(int row) const { return row >= 1 && row <= RowCount(); }
    bool validCol(int col) const { return col >= 1 && col <= ColCount(); }
    void notify(int row = 0, int col = 0);

    std::vector<GridColumn> cols_;
    std::vector<bool> firstOfName_; // per column: no earlier column has its name
    std::vector<Row> rows_;
    GridSort sort_;
    bool redraw_ = true;
    std::function<void()> observer_;
    std::vector<std::pair<int, std::function<void(int, int)>>> observers_;
    int nextObserverId_ = 1;
    uint64_t revision_ = freshRevision();
    static uint64_t freshRevision();
};
