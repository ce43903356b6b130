#pragma once
// Helpers for the main window's tests.
#include "tests/testsupport.h"

#include <QString>

namespace shelltest {

using testsupport::pump;
using testsupport::waitFor;
// Writes a settings file with the given text.
void writeText(const QString& path, const QString& text);

} // namespace shelltest
