#pragma once
// Text files as boards and exports have them: read UTF-8 when the bytes are
// valid UTF-8 (a BOM is skipped), else Windows-1252; written as Windows-1252,
// or UTF-8 (without BOM) when Windows-1252 would not read back as the text
// written: a character it cannot hold, or bytes that would pass for UTF-8
// ("É’" is C9 92, which reads as "ɒ"). Lines end in CRLF on write; CRLF and
// LF are both accepted on read (exports may end lines with a lone CR too:
// splitLinesAnyEnd).
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <type_traits>

namespace textfile {

// Inputs larger than this are refused rather than read.
constexpr qint64 kMaxInputBytes = qint64(256) * 1024 * 1024;
// The bound for the program's own small files: INI files (settings,
// templates, template lists), command and list files.
constexpr qint64 kMaxSmallFileBytes = qint64(16) * 1024 * 1024;

QString decode(const QByteArray& bytes);
// True when the bytes are valid UTF-8 (no overlong forms or surrogates).
bool isUtf8(const char* p, qsizetype n);

// isUtf8 over bytes that come piece by piece: a character may be cut between
// two pieces. Gives the same answer as isUtf8 over all pieces joined.
class Utf8Check {
public:
    // Adds the next piece; false once the bytes so far cannot be UTF-8.
    bool add(const char* p, qsizetype n);
    // True when everything added is UTF-8 and ends on a whole character.
    bool valid() const { return ok_ && pending_ == 0; }

private:
    char cut_[4] = {};
    int pending_ = 0; // bytes of a character that the last piece cut short
    bool ok_ = true;
};

// The bytes that decode reads back as `text`: Windows-1252 when every
// character fits and those bytes read back (Windows1252Check), else UTF-8
// (utf8Of). Plain ASCII, and Windows-1252 that is not valid UTF-8, come out
// as they always did.
QByteArray encode(const QString& text);
// True when every character of `text` can be written in Windows-1252.
bool fitsWindows1252(const QString& text);
// Appends `text` to `out` in Windows-1252. Returns false, with `out` as it
// was, when a character has no Windows-1252 byte.
bool appendWindows1252(QStringView text, QByteArray& out);
// The text of Windows-1252 bytes, whatever else they might pass for.
QString fromWindows1252(QByteArrayView bytes);
// `text` in UTF-8 as decode reads it back. No BOM, except for a text that
// itself starts with U+FEFF: a reader drops a BOM, so that text gets one in
// front to keep its own.
QByteArray utf8Of(QStringView text);

// Whether Windows-1252 bytes, handed over piece by piece as a writer makes
// them, read back as the text they were made of. They do unless decode takes
// them for something else: bytes past ASCII that are all valid UTF-8, or
// a start that looks like a UTF-8 BOM ("ï»¿"). A writer that gets false
// writes the text as UTF-8 (utf8Of) instead.
class Windows1252Check {
public:
    void add(const char* p, qsizetype n);
    bool readsBack() const;

private:
    Utf8Check utf8_;
    char head_[3] = {};
    int headSize_ = 0;
    bool high_ = false; // a byte past ASCII came by
};

// Splits at CRLF or LF (a lone CR stays in the line). A final line break
// does not make an empty last line; an empty text has no lines.
QStringList splitLines(const QString& text);
// Splits at CRLF, LF or a lone CR, for exports of other systems, whichever
// line end they use. A final line end does not make an empty last line; an
// empty text has no lines.
QStringList splitLinesAnyEnd(QStringView text);
// Calls `line(view)` for every line of `text` (a QStringView or a
// QLatin1StringView) as splitLinesAnyEnd cuts them. The views point into
// `text`: nothing is copied.
template <typename View, typename Line> void forEachLineAnyEnd(View text, Line&& line)
{
    const auto* u = [&text] {
        if constexpr (std::is_same_v<View, QStringView>)
            return text.utf16();
        else
            return reinterpret_cast<const unsigned char*>(text.data());
    }();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (u[i] != '\n' && u[i] != '\r')
            continue;
        line(text.sliced(start, i - start));
        if (u[i] == '\r' && i + 1 < n && u[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        line(text.sliced(start));
}
// Every line followed by CRLF.
QString joinLines(const QStringList& lines);
// The text with every CR and LF made a blank: a value that must stay on its
// line.
QString blankLineBreaks(QString text);

// Reads a whole file. Fails (with a message in `error`) when the file is
// missing, not a regular file, unreadable, or larger than `maxBytes`.
bool readText(const QString& path, QString& text, QString* error = nullptr, qint64 maxBytes = kMaxInputBytes);
bool readLines(const QString& path, QStringList& lines, QString* error = nullptr, qint64 maxBytes = kMaxInputBytes);
// readLines cut by splitLinesAnyEnd.
bool readLinesAnyEnd(const QString& path, QStringList& lines, QString* error = nullptr,
                     qint64 maxBytes = kMaxInputBytes);
// A buffer of many megabytes about to be filled front to back: asks the
// system for large pages, which spares it a fault per 4 kB page. Does
// nothing where the system has no such advice.
void adviseLargePages(void* data, qsizetype size);

// A file read piece by piece with the checks of readText: anything but a
// regular file (a folder, a device such as /dev/zero, a named pipe), a file
// that cannot be opened and one larger than `maxBytes` are refused with a
// message in `error`. A link to a regular file is read.
class InputFile {
public:
    bool open(const QString& path, QString* error = nullptr, qint64 maxBytes = kMaxInputBytes);
    // Reads up to `size` bytes from the current position into `to`: returns
    // how many, 0 at the end of the file, or -1 when the file cannot be read
    // or has grown past maxBytes (`error` says which).
    qint64 read(char* to, qint64 size, QString* error = nullptr);
    // Moves to `pos` bytes from the start; false (with a message) when it cannot.
    bool seek(qint64 pos, QString* error = nullptr);
    qint64 size() const { return file_.size(); }

private:
    bool tooLarge(QString* error) const;

    QFile file_;
    qint64 maxBytes_ = kMaxInputBytes;
};

// Reads a whole file's bytes, undecoded, with the same checks as readText.
bool readBytes(const QString& path, QByteArray& bytes, QString* error = nullptr, qint64 maxBytes = kMaxInputBytes);
// When the text of `bytes` (as decode reads it) is plain ASCII, returns true
// and sets `text` to it: a view of `bytes` after any BOM, no copy.
bool asciiText(const QByteArray& bytes, QLatin1StringView& text);

// Writes atomically (see atomicfile.h).
bool writeText(const QString& path, const QString& text, QString* error = nullptr);
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace textfile
