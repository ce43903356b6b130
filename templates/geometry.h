#pragma once
// Template geometry on the designer preview: a control's place as a
// LayoutRect of fractions of the background, a control placed from a
// LayoutRect, and the template settings taken from a freshly laid-out
// preview.
//
// The preview's values stand for single-precision control properties, so
// quotients and products are formed in single precision as the stored
// templates expect, then rounded to 2 decimals, half to even.
#include "templates/model/previewmodel.h"
#include "templates/template.h"

#include <QString>

#include <optional>

namespace templates {

// Top / background height, Left / width, Height / height, Width / width,
// each rounded and written in its shortest form, joined by "|"; not
// clamped. Nothing when the background has no width or no height.
std::optional<QString> layoutRectOf(const preview::Geometry& item, const preview::Background& background);

// Sets Top, Left, Height and Width (in this order) to the rectangle's
// fractions times the background's height or width, rounded to 2 decimals.
// An edge the rectangle lacks, or a value the control refuses, stays.
void placeFromLayoutRect(preview::Geometry& item, const QString& rect, const preview::Background& background);

// Makes the template agree with the preview just laid out: the title, date
// and time get shown flag "0", centre alignment, their label's rectangle and
// the default font; the PiP gets flag "0" and its label's rectangle; every
// line of all six records gets Enabled "1" (layoutNumber >= 0) or "0",
// centre alignment, the rectangle of the matching line of record display 1,
// the default font, no line-up and no group. Returns false when the
// background has no size; the values written before that point stay.
bool InitLayoutSettings(int layoutNumber, const preview::PreviewModel& model, Template& t);

} // namespace templates
