#include "designer/tools/guides.h"

#include <algorithm>

namespace tools {

namespace {

using preview::Guide;

bool upDown(Guide g)
{
    return g == preview::kGuideUD;
}

} // namespace

GuideHandlers::GuideHandlers(preview::PreviewModel& model)
    : m_(model)
{
}

void GuideHandlers::install()
{
    m_.setHandlers(preview::ItemKind::GuideHandle, this);
}

void GuideHandlers::press(int button, double x, double y)
{
    if (button != 1)
        return;
    m_.state().mdblPressX = x;
    m_.state().mdblPressY = y;
}

void GuideHandlers::follow(Guide g)
{
    const preview::PreviewItem& handle = std::as_const(m_).guideHandle(g);
    preview::PreviewItem& line = m_.guideLine(g);
    switch (g) {
    case preview::kGuideUD:
        line.setTop(handle.top());
        break;
    case preview::kGuideAlignRight:
        line.setLeft(handle.left() + handle.width() - line.width());
        break;
    default:
        line.setLeft(handle.left());
        break;
    }
}

void GuideHandlers::drag(Guide g, int button, double x, double y)
{
    if (button != 1)
        return;
    const preview::DesignerState& s = m_.state();
    preview::PreviewItem& handle = m_.guideHandle(g);
    if (upDown(g))
        handle.setTop(handle.top() + (y - s.mdblPressY));
    else
        handle.setLeft(handle.left() + (x - s.mdblPressX));
    follow(g);
}

void GuideHandlers::release(Guide g, int button)
{
    if (button != 1)
        return;
    const preview::Background& bg = std::as_const(m_).picBackground();
    preview::PreviewItem& handle = m_.guideHandle(g);
    const bool ud = upDown(g);
    const double at = ud ? handle.top() : handle.left();
    const double room = ud ? bg.height() - handle.height() : bg.width() - handle.width();
    // The far edge wins on a preview smaller than the handle.
    const double inside = std::min(std::max(at, 0.0), room);
    if (inside == at)
        return;
    if (ud)
        handle.setTop(inside);
    else
        handle.setLeft(inside);
    follow(g);
}

void GuideHandlers::lblAdjustLRLine_MouseDown(int b, int, double x, double y)
{
    press(b, x, y);
}
void GuideHandlers::lblAdjustLRLine_MouseMove(int b, int, double x, double y)
{
    drag(preview::kGuideLR, b, x, y);
}
void GuideHandlers::lblAdjustLRLine_MouseUp(int b, int, double, double)
{
    release(preview::kGuideLR, b);
}
void GuideHandlers::lblAdjustUDLine_MouseDown(int b, int, double x, double y)
{
    press(b, x, y);
}
void GuideHandlers::lblAdjustUDLine_MouseMove(int b, int, double x, double y)
{
    drag(preview::kGuideUD, b, x, y);
}
void GuideHandlers::lblAdjustUDLine_MouseUp(int b, int, double, double)
{
    release(preview::kGuideUD, b);
}
void GuideHandlers::lblAlignLeft_MouseDown(int b, int, double x, double y)
{
    press(b, x, y);
}
void GuideHandlers::lblAlignLeft_MouseMove(int b, int, double x, double y)
{
    drag(preview::kGuideAlignLeft, b, x, y);
}
void GuideHandlers::lblAlignLeft_MouseUp(int b, int, double, double)
{
    release(preview::kGuideAlignLeft, b);
}
void GuideHandlers::lblAlignRight_MouseDown(int b, int, double x, double y)
{
    press(b, x, y);
}
void GuideHandlers::lblAlignRight_MouseMove(int b, int, double x, double y)
{
    drag(preview::kGuideAlignRight, b, x, y);
}
void GuideHandlers::lblAlignRight_MouseUp(int b, int, double, double)
{
    release(preview::kGuideAlignRight, b);
}

} // namespace tools
