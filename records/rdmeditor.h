#pragma once
// Hand editing of the record store: the current record, the Add, Update,
// Delete, Up and Down buttons, showing a record in the line editor, and
// saving the store (and the EBMS render list) to a file. Works on the grid
// and on a plain copy of the editor's texts, so it needs no window.
#include "platform/grid.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

// The texts of the line editor: the twelve record lines and the four
// validity boxes (start time, end time, start date, end date).
struct RDMEditTexts {
    std::array<QString, 12> lines;
    QString startTime = QStringLiteral("00:00");
    QString endTime = QStringLiteral("00:00");
    QString startDate = QStringLiteral("0");
    QString endDate = QStringLiteral("0");
};

// The four validity boxes, in the order of their parts in the DateTime cell.
enum class ValidityBox { StartTime, EndTime, StartDate, EndDate };
// The box's label without its colon: "Start Time", "End Time", "Start Date", "End Date".
QString validityBoxName(ValidityBox box);

// Whether the validity test of the run cycle reads `text` (blanks around it
// aside) as a time: "hhmm" of up to four digits ("0" is 00:00, "930" is
// 09:30) or "h:mm" / "hh:mm", within 00:00 .. 23:59 or exactly 24:00. An
// empty text (no time given) counts as readable.
bool isReadableTime(QStringView text);
// The same for a date: "yyyymmdd" of a real calendar day, or "0" or empty
// for no date limit.
bool isReadableDate(QStringView text);

// What Update did with the editor's texts.
struct UpdateResult {
    bool written = false; // the current record took the texts
    // The box that a message named (the first one at fault), to put the
    // focus on; none when every box was fine or no record was current.
    std::optional<ValidityBox> box;
};

class RDMEditor {
public:
    explicit RDMEditor(Grid& igRDM);

    Grid& grid() { return igRDM_; }

    // The current record (row of igRDM, 0 for none) and the column of the
    // last grid cell the user chose (0 for none). The line editor of the main
    // window also sets the current record when it shows one.
    int mlngRDMRow = 0;
    int mlngRDMCol = 0;

    // A grid cell chosen by the user.
    void igRDM_RowSelect(int row, int col);
    // Shows a row in the editor texts - its twelve lines and its validity
    // window, a part the "DateTime" cell lacks as its default - and makes it
    // current. A row that does not exist changes nothing (returns false).
    bool showRecord(int row, RDMEditTexts& texts);
    // showRecord, then puts the line rows into their editing state (the
    // grid's row event).
    bool showRDMRecord(int row, RDMEditTexts& texts);

    void btnUpRDM_Click(RDMEditTexts& texts);
    void btnDownRDM_Click(RDMEditTexts& texts);
    void btnDeleteRDM_Click(RDMEditTexts& texts);
    void btnAddRDM_Click(RDMEditTexts& texts);
    // Writes the editor texts into the current record: the lines each
    // trimmed, a TAB, CR or LF turned into a blank first; the DateTime cell
    // the four validity boxes, each trimmed, joined by "|". A validity box
    // that holds a "|" or a control character (TAB, CR, LF, ...), which the
    // cell can't keep, is refused with a message naming it, and nothing of
    // the record changes. A box that the validity test can't read as a time
    // or date ("abc", "20269999") is written as typed, and a message names
    // it.
    UpdateResult btnUpdateRDM_Click(const RDMEditTexts& texts);

    // Saves the store into `path`; says "File saved." on success and what
    // went wrong otherwise ("No data input. ..." for an empty store). The
    // file is replaced atomically. Returns true when the file was written.
    bool saveRDMFile(const QString& path);
    // Save: the store into the working record file (when its path is set).
    bool btnSaveRDM_Click();

    // Called after a record was shown (puts the line rows into editing state).
    std::function<void()> enableLineRows;
    // Called with the row count after a row was added or deleted.
    std::function<void(int)> showTotalRecords;

private:
    // A current record that no longer exists counts as none.
    void dropStaleRow();

    Grid& igRDM_;
};

// Save RADE: the render list's lines 1 .. 12 into "_RADEDataFile.txt" in the
// Data folder, with the same messages as Save. Returns true when written.
bool btnSaveRADE_Click(Grid& igRADE, const QString& dataFolder);
