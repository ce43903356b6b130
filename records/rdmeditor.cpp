#include "records/rdmeditor.h"

#include "core/globals.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "records/readers.h"
#include "records/recordstore.h"

#include <QCoreApplication>
#include <QDate>

namespace {

const QString kNoData = QStringLiteral("No data input. Please enter some data before saving.");
const QString kSaved = QStringLiteral("File saved.");

QString cleaned(const QString& text)
{
    return records::trimBlanks(blankControlBreaks(text));
}

// Shared by both saves: the messages around one atomic write.
bool saveWithMessages(Grid& grid, const QString& path, const std::function<bool(const QString&, QString*)>& write)
{
    BusyGuard busy;
    if (grid.RowCount() == 0) {
        services::message(kNoData, MsgIcon::Information);
        return false;
    }
    QString error;
    grid.SetRedraw(false);
    const bool ok = write(path, &error);
    QCoreApplication::processEvents();
    grid.SetRedraw(true);
    if (!ok) {
        services::message(QStringLiteral("The file could not be saved.\n%1").arg(error), MsgIcon::Exclamation);
        return false;
    }
    services::message(kSaved, MsgIcon::Information);
    return true;
}

// The validity boxes in the order of the cell, with their texts.
std::array<std::pair<ValidityBox, const QString*>, 4> validityBoxes(const RDMEditTexts& t)
{
    return {{{ValidityBox::StartTime, &t.startTime},
             {ValidityBox::EndTime, &t.endTime},
             {ValidityBox::StartDate, &t.startDate},
             {ValidityBox::EndDate, &t.endDate}}};
}

bool isTimeBox(ValidityBox box)
{
    return box == ValidityBox::StartTime || box == ValidityBox::EndTime;
}

// What a validity box holds that its part of the cell can't keep: a "|"
// would split the part in two, and a control character (a TAB or a line
// break above all) would split the record or its line. Empty when nothing.
QString unkeepable(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('|'))
            return QStringLiteral("a \"|\"");
        if (c == QLatin1Char('\t'))
            return QStringLiteral("a TAB");
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return QStringLiteral("a line break");
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("a control character");
    }
    return QString();
}

// The value of a run of 1 .. `most` digits, or -1 for anything else.
int digitsValue(QStringView s, qsizetype most)
{
    if (s.isEmpty() || s.size() > most)
        return -1;
    int v = 0;
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}

} // namespace

QString validityBoxName(ValidityBox box)
{
    switch (box) {
    case ValidityBox::StartTime:
        return QStringLiteral("Start Time");
    case ValidityBox::EndTime:
        return QStringLiteral("End Time");
    case ValidityBox::StartDate:
        return QStringLiteral("Start Date");
    case ValidityBox::EndDate:
        return QStringLiteral("End Date");
    }
    return QString();
}

bool isReadableTime(QStringView text)
{
    const QStringView t = records::trimBlankView(text);
    if (t.isEmpty())
        return true;
    int hours = -1;
    int minutes = -1;
    if (const qsizetype colon = t.indexOf(QLatin1Char(':')); colon >= 0) {
        hours = digitsValue(t.first(colon), 2);
        minutes = t.size() - colon - 1 == 2 ? digitsValue(t.sliced(colon + 1), 2) : -1;
    } else if (const int v = digitsValue(t, 4); v >= 0) {
        hours = v / 100;
        minutes = v % 100;
    }
    if (hours < 0 || minutes < 0)
        return false;
    return (hours <= 23 && minutes <= 59) || (hours == 24 && minutes == 0);
}

bool isReadableDate(QStringView text)
{
    const QStringView t = records::trimBlankView(text);
    if (t.isEmpty() || t == u"0")
        return true;
    const int v = t.size() == 8 ? digitsValue(t, 8) : -1;
    return v >= 0 && QDate(v / 10000, v / 100 % 100, v % 100).isValid();
}

RDMEditor::RDMEditor(Grid& igRDM)
    : igRDM_(igRDM)
{
}

void RDMEditor::dropStaleRow()
{
    if (mlngRDMRow < 0 || mlngRDMRow > igRDM_.RowCount())
        mlngRDMRow = 0;
    if (mlngRDMCol < 0 || mlngRDMCol > igRDM_.ColCount())
        mlngRDMCol = 0;
}

void RDMEditor::igRDM_RowSelect(int row, int col)
{
    mlngRDMRow = row;
    mlngRDMCol = col;
    if (row >= 1 && col >= 1)
        igRDM_.SetCellSelected(row, 1, true);
}

bool RDMEditor::showRecord(int row, RDMEditTexts& texts)
{
    if (row < 1 || row > igRDM_.RowCount())
        return false;
    for (int k = 1; k <= records::kShownLines; ++k)
        texts.lines[size_t(k - 1)] = records::trimBlanks(igRDM_.CellValue(row, k));

    // A missing part shows its default, never the previous record's value.
    const QString cell = igRDM_.CellValue(row, records::kDateTimeKey);
    RDMEditTexts defaults;
    QStringList parts;
    if (!records::trimBlanks(cell).isEmpty())
        parts = cell.split(QLatin1Char('|'));
    texts.startTime = parts.size() > 0 ? parts[0] : defaults.startTime;
    texts.endTime = parts.size() > 1 ? parts[1] : defaults.endTime;
    texts.startDate = parts.size() > 2 ? parts[2] : defaults.startDate;
    texts.endDate = parts.size() > 3 ? parts[3] : defaults.endDate;

    igRDM_.SetCellSelected(row, 1, true);
    mlngRDMRow = row;
    return true;
}

bool RDMEditor::showRDMRecord(int row, RDMEditTexts& texts)
{
    if (!showRecord(row, texts))
        return false;
    if (enableLineRows)
        enableLineRows();
    return true;
}

void RDMEditor::btnUpRDM_Click(RDMEditTexts& texts)
{
    dropStaleRow();
    if (mlngRDMRow <= 1)
        return;
    igRDM_.SetRedraw(false);
    if (mlngRDMCol >= 1) {
        igRDM_.MoveRow(mlngRDMRow, mlngRDMRow - 1);
        --mlngRDMRow;
        showRDMRecord(mlngRDMRow, texts);
    }
    igRDM_.SetRedraw(true);
}

void RDMEditor::btnDownRDM_Click(RDMEditTexts& texts)
{
    dropStaleRow();
    if (mlngRDMRow <= 0 || mlngRDMRow >= igRDM_.RowCount())
        return;
    igRDM_.SetRedraw(false);
    if (mlngRDMCol >= 1) {
        igRDM_.MoveRow(mlngRDMRow, mlngRDMRow + 1);
        ++mlngRDMRow;
        showRDMRecord(mlngRDMRow, texts);
    }
    igRDM_.SetRedraw(true);
}

void RDMEditor::btnDeleteRDM_Click(RDMEditTexts& texts)
{
    dropStaleRow();
    if (mlngRDMRow < 1 || mlngRDMCol < 1)
        return;
    igRDM_.SetRedraw(false);
    igRDM_.RemoveRow(mlngRDMRow);
    if (igRDM_.RowCount() > 0) {
        if (mlngRDMRow != 1)
            --mlngRDMRow;
        igRDM_.SetCellSelected(mlngRDMRow, 1, true);
        showRDMRecord(mlngRDMRow, texts);
    } else {
        mlngRDMRow = 0;
        mlngRDMCol = 0;
    }
    if (showTotalRecords)
        showTotalRecords(igRDM_.RowCount());
    igRDM_.SetRedraw(true);
}

void RDMEditor::btnAddRDM_Click(RDMEditTexts& texts)
{
    dropStaleRow();
    for (QString& line : texts.lines)
        line.clear();
    igRDM_.SetRedraw(false);
    if (mlngRDMRow == 0 || mlngRDMRow == igRDM_.RowCount()) {
        mlngRDMRow = igRDM_.AddRow();
    } else {
        igRDM_.AddRow(mlngRDMRow + 1);
        ++mlngRDMRow;
    }
    igRDM_.SetCellSelected(mlngRDMRow, 1, true);
    showRDMRecord(mlngRDMRow, texts);
    if (showTotalRecords)
        showTotalRecords(igRDM_.RowCount());
    igRDM_.SetRedraw(true);
}

UpdateResult RDMEditor::btnUpdateRDM_Click(const RDMEditTexts& texts)
{
    dropStaleRow();
    if (mlngRDMRow < 1)
        return {};
    const auto boxes = validityBoxes(texts);
    for (const auto& [box, text] : boxes) {
        if (const QString what = unkeepable(*text); !what.isEmpty()) {
            services::message(QStringLiteral("The %1 box holds %2, which a record's validity window cannot keep. "
                                             "The record was not updated.")
                                  .arg(validityBoxName(box), what),
                              MsgIcon::Exclamation);
            return {false, box};
        }
    }

    for (int k = 1; k <= records::kShownLines; ++k)
        igRDM_.SetCellValue(mlngRDMRow, k, cleaned(texts.lines[size_t(k - 1)]));
    QStringList parts;
    for (const auto& [box, text] : boxes)
        parts << records::trimBlanks(*text);
    igRDM_.SetCellValue(mlngRDMRow, records::kDateTimeKey, parts.join(QLatin1Char('|')));

    // Written as typed, as a record file may hold it; the user is told
    // which boxes the validity test will not read as meant.
    UpdateResult result{true, std::nullopt};
    QStringList unreadable;
    for (const auto& [box, text] : boxes) {
        const bool time = isTimeBox(box);
        if (time ? isReadableTime(*text) : isReadableDate(*text))
            continue;
        unreadable << QStringLiteral("The %1 \"%2\" is not a %3.")
                          .arg(validityBoxName(box), records::trimBlanks(*text),
                               time ? QStringLiteral("time (hhmm or hh:mm, for example 0930 or 09:30)")
                                    : QStringLiteral("date (yyyymmdd, for example 20240131, or 0 for none)"));
        if (!result.box)
            result.box = box;
    }
    if (!unreadable.isEmpty()) {
        unreadable << QStringLiteral("The record was updated as typed; its validity window will not work as meant "
                                     "until the box is corrected.");
        services::message(unreadable.join(QLatin1Char('\n')), MsgIcon::Exclamation);
    }
    return result;
}

bool RDMEditor::saveRDMFile(const QString& path)
{
    return saveWithMessages(igRDM_, path,
                            [this](const QString& p, QString* error) { return writeRecordFile(igRDM_, p, error); });
}

bool RDMEditor::btnSaveRDM_Click()
{
    if (gstrWorkingDataFile.isEmpty())
        return false;
    return saveRDMFile(gstrWorkingDataFile);
}

bool btnSaveRADE_Click(Grid& igRADE, const QString& dataFolder)
{
    return saveWithMessages(igRADE, paths::join(dataFolder, QStringLiteral("_RADEDataFile.txt")),
                            [&igRADE](const QString& p, QString* error) { return writeRADEFile(igRADE, p, error); });
}
