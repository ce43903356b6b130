// The design grid and the preview page's pop-up menu on the preview model.
#include "designer/preview/previewpaint.h"
#include "designer/tools/grid.h"

#include <gtest/gtest.h>

using layouttools::DesignGrid;

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m.picBackground().setGeometry(0, 0, 236.25, 420); // portrait
        for (int g = 0; g < 4; ++g) {
            m.guideHandle(preview::Guide(g)).visible = false;
            m.guideLine(preview::Guide(g)).visible = false;
        }
        for (int i = 0; i < preview::kElements; ++i)
            m.lblTDT(i).visible = false;
        m.setHandlers(&grid);
    }

    // Horizontal and vertical lines of the grid as painted.
    std::pair<std::vector<double>, std::vector<double>> lines() const
    {
        std::vector<double> across, down;
        for (const QLineF& l : preview::designGridLines(m))
            (l.y1() == l.y2() ? across : down).push_back(l.y1() == l.y2() ? l.y1() : l.x1());
        return {across, down};
    }

    void rightClick(double x, double y)
    {
        m.mouseDown(x, y, 2, 0);
        m.mouseUp(x, y, 2, 0);
    }

    preview::PreviewModel m;
    int menusShown = 0;
    DesignGrid grid{m, [this] { ++menusShown; }};
};

TEST_F(GridTest, EachSizeDrawsSquareCellsAlongTheLongerSide)
{
    struct Case {
        double width, height;
        int index, divisions;
        double step;
        size_t across, down;
    };
    const Case cases[] = {
        {236.25, 420, 0, 35, 12, 34, 19},    // Small, portrait
        {236.25, 420, 2, 15, 28, 14, 8},     // Large
        {470.4, 264.6, 2, 15, 31.36, 8, 14}, // Large, landscape
        {300, 300, 1, 25, 12, 24, 24},       // a square page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " size " << c.index);
        m.picBackground().setGeometry(0, 0, c.width, c.height);
        grid.mnuGridScale_Click(c.index);
        EXPECT_TRUE(m.state().mblnGridShown);
        EXPECT_EQ(m.state().gridDivisions, c.divisions);
        const auto [across, down] = lines();
        ASSERT_EQ(across.size(), c.across);
        ASSERT_EQ(down.size(), c.down);
        for (size_t k = 0; k < across.size(); ++k)
            EXPECT_NEAR(across[k], (k + 1) * c.step, 1e-9);
        for (size_t k = 0; k < down.size(); ++k)
            EXPECT_NEAR(down[k], (k + 1) * c.step, 1e-9);
        for (const QLineF& l : preview::designGridLines(m))
            EXPECT_EQ(l.length(), l.y1() == l.y2() ? c.width : c.height);
    }
}

TEST_F(GridTest, SizesAndColoursKeepOneCheckMarkAndRedrawTheGrid)
{
    grid.mnuGridLineColor_Click(1); // no grid yet: only the check mark moves
    EXPECT_FALSE(m.state().mblnGridShown);
    EXPECT_EQ(grid.menu().colorChecked, (std::array<bool, 5>{false, true, false, false, false}));

    m.picBackground().drawLine(0, 0, 10, 10);
    grid.mnuGridScale_Click(0);
    grid.mnuGridScale_Click(1); // Small goes before Medium comes
    EXPECT_TRUE(m.picBackground().drawing.empty());
    EXPECT_EQ(grid.menu().scaleChecked, (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(m.state().gridDivisions, 25);
    EXPECT_EQ(m.picBackground().foreColor, 65280u);

    grid.mnuGridLineColor_Click(4);
    EXPECT_EQ(m.picBackground().foreColor, 0u);
    EXPECT_EQ(grid.menu().colorChecked, (std::array<bool, 5>{false, false, false, false, true}));

    // A template load redraws with the kept count.
    grid.hideLayoutGrid();
    grid.drawLayoutGrid(0);
    EXPECT_EQ(lines().first.size(), 24u);

    grid.mnuHideGrid_Click();
    EXPECT_EQ(grid.menu().scaleChecked, (std::array<bool, 3>{}));
    EXPECT_FALSE(m.state().mblnGridShown);
    EXPECT_TRUE(preview::designGridLines(m).empty());
    grid.mnuGridLineColor_Click(0); // nothing checked: the grid stays hidden
    EXPECT_FALSE(m.state().mblnGridShown);
}

TEST_F(GridTest, ARightClickOnTheEmptyPageOpensTheMenu)
{
    rightClick(100, 100);
    EXPECT_EQ(menusShown, 1);
    EXPECT_FALSE(grid.menu().colorMenuEnabled);

    grid.mnuGridScale_Click(2);
    rightClick(100, 100);
    EXPECT_EQ(menusShown, 2);
    EXPECT_TRUE(grid.menu().colorMenuEnabled);

    m.mouseDown(100, 100, 1, 0);
    m.mouseUp(100, 100, 1, 0);
    m.lblTDT(0).visible = true; // a control is no empty spot
    m.lblTDT(0).setGeometry(50, 50, 100, 100);
    rightClick(100, 100);
    EXPECT_EQ(menusShown, 2);
}

} // namespace
