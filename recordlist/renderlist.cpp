#include "recordlist/renderlist.h"

#include "core/datagrids.h"
#include "core/globals.h"
#include "platform/services.h"
#include "platform/vbvalue.h"

#include <QHash>
#include <QSet>

#include <deque>
#include <vector>

namespace {

const QStringList& recordKeys()
{
    static const QStringList keys = [] {
        QStringList k;
        for (int i = 1; i <= 20; ++i)
            k << QStringLiteral("Line %1").arg(i);
        k << QStringLiteral("DateTime");
        return k;
    }();
    return keys;
}

void initRecordColumns(Grid& g)
{
    g.SetRedraw(false);
    g.Clear(true);
    const QStringList& keys = recordKeys();
    for (int i = 0; i < keys.size(); ++i)
        g.AddCol(keys[i], keys[i], i < 12);
    for (int c = 1; c <= g.ColCount(); ++c)
        g.AutoSizeColumn(c);
    g.SetRedraw(true);
}

// -1 when the sort type asks for no sort.
int sortOrderOf(const QString& type)
{
    const QString t = type.toUpper();
    if (t == QLatin1String("ASCENDING"))
        return 0;
    if (t == QLatin1String("DESCENDING"))
        return 1;
    return -1;
}

bool groupIsSet(const QString& group)
{
    return !group.isEmpty() && group.toUpper() != QLatin1String("NONE");
}

void sortPass(Grid& g, int keyCount, const QString& key, int order, int keySetting)
{
    g.SetRedraw(false);
    GridSort& s = g.SortObject();
    s.SetCount(keyCount);
    s.SetCol(keyCount, g.ColIndex(key.trimmed()));
    s.SetOrder(keyCount, order);
    s.SetSetting(keyCount, keySetting);
    g.Sort();
    g.SetRedraw(true);
}

// The column indexes of the 21 record keys in `g` (0 for a missing one).
std::vector<int> recordColumnsOf(const Grid& g)
{
    std::vector<int> cols;
    for (const QString& k : recordKeys())
        cols.push_back(g.ColIndex(k));
    return cols;
}

void copyRecord(const Grid& from, int row, const std::vector<int>& fromCols, Grid& to)
{
    const int r = to.AddRow();
    for (size_t k = 0; k < fromCols.size(); ++k)
        to.SetCellValue(r, int(k + 1), from.CellValue(row, fromCols[k]));
}

// Takes the records of igRDM that pass their bounds and are not superseded,
// in the order they are taken; returns their igRDM row numbers.
std::vector<int> collectRecords(const Grid& igRDM)
{
    const int c8 = igRDM.ColIndex(QStringLiteral("Line 8"));
    const int c9 = igRDM.ColIndex(QStringLiteral("Line 9"));
    const int c11 = igRDM.ColIndex(QStringLiteral("Line 11"));
    const int c19 = igRDM.ColIndex(QStringLiteral("Line 19"));
    const int rows = igRDM.RowCount();

    // Events (trimmed, upper-cased) that have a "Y" record anywhere in the
    // store; only asked while nothing has been taken yet.
    bool flaggedKnown = false;
    QSet<QString> flaggedEvents;
    auto hasFlaggedRecord = [&](const QString& eventUpper) {
        if (!flaggedKnown) {
            for (int r = 1; r <= rows; ++r)
                if (igRDM.CellValue(r, c11).trimmed().toUpper() == QLatin1String("Y"))
                    flaggedEvents.insert(igRDM.CellValue(r, c9).trimmed().toUpper());
            flaggedKnown = true;
        }
        return flaggedEvents.contains(eventUpper);
    };

    std::vector<int> taken;          // igRDM rows in the order taken
    std::vector<char> removed;       // parallel to `taken`
    int held = 0;                    // records taken and not removed again
    QHash<QString, int> heldByEvent; // trimmed event ID -> records held
    // Trimmed event ID -> held records flagged "N" or empty, earliest first.
    QHash<QString, std::deque<size_t>> replaceable;

    for (int i = 1; i <= rows; ++i) {
        if (vb::Val(igRDM.CellValue(i, c8).trimmed()) > 8)
            continue;
        const QString flag = igRDM.CellValue(i, c11).trimmed();
        const bool flagged = flag.toUpper() == QLatin1String("Y");
        if (flagged) {
            const double status = vb::Val(igRDM.CellValue(i, c19));
            if (status < 29 || status > 50)
                continue;
        }
        const QString event = igRDM.CellValue(i, c9).trimmed();
        if (!flagged) {
            if (held == 0 ? hasFlaggedRecord(event.toUpper()) : heldByEvent.value(event) > 0)
                continue;
        }

        const size_t index = taken.size();
        taken.push_back(i);
        removed.push_back(0);
        ++held;
        ++heldByEvent[event];
        if (!flagged && (flag.isEmpty() || flag == QLatin1String("N")))
            replaceable[event].push_back(index);

        // A function record replaces the earliest unflagged record of its event.
        if (flagged) {
            auto it = replaceable.find(event);
            if (it != replaceable.end() && !it->empty()) {
                removed[it->front()] = 1;
                it->pop_front();
                --held;
                --heldByEvent[event];
            }
        }
    }

    std::vector<int> out;
    out.reserve(size_t(held));
    for (size_t k = 0; k < taken.size(); ++k)
        if (!removed[k])
            out.push_back(taken[k]);
    return out;
}

bool isTimeOrDateLine(const QString& line)
{
    const QString u = line.toUpper();
    return u == QLatin1String("LINE 4") || u == QLatin1String("LINE 5") || u == QLatin1String("LINE 6") ||
           u == QLatin1String("LINE 7");
}

// Places the rows of igRADE2 into an order that keeps each group together:
// a record of a new group goes before the first block whose first line value
// is greater than its own (else at the end), a record of the same group as
// the one before goes right after the run that holds that record. A block is
// a run of rows with the same group value; a leading run with an empty group
// value counts as no block (it follows the empty text above row 1).
// Returns igRADE2 row numbers in their igRADE order.
std::vector<int> mergeOrder(const Grid& igRADE2, const ListSortSettings& sort)
{
    const int gc = igRADE2.ColIndex(sort.group);
    const int lc = igRADE2.ColIndex(sort.line);

    struct Block {
        int group;
        double first; // numeric line value of the block's first row
        std::vector<int> rows;
    };
    std::vector<Block> blocks;
    QHash<QString, int> groupIds;
    groupIds.insert(QString(), 0);
    auto groupId = [&groupIds](const QString& g) {
        auto it = groupIds.find(g);
        if (it == groupIds.end())
            it = groupIds.insert(g, int(groupIds.size()));
        return it.value();
    };

    int previous = 0;
    size_t target = 0; // block holding the previous record
    const int rows = igRADE2.RowCount();
    for (int i = 1; i <= rows; ++i) {
        const int g = groupId(igRADE2.CellValue(i, gc));
        const double v = vb::Val(igRADE2.CellValue(i, lc));
        if (blocks.empty()) {
            blocks.push_back({g, v, {i}});
            previous = g;
            target = 0;
            continue;
        }
        if (g == previous) {
            blocks[target].rows.push_back(i);
            continue;
        }
        previous = g;
        size_t b = 0;
        for (; b < blocks.size(); ++b) {
            if (b == 0 && blocks[0].group == 0)
                continue; // no block start in row 1
            if (blocks[b].first > v)
                break;
        }
        if (b == blocks.size()) {
            if (blocks.back().group != g)
                blocks.push_back({g, v, {}});
            blocks.back().rows.push_back(i);
            target = blocks.size() - 1;
        } else if (b > 0 && blocks[b - 1].group == g) {
            blocks[b - 1].rows.push_back(i); // lands at the end of the run above
            target = b - 1;
        } else if (blocks[b].group == g) {
            blocks[b].rows.insert(blocks[b].rows.begin(), i); // new first row of that run
            blocks[b].first = v;
            target = b;
        } else {
            blocks.insert(blocks.begin() + std::ptrdiff_t(b), Block{g, v, {i}});
            target = b;
        }
    }

    std::vector<int> order;
    order.reserve(size_t(rows));
    for (const Block& b : blocks)
        order.insert(order.end(), b.rows.begin(), b.rows.end());
    return order;
}

} // namespace

ListSortSettings ListSortSettings::fromGlobals()
{
    return {gstrSortType, gstrSortGroup, gstrSortLine};
}

void sortGridBySettings(Grid& grid, const ListSortSettings& sort, int keySetting)
{
    if (sort.type.isEmpty())
        return;
    const int order = sortOrderOf(sort.type);
    if (order < 0)
        return;
    if (groupIsSet(sort.group)) {
        sortPass(grid, 1, sort.group, order, keySetting);
        if (!sort.line.isEmpty())
            sortPass(grid, 2, sort.line, order, keySetting);
    } else if (!sort.line.isEmpty()) {
        sortPass(grid, 1, sort.line, order, keySetting);
    }
}

void initRADEGridColumns(Grid& igRADE, Grid& igRADE2)
{
    initRecordColumns(igRADE);
    initRecordColumns(igRADE2);
}

void buildRADEList(const Grid& igRDM, Grid& igRADE, Grid& igRADE2, const ListSortSettings& sort)
{
    BusyGuard busy;
    initRADEGridColumns(igRADE, igRADE2);

    const std::vector<int> rdmCols = recordColumnsOf(igRDM);
    igRADE2.SetRedraw(false);
    for (int row : collectRecords(igRDM))
        copyRecord(igRDM, row, rdmCols, igRADE2);
    igRADE2.SetRedraw(true);

    sortGridBySettings(igRADE2, sort, 2);

    const std::vector<int> stagingCols = recordColumnsOf(igRADE2);
    igRADE.SetRedraw(false);
    // With no sort asked for ("None" or empty) the list keeps the collection
    // order; any other type (even one that sorted nothing) merges the groups.
    const bool sortAsked = !sort.type.isEmpty() && sort.type.toUpper() != QLatin1String("NONE");
    if (sortAsked && !sort.line.isEmpty() && isTimeOrDateLine(sort.line)) {
        for (int row : mergeOrder(igRADE2, sort))
            copyRecord(igRADE2, row, stagingCols, igRADE);
    } else {
        for (int row = 1; row <= igRADE2.RowCount(); ++row)
            copyRecord(igRADE2, row, stagingCols, igRADE);
    }
    igRADE.SetRedraw(true);
}

void buildRADEList()
{
    DataGrids& grids = dataGrids();
    buildRADEList(grids.igRDM, grids.igRADE, grids.igRADE2, ListSortSettings::fromGlobals());
}
