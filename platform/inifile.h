#pragma once
// INI files with the rules boards and older tools rely on:
//  - section and key names match without regard to case; the first match wins;
//  - a value is trimmed, and one pair of matching surrounding quotes ('' or "")
//    is stripped; a read is cut to the caller's buffer size minus one;
//  - a missing key gives the caller's default; a read reports how many
//    characters it copied;
//  - a write updates the first matching key in place, appends a new key at
//    the end of its section and a new section at the end of the file, and
//    keeps every other line (comments, foreign keys, order) as it was;
//  - CR and LF inside a written value become blanks;
//  - the file is rewritten atomically, in Windows-1252 (UTF-8 when needed,
//    see textfile.h) with CRLF line ends.
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

// The default read buffer of the callers that give none.
constexpr int kIniDefaultBuffer = 1024;

// A value as a writer stores it so that a read gives it back whole: one
// with blanks at either end, or one enclosed in a pair of matching quotes,
// gets a pair of double quotes around it, which the read strips after its
// trim. Any other value is stored as it is. CR and LF at either end (a
// pasted line's end) are dropped first; those inside become blanks (set).
QString protectedIniValue(const QString& text);

// An INI text held as its lines, for reading and editing in memory.
class IniDocument {
public:
    IniDocument() = default;
    static IniDocument fromText(const QString& text);
    QString toText() const;

    // Reads like the profile API: `out` receives the value (or `def` when the
    // key is missing), cut to bufSize - 1 characters; returns the length of
    // what was copied.
    int read(const QString& section, const QString& key, const QString& def, QString& out,
             int bufSize = kIniDefaultBuffer) const;
    // The processed value (trimmed, quotes stripped, not cut), or nothing
    // when the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const;

    // Sets a value (see the file comment for the rules).
    void set(const QString& section, const QString& key, const QString& value);
    void removeKey(const QString& section, const QString& key);
    void removeSection(const QString& section);

    QStringList sections() const;
    QStringList keys(const QString& section) const;
    // Every line of the document, in order.
    QStringList lines() const;

private:
    // The lines before the first header, then one part per header line
    // with the lines up to the next header. Section names and the keys of
    // each part are indexed (folded case, first match), so a read or a
    // write takes about the same time whatever the document's size.
    struct Part {
        bool hasHeader = false;
        QString header;           // the header line as it stands
        QString name;             // the trimmed name in it
        QStringList lines;        // the lines after the header
        QHash<QString, int> keys; // folded key -> first line in `lines`
    };
    void indexKeys(Part& part) const;
    void indexSections();
    void rebuild(const QStringList& lines);
    // The first part with that name, or nullptr.
    const Part* findSection(const QString& section) const;
    Part* findSection(const QString& section);
    static int findKey(const Part& part, const QString& key);

    std::vector<Part> parts_;
    QHash<QString, int> sectionIndex_; // folded name -> first part
};

// An INI file on disk. Each read loads the file afresh (a missing or
// unreadable file reads as empty); each write rewrites it atomically.
class IniFile {
public:
    explicit IniFile(QString path);
    const QString& path() const { return path_; }

    int read(const QString& section, const QString& key, const QString& def, QString& out,
             int bufSize = kIniDefaultBuffer) const;
    QString value(const QString& section, const QString& key, const QString& def = QString(),
                  int bufSize = kIniDefaultBuffer) const;
    std::optional<QString> find(const QString& section, const QString& key) const;

    // Creates the file on first write. Returns false (with `error`) when the
    // file could not be written; the old file then stays as it was.
    bool write(const QString& section, const QString& key, const QString& value, QString* error = nullptr);
    // Several values in one rewrite, in the given order.
    bool writeAll(const QString& section, const std::vector<std::pair<QString, QString>>& values,
                  QString* error = nullptr);

    IniDocument load() const;
    // Reads the whole file once into `doc`: a missing file gives an empty
    // document; one that exists but cannot be read (a device, a pipe, too
    // large) gives false with `error`, so that nothing takes it for empty.
    bool loadChecked(IniDocument& doc, QString* error = nullptr) const;
    bool save(const IniDocument& doc, QString* error = nullptr) const;

private:
    QString path_;
};
