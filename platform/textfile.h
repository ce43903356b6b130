#pragma once
// Text files as boards and exports have them: read UTF-8 when the bytes are
// valid UTF-8 (a BOM is skipped), else Windows-1252; written as Windows-1252,
// or UTF-8 when the text has a character Windows-1252 cannot hold. Lines end
// in CRLF on write; CRLF and LF are both accepted on read.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace textfile {

// Inputs larger than this are refused rather than read.
constexpr qint64 kMaxInputBytes = qint64(256) * 1024 * 1024;

QString decode(const QByteArray& bytes);
// True when the bytes are valid UTF-8 (no overlong forms or surrogates).
bool isUtf8(const char* p, qsizetype n);
// Windows-1252 when every character fits, else UTF-8 (without BOM).
QByteArray encode(const QString& text);
// True when every character of `text` can be written in Windows-1252.
bool fitsWindows1252(const QString& text);

// Splits at CRLF or LF (a lone CR stays in the line). A final line break
// does not make an empty last line; an empty text has no lines.
QStringList splitLines(const QString& text);
// Every line followed by CRLF.
QString joinLines(const QStringList& lines);

// Reads a whole file. Fails (with a message in `error`) when the file is
// missing, unreadable, or larger than `maxBytes`.
bool readText(const QString& path, QString& text, QString* error = nullptr, qint64 maxBytes = kMaxInputBytes);
bool readLines(const QString& path, QStringList& lines, QString* error = nullptr, qint64 maxBytes = kMaxInputBytes);
// A buffer of many megabytes about to be filled front to back: asks the
// system for large pages, which spares it a fault per 4 kB page. Does
// nothing where the system has no such advice.
void adviseLargePages(void* data, qsizetype size);

// Reads a whole file's bytes, undecoded, with the same checks as readText.
bool readBytes(const QString& path, QByteArray& bytes, QString* error = nullptr, qint64 maxBytes = kMaxInputBytes);
// When the text of `bytes` (as decode reads it) is plain ASCII, returns true
// and sets `text` to it: a view of `bytes` after any BOM, no copy.
bool asciiText(const QByteArray& bytes, QLatin1StringView& text);

// Writes atomically (see atomicfile.h).
bool writeText(const QString& path, const QString& text, QString* error = nullptr);
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace textfile
