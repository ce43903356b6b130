#include "platform/grid.h"
#include "platform/gridmodel.h"
#include "platform/gridview.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QSet>

namespace {

// A grid with columns "Name" and "Num" and the given rows.
Grid makeGrid(std::initializer_list<std::pair<const char*, const char*>> rows)
{
    Grid g;
    g.AddCol("Name", "Name header");
    g.AddCol("Num");
    for (const auto& [name, num] : rows) {
        const int r = g.AddRow();
        g.SetCellValue(r, "Name", QString::fromUtf8(name));
        g.SetCellValue(r, "num", QString::fromUtf8(num));
    }
    return g;
}

QStringList column(const Grid& g, int col)
{
    QStringList out;
    for (int r = 1; r <= g.RowCount(); ++r)
        out << g.CellValue(r, col);
    return out;
}

} // namespace

TEST(Grid, RowsCellsColumnsAndClear)
{
    Grid g = makeGrid({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.ColIndex("NUM"), 2);
    EXPECT_EQ(g.ColIndex("none"), 0);
    // A second column of the same name (in any case) is never found by key.
    EXPECT_EQ(g.AddCol("NUM"), 3);
    EXPECT_EQ(g.ColIndex("NUM"), 2);

    // Stale numbers and keys are harmless.
    g.SetCellValue(0, 1, "x");
    g.SetCellValue(4, 1, "x");
    g.SetCellValue(1, "missing", "x");
    g.RemoveRow(9);
    g.MoveRow(1, 9);
    g.SetCellSelected(7, 1, true);
    EXPECT_EQ(g.CellValue(9, 1), "");
    EXPECT_FALSE(g.CellSelected(0, 0));
    EXPECT_EQ(column(g, 1), QStringList({"a", "b", "c"}));

    g = makeGrid({{"a", "1"}});
    g.AddCol("Hidden", "", false);
    g.SetCellValue(1, "hidden", "kept");
    EXPECT_EQ(g.CellValue(1, "Hidden"), "kept");

    g.SortObject().SetCount(1);
    g.Clear();
    EXPECT_EQ(g.RowCount(), 0);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.AddRow(), 1);
    EXPECT_EQ(g.CellValue(1, "Hidden"), "");
    g.Clear(true);
    EXPECT_EQ(g.ColIndex("Name"), 0);
    g.AddCol("NUM");
    EXPECT_EQ(g.ColIndex("NUM"), 1);
}

TEST(GridModel, ShowsVisibleColumnsAndResetsOnChange)
{
    Grid g = makeGrid({{"a", "1"}, {"b", "2"}});
    g.AddCol("Hidden", "", false);
    g.SetCellValue(1, "Hidden", "secret");
    GridTableModel m(g);
    EXPECT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.columnCount(), 2);
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), "Name header");
    EXPECT_EQ(m.gridColumn(1), 2);
    EXPECT_EQ(m.modelColumn(3), -1);

    int resets = 0;
    QList<QModelIndex> changes;
    QObject::connect(&m, &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    QObject::connect(&m, &QAbstractItemModel::dataChanged,
                     [&changes](const QModelIndex& a, const QModelIndex&) { changes << a; });
    g.SetCellValue(2, "Num", "7");
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(changes, QList<QModelIndex>{m.index(1, 1)});
    EXPECT_EQ(m.data(m.index(1, 1)).toString(), "7");

    g.AddRow();
    EXPECT_EQ(m.rowCount(), 3);
    g.SetColumnVisible(3, true);
    EXPECT_EQ(m.columnCount(), 3);
    EXPECT_EQ(m.data(m.index(0, 2)).toString(), "secret");
}

TEST(GridModel, KeepsItsRowCountWhileRedrawIsOff)
{
    Grid g = makeGrid({{"a", "1"}, {"b", "2"}});
    GridTableModel m(g);
    int resets = 0;
    QObject::connect(&m, &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    g.SetRedraw(false);
    g.Clear();
    for (int i = 0; i < 5; ++i)
        g.AddRow();
    EXPECT_EQ(m.rowCount(), 2);
    EXPECT_EQ(resets, 0);
    g.SetRedraw(true);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(m.rowCount(), 5);
}

TEST(GridModel, TwoModelsOnOneGridAndAPlainObserver)
{
    Grid g = makeGrid({{"a", "1"}});
    int plain = 0;
    g.setObserver([&plain] { ++plain; });
    auto first = std::make_unique<GridTableModel>(g);
    GridTableModel second(g);
    first.reset();
    g.AddRow();
    EXPECT_EQ(second.rowCount(), 2);
    EXPECT_EQ(plain, 1);
}

TEST(GridModel, ACopyOfAWatchedGridIsNotWatched)
{
    Grid g = makeGrid({{"a", "1"}});
    Grid copy;
    {
        GridTableModel m(g);
        copy = g;
        GridTableModel onCopy(copy);
        Grid other(g);
        copy = other; // the copy's own model hears of it
        EXPECT_EQ(onCopy.rowCount(), 1);
    }
    // No model is left to call: changing either grid is safe.
    copy.AddRow();
    g.AddRow();
    EXPECT_EQ(copy.RowCount(), 2);
    EXPECT_EQ(copy.CellValue(1, "Name"), "a");
}

TEST(GridView, SelectionFollowsTheGridBothWays)
{
    Grid g = makeGrid({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    GridView view(g);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    QItemSelectionModel* sel = view.selectionModel();

    g.SetCellSelected(2, 1, true);
    EXPECT_TRUE(sel->isRowSelected(1, QModelIndex()));

    sel->select(view.model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_TRUE(g.CellSelected(3, 2));
    EXPECT_TRUE(g.CellSelected(2, 2));
    sel->select(view.model()->index(1, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    EXPECT_FALSE(g.CellSelected(2, 1));
    EXPECT_TRUE(sel->isRowSelected(2, QModelIndex()));

    // A sort moves the selection with its row, in the view as well.
    GridSort& s = g.SortObject();
    s.SetCount(1);
    s.SetOrder(1, 1);
    g.Sort();
    EXPECT_TRUE(sel->isRowSelected(0, QModelIndex()));
    EXPECT_FALSE(sel->isRowSelected(2, QModelIndex()));

    int cell = 0, shownRow = 0;
    g.onCellEvent = [&](int r, int c) { cell = r * 10 + c; };
    g.onRowEvent = [&](int r) { shownRow = r; };
    Q_EMIT view.clicked(view.model()->index(1, 1));
    EXPECT_EQ(cell, 22);
    EXPECT_EQ(shownRow, 2);
}

TEST(Grid, SortComparesTextsHoweverTheyAreStored)
{
    // "b" sits in rows of plain Latin-1 and in a row that needs UTF-16; both
    // are the same text and keep their order.
    Grid g;
    g.AddCol("Key");
    g.AddCol("Other");
    g.AddCol("Id");
    const char* rows[][2] = {
        {"b", "plain"}, {"\u00C9t\u00E9", "x"}, {"b", "\u20AC"}, {"\u00E9t\u00E9", "x"}, {"B", "x"}, {"a", "x"},
        {"", "x"}};
    for (const auto& [key, other] : rows) {
        const int r = g.AddRow();
        g.SetCellValue(r, 1, QString::fromUtf8(key));
        g.SetCellValue(r, 2, QString::fromUtf8(other));
        g.SetCellValue(r, 3, QString::number(r));
    }
    g.SortObject().SetCount(1);
    for (int key : {1, 9}) { // a key on a column that does not exist changes nothing
        g.SortObject().SetCol(1, key);
        g.Sort();
        EXPECT_EQ(column(g, 3), QStringList({"7", "6", "5", "1", "3", "2", "4"}));
    }
}

TEST(Grid, RandomEditsMatchAPlainTable)
{
    // Every operation on a grid against the same operation on a plain table
    // of texts: narrow and wide texts, long cells, cells past the stored
    // ones, rows and columns added, moves, sorts, copies and selection, some
    // with redraw off. Every change of content gives a new revision, and
    // each column's distinct texts map back to its cells.
    const QString texts[] = {
        "", "a", "B", "b", "x y", "\u00E9", "\u20AC1", QString(70000, 'L'), QString(3, QChar(0)), "\U0001F600"};
    struct Cell {
        QString text;
        bool selected = false;
        bool operator==(const Cell&) const = default;
    };
    std::vector<std::vector<Cell>> model;
    size_t cols = 3;
    Grid g;
    for (size_t c = 0; c < cols; ++c)
        g.AddCol(QString::number(c));
    quint32 seed = 12345;
    auto rnd = [&](quint32 n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int step = 0; step < 2000; ++step) {
        const quint32 op = rnd(100);
        const int rows = int(model.size());
        const auto before = model;
        const size_t colsBefore = cols;
        const uint64_t revision = g.Revision();
        const bool quiet = rnd(4) == 0;
        g.SetRedraw(!quiet);
        if (op < 50 && rows > 0) {
            const int r = int(rnd(quint32(rows))), c = int(rnd(quint32(cols)));
            const QString& t = texts[rnd(std::size(texts))];
            g.SetCellValue(r + 1, c + 1, t);
            model[size_t(r)][size_t(c)].text = t;
        } else if (op < 62) {
            const int before = int(rnd(quint32(rows + 2)));
            const int at = g.AddRow(before);
            ASSERT_EQ(at, before >= 1 && before <= rows ? before : rows + 1);
            model.insert(model.begin() + (at - 1), std::vector<Cell>(cols));
        } else if (op < 68) {
            std::vector<QAnyStringView> cells;
            std::vector<Cell> row(cols);
            const size_t given = rnd(quint32(cols + 2)); // none, some, or one past the last column
            std::vector<QByteArray> utf8(given);
            for (size_t c = 0; c < given; ++c) {
                const QString& t = texts[rnd(std::size(texts))];
                utf8[c] = t.toUtf8();
                cells.push_back(rnd(2) == 0 ? QAnyStringView(t) : QAnyStringView(QUtf8StringView(utf8[c])));
                if (c < cols)
                    row[c].text = t;
            }
            g.AppendRow(cells);
            model.push_back(row);
        } else if (op < 73 && rows > 0) {
            const int r = int(rnd(quint32(rows)));
            g.RemoveRow(r + 1);
            model.erase(model.begin() + r);
        } else if (op < 80 && rows > 0) {
            const int from = int(rnd(quint32(rows))), to = int(rnd(quint32(rows)));
            g.MoveRow(from + 1, to + 1);
            const auto moved = model[size_t(from)];
            model.erase(model.begin() + from);
            model.insert(model.begin() + to, moved);
        } else if (op < 83 && cols < 40) {
            g.AddCol(QString::number(cols++));
            for (auto& r : model)
                r.emplace_back();
        } else if (op < 88 && rows > 0) {
            const int r = int(rnd(quint32(rows))), c = int(rnd(quint32(cols)));
            const bool on = rnd(2) == 0;
            g.SetCellSelected(r + 1, c + 1, on);
            model[size_t(r)][size_t(c)].selected = on;
        } else if (op < 92) {
            // Sort by two keys, possibly on columns most rows do not store.
            const int k1 = int(rnd(quint32(cols))), k2 = int(rnd(quint32(cols))), o1 = int(rnd(2)), o2 = int(rnd(2));
            g.SortObject().SetCount(2);
            g.SortObject().SetCol(1, k1 + 1);
            g.SortObject().SetOrder(1, o1);
            g.SortObject().SetCol(2, k2 + 1);
            g.SortObject().SetOrder(2, o2);
            g.Sort();
            std::stable_sort(model.begin(), model.end(), [&](const auto& x, const auto& y) {
                for (const auto& [k, o] : {std::pair{k1, o1}, std::pair{k2, o2}}) {
                    const int c = Grid::CompareText(x[size_t(k)].text, y[size_t(k)].text);
                    if (c != 0)
                        return o == 1 ? c > 0 : c < 0;
                }
                return false;
            });
        } else if (op < 95) {
            Grid copy;
            copy = g; // a copy holds the same, whatever happens to the original
            g.Clear(true);
            g = std::move(copy);
        } else if (op < 96) {
            g.Clear();
            model.clear();
        }
        if (model != before || cols != colsBefore) {
            ASSERT_NE(g.Revision(), revision) << step;
        }
        g.SetRedraw(true);
        ASSERT_EQ(g.RowCount(), int(model.size())) << step;
        ASSERT_EQ(g.ColCount(), int(cols)) << step;
        const int c = int(rnd(quint32(cols + 1))); // one past the last reads as empty
        const Grid::DistinctColumn distinct = g.DistinctTexts(c + 1);
        ASSERT_EQ(distinct.ids.size(), model.size()) << step;
        ASSERT_EQ(QSet<QString>(distinct.texts.begin(), distinct.texts.end()).size(), qsizetype(distinct.texts.size()));
        for (size_t r = 0; r < model.size(); ++r)
            ASSERT_EQ(distinct.texts[distinct.ids[r]], size_t(c) < cols ? model[r][size_t(c)].text : QString()) << step;
        for (size_t r = 0; r < model.size(); ++r) {
            QStringList expected;
            for (size_t c = 0; c < cols; ++c) {
                expected << model[r][c].text;
                ASSERT_EQ(g.CellSelected(int(r + 1), int(c + 1)), model[r][c].selected) << step;
            }
            ASSERT_EQ(g.RowValues(int(r + 1)), expected) << "step " << step << " row " << r + 1;
        }
    }
}
