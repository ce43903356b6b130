// Dragging the guides with the pointer.
#include "tests/designerlines/linestest.h"

#include "designer/preview/previewguides.h"
#include "designer/tools/align.h"
#include "designer/tools/guides.h"

namespace {

class GuidesTest : public LinesTest {
protected:
    GuidesTest()
    {
        m.picBackground().setGeometry(0, 0, 500, 600);
        preview::placeGuides(m);
        guides.install();
    }

    // Presses at `from`, moves to `to`; released there when `release`.
    void pull(QPointF from, QPointF to, int button, bool release = true)
    {
        m.mouseDown(from.x(), from.y(), button, 0);
        m.mouseMove(to.x(), to.y(), button, 0);
        if (release)
            m.mouseUp(to.x(), to.y(), button, 0);
    }

    tools::GuideHandlers guides{m};
};

TEST_F(GuidesTest, HandlesFollowTheLeftButtonAndAreKeptOnThePreviewOnRelease)
{
    struct Case {
        preview::Guide guide;
        QPointF from, to;
        int button;
        double handleAt, lineAt; // Left, or Top for the horizontal guide
    } cases[] = {
        {preview::kGuideAlignLeft, {14, 591}, {-26, 591}, 1, 0, 0},
        {preview::kGuideAlignLeft, {4, 591}, {104, 591}, 1, 100, 100},    // inside: stays
        {preview::kGuideAlignRight, {486, 591}, {556, 591}, 1, 492, 499}, // right edges flush
        {preview::kGuideAlignRight, {496, 591}, {396, 591}, 1, 392, 399},
        {preview::kGuideUD, {492, 10}, {492, 700}, 1, 590, 590},
        {preview::kGuideUD, {492, 595}, {492, -50}, 1, 0, 0},
        {preview::kGuideAlignRight, {396, 591}, {600, 591}, 2, 392, 399}, // right button: nothing
    };
    for (const Case& c : cases) {
        pull(c.from, c.to, c.button);
        const bool ud = c.guide == preview::kGuideUD;
        const preview::PreviewItem& h = std::as_const(m).guideHandle(c.guide);
        const preview::PreviewItem& l = std::as_const(m).guideLine(c.guide);
        EXPECT_EQ(ud ? h.top() : h.left(), c.handleAt) << c.guide << " to " << c.to.x() << "," << c.to.y();
        EXPECT_EQ(ud ? l.top() : l.left(), c.lineAt) << c.guide << " to " << c.to.x() << "," << c.to.y();
    }
}

TEST_F(GuidesTest, DraggedPastTheEdgeUntilReleasedAndAlignedToAfterwards)
{
    pull({14, 591}, {-26, 591}, 1, false);
    EXPECT_EQ(m.lblAlignLeftLine().left(), -30);
    m.mouseUp(-26, 591, 1, 0);
    EXPECT_EQ(m.lblAlignLeftLine().left(), 0);

    pull({4, 591}, {54, 591}, 1);
    place(0, 3, 200, 40, 100, 15);
    m.state().mintSelectedGroup = 0;
    tools::LineAlignment align{m, t, frame};
    align.mnuAlignment_Click(tools::LineAlignment::kAlignLeft);
    EXPECT_EQ(line(0, 3).left(), 50);
}

} // namespace
