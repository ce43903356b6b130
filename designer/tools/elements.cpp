#include "designer/tools/elements.h"

#include "platform/services.h"
#include "platform/vbvalue.h"
#include "templates/geometry.h"
#include "templates/template.h"

#include <QStringList>

#include <utility>

namespace layouttools {

namespace {

using preview::ItemKind;
using preview::ItemRef;

bool validElement(int index)
{
    return index >= 0 && index < preview::kElements;
}

ItemRef elementRef(int index)
{
    return {ItemKind::Element, 0, index};
}

} // namespace

double elementSizeDivisor(int index)
{
    return index == 0 ? 3.0 : 2.5;
}

bool applyElementFont(preview::PreviewItem& label, const QString& descriptor, double sizeDivisor)
{
    const QStringList f = descriptor.split(QLatin1Char(','));
    if (!f.value(0).isEmpty())
        label.fontName = f.value(0);
    const auto size = vb::NumberOf(f.value(1));
    if (f.size() < 3 || !size || *size <= 0)
        return false;
    label.fontSize = *size / sizeDivisor;
    if (const auto color = vb::NumberOf(f[2]); color && *color >= 0)
        label.foreColor = uint32_t(vb::RoundWhole(*color)) & 0xFFFFFFu;
    return true;
}

ElementTool::ElementTool(preview::PreviewModel& model, templates::Template& t, ElementTexts texts,
                         std::function<void(int)> showSelectionFrame)
    : model_(model)
    , t_(t)
    , texts_(std::move(texts))
    , showSelectionFrame_(std::move(showSelectionFrame))
{
}

void ElementTool::lblTDT_MouseDown(int index, int button, int, double x, double y)
{
    if (button != 1 || !validElement(index))
        return;
    preview::DesignerState& s = model_.state();
    s.mdblPressX = x;
    s.mdblPressY = y;
    model_.ZOrder(elementRef(index));
    s.mintSelectedGroup = kElementGroup + index;
    if (showSelectionFrame_)
        showSelectionFrame_(index);
}

void ElementTool::lblTDT_MouseMove(int index, int button, int, double x, double y)
{
    if (button != 1 || !validElement(index))
        return;
    preview::DesignerState& s = model_.state();
    preview::PreviewItem& label = model_.lblTDT(index);
    label.setTop(label.top() + (y - s.mdblPressY));
    label.setLeft(label.left() + (x - s.mdblPressX));
    s.mintSelectedGroup = kElementGroup + index;
    if (showSelectionFrame_)
        showSelectionFrame_(index);
}

void ElementTool::lblTDT_MouseUp(int index, int, int, double, double)
{
    dropTDTLabel(index);
}

void ElementTool::dropTDTLabel(int index)
{
    if (!validElement(index))
        return;
    const preview::Background& bg = std::as_const(model_).picBackground();
    // Control properties are single precision: so are the limits.
    const float W = float(bg.width()), H = float(bg.height());
    if (W > 0 && H > 0) {
        preview::PreviewItem& label = model_.lblTDT(index);
        if (float(label.width()) > W)
            label.setWidth(W);
        if (float(label.height()) > H)
            label.setHeight(H);
        if (label.left() < 0)
            label.setLeft(0);
        if (const float maxLeft = W - float(label.width()); float(label.left()) > maxLeft)
            label.setLeft(maxLeft);
        if (label.top() < 0)
            label.setTop(0);
        if (const float maxTop = H - float(label.height()); float(label.top()) > maxTop)
            label.setTop(maxTop);
        storeTDTLabelRegion(index);
    }
    model_.state().mintSelectedGroup = kElementGroup + index;
    if (showSelectionFrame_)
        showSelectionFrame_(index);
    model_.touch();
}

bool ElementTool::storeTDTLabelRegion(int index)
{
    if (!validElement(index))
        return false;
    const auto rect = templates::layoutRectOf(model_.lblTDT(index), std::as_const(model_).picBackground());
    if (!rect)
        return false;
    QString* regions[preview::kElements] = {&t_.gstrTitleRegion, &t_.gstrDateRegion, &t_.gstrTimeRegion,
                                            &t_.gstrPiPRegion};
    *regions[index] = *rect;
    return true;
}

void ElementTool::applyTDTLabelSettings(int index)
{
    if (!validElement(index))
        return;
    if (index == 3) {
        if (t_.gstrPiPOn.isEmpty() || t_.gstrPiPRegion.isEmpty())
            return;
        model_.ZOrder(elementRef(3));
        model_.lblTDT(3).visible = true;
        model_.touch();
        return;
    }

    struct Style {
        const QString &on, &align, &region, &font;
        const std::function<QString()>& text;
    };
    const Style styles[3] = {
        {t_.gstrTitleOn, t_.gstrTitleAlign, t_.gstrTitleRegion, t_.gstrTitleFont, texts_.titleText},
        {t_.gstrDateOn, t_.gstrDateAlign, t_.gstrDateRegion, t_.gstrDateFont, texts_.datePattern},
        {t_.gstrTimeOn, t_.gstrTimeAlign, t_.gstrTimeRegion, t_.gstrTimeFont, texts_.timePattern},
    };
    const Style& s = styles[index];
    if (s.on.isEmpty() || s.align.isEmpty() || s.region.isEmpty() || s.font.isEmpty())
        return;
    const QString text = s.text ? s.text().trimmed() : QString();
    if (text.isEmpty())
        return;

    preview::PreviewItem& label = model_.lblTDT(index);
    if (const auto align = vb::NumberOf(s.align); align && (*align == 0 || *align == 1 || *align == 2))
        label.alignment = int(*align);
    applyElementFont(label, s.font, elementSizeDivisor(index));
    label.caption = index == 0 ? text : vb::FormatDateTime(services::clock().now(), text);
    model_.ZOrder(elementRef(index));
    label.visible = true;
    model_.touch();
}

} // namespace layouttools
