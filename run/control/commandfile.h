#pragma once
// The command file OrvaneConfirm.txt that a remote administrator uploads
// into the program folder: one value on its first line ("1" new settings,
// "2" and "3" restart, "0" nothing), reset to "0" once a command is taken.
#include <QByteArray>
#include <QString>

namespace commandfile {

// Only the head of the file is read: a command is one short value.
constexpr qint64 kMaxReadBytes = 4096;

// The value as a sequential input of one field reads it from `bytes` (the
// head of the file, UTF-8 or Windows-1252): on the first line, leading
// blanks and tabs are skipped; a value opening with a double quote runs to
// the next double quote, any other to the first comma or the line's end,
// without trailing blanks. Empty bytes give "".
QString readValue(const QByteArray& bytes);

// Reads the value from the file at `path`; false when it can't be opened.
bool readFile(const QString& path, QString& value);

// The bytes of a reset: "0" and CR LF.
QByteArray resetBytes();

} // namespace commandfile
