#include "designer/preview/previewpaint.h"

#include "platform/vbvalue.h"

#include <QFont>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace preview {

namespace {

QFont labelFont(const PreviewItem& item, const QPaintDevice* device)
{
    QFont font(item.fontName);
    // Points become pixels at 96 dots per inch whatever the device says.
    const int dpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
    font.setPointSizeF(std::max(1.0, item.fontSize * 96.0 / dpi));
    font.setBold(item.fontBold);
    return font;
}

Qt::Alignment textAlignment(int alignment)
{
    switch (alignment) {
    case 1:
        return Qt::AlignRight;
    case 2:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

void paintButton(QPainter& p, const PreviewItem& item, const QRectF& r)
{
    p.fillRect(r, vb::ToQColor(item.backColor));
    p.setPen(Qt::white);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(Qt::darkGray);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setFont(labelFont(item, p.device()));
    p.setPen(vb::ToQColor(item.foreColor));
    p.drawText(r, Qt::AlignCenter, item.caption);
}

void paintItem(QPainter& p, const PreviewItem& item)
{
    const QRectF r = item.rect();
    if (r.width() <= 0 || r.height() <= 0)
        return;
    if (item.raised) {
        paintButton(p, item, r);
        return;
    }
    if (item.opaque)
        p.fillRect(r, vb::ToQColor(item.backColor));
    if (item.caption.isEmpty())
        return;
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setFont(labelFont(item, p.device()));
    p.setPen(vb::ToQColor(item.foreColor));
    p.drawText(r, int(textAlignment(item.alignment) | Qt::AlignTop | Qt::TextWordWrap), item.caption);
    p.restore();
}

} // namespace

std::vector<QLineF> designGridLines(const PreviewModel& model)
{
    std::vector<QLineF> lines;
    const DesignerState& s = model.state();
    const Background& bg = model.picBackground();
    const double W = bg.scaleWidth(), H = bg.scaleHeight();
    const int N = s.gridDivisions;
    if (!s.mblnGridShown || N <= 0 || !(W > 0) || !(H > 0))
        return lines;
    const double step = std::max(W / N, H / N);
    for (int k = 1; k < N && k * step < H; ++k)
        lines.emplace_back(0, k * step, W, k * step);
    for (int k = 1; k < N && k * step < W; ++k)
        lines.emplace_back(k * step, 0, k * step, H);
    return lines;
}

void paintBackground(QPainter& p, const PreviewModel& model)
{
    const Background& bg = model.picBackground();
    const QRectF area(0, 0, bg.width(), bg.height());
    p.save();
    p.setClipRect(area, Qt::IntersectClip);
    p.fillRect(area, vb::ToQColor(bg.backColor));
    if (!bg.picture.isNull())
        p.drawImage(area, bg.picture);
    for (const DrawnLine& l : bg.drawing) {
        p.setPen(QPen(vb::ToQColor(l.color), 1));
        p.drawLine(l.line);
    }
    p.setPen(QPen(vb::ToQColor(bg.foreColor), 1));
    for (const QLineF& l : designGridLines(model))
        p.drawLine(l);
    for (const ItemRef& ref : model.paintOrder()) {
        const PreviewItem& item = model.item(ref);
        if (item.visible)
            paintItem(p, item);
    }
    p.restore();
}

} // namespace preview
