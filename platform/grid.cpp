#include "platform/grid.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

void GridSort::SetCount(int n)
{
    keys_.resize(size_t(std::max(0, n)));
}

int GridSort::Col(int k) const
{
    return k >= 1 && k <= Count() ? keys_[size_t(k - 1)].col : 0;
}
int GridSort::Order(int k) const
{
    return k >= 1 && k <= Count() ? keys_[size_t(k - 1)].order : 0;
}
int GridSort::Setting(int k) const
{
    return k >= 1 && k <= Count() ? keys_[size_t(k - 1)].setting : 0;
}

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

// ---- Row storage ----------------------------------------------------------
//
// A block is a header, the end offset of each stored cell (in characters,
// from the start of the text) and the text itself. Blocks filled cell by cell
// in column order keep spare room at the end so that appending a cell needs
// no new allocation; every other change builds a new block.

struct GridRowBlock {
    uint32_t count; // cells stored
    uint32_t slots; // room for end offsets
    uint32_t used;  // characters of text
    uint32_t room;  // room for characters
    bool wide;      // UTF-16, else Latin-1

    uint32_t* ends() { return reinterpret_cast<uint32_t*>(this + 1); }
    const uint32_t* ends() const { return reinterpret_cast<const uint32_t*>(this + 1); }
    char* text() { return reinterpret_cast<char*>(ends() + slots); }
    const char* text() const { return reinterpret_cast<const char*>(ends() + slots); }
};

namespace {

using Block = GridRowBlock;

// A cell's text where it is stored: Latin-1 or UTF-16 code units.
struct CellText {
    const void* data = nullptr;
    qsizetype size = 0;
    bool wide = false;

    QString toString() const
    {
        if (size == 0)
            return QString();
        return wide ? QString(static_cast<const QChar*>(data), size)
                    : QString::fromLatin1(static_cast<const char*>(data), size);
    }
    char16_t at(qsizetype i) const
    {
        return wide ? static_cast<const char16_t*>(data)[i] : char16_t(static_cast<const unsigned char*>(data)[i]);
    }
};

CellText cellText(const Block* b, size_t i)
{
    if (!b || i >= b->count)
        return {};
    const uint32_t from = i == 0 ? 0 : b->ends()[i - 1];
    const uint32_t to = b->ends()[i];
    const size_t unit = b->wide ? 2 : 1;
    return {b->text() + from * unit, qsizetype(to - from), b->wide};
}

bool fitsLatin1(const CellText& t)
{
    if (!t.wide)
        return true;
    const char16_t* p = static_cast<const char16_t*>(t.data);
    for (qsizetype i = 0; i < t.size; ++i)
        if (p[i] > 0xFF)
            return false;
    return true;
}

void copyText(Block* b, const CellText& t)
{
    if (t.size == 0) // a missing cell has no data to copy from
        return;
    if (b->wide) {
        char16_t* d = reinterpret_cast<char16_t*>(b->text()) + b->used;
        if (t.wide)
            std::memcpy(d, t.data, size_t(t.size) * 2);
        else
            for (qsizetype i = 0; i < t.size; ++i)
                d[i] = static_cast<const unsigned char*>(t.data)[i];
    } else {
        char* d = b->text() + b->used;
        if (!t.wide)
            std::memcpy(d, t.data, size_t(t.size));
        else
            for (qsizetype i = 0; i < t.size; ++i)
                d[i] = char(static_cast<const char16_t*>(t.data)[i]);
    }
    b->used += uint32_t(t.size);
}

// A block holding `cells` with room for `slots` cells and `room` characters.
Block* buildBlock(const CellText* cells, size_t n, size_t slots, size_t room)
{
    while (n > 0 && cells[n - 1].size == 0)
        --n;
    if (n == 0 && slots == 0)
        return nullptr;
    bool wide = false;
    size_t total = 0;
    for (size_t i = 0; i < n; ++i) {
        total += size_t(cells[i].size);
        wide = wide || !fitsLatin1(cells[i]);
    }
    slots = std::max(slots, n);
    room = std::max(room, total);
    const size_t bytes = sizeof(Block) + slots * sizeof(uint32_t) + room * (wide ? 2 : 1);
    Block* b = static_cast<Block*>(std::malloc(bytes));
    if (!b)
        throw std::bad_alloc();
    b->count = uint32_t(n);
    b->slots = uint32_t(slots);
    b->used = 0;
    b->room = uint32_t(room);
    b->wide = wide;
    for (size_t i = 0; i < n; ++i) {
        copyText(b, cells[i]);
        b->ends()[i] = b->used;
    }
    return b;
}

Block* copyBlock(const Block* from)
{
    if (!from)
        return nullptr;
    std::vector<CellText> cells(from->count);
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = cellText(from, i);
    return buildBlock(cells.data(), cells.size(), 0, 0);
}

// Appends cell `i` (past the stored ones) when the block has room for it.
bool appendInPlace(Block* b, size_t i, const CellText& t)
{
    if (!b || i < b->count || i >= b->slots || b->used + size_t(t.size) > b->room || (!b->wide && !fitsLatin1(t)))
        return false;
    for (size_t k = b->count; k < i; ++k)
        b->ends()[k] = b->used;
    copyText(b, t);
    b->ends()[i] = b->used;
    b->count = uint32_t(i + 1);
    return true;
}

} // namespace

Grid::Cells::Cells(const Cells& other)
    : block_(copyBlock(other.block_))
{
}

Grid::Cells& Grid::Cells::operator=(const Cells& other)
{
    if (this != &other) {
        Block* b = copyBlock(other.block_);
        std::free(block_);
        block_ = b;
    }
    return *this;
}

Grid::Cells::~Cells()
{
    std::free(block_);
}

Grid::Row::Row(const Row& other)
    : cells(other.cells)
    , selected(other.selected ? std::make_unique<std::vector<bool>>(*other.selected) : nullptr)
{
}

Grid::Row& Grid::Row::operator=(const Row& other)
{
    if (this != &other) {
        cells = other.cells;
        selected = other.selected ? std::make_unique<std::vector<bool>>(*other.selected) : nullptr;
    }
    return *this;
}

// ---- Grid -------------------------------------------------------------------

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
    other.revision_ = freshRevision();
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
        other.revision_ = freshRevision();
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
    return cellText(rows_[size_t(row - 1)].cells.block_, size_t(col - 1)).toString();
}

void Grid::SetCellValue(int row, const QString& key, const QString& value)
{
    SetCellValue(row, ColIndex(key), value);
}

void Grid::SetCellValue(int row, int col, const QString& value)
{
    if (!validRow(row) || !validCol(col))
        return;
    Block*& b = rows_[size_t(row - 1)].cells.block_;
    const size_t i = size_t(col - 1);
    const CellText t{value.constData(), value.size(), true};
    const size_t count = b ? b->count : 0;
    if ((i >= count && t.size == 0) || appendInPlace(b, i, t)) {
        notify(row, col);
        return;
    }
    std::vector<CellText> cells(std::max(count, i + 1));
    for (size_t k = 0; k < count; ++k)
        cells[k] = cellText(b, k);
    cells[i] = t;
    // Filling a new row cell by cell: leave room for the cells to come.
    size_t room = 0;
    if (i >= count) {
        for (const CellText& c : cells)
            room += size_t(c.size);
        room = std::max<size_t>(2 * room, 64);
    }
    Block* fresh = buildBlock(cells.data(), cells.size(), i >= count ? cols_.size() : 0, room);
    std::free(b);
    b = fresh;
    notify(row, col);
}

int Grid::AddRow()
{
    rows_.emplace_back();
    notify();
    return RowCount();
}

int Grid::AppendRow(std::span<const QAnyStringView> cells)
{
    const size_t n = std::min(cells.size(), cols_.size());
    std::vector<CellText> texts(n);
    std::vector<QString> converted; // UTF-8 input, held while the row is built
    converted.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        cells[i].visit([&](auto v) {
            using View = decltype(v);
            if constexpr (std::is_same_v<View, QLatin1StringView>) {
                texts[i] = CellText{v.data(), v.size(), false};
            } else if constexpr (std::is_same_v<View, QStringView>) {
                texts[i] = CellText{v.data(), v.size(), true};
            } else {
                converted.push_back(v.toString());
                texts[i] = CellText{converted.back().constData(), converted.back().size(), true};
            }
        });
    }
    rows_.emplace_back();
    rows_.back().cells = Cells(buildBlock(texts.data(), n, 0, 0));
    notify();
    return RowCount();
}

int Grid::AddRow(int before)
{
    if (before < 1 || before > RowCount())
        return AddRow();
    rows_.insert(rows_.begin() + (before - 1), Row());
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

// The rank of each text: equal texts share a rank, and ranks follow
// Grid::CompareText. Plain ASCII texts are compared through lower-cased
// byte copies, which is much cheaper than comparing the texts character by
// character.
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

uint64_t hashText(const CellText& t)
{
    // FNV-1a over the characters, so that a text hashes the same stored as
    // Latin-1 or as UTF-16.
    uint64_t h = 1469598103934665603ULL;
    for (qsizetype i = 0; i < t.size; ++i)
        h = (h ^ t.at(i)) * 1099511628211ULL;
    return h ^ (h >> 29);
}

bool sameText(const CellText& a, const CellText& b)
{
    if (a.size != b.size)
        return false;
    if (a.size == 0) // missing cells have no data to compare
        return true;
    if (a.wide == b.wide)
        return std::memcmp(a.data, b.data, size_t(a.size) * (a.wide ? 2 : 1)) == 0;
    for (qsizetype i = 0; i < a.size; ++i)
        if (a.at(i) != b.at(i))
            return false;
    return true;
}

// Each text's index among the distinct texts: equal texts share one, given
// in order of first appearance. `firstRow` receives a row holding each.
std::vector<uint32_t> distinctIds(const std::vector<CellText>& texts, std::vector<uint32_t>& firstRow)
{
    const size_t n = texts.size();
    size_t cap = 16;
    while (cap < 2 * n)
        cap *= 2;
    constexpr uint32_t kFree = UINT32_MAX;
    std::vector<uint32_t> table(cap, kFree); // distinct ids
    firstRow.clear();
    std::vector<uint32_t> id(n);
    for (size_t r = 0; r < n; ++r) {
        size_t at = size_t(hashText(texts[r])) & (cap - 1);
        for (;;) {
            const uint32_t d = table[at];
            if (d == kFree) {
                table[at] = uint32_t(firstRow.size());
                id[r] = uint32_t(firstRow.size());
                firstRow.push_back(uint32_t(r));
                break;
            }
            if (sameText(texts[firstRow[d]], texts[r])) {
                id[r] = d;
                break;
            }
            at = (at + 1) & (cap - 1);
        }
    }
    return id;
}

// The rank of each text among `texts` as Grid::CompareText orders them.
// Key columns usually hold few distinct values: each distinct text is
// compared once, not once per row.
std::vector<uint32_t> columnRanks(const std::vector<CellText>& texts, uint32_t& distinctCount)
{
    std::vector<uint32_t> firstRow;
    std::vector<uint32_t> id = distinctIds(texts, firstRow);
    std::vector<QString> distinct(firstRow.size());
    for (size_t d = 0; d < distinct.size(); ++d)
        distinct[d] = texts[firstRow[d]].toString();
    const std::vector<int> rankOf = textRanks(distinct);
    distinctCount = uint32_t(distinct.size());
    for (uint32_t& r : id)
        r = uint32_t(rankOf[r]);
    return id;
}

} // namespace

void Grid::Sort()
{
    if (rows_.size() < 2)
        return;
    const size_t n = rows_.size();
    std::vector<uint32_t> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = uint32_t(i);
    // A stable counting sort per key, from the last key to the first, leaves
    // the rows ordered by all keys, equal rows in their old order.
    std::vector<int> keyCols;
    for (int k = 1; k <= sort_.Count(); ++k)
        if (validCol(sort_.Col(k)))
            keyCols.push_back(k);
    if (keyCols.empty())
        return;
    std::vector<CellText> texts(n);
    std::vector<uint32_t> next(n);
    for (auto k = keyCols.rbegin(); k != keyCols.rend(); ++k) {
        const size_t col = size_t(sort_.Col(*k) - 1);
        for (size_t i = 0; i < n; ++i)
            texts[i] = cellText(rows_[i].cells.block_, col);
        uint32_t distinct = 0;
        std::vector<uint32_t> rank = columnRanks(texts, distinct);
        if (sort_.Order(*k) == 1)
            for (uint32_t& r : rank)
                r = distinct - 1 - r;
        std::vector<uint32_t> start(size_t(distinct) + 1, 0);
        for (const uint32_t r : rank)
            ++start[r + 1];
        for (size_t d = 1; d < start.size(); ++d)
            start[d] += start[d - 1];
        for (const uint32_t i : order)
            next[start[rank[i]]++] = i;
        order.swap(next);
    }
    std::vector<Row> sorted;
    sorted.reserve(n);
    for (const uint32_t i : order)
        sorted.push_back(std::move(rows_[i]));
    rows_ = std::move(sorted);
    notify();
}

bool Grid::CellSelected(int row, int col) const
{
    if (!validRow(row) || !validCol(col))
        return false;
    const auto& sel = rows_[size_t(row - 1)].selected;
    return sel && size_t(col - 1) < sel->size() && (*sel)[size_t(col - 1)];
}

void Grid::SetCellSelected(int row, int col, bool selected)
{
    if (!validRow(row) || !validCol(col))
        return;
    auto& sel = rows_[size_t(row - 1)].selected;
    if (!sel) {
        if (!selected)
            return notify(row, col);
        sel = std::make_unique<std::vector<bool>>();
    }
    if (sel->size() < cols_.size())
        sel->resize(cols_.size());
    (*sel)[size_t(col - 1)] = selected;
    notify(row, col);
}

Grid::DistinctColumn Grid::DistinctTexts(int col) const
{
    DistinctColumn out;
    std::vector<CellText> texts(rows_.size());
    if (validCol(col))
        for (size_t i = 0; i < rows_.size(); ++i)
            texts[i] = cellText(rows_[i].cells.block_, size_t(col - 1));
    std::vector<uint32_t> firstRow;
    out.ids = distinctIds(texts, firstRow);
    out.texts.reserve(firstRow.size());
    for (const uint32_t r : firstRow)
        out.texts.push_back(texts[r].toString());
    return out;
}

QStringList Grid::RowValues(int row) const
{
    QStringList out;
    if (!validRow(row))
        return out;
    const Block* b = rows_[size_t(row - 1)].cells.block_;
    out.reserve(ColCount());
    for (size_t c = 0; c < cols_.size(); ++c)
        out << cellText(b, c).toString();
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

uint64_t Grid::freshRevision()
{
    static std::atomic<uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

void Grid::notify(int row, int col)
{
    // Every change ends here, whether anybody is told or not.
    revision_ = freshRevision();
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
