#pragma once
// The EBMS render list: the function records of the record store, filtered by
// their bounds, freed of superseded and duplicate records, sorted by the sort
// settings and, when the sort line is a time or date line, kept together in
// groups ordered by the first line value of each group.
#include "platform/grid.h"

#include <QString>

// The sort settings the list builders read (section SORT_SETTINGS).
struct ListSortSettings {
    QString type;  // "None", "Ascending" or "Descending" (any case)
    QString group; // column key of the group column, "None" or empty
    QString line;  // column key of the sort line column, or empty

    // The values of gstrSortType, gstrSortGroup and gstrSortLine.
    static ListSortSettings fromGlobals();
};

// Sorts a list grid by the sort settings: nothing unless the type is
// "Ascending" or "Descending" (any case); by the group column (trimmed key)
// when a group is set and not "None", then again by group and sort line when
// a line is set; otherwise by the sort line alone. Both keys share the order;
// `keySetting` is the per-key setting the grid keeps with each key.
void sortGridBySettings(Grid& grid, const ListSortSettings& sort, int keySetting);

// Empties igRADE and igRADE2 and gives both the 21 record columns
// ("Line 1" .. "Line 12" shown, "Line 13" .. "Line 20" and "DateTime" hidden).
void initRADEGridColumns(Grid& igRADE, Grid& igRADE2);

// Rebuilds igRADE from the records of igRDM; igRADE2 is left holding the
// collected and sorted records. igRDM is only read.
void buildRADEList(const Grid& igRDM, Grid& igRADE, Grid& igRADE2, const ListSortSettings& sort);

// The same over the program's grids (dataGrids()) and the sort settings
// globals. This is the last step of loading an EBMS record file.
void buildRADEList();
