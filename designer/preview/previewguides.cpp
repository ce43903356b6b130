#include "designer/preview/previewguides.h"

namespace preview {

void placeGuides(PreviewModel& m)
{
    const double W = m.picBackground().width(), H = m.picBackground().height();
    m.lblAdjustUDLine().setLeft(W - m.lblAdjustUDLine().width());
    m.lblAdjustUDLine().setTop(5);
    m.lblUDLine().setTop(5);
    m.lblUDLine().setWidth(W);
    m.lblAdjustLRLine().setTop(0);
    m.lblAdjustLRLine().setLeft(5);
    m.lblLRLine().setLeft(5 - m.lblLRLine().width());
    m.lblLRLine().setHeight(H);
    m.lblAlignLeft().setTop(H - m.lblAlignLeft().height());
    m.lblAlignLeft().setLeft(10);
    m.lblAlignLeftLine().setLeft(10);
    m.lblAlignLeftLine().setHeight(H);
    m.lblAlignRight().setTop(H - m.lblAlignRight().height());
    m.lblAlignRight().setLeft(W - m.lblAlignRight().width() - 10);
    m.lblAlignRightLine().setLeft(m.lblAlignRight().left() + m.lblAlignRight().width());
    m.lblAlignRightLine().setHeight(H);
    m.touch();
}

} // namespace preview
