#include "designer/lines/recordlines.h"

#include "platform/services.h"

#include <utility>

namespace lines {

namespace {

using preview::ItemKind;
using templates::LineUp;

} // namespace

void LineWindow::LoadFontPanel(int, int) {}
void LineWindow::SelectLineRow(int) {}
void LineWindow::showLineMenu(double, double) {}

RecordLineHandlers::RecordLineHandlers(preview::PreviewModel& model, templates::Template& t, FrameTools& frame,
                                       LineWindow& window)
    : m_(model)
    , t_(t)
    , frame_(frame)
    , window_(window)
{
}

preview::PreviewItem* RecordLineHandlers::label(int group, int line)
{
    const preview::ItemRef ref{ItemKind::RecordLine, group, line};
    return preview::PreviewModel::isValid(ref) ? &m_.item(ref) : nullptr;
}

void RecordLineHandlers::placePartner(int group, int line, const LineUp& lineUp)
{
    preview::PreviewItem* self = label(group, line);
    preview::PreviewItem* partner = label(group, lineUp.partner);
    if (!self || !partner)
        return;
    partner->setTop(self->top());
    if (lineUp.isRight())
        partner->setLeft(self->left() - partner->width());
    else
        partner->setLeft(self->left() + self->width());
}

void RecordLineHandlers::lblEvent_MouseDown(int group, int index, int, int, double x, double y)
{
    preview::PreviewItem* pressed = label(group, index);
    if (!pressed)
        return;
    preview::DesignerState& s = m_.state();
    s.mdblPressX = x;
    s.mdblPressY = y;
    pressed->backColor = preview::kLineHighlightColor;
    m_.ZOrder({ItemKind::RecordLine, group, index});
    s.mintSelectedLine = index;
    s.mintSelectedGroup = group;
    for (int d = 0; d < preview::kRecordDisplays; ++d)
        for (int l = 0; l < preview::kDisplayLines; ++l)
            if (d != group || l != index)
                m_.lblEvent(d, l).backColor = preview::kLineColor;
    carriedPartner_ = -1;
    recordMoved_ = false;
    refused_ = false;
}

void RecordLineHandlers::lblEvent_MouseMove(int group, int index, int button, int, double x, double y)
{
    preview::PreviewItem* line = label(group, index);
    if (!line)
        return;
    const preview::DesignerState& s = m_.state();
    if (button == 1) {
        line->setTop(line->top() + (y - s.mdblPressY));
        line->setLeft(line->left() + (x - s.mdblPressX));
        const LineUp lineUp = t_.lineUp(group, index);
        if (lineUp.linedUp) {
            placePartner(group, index, lineUp);
            carriedPartner_ = lineUp.partner;
        }
        m_.ZOrder({ItemKind::RecordLine, group, index});
        frame_.ShowSelectionFrame(index);
    } else if (button == 2) {
        if (t_.lineUp(group, index).isRight()) {
            // Once per drag: the pointer keeps moving while the user reads.
            if (!refused_)
                services::message(QString::fromLatin1(kRightLineRefusal), MsgIcon::Information);
            refused_ = true;
            return;
        }
        const double dy = y - s.mdblPressY;
        const double dx = x - s.mdblPressX;
        for (int i = 0; i < templates::kLines; ++i) {
            preview::PreviewItem& l = m_.lblEvent(group, i);
            l.setTop(l.top() + dy);
            l.setLeft(l.left() + dx);
        }
        for (int i = 0; i < templates::kLines; ++i) {
            const LineUp lineUp = t_.lineUp(group, i);
            if (lineUp.isLeft())
                placePartner(group, i, lineUp);
        }
        if (dx != 0 || dy != 0)
            recordMoved_ = true;
        frame_.ShowSelectionFrame(index);
    }
}

void RecordLineHandlers::lblEvent_MouseUp(int group, int index, int button, int, double x, double y)
{
    preview::PreviewItem* line = label(group, index);
    if (!line)
        return;
    const int selected = m_.state().mintSelectedGroup;
    if (templateRecord(selected))
        window_.LoadFontPanel(selected, index);
    if (button == 1) {
        FitLabelToBackground(*line, index, group);
        if (validLine(carriedPartner_) && templateRecord(group))
            frame_.SaveLineGeometry(m_.lblEvent(group, carriedPartner_), carriedPartner_, group);
        carriedPartner_ = -1;
        window_.SelectLineRow(index);
    } else if (button == 2) {
        commitRecordMove(group);
        window_.showLineMenu(line->left() + x, line->top() + y);
    }
}

void RecordLineHandlers::lblEvent_DblClick(int group, int index)
{
    if (openLineAttributes)
        openLineAttributes(group, index);
}

void RecordLineHandlers::FitLabelToBackground(preview::Geometry& label, int line, int group)
{
    const preview::Background& bg = std::as_const(m_).picBackground();
    const double W = bg.width(), H = bg.height();
    if (label.left() < 0)
        label.setLeft(0);
    if (W - label.width() < label.left())
        label.setLeft(W - label.width());
    if (label.top() < 0)
        label.setTop(0);
    if (H - label.height() < label.top())
        label.setTop(H - label.height());
    m_.touch();
    frame_.SaveLineGeometry(label, line, group);
    frame_.ShowSelectionFrame(line);
}

bool RecordLineHandlers::commitRecordMove(int group)
{
    if (!recordMoved_)
        return false;
    recordMoved_ = false;
    if (!templateRecord(group))
        return false;
    for (int i = 0; i < templates::kLines; ++i)
        frame_.SaveLineGeometry(m_.lblEvent(group, i), i, group);
    return true;
}

} // namespace lines
