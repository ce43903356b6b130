#pragma once
// The template play-list: the grid of slot names (column "Template") from
// which the run cycle chooses its templates, with its four buttons. Each
// button acts on one row at most, the first that qualifies. Up and Down
// never move a row into or out of row 1.
#include "platform/grid.h"

#include <QString>

namespace templates {

// The play-list's column key.
inline const QString kPlayListColumn = QStringLiteral("Template");

// Moves the first selected row numbered 3 or more one place up.
void btnUpTemplate_Click(Grid& igTemplates);
// Moves the first selected row from 2 to the last but one one place down.
void btnDownTemplate_Click(Grid& igTemplates);
// Adds the slot name `slotText` (trimmed) as the last row unless a row
// already holds it; an empty text adds nothing.
void btnAddTemplate_Click(Grid& igTemplates, const QString& slotText);
// Removes the first selected row (row 1 included).
void btnRemoveTemplate_Click(Grid& igTemplates);

// What follows Add and Remove (and the settings loader's refill): the
// column is fitted to its texts. It never reorders the rows, so the order
// that Up and Down set is the order that is stored and played.
void fitPlayListColumn(Grid& igTemplates);

} // namespace templates
