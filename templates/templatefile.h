#pragma once
// The template file (".ORVT"): an INI file with the sections TEMPLATE,
// BACKGROUND and RECORD_0 .. RECORD_5 (keys Line_0 .. Line_11).
//
// Writing replaces the whole file in one atomic step, so it holds exactly
// the 83 keys of the last save, in the order written. Reading follows the
// INI rules (names without regard to case, values trimmed, one pair of
// quotes stripped, at most 2047 characters) and lays the file over the
// template it is given: a key that is missing or empty leaves the value
// that template already holds.
#include "platform/inifile.h"
#include "templates/template.h"

#include <QString>

#include <optional>

namespace templates {

// What a save copies from the designer's controls into the template first.
struct TemplateControls {
    QString txtRecordsPerPage;
    QString txtTitle;
    bool chkTitle = false;
    QString cboDateFormat;
    bool chkDateFormat = false;
    QString cboTimeFormat;
    bool chkTimeFormat = false;
    bool backgroundIsPicture = false; // optBackgroundType(1) selected
    QString txtBackgroundImagename;
    QString txtBackgroundColor;
    bool chkPiP = false;
    QString txtPiP;
};

// Copies the control values into `t` (records per page, title text and
// shown flags, formats, background, PiP file; the joined element values),
// then writes the file. Returns false, logs a "!!!" status line and leaves
// the old file untouched when the file cannot be written.
bool SaveTemplate(const QString& path, Template& t, const TemplateControls& controls, QString* error = nullptr);

// Writes `t` as it stands (no control values copied).
bool writeTemplateFile(const QString& path, const Template& t, QString* error = nullptr);

// The file's content for `t`: every section and key in file order.
IniDocument templateDocument(const Template& t);

// The keys a load reads, in reading order (the line keys come last).
enum class TemplateKey {
    RecordsPerPage,
    GroupLine,
    TitleText,
    TitleFontStyle,
    DateFontStyle,
    DateFormat,
    TimeFontStyle,
    TimeFormat,
    Type,
    ImageFile,
    Color,
    PiPWindows,
};

// Reads one template file's keys by the loading rules. The designer's load
// reads key by key and updates its controls in between; LoadTemplate below
// reads them all into a template.
class TemplateReader {
public:
    static constexpr int kReadBuffer = 2048;

    explicit TemplateReader(IniDocument doc)
        : doc_(std::move(doc))
    {
    }
    // Nothing when the file does not exist or cannot be read.
    static std::optional<TemplateReader> open(const QString& path, QString* error = nullptr);

    // The trimmed value, or the key's default when it is missing; nothing
    // when that comes to no characters (the target is then left alone).
    std::optional<QString> read(TemplateKey key) const;
    std::optional<QString> readLine(int record, int line) const;

private:
    IniDocument doc_;
};

// Storing read values into a template. A part is stored only when it is
// not empty after trimming; parts keep their blanks except the PiP media
// file, which is trimmed.
void storeTitleStyle(Template& t, const QString& value); // empty shown part: gstrTitleOn "0"
void storeDateStyle(Template& t, const QString& value);
void storeTimeStyle(Template& t, const QString& value);
void storePiPWindows(Template& t, const QString& value);
void storeTemplateLine(Template& t, int record, int line, const QString& value);

// Logs once with "!!!" when the records per page of `t` (read from `name`)
// is outside 0..6.
void logRecordsPerPage(const Template& t, const QString& name);

// Reads the file into `t` in reading order. Returns false (changing
// nothing, with the reason in `error`) when the file does not exist or
// cannot be read (not a regular file, too large, unreadable). A records per
// page outside 0..6 is kept as read and logged once with "!!!"; users of
// the value go through Template::recordsInUse().
bool LoadTemplate(const QString& path, Template& t, QString* error = nullptr);
// The same over an INI text already in memory; `name` names it in the log.
void loadTemplateText(const QString& text, Template& t, const QString& name);

// For the run cycle: the file read into a fresh template, so that nothing
// of a previously loaded template shows through a missing or empty key.
std::optional<Template> loadTemplateFresh(const QString& path, QString* error = nullptr);

// The file's records per page (its first two characters), or -1 when the
// file, the key or the value is missing. A value that does not start with a
// number shows "Invalid template file." and gives -1.
int GetTemplateRecordsPerPage(const QString& path);

} // namespace templates
