#pragma once
// Painting the preview model: the background with its colour, picture and
// drawing, then every visible control back to front, clipped to the
// background. Label texts use plain painter text.
#include "templates/model/previewmodel.h"

#include <QLineF>

#include <vector>

class QPainter;

namespace preview {

// Paints in background coordinates (origin at the background's top-left).
void paintBackground(QPainter& painter, const PreviewModel& model);

// The design grid while it is shown (the state's grid flag, with a division
// count N above 0): square cells whose side is the larger of width / N and
// height / N, so the longer side holds exactly N cells; lines k = 1 .. N - 1
// across and down the whole page, those that fall inside it. They are
// painted over the background's picture and drawing, beneath every control,
// in the background's pen colour (foreColor). Nothing without a grid or on a
// page without size.
std::vector<QLineF> designGridLines(const PreviewModel& model);

} // namespace preview
