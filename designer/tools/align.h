#pragma once
// The alignment commands of the record-line menu, on the record display of
// the line the menu was opened on:
// - Align Record Lines gives every shown line of the record the clicked
//   line's height and stacks the lines edge to edge above and below the
//   clicked line in their present top-to-bottom order, a lined-up pair
//   sharing one row; the clicked line stays where it is.
// - Align All To Left / Right / Center moves all twelve lines sideways
//   against the left guide, against the right guide, or about the middle of
//   the preview; a lined-up pair moves as one block.
// Every line moved is stored into the template line table at once; nothing
// is clamped to the preview.
//
// Record displays outside 0..5 have no template record: a command only
// hides the selection frame there. A line-up attribute with fewer than
// three fields, or whose partner is not another line 0..11, makes its line
// a single line. A line whose place can't be stored keeps its new place.
// Positions are preview pixels (templates/model/previewmodel.h).
#include "designer/lines/recordlines.h"
#include "templates/model/previewmodel.h"
#include "templates/template.h"

namespace tools {

class LineAlignment {
public:
    LineAlignment(preview::PreviewModel& model, templates::Template& t, lines::FrameTools& frame);

    enum AlignIndex { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };

    // The menu commands, on the selected line and record display.
    void mnuAlignRecordlines_Click();
    void mnuAlignment_Click(int index);

    // Align Record Lines from line `line` of record display `record`; the
    // right line of a pair is refused with kRightLineRefusal.
    void AlignRecordLines(int line, int record);

    static constexpr const char* kRightLineRefusal = "Please use the left hand line to align the Record's lines.";

private:
    preview::PreviewModel& m_;
    templates::Template& t_;
    lines::FrameTools& frame_;
};

} // namespace tools
