// Dragging record lines and whole records on the preview, and the drop rule.
#include "linestest.h"

namespace {

TEST_F(LinesTest, DropKeepsTheLineOnThePreviewAndStoresItsFractions)
{
    struct Case {
        double left, top, width;
        double wantLeft, wantTop;
        const char* stored;
    } cases[] = {
        {120, 10, 150, 86, 10, "0.02|0.36|0.04|0.64"},
        {10, 10, 300, -64, 10, "0.02|-0.27|0.04|1.27"}, // wider than the preview
        {-5, -3, 50, 0, 0, "0|0|0.04|0.21"},
        {200, 415, 50, 186, 405, "0.96|0.79|0.04|0.21"},
    };
    for (const Case& c : cases) {
        place(0, 3, c.left, c.top, c.width, 15);
        m.state().mintSelectedGroup = 0;
        lines.FitLabelToBackground(line(0, 3), 3, 0);
        EXPECT_EQ(line(0, 3).left(), c.wantLeft) << c.left;
        EXPECT_EQ(line(0, 3).top(), c.wantTop) << c.left;
        EXPECT_EQ(line(0, 3).width(), c.width);
        EXPECT_EQ(rect(0, 3), c.stored);
        EXPECT_EQ(m.PicEdge(1).left(), c.wantLeft);
    }
}

TEST_F(LinesTest, LeftDragCarriesThePartnerAndTheReleaseStoresBoth)
{
    pairUp(0, 2, 3);
    place(0, 2, 20, 100, 80, 15);
    place(0, 3, 100, 100, 60, 15);

    drag(30, 105, 40, 120, 1); // the left line, 10 right and 15 down
    EXPECT_EQ(line(0, 2).rect(), QRectF(30, 115, 80, 15));
    EXPECT_EQ(line(0, 3).rect(), QRectF(110, 115, 60, 15));
    EXPECT_EQ(rect(0, 2), "0.27|0.13|0.04|0.34");
    EXPECT_EQ(rect(0, 3), "0.27|0.47|0.04|0.25");
    EXPECT_EQ(m.state().mintSelectedLine, 2);
    EXPECT_EQ(line(0, 2).backColor, preview::kLineHighlightColor);
    EXPECT_EQ(line(0, 3).backColor, preview::kLineColor);
    EXPECT_EQ(window.rows, std::vector<int>{2});
    EXPECT_EQ(window.fonts, (std::vector<std::pair<int, int>>{{0, 2}}));

    drag(120, 120, 110, 130, 1); // the right line carries the left one on its left
    EXPECT_EQ(line(0, 3).rect(), QRectF(100, 125, 60, 15));
    EXPECT_EQ(line(0, 2).rect(), QRectF(20, 125, 80, 15));
    EXPECT_EQ(rect(0, 2), "0.3|0.08|0.04|0.34");
    EXPECT_EQ(rect(0, 3), "0.3|0.42|0.04|0.25");
}

TEST_F(LinesTest, RightDragMovesTheWholeRecordAndStoresItUnclampedBeforeTheMenu)
{
    for (int l = 0; l < 12; ++l)
        place(1, l, 20, 20 + 20 * l, 100, 15);
    line(1, 5).visible = false;
    pairUp(1, 6, 7);
    line(1, 7).setLeft(150); // a pair that came apart is joined again

    drag(25, 25, 35, 195, 2);
    for (int l = 0; l < 12; ++l) {
        if (l != 7) {
            EXPECT_EQ(line(1, l).rect().topLeft(), QPointF(30, 190 + 20 * l)) << l;
        }
    }
    EXPECT_EQ(line(1, 7).rect().topLeft(), QPointF(130, 310)); // beside its left line
    EXPECT_EQ(rect(1, 5), "0.69|0.13|0.04|0.42");              // hidden lines go along
    EXPECT_EQ(rect(1, 11), "0.98|0.13|0.04|0.42");             // past the bottom: stored as shown
    ASSERT_EQ(window.menus.size(), 1u);
    EXPECT_EQ(window.menus[0], std::make_pair(35.0, 195.0));
    EXPECT_TRUE(window.rows.empty());

    // A right click without a move stores nothing.
    cell(1, templates::kFieldRect, 0) = QStringLiteral("kept");
    drag(100, 195, 100, 195, 2);
    EXPECT_EQ(rect(1, 0), "kept");
    EXPECT_EQ(window.menus.size(), 2u);
}

TEST_F(LinesTest, RightDragOnTheRightLineOfAPairIsRefusedOnce)
{
    pairUp(1, 4, 5);
    place(1, 4, 20, 100, 80, 15);
    place(1, 5, 100, 100, 60, 15);
    drag(110, 105, 130, 145, 2);
    EXPECT_EQ(messages.texts, QStringList{"Please use the left line to move the Record's lines."});
    EXPECT_EQ(line(1, 4).rect(), QRectF(20, 100, 80, 15));
    EXPECT_EQ(line(1, 5).rect(), QRectF(100, 100, 60, 15));
    EXPECT_EQ(rect(1, 4), "");
    EXPECT_EQ(rect(1, 5), "");
}

TEST_F(LinesTest, DisplaysWithoutATemplateRowMoveButStoreNothing)
{
    const templates::Template before = t;
    place(7, 0, 200, 300, 100, 15);
    drag(210, 305, 220, 315, 1);
    EXPECT_EQ(line(7, 0).rect(), QRectF(136, 310, 100, 15)); // kept on the preview
    drag(200, 315, 210, 325, 2);
    EXPECT_EQ(line(7, 0).rect(), QRectF(146, 320, 100, 15));
    EXPECT_EQ(t.gstrTemplateLines, before.gstrTemplateLines);
    EXPECT_TRUE(window.fonts.empty());
    EXPECT_EQ(m.state().mintSelectedGroup, 7);
}

} // namespace
