#pragma once
// A board's program folder for tests that start the real program: one
// record line, a Player-mode settings file and the test template with its
// records only (no title, date or time, so a page changes only when its
// records or its template do).
#include <QByteArray>
#include <QString>

namespace boardfolder {

// A record file line with the first two record lines set.
QByteArray record(const char* first, const char* second);

// Player mode, local data from `home`/source.orv, pages to the local player
// (or stand-alone), the Image File "Page.png" and a play-list of
// `templates` (one name per entry).
QByteArray settings(const QString& home, int dwell, const QStringList& templates, bool standAlone = false);

// The test template "Template with 3 records" without its title, date and
// time; `background` ("&H..."), when given, replaces its background colour.
QByteArray recordsOnlyTemplate(const QByteArray& background = QByteArray());

} // namespace boardfolder
