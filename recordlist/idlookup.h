#pragma once
// The EBMS ID lookup table (resource IDs to descriptions), the page grid and
// the clearing of the data grids.
#include "core/datagrids.h"
#include "platform/grid.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Empties the lookup grid and builds its columns "ID" and "Description".
void initIDLookupColumns(Grid& igIDLookup);
// Rebuilds the lookup grid from the lines of a lookup file: every non-empty
// line is a row (a header line too); fields are split at ",", quotes removed
// and blanks trimmed; field 0 is the ID, field 1 the description.
void fillIDLookup(const QStringList& lines, Grid& igIDLookup);
// Reads a lookup file (lines ended by CRLF, LF or a lone CR) into the grid.
// A file that can't be read (missing, not a regular file, unreadable, larger
// than textfile::kMaxSmallFileBytes) leaves the grid as it was, logs a
// status line and returns false with the reason in `error`.
bool loadIDLookupFile(Grid& igIDLookup, const QString& path, QString* error = nullptr);
// The description of the first row whose trimmed ID equals the trimmed `id`
// (case-sensitive); "" when none.
QString lookupIDDescription(const Grid& igIDLookup, const QString& id);

// The same answers as lookupIDDescription, from a table taken once; for
// callers that look up many IDs while the grid doesn't change.
class IDLookupIndex {
public:
    explicit IDLookupIndex(const Grid& igIDLookup);
    QString description(const QString& id) const;

private:
    QHash<QString, QString> first_;
};

// Empties the page grid and builds its columns "Line 1" .. "Line 12", "Record".
void initActiveRecordsColumns(Grid& igActiveRecords);

// Empties igRDM, igRADE, igBook, igBook2 and igIDLookup (rows only) and the
// status log.
void clearDataGrids(DataGrids& grids);
