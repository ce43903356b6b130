#pragma once
// Painting the preview model: the background with its colour, picture and
// drawing, then every visible control back to front, clipped to the
// background. Label texts use plain painter text.
#include "designer/preview/previewmodel.h"

class QPainter;

namespace preview {

// Paints in background coordinates (origin at the background's top-left).
void paintBackground(QPainter& painter, const PreviewModel& model);

} // namespace preview
