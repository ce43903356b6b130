#pragma once
// Helpers for the main window's tests.
#include <QString>

#include <functional>

namespace shelltest {

// Runs the event loop until `done` holds or `timeoutMs` has passed.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 3000);
// Runs the event loop for `ms` milliseconds.
void pump(int ms);
// Writes a settings file with the given text.
void writeText(const QString& path, const QString& text);

} // namespace shelltest
