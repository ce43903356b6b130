#pragma once
// The record lines on the designer preview. A press on a line selects and
// highlights it; a left drag moves the line and its lined-up partner; a
// right drag moves all twelve lines of its record display; a left release
// keeps the line on the preview and stores its place in the designer's
// template (FitLabelToBackground), a right release stores the moved record
// and opens the record-line menu. What the preview shows after a drag is
// what the template holds.
//
// Positions are preview pixels (templates/model/previewmodel.h). Record
// displays 0..5 are template records 0..5; displays 6..9 have no template
// row: their handlers move labels but read and store nothing. A line-up
// attribute that names no usable partner counts as not lined up. No handler
// throws.
#include "templates/model/previewmodel.h"
#include "templates/template.h"

#include <QString>

#include <functional>

namespace lines {

// Template records 0..5 have a row in the template line table; record
// displays 6..9 have none.
inline bool templateRecord(int group)
{
    return group >= 0 && group < templates::kRecords;
}

inline bool validLine(int line)
{
    return line >= 0 && line < templates::kLines;
}

// The layout tools the record lines use: the selection frame and the store
// of a line's place into the template line table.
class FrameTools {
public:
    virtual ~FrameTools() = default;
    // Puts the frame around label `index` of the selected group.
    virtual void ShowSelectionFrame(int index) = 0;
    virtual void HideSelectionFrame() = 0;
    // Stores `label`'s place as the LayoutRect of (record, line); false,
    // and nothing stored, for a record outside 0..5, a line outside 0..11
    // or a preview without size.
    virtual bool SaveLineGeometry(const preview::Geometry& label, int line, int record) = 0;
};

// The window around the preview. Each does nothing until the window
// overrides it.
class LineWindow {
public:
    virtual ~LineWindow() = default;
    // Shows the line's font in the font panel (record displays 0..5 only).
    virtual void LoadFontPanel(int group, int line);
    // Makes the line's row of the line editor the active one.
    virtual void SelectLineRow(int line);
    // Opens the record-line menu (mnuPopup) at a preview point.
    virtual void showLineMenu(double x, double y);
};

// The handlers of the record-line labels. Install with
// model.setHandlers(preview::ItemKind::RecordLine, &handlers).
class RecordLineHandlers : public preview::PreviewHandlers {
public:
    RecordLineHandlers(preview::PreviewModel& model, templates::Template& t, FrameTools& frame, LineWindow& window);

    // `group` is the record display 0..9, `index` the line 0..11; X, Y are
    // pixels from the label's top-left corner.
    void lblEvent_MouseDown(int group, int index, int button, int shift, double x, double y) override;
    void lblEvent_MouseMove(int group, int index, int button, int shift, double x, double y) override;
    void lblEvent_MouseUp(int group, int index, int button, int shift, double x, double y) override;
    // Opens the line-attributes pop-up for the line (openLineAttributes).
    void lblEvent_DblClick(int group, int index) override;

    // The line-attributes pop-up's opening; nothing until it is set.
    std::function<void(int group, int line)> openLineAttributes;

    // The drop rule: pulls `label` back inside the preview (its position
    // only; a label larger than the preview ends with its right or bottom
    // side on the preview's edge), stores it as (group, line) and puts the
    // frame around line `line` of the selected group. A store that cannot
    // be made is skipped.
    void FitLabelToBackground(preview::Geometry& label, int line, int group);

    // Stores all twelve lines of record display `group` where they stand,
    // when a right drag has moved them since the last press; true when it
    // stored. The right release runs it; so does the frame's knob.
    bool commitRecordMove(int group);

    static constexpr const char* kRightLineRefusal = "Please use the left line to move the Record's lines.";

private:
    preview::PreviewItem* label(int group, int line);
    void placePartner(int group, int line, const templates::LineUp& lineUp);

    preview::PreviewModel& m_;
    templates::Template& t_;
    FrameTools& frame_;
    LineWindow& window_;
    // This press's drag: the partner carried by a left drag, whether a
    // right drag moved the record, whether the refusal was shown.
    int carriedPartner_ = -1;
    bool recordMoved_ = false;
    bool refused_ = false;
};

} // namespace lines
