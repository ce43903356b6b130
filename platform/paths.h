#pragma once
// Folder and file-name rules. Paths are built with "/"; a file name taken
// from a stored value (which may come from a Windows board) is the text
// after its last "\" or "/".
#include <QString>

namespace paths {

// The program folder: the executable's folder, or ORVANE_HOME when set.
QString programFolder();
// The local player's folder: /opt/ZQ5Player, or ORVANE_PLAYER_FOLDER when set.
QString playerFolder();

// folder + "/" + name (no doubled "/").
QString join(const QString& folder, const QString& name);
// The text after the last "\" or "/".
QString fileNameOf(const QString& stored);
// A plain file name: not empty, not "." or "..", no "\" or "/", no control characters.
bool isPlainFileName(const QString& name);
// The file a stored name names, by the two rules above: the text after its
// last "\" or "/", blanks around the name dropped, when that is a plain file
// name; "" when it names no file ("", "book.txt/", "..").
QString namedFile(const QString& stored);

// Finds `name` in `folder`: the exact name when it exists, else the single
// entry whose name matches without regard to case; with no match (or more
// than one) the plain join, so callers report "missing" as usual.
QString resolve(const QString& folder, const QString& name);

// True when `path` lies inside `folder` (after resolving links and "..").
bool isInside(const QString& path, const QString& folder);

} // namespace paths
