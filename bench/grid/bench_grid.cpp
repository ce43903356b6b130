// Loads 100,000 rows x 21 columns ("Line 1" .. "Line 20" and "DateTime")
// into a Grid with a table model attached, then sorts by one and by three
// keys, and prints how long each step took.
#include "platform/grid.h"
#include "platform/gridmodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr int kRows = 100000;
constexpr int kLines = 20;

void report(const char* step, QElapsedTimer& t)
{
    std::printf("%-42s %8.1f ms\n", step, double(t.nsecsElapsed()) / 1e6);
    t.restart();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QRandomGenerator rng(20240506);
    static const char* const words[] = {"Ballroom", "board room", "Garden", "TERRACE", "Salon",
                                        "lobby",    "Ocean View", "atrium", "Library", "Studio"};

    Grid g;
    GridTableModel model(g);
    QElapsedTimer t;
    t.start();
    for (int i = 1; i <= kLines; ++i)
        g.AddCol(QStringLiteral("Line %1").arg(i));
    g.AddCol(QStringLiteral("DateTime"), QString(), false);

    QStringList keys;
    for (int i = 1; i <= kLines; ++i)
        keys << QStringLiteral("Line %1").arg(i);
    g.SetRedraw(false);
    for (int r = 0; r < kRows; ++r) {
        const int row = g.AddRow();
        for (int i = 1; i <= kLines; ++i) {
            const char* w = words[rng.bounded(10)];
            g.SetCellValue(row, keys[i - 1], QString::fromLatin1(w) + QString::number(rng.bounded(1000)));
        }
        const int start = int(rng.bounded(24 * 60));
        g.SetCellValue(row, QStringLiteral("DateTime"),
                       QStringLiteral("%1:%2|23:59|0|0")
                           .arg(start / 60, 2, 10, QLatin1Char('0'))
                           .arg(start % 60, 2, 10, QLatin1Char('0')));
    }
    g.SetRedraw(true);
    report("load 100000 x 21 by column key", t);

    qint64 chars = 0;
    for (int r = 1; r <= g.RowCount(); ++r)
        for (int c = 1; c <= g.ColCount(); ++c)
            chars += g.CellValue(r, c).size();
    report("read every cell by index", t);

    for (int r = 1; r <= g.RowCount(); ++r)
        chars += g.CellValue(r, QStringLiteral("DateTime")).size();
    report("read one column by key", t);

    GridSort& s = g.SortObject();
    s.SetCount(1);
    s.SetCol(1, g.ColIndex(QStringLiteral("DateTime")));
    g.Sort();
    report("sort by 1 key", t);

    s.SetCount(3);
    s.SetCol(2, 2);
    s.SetCol(3, 3);
    s.SetOrder(3, 1);
    g.Sort();
    report("sort by 3 keys (one descending)", t);

    g.Sort();
    report("sort again (already in order)", t);

    for (int i = 0; i < 1000; ++i)
        g.SetCellValue(1 + int(rng.bounded(kRows)), 1, QStringLiteral("edit"));
    report("1000 single-cell edits, model attached", t);

    for (int i = 0; i < 200; ++i)
        g.MoveRow(1 + int(rng.bounded(kRows)), 1 + int(rng.bounded(kRows)));
    report("200 row moves, model attached", t);

    g.Clear();
    report("clear", t);
    std::printf("rows in model after clear: %d (checksum %lld)\n", model.rowCount(), static_cast<long long>(chars));
    return 0;
}
