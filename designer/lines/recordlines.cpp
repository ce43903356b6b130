#include "designer/lines/recordlines.h"

#include "platform/services.h"
#include "platform/vbvalue.h"

#include <QStringList>

#include <cmath>

namespace lines {

namespace {

using preview::ItemKind;

// A whole number written as text, blanks around it allowed.
std::optional<int> wholeOf(const QString& text)
{
    const auto v = vb::NumberOf(text);
    if (!v || *v != std::floor(*v) || std::fabs(*v) > 1e6)
        return std::nullopt;
    return int(*v);
}

} // namespace

LineUp LineUp::read(const QString& text, int line)
{
    LineUp out;
    const QStringList f = text.split(QLatin1Char(','));
    if (f.size() < 2 || wholeOf(f[0]) != 1)
        return out;
    const auto partner = wholeOf(f[1]);
    if (!partner || !validLine(*partner) || *partner == line)
        return out;
    out.linedUp = true;
    out.partner = *partner;
    out.side = f.value(2).trimmed();
    return out;
}

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

LineUp RecordLineHandlers::lineUpOf(int group, int line) const
{
    const QString* cell = t_.line(group, templates::kFieldLineUp, line);
    return cell ? LineUp::read(*cell, line) : LineUp();
}

void RecordLineHandlers::placePartner(int group, int line, const LineUp& lineUp)
{
    preview::PreviewItem* self = label(group, line);
    preview::PreviewItem* partner = label(group, lineUp.partner);
    if (!self || !partner)
        return;
    partner->setTop(self->top());
    if (lineUp.side == QLatin1String("R"))
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
        const LineUp lineUp = lineUpOf(group, index);
        if (lineUp.linedUp) {
            placePartner(group, index, lineUp);
            carriedPartner_ = lineUp.partner;
        }
        m_.ZOrder({ItemKind::RecordLine, group, index});
        frame_.ShowSelectionFrame(index);
    } else if (button == 2) {
        if (lineUpOf(group, index).isRight()) {
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
            const LineUp lineUp = lineUpOf(group, i);
            if (lineUp.linedUp && lineUp.side == QLatin1String("L"))
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
