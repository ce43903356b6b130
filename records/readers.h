#pragma once
// The readers that turn a source file's lines into record lines of the
// program's own record file: 21 fields ("Line 1" .. "Line 20", then the
// validity cell) joined by TAB, each record line ended by CRLF.
//
// Which reader applies follows from the Data Type and the source's
// extension (selectReader). Every reader works on the whole source text and
// either produces the complete output or fails with a message naming the
// line at fault; nothing is half-written.
#include <QByteArray>
#include <QString>
#include <QStringView>

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

// Runs one reader over the lines of a source text (split at CRLF or LF)
// and sets `out` to the record file's bytes: Windows-1252, or UTF-8 when a
// character needs it. Returns false (with `error` saying which line and
// why, and `out` empty) when a line does not have the fields its reader
// needs. No reader gives no output.
bool convertText(Reader reader, QStringView text, QByteArray& out, QString* error = nullptr);

// The same over the bytes of a source file, read as textfile::decode reads
// them. A plain ASCII or Windows-1252 source is worked on byte by byte
// without decoding, giving the very bytes convertText gives.
bool convertBytes(Reader reader, const QByteArray& source, QByteArray& out, QString* error = nullptr);

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
