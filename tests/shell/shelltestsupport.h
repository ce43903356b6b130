#pragma once
// Helpers for the main window's tests.
#include "tests/testsupport.h"

#include <QString>
#include <QStringList>

class QComboBox;

namespace shelltest {

using testsupport::pump;
using testsupport::waitFor;

inline void writeText(const QString& path, const QString& text)
{
    testsupport::writeAll(path, text.toUtf8());
}

// The texts of a list's entries, in order.
QStringList entries(const QComboBox* list);

} // namespace shelltest
