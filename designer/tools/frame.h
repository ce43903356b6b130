#pragma once
// The selection frame on the designer preview and the store of a record
// line's place. The frame marks the selected label (a record line of group
// 0..9, or element lblTDT(group - 100)) with four 1-pixel strips on its
// outermost pixel columns and rows, PicEdge(0) left, 1 top, 2 right,
// 3 bottom, and the knob btnAdjust straddling its top edge.
//
// Dragging a strip with the left button resizes the label on that side
// while the opposite side stays; a step that would make the width or
// height negative leaves the size and does the rest. Releasing the strip
// drops the label (kept on the preview and stored). The knob hands its
// pointer events to the selected label's own handlers, so dragging the knob
// drags the label (with the right button, a record line's whole record).
//
// Positions are preview pixels (templates/model/previewmodel.h).
#include "designer/lines/recordlines.h"
#include "templates/model/previewmodel.h"
#include "templates/template.h"

#include <functional>
#include <optional>

namespace tools {

class SelectionFrame final : public preview::PreviewHandlers, public lines::FrameTools {
public:
    SelectionFrame(preview::PreviewModel& model, templates::Template& t);

    // Installs the frame's handlers for the strips and the knob, and names
    // the record-line handlers the knob and the strip release reach. The
    // click on the empty preview reaches the frame through the page's
    // handlers, where the owner adds it.
    void install(lines::RecordLineHandlers& recordLines);

    // Stores `label` as the LayoutRect of (record, line): top and height
    // over the preview's height, left and width over its width, rounded to
    // 2 decimals half to even, shortest text with "." (0.12|0.19|0.04|0.38);
    // not clamped. False, and nothing stored, outside records 0..5 and
    // lines 0..11 or on a preview without size.
    bool SaveLineGeometry(const preview::Geometry& label, int line, int record) override;
    // Places the strips and the knob on label `index` of the selected
    // group and shows them; for a group that names no label, or an index
    // outside its array, shows them where they last stood.
    void ShowSelectionFrame(int index) override;
    void HideSelectionFrame() override;

    // An element's drop at the end of a strip drag: keeps it on the
    // preview, stores its region and puts the frame back around it. Until
    // the element tools set it, only the frame is put back.
    std::function<void(int index)> dropTDTLabel;

    void picBackground_Click() override;
    void PicEdge_MouseDown(int index, int button, int shift, double x, double y) override;
    void PicEdge_MouseMove(int index, int button, int shift, double x, double y) override;
    void PicEdge_MouseUp(int index, int button, int shift, double x, double y) override;
    void btnAdjust_MouseDown(int button, int shift, double x, double y) override;
    void btnAdjust_MouseMove(int button, int shift, double x, double y) override;
    void btnAdjust_MouseUp(int button, int shift, double x, double y) override;

    static constexpr double kEdgeThickness = 1;

private:
    // The selected record line or element, when the selection names one.
    std::optional<preview::ItemRef> selectedRef() const;
    preview::PreviewItem* selectedLabel();

    preview::PreviewModel& m_;
    templates::Template& t_;
    lines::RecordLineHandlers* lines_ = nullptr;
    // The pointer's last place on the preview during a knob drag.
    double knobLastX_ = 0, knobLastY_ = 0;
};

} // namespace tools
