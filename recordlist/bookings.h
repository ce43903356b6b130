#pragma once
// EBMS bookings: the comma-separated booking file read into the kept
// bookings (igBook2) and joined to the function records of the render list
// (igBook), both then sorted by the sort settings.
#include "core/datagrids.h"
#include "platform/grid.h"
#include "recordlist/renderlist.h"

#include <QString>
#include <QStringList>

// Empties igBook and igBook2 and builds their columns.
void initBookingGridColumns(Grid& igBook, Grid& igBook2);

// What the join reads besides the lines.
struct BookingJoinInput {
    const Grid& igRADE;       // render list (function records)
    const Grid& igIDLookup;   // resource descriptions
    QString assignedLocation; // locations separated by ";"
    ListSortSettings sort;
};

// Rebuilds igBook and igBook2 from the lines of a booking file. Every
// non-empty line counts for the booking number; a header line (field 1
// holds "HH"), a line too short to hold a status and a line whose status is
// not between 29 and 50 are dropped.
void fillEBMSBookings(const QStringList& lines, const BookingJoinInput& in, Grid& igBook, Grid& igBook2);

// Reads the booking file (lines ended by CRLF, LF or a lone CR) and fills
// the booking grids from it. A file that can't be read (missing, not a
// regular file, unreadable, larger than textfile::kMaxInputBytes) leaves
// both grids as they were, logs a status line and returns false with
// the reason in `error`.
bool loadEBMSBookingFile(const QString& path, DataGrids& grids, const QString& assignedLocation,
                         const ListSortSettings& sort, QString* error = nullptr);
// The same over the program's grids and the assigned and sort settings globals.
bool loadEBMSBookingFile(const QString& path);
