#pragma once
// One page template as the program holds it: records per page, the title,
// date and time elements, the background, the PiP window and the line table
// of six template records with twelve lines each. Every value is text, as it
// is stored in the template file.
//
// The designer edits one instance (designerTemplate()); the run cycle loads
// each page's template into an instance of its own.
#include <QString>
#include <QStringList>

#include <array>

namespace templates {

constexpr int kRecords = 6;    // template records 0..5
constexpr int kLines = 12;     // lines 0..11 of a record
constexpr int kLineFields = 6; // fields of one TemplateLine

// Fields of a TemplateLine.
enum LineField {
    kFieldEnabled = 0,   // "1" shown, "0" hidden
    kFieldAlignment = 1, // "0" left, "1" right, "2" centre
    kFieldRect = 2,      // LayoutRect
    kFieldFont = 3,      // FontDescriptor
    kFieldLineUp = 4,    // LineUpAttribute
    kFieldGroupFlag = 5, // "1" the group line, "0" not
};

// The font descriptor of a fresh line or element.
inline const QString kDefaultFontDescriptor = QStringLiteral("Arial,18,16711680,1,0,0,0,0,65535");
// The line-up attribute of a line that is not lined up.
inline const QString kResetLineUp = QStringLiteral("0,-1,,");

// A line's LineUpAttribute (Flag, Partner, Side, middle word) as every
// reader takes it: the designer's pop-up, dragging and alignment, and the
// page renderer. A line is lined up only when Flag is "1", Partner is
// another line 0..11 of its record and Side is "L" or "R" (blanks around a
// field are allowed). Any other text - empty, too few fields, another flag,
// a partner off the record or the line itself, another side - reads as the
// reset value "0,-1,,": not lined up.
struct LineUp {
    bool linedUp = false;
    int partner = -1;   // the other line of the pair, -1 when not lined up
    QString side;       // "L" or "R" when lined up, else empty
    QString middleWord; // trimmed; the "L" line's word between the two texts
    bool isLeft() const { return linedUp && side == QLatin1String("L"); }
    bool isRight() const { return linedUp && side == QLatin1String("R"); }
    // `line` (0..11) is the line the attribute belongs to.
    static LineUp read(const QString& text, int line);
};

// The default background colour.
inline const QString kDefaultBackgroundColor = QStringLiteral("&H000000");

// The entries of the designer's date and time format lists, in list order.
const QStringList& dateFormats();
const QStringList& timeFormats();

// The template slot names; the list index is the records per page.
const QStringList& slotNames();

struct Template {
    QString gstrRecordsPerPage;
    QString gstrGroupLine;
    QString gstrTitleText;
    QString gstrTitleOn, gstrTitleAlign, gstrTitleRegion, gstrTitleFont;
    QString gstrDateFormat;
    QString gstrDateOn, gstrDateAlign, gstrDateRegion, gstrDateFont;
    QString gstrTimeFormat;
    QString gstrTimeOn, gstrTimeAlign, gstrTimeRegion, gstrTimeFont;
    QString gstrBackgroundType;
    QString gstrBackgroundImage;
    QString gstrBackgroundColor;
    QString gstrPiPOn, gstrPiPFile, gstrPiPRegion;
    // The joined element values of the last save (written, never read).
    QString gstrTitleFontStyle, gstrDateFontStyle, gstrTimeFontStyle, gstrPiPWindows;

    // The line table, indexed [record 0..5][field 0..5][line 0..11].
    std::array<std::array<std::array<QString, kLines>, kLineFields>, kRecords> gstrTemplateLines;

    // Checked access to one cell of the line table: nullptr outside the
    // table, so that callers holding a record display 6..9 touch nothing.
    QString* line(int record, int field, int lineIndex);
    const QString* line(int record, int field, int lineIndex) const;

    // The line-up attribute of (record, line) read by LineUp::read; not
    // lined up outside the table.
    LineUp lineUp(int record, int lineIndex) const;

    // The records per page as a number the line table can use: the leading
    // number of gstrRecordsPerPage, rounded, clamped to 0..6. Every loop
    // over the records in use takes this value, never the raw text.
    int recordsInUse() const;
    // True when gstrRecordsPerPage reads as a number outside 0..6.
    bool recordsPerPageOutOfRange() const;
};

// The template the designer edits.
Template& designerTemplate();

} // namespace templates
