#include "designer/tools/grid.h"

#include <utility>

namespace layouttools {

DesignGrid::DesignGrid(preview::PreviewModel& model, std::function<void()> showMenu)
    : model_(model)
    , showMenu_(std::move(showMenu))
{
}

void DesignGrid::picBackground_MouseUp(int button, int, double, double)
{
    if (button != 2)
        return;
    menu_.colorMenuEnabled = model_.state().mblnGridShown;
    if (showMenu_)
        showMenu_();
}

void DesignGrid::mnuGridScale_Click(int index)
{
    if (index < 0 || index >= int(kGridDivisions.size()))
        return;
    if (model_.state().mblnGridShown)
        hideLayoutGrid();
    for (size_t i = 0; i < menu_.scaleChecked.size(); ++i)
        menu_.scaleChecked[i] = int(i) == index;
    drawLayoutGrid(kGridDivisions[size_t(index)]);
}

void DesignGrid::mnuGridLineColor_Click(int index)
{
    if (index < 0 || index >= int(kGridColors.size()))
        return;
    for (size_t i = 0; i < menu_.colorChecked.size(); ++i)
        menu_.colorChecked[i] = int(i) == index;
    for (size_t i = 0; i < menu_.scaleChecked.size(); ++i)
        if (menu_.scaleChecked[i]) {
            mnuGridScale_Click(int(i));
            break;
        }
}

void DesignGrid::mnuHideGrid_Click()
{
    menu_.scaleChecked.fill(false);
    hideLayoutGrid();
}

void DesignGrid::drawLayoutGrid(int divisions)
{
    preview::DesignerState& s = model_.state();
    s.mblnGridShown = true;
    preview::Background& bg = model_.picBackground();
    for (size_t i = 0; i < menu_.colorChecked.size(); ++i)
        if (menu_.colorChecked[i]) {
            bg.foreColor = kGridColors[i];
            break;
        }
    if (divisions > 0)
        s.gridDivisions = divisions;
    model_.touch();
}

void DesignGrid::hideLayoutGrid()
{
    model_.state().mblnGridShown = false;
    model_.picBackground().Cls();
    model_.touch();
}

} // namespace layouttools
