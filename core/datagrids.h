#pragma once
// The data grids of the main window. They live for the whole program; the
// loaders and list builders fill them and the run cycle pages through them.
#include "platform/grid.h"

struct DataGrids {
    Grid igRDM;           // record store
    Grid igRADE;          // EBMS render list
    Grid igRADE2;         // its staging grid
    Grid igBook;          // joined bookings
    Grid igBook2;         // kept bookings
    Grid igIDLookup;      // EBMS ID lookup
    Grid igActiveRecords; // records of the page being drawn
    Grid igUR;            // updated records
    Grid igTemplates;     // template play-list
};

// The program's grids.
DataGrids& dataGrids();
