#pragma once
// The record file (".orv": one record per line, 21 TAB-separated fields,
// CRLF) and the record store igRDM that holds it in memory.
//
// A record (DataRecord) is a grid row of the cells "Line 1" .. "Line 20" and
// "DateTime"; the DateTime cell (DateTimeCell) holds start time, end time,
// start date and end date joined by "|".
#include "core/datagrids.h"
#include "platform/grid.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace records {

constexpr int kRecordLines = 20;  // "Line 1" .. "Line 20"
constexpr int kShownLines = 12;   // "Line 1" .. "Line 12" are shown and edited
constexpr int kRecordFields = 21; // the 20 lines and the DateTime cell

QString lineKey(int n); // "Line n"
inline const QString kDateTimeKey = QStringLiteral("DateTime");

} // namespace records

// Hooks the main window (and the list builder) fill; each does nothing when empty.
namespace recordshooks {
// Builds the EBMS render list from igRDM; runs at the end of every load of
// a record file while the Data Type is "2".
inline std::function<void(DataGrids&)> buildRADEList;
// Shows the record count (lblTotalRecords) after a load.
inline std::function<void(int)> showTotalRecords;
// Runs last in every load of a record file: the line editor shows a record
// of the new store (or nothing when it is empty), never one of the store
// it replaced.
inline std::function<void()> recordsLoaded;
// Loads the EBMS booking file chosen with the booking browse button.
inline std::function<void(DataGrids&, const QString&)> loadEBMSBookingFile;
} // namespace recordshooks

// Empties igRDM and gives it its columns: "Line 1" .. "Line 12" shown,
// "Line 13" .. "Line 20" and "DateTime" hidden.
void initRDMGridColumns(Grid& igRDM);
// Empties igUR and gives it its columns "ID", "Status", "Line 1" .. "Line 12".
void initURGridColumns(Grid& igUR);

// The sort settings of section SORT_SETTINGS: type "None", "Ascending" or
// "Descending" (any case), group column key ("None" or empty for none) and
// line column key (empty for none).
struct RDMSortSettings {
    QString type;
    QString group;
    QString line;
};

// The key columns (indexes of igRDM) and the order (0 ascending, 1
// descending) the settings ask for; no columns when they ask for no sort.
// A group or line that names no column leaves the rows in their order.
std::vector<int> sortColumns(const Grid& igRDM, const RDMSortSettings& sort, int& order);

// Sorts the record store by the sort settings: by the group column and,
// within equal groups, by the line column, both in the same order. Texts
// compare as the grid compares them; equal rows keep their order.
void sortRDMBySettings(Grid& igRDM, const RDMSortSettings& sort);

// Replaces igRDM by the records of `lines` (the lines of a record file) for
// the given Data Type: for "2" the EBMS field mapping with the ID lookup of
// grids.igIDLookup, otherwise the plain one, sorted by `sort`. Empty lines
// are skipped. Calls no hook.
void fillRDMFromLines(DataGrids& grids, const QStringList& lines, const QString& dataType,
                      const RDMSortSettings& sort = {});

// The same from the bytes of a record file, read as textfile::decode reads
// them; a plain ASCII file is used where it stands. `bytes` is emptied.
void fillRDMFromBytes(DataGrids& grids, QByteArray& bytes, const QString& dataType, const RDMSortSettings& sort = {});

// Loads a ".orv" file (any letter case) into igRDM: the store is replaced,
// the count shown, then for Data Type "2" the EBMS render list is built,
// otherwise the store is sorted by the sort settings; last the line editor
// follows the new store (recordshooks::recordsLoaded). Reads gstrDataType and
// the sort settings. Returns false and leaves the store as it was when the
// path is empty, missing or not an ".orv" file; a file that exists but
// cannot be read leaves an empty store.
bool loadRDMFromOrvFile(DataGrids& grids, const QString& path);
// Loads `path` when it names an existing file.
void LoadDataFileIfExists(DataGrids& grids, const QString& path);

// One record line of the record file for a row: "Line 1" .. "Line 20" and
// "DateTime" as they stand, joined by TAB (no line end). A TAB, CR or LF
// inside a cell is written as a blank so that it cannot split the record.
QString recordLine(const Grid& grid, int row);
// Writes every row of igRDM as a record file (atomically).
bool writeRecordFile(const Grid& igRDM, const QString& path, QString* error = nullptr);
// Writes "Line 1" .. "Line 12" of every row of igRADE, TAB-separated, one
// row per line (atomically).
bool writeRADEFile(const Grid& igRADE, const QString& path, QString* error = nullptr);

// A TAB, CR or LF turned into a blank.
QString blankControlBreaks(QString text);
