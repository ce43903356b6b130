#include "platform/grid.h"

#include <algorithm>
#include <string>

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

Grid::Grid(const Grid& other)
    : onCellEvent(other.onCellEvent)
    , onRowEvent(other.onRowEvent)
    , cols_(other.cols_)
    , firstOfName_(other.firstOfName_)
    , rows_(other.rows_)
    , sort_(other.sort_)
    , redraw_(other.redraw_)
{
}

Grid::Grid(Grid&& other) noexcept
    : onCellEvent(std::move(other.onCellEvent))
    , onRowEvent(std::move(other.onRowEvent))
    , cols_(std::move(other.cols_))
    , firstOfName_(std::move(other.firstOfName_))
    , rows_(std::move(other.rows_))
    , sort_(std::move(other.sort_))
    , redraw_(other.redraw_)
{
}

Grid& Grid::operator=(const Grid& other)
{
    if (this != &other) {
        Grid copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Grid& Grid::operator=(Grid&& other) noexcept
{
    if (this != &other) {
        onCellEvent = std::move(other.onCellEvent);
        onRowEvent = std::move(other.onRowEvent);
        cols_ = std::move(other.cols_);
        firstOfName_ = std::move(other.firstOfName_);
        rows_ = std::move(other.rows_);
        sort_ = std::move(other.sort_);
        redraw_ = other.redraw_;
        notify();
    }
    return *this;
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
    firstOfName_.push_back(ColIndex(key) == 0);
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
    // Callers nearly always spell the key as it was added: an exact match
    // (cheap) is tried first, on the columns that are the first of their
    // name only, so that the first match still wins.
    for (size_t i = 0; i < cols_.size(); ++i)
        if (firstOfName_[i] && cols_[i].key == key)
            return int(i + 1);
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
        firstOfName_.clear();
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
    // Fast path for plain ASCII, the usual content; it gives the same order
    // as the general comparison below. Any other character hands the whole
    // comparison over to it.
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = reinterpret_cast<const char16_t*>(a.constData());
    const char16_t* pb = reinterpret_cast<const char16_t*>(b.constData());
    bool ascii = true;
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = pa[i], cb = pb[i];
        if (ca >= 0x80 || cb >= 0x80) {
            ascii = false;
            break;
        }
        if (ca >= 'A' && ca <= 'Z')
            ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z')
            cb += 'a' - 'A';
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (ascii) {
        if (a.size() != b.size())
            return a.size() < b.size() ? -1 : 1;
        return a.compare(b, Qt::CaseSensitive);
    }
    const int c = a.compare(b, Qt::CaseInsensitive);
    if (c != 0)
        return c;
    return a.compare(b, Qt::CaseSensitive);
}

namespace {

// The rank of each row's text in one key column: equal texts share a rank,
// and ranks follow Grid::CompareText. Plain ASCII texts are compared through
// lower-cased byte copies, which is much cheaper than comparing the texts
// character by character.
std::vector<int> textRanks(const std::vector<QString>& texts)
{
    const size_t n = texts.size();
    std::vector<std::string> folded(n);
    std::vector<char> ascii(n, 1);
    for (size_t i = 0; i < n; ++i) {
        const QString& t = texts[i];
        std::string& f = folded[i];
        f.resize(size_t(t.size()));
        const char16_t* p = reinterpret_cast<const char16_t*>(t.constData());
        for (qsizetype k = 0; k < t.size(); ++k) {
            char16_t c = p[k];
            if (c >= 0x80) {
                ascii[i] = 0;
                break;
            }
            if (c >= 'A' && c <= 'Z')
                c += 'a' - 'A';
            f[size_t(k)] = char(c);
        }
    }
    auto compare = [&](int x, int y) {
        if (ascii[size_t(x)] && ascii[size_t(y)]) {
            const int c = folded[size_t(x)].compare(folded[size_t(y)]);
            if (c != 0)
                return c;
            return texts[size_t(x)].compare(texts[size_t(y)], Qt::CaseSensitive);
        }
        return Grid::CompareText(texts[size_t(x)], texts[size_t(y)]);
    };
    std::vector<int> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int x, int y) { return compare(x, y) < 0; });
    std::vector<int> rank(n);
    int r = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && compare(order[i - 1], order[i]) != 0)
            ++r;
        rank[size_t(order[i])] = r;
    }
    return rank;
}

} // namespace

void Grid::Sort()
{
    struct SortKey {
        std::vector<int> rank; // the rank of each row's text in the key column
        bool descending;
    };
    std::vector<SortKey> keys;
    if (rows_.size() < 2)
        return;
    for (int k = 1; k <= sort_.Count(); ++k) {
        if (!validCol(sort_.Col(k)))
            continue;
        std::vector<QString> texts;
        texts.reserve(rows_.size());
        const size_t col = size_t(sort_.Col(k) - 1);
        for (const Row& r : rows_)
            texts.push_back(r.cells[col]); // shares the text, no copy
        keys.push_back(SortKey{textRanks(texts), sort_.Order(k) == 1});
    }
    if (keys.empty())
        return;
    // Sorting row numbers over the ranks touches far less memory than
    // comparing through each row's own cells; the sort is stable.
    std::vector<int> order(rows_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&keys](int x, int y) {
        for (const SortKey& key : keys) {
            const int a = key.rank[size_t(x)];
            const int b = key.rank[size_t(y)];
            if (a != b)
                return key.descending ? a > b : a < b;
        }
        return false;
    });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (const int i : order)
        sorted.push_back(std::move(rows_[size_t(i)]));
    rows_ = std::move(sorted);
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
