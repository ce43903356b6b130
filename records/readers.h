#pragma once
// The readers that turn a source file's lines into record lines of the
// program's own record file: 21 fields ("Line 1" .. "Line 20", then the
// validity cell) joined by TAB, each record line ended by CRLF.
//
// Which reader applies follows from the Data Type and the source's
// extension (selectReader). A reader either produces the complete output or
// fails with a message naming the line at fault. Sources are read and
// converted a block at a time (convertSource), so a conversion needs a few
// blocks of memory whatever the size of its source.
#include "platform/atomicfile.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

namespace records {

enum class Reader {
    None,       // no reader for this Data Type and extension
    Delphi,     // fixed-width .NSS
    Micros,     // Micros/Opera/Tamrisk tab text
    EBMS,       // EBMS function file
    OwnRecords, // the program's own .orv file taken as a source
    BasicText,  // blocks of up to 12 lines
};

// The reader for a Data Type ("0" .. "4") and a source path; the extension
// is the text after the path's last ".", compared without regard to case.
Reader selectReader(const QString& dataType, const QString& sourcePath);

// Runs one reader over the lines of a source text (each ended by CRLF, LF
// or a lone CR) and sets `out` to the record file's bytes, as
// textfile::encode writes its text: Windows-1252, or UTF-8 when a character
// needs it or the Windows-1252 bytes would read back as other letters. A "|"
// in a source value that goes into the validity cell is left out of the
// cell, so the cell keeps its four parts. Returns false (with `error` saying
// which line and why, and `out` empty) when a line does not have the fields
// its reader needs. No reader gives no output.
bool convertText(Reader reader, QStringView text, QByteArray& out, QString* error = nullptr);

// Where a conversion reads its source from.
class Source {
public:
    virtual ~Source() = default;
    // Reads up to `size` bytes from the current position into `to`: returns
    // how many, 0 at the end, or -1 when the source cannot be read (`error`
    // says why).
    virtual qint64 read(char* to, qint64 size, QString* error) = 0;
    // Moves to `pos` bytes from the start; false (with a message) when it cannot.
    virtual bool seek(qint64 pos, QString* error) = 0;
};

// Where it writes: called with the conversion's producer, it starts a fresh
// output, hands `produce` a function that takes the output piece by piece,
// keeps the output only when `produce` returns true, and says whether it
// kept it (atomicfile::writeStream does all this for a file).
using Output = std::function<bool(const atomicfile::Produce& produce)>;

// Bytes read, and output gathered, at a time.
constexpr qsizetype kBlockBytes = qsizetype(1) << 20;

// Runs one reader over a source a block at a time and gives `output` the
// very bytes that convertText gives for the source's text as textfile::decode
// reads it. A plain ASCII or Windows-1252 source is worked on byte by byte
// without decoding, and its bytes go into the record file as they are
// wherever they read back as the source's letters. Which of these the source
// is shows only as it is read: when it turns out to be UTF-8, or its record
// file needs UTF-8 (a character Windows-1252 lacks, or Windows-1252 bytes
// that would pass for UTF-8), the source is read again from its start and
// `output` called again (three times at most).
// Memory stays at a few blocks, plus the longest line. Returns false, with
// `error` saying why, for a line its reader cannot take, an unreadable
// source or output that could not be kept.
bool convertSource(Reader reader, Source& source, const Output& output, QString* error = nullptr,
                   qsizetype blockSize = kBlockBytes);

// convertSource over the bytes of a source in memory; `out` is set to the
// record file's bytes (empty on failure).
bool convertBytes(Reader reader, const QByteArray& source, QByteArray& out, QString* error = nullptr,
                  qsizetype blockSize = kBlockBytes);

// Splits a line at every TAB into views of it (an empty line is one empty
// field).
void splitTabs(QLatin1StringView line, std::vector<QLatin1StringView>& fields);
void splitTabs(QStringView line, std::vector<QStringView>& fields);

// The text with leading and trailing blanks (spaces only) removed.
template <typename View> View trimBlankView(View s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.sliced(b, e - b);
}
QString trimBlanks(QStringView text);

} // namespace records
