#pragma once
// The EBMS ID lookup table (resource IDs to descriptions), the page grid and
// the clearing of the data grids.
#include "platform/grid.h"
#include "shell/datagrids.h"

#include <QString>

// Empties the lookup grid and builds its columns "ID" and "Description".
void initIDLookupColumns(Grid& igIDLookup);
// Reads a lookup file: every non-empty line is a row; fields are split at
// ",", quotes removed and blanks trimmed; field 0 is the ID, field 1 the
// description. Returns false (with `error`) when the file can't be read.
bool loadIDLookupFile(Grid& igIDLookup, const QString& path, QString* error = nullptr);
// The description of the first row whose trimmed ID equals the trimmed `id`
// (case-sensitive); "" when none.
QString lookupIDDescription(const Grid& igIDLookup, const QString& id);

// Empties the page grid and builds its columns "Line 1" .. "Line 12", "Record".
void initActiveRecordsColumns(Grid& igActiveRecords);

// Empties igRDM, igRADE, igBook, igBook2 and igIDLookup (rows only) and the
// status log.
void clearDataGrids(DataGrids& grids);
