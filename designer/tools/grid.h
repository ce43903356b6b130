#pragma once
// The design grid over the preview page and the page's pop-up menu: a right
// click on the empty page opens the menu ("Restore to last saved", "Hide
// Grid", "Show Grid" > "Small" / "Medium" / "Large", "Grid Lines Color" >
// "Red" / "Green" / "Blue" / "White" / "Black"). The grid is a placing aid
// only: the canvas paints it from the preview's state (shown flag, division
// count) in the page's pen colour, and it never reaches a template or a
// rendered page.
//
// The menu's check marks are its state: the checked size is the grid in
// use (none: no grid chosen), exactly one colour is checked. The window
// shows them as they stand here after every operation.
#include "templates/model/previewmodel.h"

#include <array>
#include <cstdint>
#include <functional>

namespace layouttools {

// Divisions along the longer side for "Small", "Medium" and "Large".
constexpr std::array<int, 3> kGridDivisions{35, 25, 15};
// "Red", "Green", "Blue", "White", "Black" in blue-green-red order.
constexpr std::array<uint32_t, 5> kGridColors{255, 65280, 16711680, 16777215, 0};
constexpr int kWhiteGrid = 3;

struct CanvasMenuState {
    std::array<bool, 3> scaleChecked{};                                 // mnuGridScale(0..2)
    std::array<bool, 5> colorChecked{false, false, false, true, false}; // mnuGridLineColor(0..4)
    bool colorMenuEnabled = false;                                      // mnuGridLinesColor
};

class DesignGrid final : public preview::PreviewHandlers {
public:
    // `showMenu` opens the pop-up menu at the pointer (the menu state is
    // current when it runs).
    DesignGrid(preview::PreviewModel& model, std::function<void()> showMenu);

    const CanvasMenuState& menu() const { return menu_; }

    // The right button released on the empty page: "Grid Lines Color" is
    // enabled exactly while a grid is shown, then the menu opens. Other
    // buttons do nothing.
    void picBackground_MouseUp(int button, int shift, double x, double y) override;

    // A size: only that size checked, the grid drawn at it in the checked
    // colour. Index outside 0..2: nothing.
    void mnuGridScale_Click(int index);
    // A colour: only that colour checked; a shown size is drawn again in it.
    void mnuGridLineColor_Click(int index);
    // No size checked, no grid.
    void mnuHideGrid_Click();

    // Shows the grid with `divisions` cells along the longer side; 0 or less
    // keeps the count of the last grid (a grid never drawn stays without
    // lines). The pen takes the checked colour.
    void drawLayoutGrid(int divisions);
    void hideLayoutGrid();

private:
    preview::PreviewModel& model_;
    std::function<void()> showMenu_;
    CanvasMenuState menu_;
};

} // namespace layouttools
