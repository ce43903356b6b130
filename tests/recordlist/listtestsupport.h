#pragma once
// Builders for record and booking test data.
#include "platform/grid.h"
#include "tests/testsupport.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace listtest {

// Gives `g` the 21 record columns ("Line 1" .. "Line 20", "DateTime").
void recordColumns(Grid& g);
// Appends a record with the given cells; other cells stay empty.
void addRecord(Grid& g, const QMap<QString, QString>& cells);
// A function record of event `event` with flag `flag` (Line 19 = 40 so a
// flagged one passes its range) and an optional time in "Line 4".
void addFunction(Grid& g, const QString& event, const QString& flag, const QString& time = QString(),
                 const QString& location = QString(), const QString& title = QString());
// One column of every row, in row order.
QStringList column(const Grid& g, const QString& key);
// "<a><sep><b>" of every row, in row order.
QStringList pairs(const Grid& g, const QString& a, const QString& b, const QString& sep);

} // namespace listtest
