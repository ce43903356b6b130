#include "designer/preview/previewhandlerchain.h"

#include <algorithm>

namespace preview {

void HandlerChain::add(PreviewHandlers* handlers)
{
    if (handlers && handlers != this && std::find(handlers_.begin(), handlers_.end(), handlers) == handlers_.end())
        handlers_.push_back(handlers);
}

void HandlerChain::remove(PreviewHandlers* handlers)
{
    std::erase(handlers_, handlers);
}

void HandlerChain::lblEvent_MouseDown(int group, int index, int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblEvent_MouseDown(group, index, button, shift, x, y); });
}

void HandlerChain::lblEvent_MouseMove(int group, int index, int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblEvent_MouseMove(group, index, button, shift, x, y); });
}

void HandlerChain::lblEvent_MouseUp(int group, int index, int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblEvent_MouseUp(group, index, button, shift, x, y); });
}

void HandlerChain::lblEvent_DblClick(int group, int index)
{
    each([&](PreviewHandlers& h) { h.lblEvent_DblClick(group, index); });
}

void HandlerChain::lblTDT_MouseDown(int index, int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblTDT_MouseDown(index, button, shift, x, y); });
}

void HandlerChain::lblTDT_MouseMove(int index, int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblTDT_MouseMove(index, button, shift, x, y); });
}

void HandlerChain::lblTDT_MouseUp(int index, int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblTDT_MouseUp(index, button, shift, x, y); });
}

void HandlerChain::PicEdge_MouseDown(int index, int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.PicEdge_MouseDown(index, button, shift, x, y); });
}

void HandlerChain::PicEdge_MouseMove(int index, int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.PicEdge_MouseMove(index, button, shift, x, y); });
}

void HandlerChain::PicEdge_MouseUp(int index, int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.PicEdge_MouseUp(index, button, shift, x, y); });
}

void HandlerChain::btnAdjust_MouseDown(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.btnAdjust_MouseDown(button, shift, x, y); });
}

void HandlerChain::btnAdjust_MouseMove(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.btnAdjust_MouseMove(button, shift, x, y); });
}

void HandlerChain::btnAdjust_MouseUp(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.btnAdjust_MouseUp(button, shift, x, y); });
}

void HandlerChain::lblAdjustLRLine_MouseDown(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAdjustLRLine_MouseDown(button, shift, x, y); });
}

void HandlerChain::lblAdjustLRLine_MouseMove(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAdjustLRLine_MouseMove(button, shift, x, y); });
}

void HandlerChain::lblAdjustLRLine_MouseUp(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAdjustLRLine_MouseUp(button, shift, x, y); });
}

void HandlerChain::lblAdjustUDLine_MouseDown(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAdjustUDLine_MouseDown(button, shift, x, y); });
}

void HandlerChain::lblAdjustUDLine_MouseMove(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAdjustUDLine_MouseMove(button, shift, x, y); });
}

void HandlerChain::lblAdjustUDLine_MouseUp(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAdjustUDLine_MouseUp(button, shift, x, y); });
}

void HandlerChain::lblAlignLeft_MouseDown(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAlignLeft_MouseDown(button, shift, x, y); });
}

void HandlerChain::lblAlignLeft_MouseMove(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAlignLeft_MouseMove(button, shift, x, y); });
}

void HandlerChain::lblAlignLeft_MouseUp(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAlignLeft_MouseUp(button, shift, x, y); });
}

void HandlerChain::lblAlignRight_MouseDown(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAlignRight_MouseDown(button, shift, x, y); });
}

void HandlerChain::lblAlignRight_MouseMove(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAlignRight_MouseMove(button, shift, x, y); });
}

void HandlerChain::lblAlignRight_MouseUp(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.lblAlignRight_MouseUp(button, shift, x, y); });
}

void HandlerChain::picBackground_MouseDown(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.picBackground_MouseDown(button, shift, x, y); });
}

void HandlerChain::picBackground_MouseMove(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.picBackground_MouseMove(button, shift, x, y); });
}

void HandlerChain::picBackground_MouseUp(int button, int shift, double x, double y)
{
    each([&](PreviewHandlers& h) { h.picBackground_MouseUp(button, shift, x, y); });
}

void HandlerChain::picBackground_Click()
{
    each([&](PreviewHandlers& h) { h.picBackground_Click(); });
}

} // namespace preview
