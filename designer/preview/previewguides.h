#pragma once
// The four guides of the preview page: the vertical and horizontal rulers
// and the left and right alignment guides, each handle with its line,
// placed along the edges of the page for its current size.
#include "templates/model/previewmodel.h"

namespace preview {

// Places the guide handles and lines for the background's current width and
// height: the horizontal ruler near the top with its handle at the right
// edge, the vertical ruler near the left edge with its handle at the top,
// and the alignment guides 10 pixels inside the left and right edges with
// their handles at the bottom.
void placeGuides(PreviewModel& model);

} // namespace preview
