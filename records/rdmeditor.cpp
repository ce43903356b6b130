#include "records/rdmeditor.h"

#include "core/globals.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "records/readers.h"
#include "records/recordstore.h"

#include <QCoreApplication>

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

} // namespace

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

void RDMEditor::btnUpdateRDM_Click(const RDMEditTexts& texts)
{
    dropStaleRow();
    if (mlngRDMRow < 1)
        return;
    for (int k = 1; k <= records::kShownLines; ++k)
        igRDM_.SetCellValue(mlngRDMRow, k, cleaned(texts.lines[size_t(k - 1)]));
    const QString cell = cleaned(texts.startTime) + QLatin1Char('|') + cleaned(texts.endTime) + QLatin1Char('|') +
                         cleaned(texts.startDate) + QLatin1Char('|') + cleaned(texts.endDate);
    igRDM_.SetCellValue(mlngRDMRow, records::kDateTimeKey, cell);
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
