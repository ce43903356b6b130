#include "templates/geometry.h"

#include "platform/vbvalue.h"
#include "templates/layouts.h"

#include <cmath>

namespace templates {

namespace {

float single(double v)
{
    return static_cast<float>(v);
}

std::optional<double> quotient(double part, double whole)
{
    const float w = single(whole);
    if (w == 0.0f)
        return std::nullopt;
    const float q = single(part) / w;
    if (!std::isfinite(q))
        return std::nullopt;
    return static_cast<double>(q);
}

} // namespace

std::optional<QString> layoutRectOf(const preview::Geometry& item, const preview::Background& bg)
{
    const auto t = quotient(item.top(), bg.height());
    const auto l = quotient(item.left(), bg.width());
    const auto h = quotient(item.height(), bg.height());
    const auto w = quotient(item.width(), bg.width());
    if (!t || !l || !h || !w)
        return std::nullopt;
    return formatLayoutRect(*t, *l, *h, *w);
}

void placeFromLayoutRect(preview::Geometry& item, const QString& rect, const preview::Background& bg)
{
    const LayoutRect r = LayoutRect::parse(rect);
    const double H = static_cast<double>(single(bg.height()));
    const double W = static_cast<double>(single(bg.width()));
    if (r.top)
        item.setTop(vb::Round(*r.top * H, 2));
    if (r.left)
        item.setLeft(vb::Round(*r.left * W, 2));
    if (r.height)
        item.setHeight(vb::Round(*r.height * H, 2));
    if (r.width)
        item.setWidth(vb::Round(*r.width * W, 2));
}

bool InitLayoutSettings(int layoutNumber, const preview::PreviewModel& model, Template& t)
{
    const preview::Background& bg = model.picBackground();
    struct Element {
        QString *on, *align, *region, *font;
    };
    const Element elements[3] = {
        {&t.gstrTitleOn, &t.gstrTitleAlign, &t.gstrTitleRegion, &t.gstrTitleFont},
        {&t.gstrDateOn, &t.gstrDateAlign, &t.gstrDateRegion, &t.gstrDateFont},
        {&t.gstrTimeOn, &t.gstrTimeAlign, &t.gstrTimeRegion, &t.gstrTimeFont},
    };
    for (int i = 0; i < 3; ++i) {
        *elements[i].on = QStringLiteral("0");
        *elements[i].align = QStringLiteral("2");
        const auto rect = layoutRectOf(model.lblTDT(i), bg);
        if (!rect)
            return false;
        *elements[i].region = *rect;
        *elements[i].font = kDefaultFontDescriptor;
    }
    t.gstrPiPOn = QStringLiteral("0");
    const auto pip = layoutRectOf(model.lblTDT(3), bg);
    if (!pip)
        return false;
    t.gstrPiPRegion = *pip;

    const QString enabled = layoutNumber >= 0 ? QStringLiteral("1") : QStringLiteral("0");
    for (int r = 0; r < kRecords; ++r)
        for (int l = 0; l < kLines; ++l) {
            t.gstrTemplateLines[r][kFieldEnabled][l] = enabled;
            t.gstrTemplateLines[r][kFieldAlignment][l] = QStringLiteral("2");
            const auto rect = layoutRectOf(model.lblEvent(0, l), bg);
            if (!rect)
                return false;
            t.gstrTemplateLines[r][kFieldRect][l] = *rect;
            t.gstrTemplateLines[r][kFieldFont][l] = kDefaultFontDescriptor;
            t.gstrTemplateLines[r][kFieldLineUp][l] = kResetLineUp;
            t.gstrTemplateLines[r][kFieldGroupFlag][l] = QStringLiteral("0");
        }
    return true;
}

} // namespace templates
