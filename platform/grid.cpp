#include "platform/grid.h"

#include <algorithm>

void GridSort::SetCount(int n)
{
    keys_.resize(size_t(std::max(0, n)));
}

int GridSort::Col(int k) const { return k >= 1 && k <= Count() ? keys_[size_t(k - 1)].col : 0; }
int GridSort::Order(int k) const { return k >= 1 && k <= Count() ? keys_[size_t(k - 1)].order : 0; }
int GridSort::Setting(int k) const { return k >= 1 && k <= Count() ? keys_[size_t(k - 1)].setting : 0; }

void GridSort::SetCol(int k, int col)
{
    if (k >= 1 && k <= Count())
        keys_[size_t(k - 1)].col = col;
}

void GridSort::SetOrder(int k, int order)
{
    if (k >= 1 && k <= Count())
        keys_[size_t(k - 1)].order = order;
}

void GridSort::SetSetting(int k, int setting)
{
    if (k >= 1 && k <= Count())
        keys_[size_t(k - 1)].setting = setting;
}

QString Grid::CellValue(int row, const QString& key) const
{
    return CellValue(row, ColIndex(key));
}

QString Grid::CellValue(int row, int col) const
{
    if (!validRow(row) || !validCol(col))
        return QString();
    return rows_[size_t(row - 1)].cells[size_t(col - 1)];
}

void Grid::SetCellValue(int row, const QString& key, const QString& value)
{
    SetCellValue(row, ColIndex(key), value);
}

void Grid::SetCellValue(int row, int col, const QString& value)
{
    if (!validRow(row) || !validCol(col))
        return;
    rows_[size_t(row - 1)].cells[size_t(col - 1)] = value;
    notify(row, col);
}

Grid::Row Grid::newRow() const
{
    Row r;
    r.cells.resize(cols_.size());
    r.selected.resize(cols_.size());
    return r;
}

int Grid::AddRow()
{
    rows_.push_back(newRow());
    notify();
    return RowCount();
}

int Grid::AddRow(int before)
{
    if (before < 1 || before > RowCount())
        return AddRow();
    rows_.insert(rows_.begin() + (before - 1), newRow());
    notify();
    return before;
}

void Grid::RemoveRow(int row)
{
    if (!validRow(row))
        return;
    rows_.erase(rows_.begin() + (row - 1));
    notify();
}

void Grid::MoveRow(int row, int target)
{
    if (!validRow(row) || !validRow(target) || row == target)
        return;
    Row r = std::move(rows_[size_t(row - 1)]);
    rows_.erase(rows_.begin() + (row - 1));
    rows_.insert(rows_.begin() + (target - 1), std::move(r));
    notify();
}

int Grid::AddCol(const QString& key, const QString& header, bool visible, int setting)
{
    cols_.push_back(GridColumn{key, header, visible, setting});
    for (Row& r : rows_) {
        r.cells.emplace_back();
        r.selected.push_back(false);
    }
    notify();
    return ColCount();
}

int Grid::ColIndex(const QString& key) const
{
    for (size_t i = 0; i < cols_.size(); ++i)
        if (cols_[i].key.compare(key, Qt::CaseInsensitive) == 0)
            return int(i + 1);
    return 0;
}

const GridColumn& Grid::Column(int col) const
{
    static const GridColumn none;
    return validCol(col) ? cols_[size_t(col - 1)] : none;
}

void Grid::SetColumnVisible(int col, bool visible)
{
    if (!validCol(col))
        return;
    cols_[size_t(col - 1)].visible = visible;
    notify();
}

void Grid::Clear(bool columns)
{
    rows_.clear();
    if (columns) {
        cols_.clear();
        sort_.SetCount(0);
    }
    notify();
}

void Grid::SetRedraw(bool on)
{
    const bool was = redraw_;
    redraw_ = on;
    if (on && !was)
        notify();
}

int Grid::CompareText(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    if (c != 0)
        return c;
    return a.compare(b, Qt::CaseSensitive);
}

void Grid::Sort()
{
    std::vector<std::pair<int, int>> keys; // (column index 0-based, order)
    for (int k = 1; k <= sort_.Count(); ++k)
        if (validCol(sort_.Col(k)))
            keys.emplace_back(sort_.Col(k) - 1, sort_.Order(k));
    if (keys.empty() || rows_.size() < 2)
        return;
    std::stable_sort(rows_.begin(), rows_.end(), [&keys](const Row& x, const Row& y) {
        for (const auto& [col, order] : keys) {
            const int c = CompareText(x.cells[size_t(col)], y.cells[size_t(col)]);
            if (c != 0)
                return order == 1 ? c > 0 : c < 0;
        }
        return false;
    });
    notify();
}

bool Grid::CellSelected(int row, int col) const
{
    if (!validRow(row) || !validCol(col))
        return false;
    return rows_[size_t(row - 1)].selected[size_t(col - 1)];
}

void Grid::SetCellSelected(int row, int col, bool selected)
{
    if (!validRow(row) || !validCol(col))
        return;
    rows_[size_t(row - 1)].selected[size_t(col - 1)] = selected;
    notify(row, col);
}

QStringList Grid::RowValues(int row) const
{
    QStringList out;
    if (!validRow(row))
        return out;
    for (const QString& c : rows_[size_t(row - 1)].cells)
        out << c;
    return out;
}

int Grid::addObserver(std::function<void(int, int)> observer)
{
    const int id = nextObserverId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void Grid::removeObserver(int id)
{
    std::erase_if(observers_, [id](const auto& o) { return o.first == id; });
}

void Grid::notify(int row, int col)
{
    if (!redraw_)
        return;
    if (observer_)
        observer_();
    // An observer may add or remove observers while it runs: work on a copy.
    const auto observers = observers_;
    for (const auto& [id, fn] : observers)
        if (fn)
            fn(row, col);
}
