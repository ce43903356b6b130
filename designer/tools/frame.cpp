#include "designer/tools/frame.h"

#include "templates/geometry.h"

namespace tools {

namespace {

using preview::ItemKind;
using preview::ItemRef;

constexpr int kElementGroup = 100;

bool recordDisplay(int group)
{
    return group >= 0 && group < preview::kRecordDisplays;
}

bool elementGroup(int group)
{
    return group >= kElementGroup && group < kElementGroup + preview::kElements;
}

} // namespace

SelectionFrame::SelectionFrame(preview::PreviewModel& model, templates::Template& t)
    : m_(model)
    , t_(t)
{
}

void SelectionFrame::install(lines::RecordLineHandlers& recordLines)
{
    lines_ = &recordLines;
    m_.setHandlers(ItemKind::EdgeStrip, this);
    m_.setHandlers(ItemKind::AdjustKnob, this);
}

bool SelectionFrame::SaveLineGeometry(const preview::Geometry& label, int line, int record)
{
    QString* cell = t_.line(record, templates::kFieldRect, line);
    if (!cell)
        return false;
    const auto rect = templates::layoutRectOf(label, std::as_const(m_).picBackground());
    if (!rect)
        return false;
    *cell = *rect;
    return true;
}

std::optional<ItemRef> SelectionFrame::selectedRef() const
{
    const preview::DesignerState& s = m_.state();
    if (recordDisplay(s.mintSelectedGroup))
        return ItemRef{ItemKind::RecordLine, s.mintSelectedGroup, s.mintSelectedLine};
    if (elementGroup(s.mintSelectedGroup))
        return ItemRef{ItemKind::Element, 0, s.mintSelectedGroup - kElementGroup};
    return std::nullopt;
}

preview::PreviewItem* SelectionFrame::selectedLabel()
{
    const std::optional<ItemRef> ref = selectedRef();
    return ref && preview::PreviewModel::isValid(*ref) ? &m_.item(*ref) : nullptr;
}

void SelectionFrame::ShowSelectionFrame(int index)
{
    const int group = m_.state().mintSelectedGroup;
    std::optional<ItemRef> ref;
    if (recordDisplay(group))
        ref = ItemRef{ItemKind::RecordLine, group, index};
    else if (elementGroup(group))
        ref = ItemRef{ItemKind::Element, 0, index};
    if (ref && preview::PreviewModel::isValid(*ref)) {
        const preview::PreviewItem& label = std::as_const(m_).item(*ref);
        const double L = label.left(), T = label.top(), W = label.width(), H = label.height();
        const double t = kEdgeThickness;
        m_.PicEdge(0).setGeometry(L, T, t, H);
        m_.PicEdge(1).setGeometry(L, T, W, t);
        m_.PicEdge(2).setGeometry(L + W - t, T, t, H);
        m_.PicEdge(3).setGeometry(L, T + H - t, W, t);
    }
    for (int i = 0; i < 4; ++i) {
        m_.ZOrder({ItemKind::EdgeStrip, 0, i});
        m_.PicEdge(i).visible = true;
    }
    preview::PreviewItem& knob = m_.btnAdjust();
    knob.setLeft(m_.PicEdge(1).left() + 3);
    knob.setTop(m_.PicEdge(1).top() - knob.width() / 2);
    m_.ZOrder({ItemKind::AdjustKnob, 0, 0});
    knob.visible = true;
    m_.touch();
}

void SelectionFrame::HideSelectionFrame()
{
    for (int i = 0; i < 4; ++i)
        m_.PicEdge(i).visible = false;
    m_.btnAdjust().visible = false;
    m_.touch();
}

void SelectionFrame::picBackground_Click()
{
    HideSelectionFrame();
}

void SelectionFrame::PicEdge_MouseDown(int index, int button, int, double x, double y)
{
    if (button != 1 || index < 0 || index > 3)
        return;
    preview::DesignerState& s = m_.state();
    s.mdblEdgeX = x;
    s.mdblEdgeY = y;
    m_.ZOrder({ItemKind::EdgeStrip, 0, index});
}

void SelectionFrame::PicEdge_MouseMove(int index, int button, int, double x, double y)
{
    if (button != 1 || index < 0 || index > 3)
        return;
    const preview::DesignerState& s = m_.state();
    const double dX = x - s.mdblEdgeX, dY = y - s.mdblEdgeY;
    preview::PreviewItem& strip = m_.PicEdge(index);
    preview::PreviewItem* label = selectedLabel();
    // A width or height below zero is refused by the label: that step alone
    // is skipped.
    switch (index) {
    case 0:
        strip.setLeft(strip.left() + dX);
        if (label) {
            label->setLeft(strip.left());
            label->setWidth(label->width() - dX);
        }
        break;
    case 1:
        strip.setTop(strip.top() + dY);
        if (label) {
            label->setTop(strip.top());
            label->setHeight(label->height() - dY);
        }
        break;
    case 2:
        strip.setLeft(strip.left() + dX);
        if (label)
            label->setWidth(label->width() + dX);
        break;
    case 3:
        strip.setTop(strip.top() + dY);
        if (label)
            label->setHeight(label->height() + dY);
        break;
    }
    const std::optional<ItemRef> ref = selectedRef();
    ShowSelectionFrame(ref ? ref->index : s.mintSelectedLine);
}

void SelectionFrame::PicEdge_MouseUp(int, int button, int, double, double)
{
    if (button != 1)
        return;
    const preview::DesignerState& s = m_.state();
    if (recordDisplay(s.mintSelectedGroup)) {
        if (preview::PreviewItem* label = selectedLabel(); label && lines_)
            lines_->FitLabelToBackground(*label, s.mintSelectedLine, s.mintSelectedGroup);
    } else if (elementGroup(s.mintSelectedGroup)) {
        const int index = s.mintSelectedGroup - kElementGroup;
        if (dropTDTLabel)
            dropTDTLabel(index);
        else
            ShowSelectionFrame(index);
    }
}

void SelectionFrame::btnAdjust_MouseDown(int button, int shift, double x, double y)
{
    knobLastX_ = m_.btnAdjust().left() + x;
    knobLastY_ = m_.btnAdjust().top() + y;
    if (const std::optional<ItemRef> ref = selectedRef())
        m_.raiseMouseDown(*ref, button, shift, x, y);
}

void SelectionFrame::btnAdjust_MouseMove(int buttons, int shift, double x, double y)
{
    const std::optional<ItemRef> ref = selectedRef();
    if (!ref)
        return;
    if (ref->kind == ItemKind::RecordLine && buttons == 2) {
        // The record moves by the pointer's travel on the preview since the
        // last move (whether or not the knob followed), handed on as an
        // offset from the line's press point.
        const preview::DesignerState& s = m_.state();
        const double px = m_.btnAdjust().left() + x, py = m_.btnAdjust().top() + y;
        x = s.mdblPressX + (px - knobLastX_);
        y = s.mdblPressY + (py - knobLastY_);
        knobLastX_ = px;
        knobLastY_ = py;
    }
    m_.raiseMouseMove(*ref, buttons, shift, x, y);
}

void SelectionFrame::btnAdjust_MouseUp(int button, int shift, double x, double y)
{
    const std::optional<ItemRef> ref = selectedRef();
    if (!ref)
        return;
    if (button == 1)
        m_.raiseMouseUp(*ref, button, shift, x, y);
    else if (button == 2 && ref->kind == ItemKind::RecordLine && lines_)
        // No menu from the knob, but the record it moved is stored.
        lines_->commitRecordMove(ref->group);
}

} // namespace tools
