#include "tests/recordlist/listtestsupport.h"

namespace listtest {

void recordColumns(Grid& g)
{
    g.Clear(true);
    for (int i = 1; i <= 20; ++i)
        g.AddCol(QStringLiteral("Line %1").arg(i));
    g.AddCol(QStringLiteral("DateTime"));
}

void addRecord(Grid& g, const QMap<QString, QString>& cells)
{
    const int r = g.AddRow();
    for (auto it = cells.begin(); it != cells.end(); ++it)
        g.SetCellValue(r, it.key(), it.value());
}

void addFunction(Grid& g, const QString& event, const QString& flag, const QString& time, const QString& location,
                 const QString& title)
{
    addRecord(g, {{"Line 9", event},
                  {"Line 11", flag},
                  {"Line 19", "40"},
                  {"Line 4", time},
                  {"Line 12", location},
                  {"Line 1", title.isEmpty() ? event + " title" : title},
                  {"Line 2", event + "@" + location}});
}

QStringList column(const Grid& g, const QString& key)
{
    QStringList out;
    for (int r = 1; r <= g.RowCount(); ++r)
        out << g.CellValue(r, key);
    return out;
}

QStringList pairs(const Grid& g, const QString& a, const QString& b, const QString& sep)
{
    QStringList out;
    for (int r = 1; r <= g.RowCount(); ++r)
        out << g.CellValue(r, a) + sep + g.CellValue(r, b);
    return out;
}

} // namespace listtest
