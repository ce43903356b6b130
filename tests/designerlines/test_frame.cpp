// The selection frame: a line's stored place, the strips and the knob.
#include "linestest.h"

#include "templates/geometry.h"

namespace {

bool frameShown(const preview::PreviewModel& m)
{
    bool shown = m.btnAdjust().visible;
    for (int i = 0; i < 4; ++i)
        shown = shown && m.PicEdge(i).visible;
    return shown;
}

TEST_F(LinesTest, LineGeometryIsStoredAsRoundedFractionsOnlyInsideTheTable)
{
    m.picBackground().setGeometry(0, 0, 1024, 768);
    struct Case {
        QRectF label; // left, top, width, height
        int record, line;
        const char* stored; // nullptr: nothing stored
    } cases[] = {
        {{192, 96, 384, 32}, 0, 0, "0.12|0.19|0.04|0.38"}, // ties go to the even digit
        {{0, 0, 1024, 768}, 5, 11, "0|0|1|1"},
        {{192, 96, 384, 32}, 6, 0, nullptr},
        {{192, 96, 384, 32}, 0, 12, nullptr},
        {{192, 96, 384, 32}, 0, -1, nullptr},
    };
    for (const Case& c : cases) {
        preview::PreviewItem label;
        label.setGeometry(c.label.left(), c.label.top(), c.label.width(), c.label.height());
        const templates::Template before = t;
        EXPECT_EQ(frame.SaveLineGeometry(label, c.line, c.record), c.stored != nullptr) << c.record << c.line;
        if (c.stored)
            EXPECT_EQ(rect(c.record, c.line), c.stored);
        else
            EXPECT_EQ(t.gstrTemplateLines, before.gstrTemplateLines);
    }
    m.picBackground().setWidth(0);
    EXPECT_FALSE(frame.SaveLineGeometry(line(0, 0), 0, 0));
}

TEST_F(LinesTest, FrameMarksTheSelectedLineOrElementAndHides)
{
    place(0, 5, 192, 96, 384, 32);
    m.state().mintSelectedGroup = 0;
    frame.ShowSelectionFrame(5);
    EXPECT_TRUE(frameShown(m));
    EXPECT_EQ(m.PicEdge(0).rect(), QRectF(192, 96, 1, 32));
    EXPECT_EQ(m.PicEdge(3).rect(), QRectF(192, 127, 384, 1));
    EXPECT_EQ(m.btnAdjust().rect(), QRectF(195, 87.5, 17, 17));

    m.lblTDT(2).setGeometry(10, 20, 30, 40);
    m.state().mintSelectedGroup = 102;
    frame.ShowSelectionFrame(2);
    EXPECT_EQ(m.PicEdge(3).rect(), QRectF(10, 59, 30, 1));
    m.state().mintSelectedGroup = 50; // no label: shown where it stood
    frame.ShowSelectionFrame(2);
    EXPECT_EQ(m.PicEdge(3).rect(), QRectF(10, 59, 30, 1));

    frame.HideSelectionFrame();
    frame.HideSelectionFrame();
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(m.PicEdge(i).visible);
    EXPECT_FALSE(m.btnAdjust().visible);
    EXPECT_EQ(m.state().mintSelectedGroup, 50);

    // A click on the empty preview hides it; a press on a line selects the
    // line, its first left move shows the frame there.
    place(0, 1, 20, 200, 100, 15);
    m.state().mintSelectedGroup = 0;
    frame.ShowSelectionFrame(5);
    m.mouseDown(200, 400, 1, 0);
    m.mouseUp(200, 400, 1, 0);
    EXPECT_FALSE(frameShown(m));
    m.mouseDown(30, 205, 1, 0);
    EXPECT_FALSE(frameShown(m));
    EXPECT_EQ(m.state().mintSelectedLine, 1);
    m.mouseMove(31, 205, 1, 0);
    EXPECT_TRUE(frameShown(m));
    EXPECT_EQ(m.PicEdge(0).rect(), QRectF(21, 200, 1, 15));
    m.mouseUp(31, 205, 1, 0);
}

TEST_F(LinesTest, StripsResizeTheirSideAndSkipSizesBelowZero)
{
    struct Case {
        QPointF press;
        std::vector<QPointF> moves;
        QRectF want;
    } cases[] = {
        {{50.5, 110}, {{60.5, 110}}, {60, 100, 90, 20}},                  // left side in by 10
        {{100, 100.5}, {{100, 90.5}}, {50, 90, 100, 30}},                 // top up by 10
        {{149.5, 110}, {{155.5, 110}, {153.5, 110}}, {50, 100, 104, 20}}, // right out 6, back 2
        {{100, 119.5}, {{100, 124.5}}, {50, 100, 100, 25}},               // bottom down by 5
        {{50.5, 110}, {{180.5, 110}}, {180, 100, 100, 20}},               // past the right side
        {{149.5, 110}, {{19.5, 110}}, {50, 100, 100, 20}},                // past the left side
    };
    for (const Case& c : cases) {
        place(0, 0, 50, 100, 100, 20);
        m.state().mintSelectedGroup = 0;
        m.state().mintSelectedLine = 0;
        frame.ShowSelectionFrame(0);
        m.mouseDown(c.press.x(), c.press.y(), 1, 0);
        for (const QPointF& p : c.moves)
            m.mouseMove(p.x(), p.y(), 1, 0);
        m.mouseMove(c.press.x(), c.press.y(), 3, 0); // two buttons: nothing
        EXPECT_EQ(line(0, 0).rect(), c.want) << c.press.x() << "," << c.press.y();
        EXPECT_EQ(m.PicEdge(0).rect(), QRectF(c.want.left(), c.want.top(), 1, c.want.height()));
        m.mouseUp(c.moves.back().x(), c.moves.back().y(), 1, 0);
        EXPECT_EQ(rect(0, 0), *templates::layoutRectOf(line(0, 0), m.picBackground()));
    }
    EXPECT_EQ(rect(0, 0), "0.24|0.21|0.05|0.42");
}

TEST_F(LinesTest, KnobDragsTheLineAndWithTheRightButtonTheRecordUnderThePointer)
{
    for (int l = 0; l < 12; ++l)
        place(0, l, 20, 40 + 20 * l, 100, 15);
    m.mouseDown(60, 45, 1, 0); // select line 0: the frame shows on release
    m.mouseUp(60, 45, 1, 0);
    ASSERT_EQ(m.btnAdjust().rect().topLeft(), QPointF(23, 31.5));

    drag(30, 35, 40, 45, 1);
    EXPECT_EQ(line(0, 0).rect().topLeft(), QPointF(30, 50));
    EXPECT_EQ(rect(0, 0), "0.12|0.13|0.04|0.42");
    EXPECT_EQ(line(0, 1).rect().topLeft(), QPointF(20, 60));

    m.mouseDown(40, 45, 2, 0);
    for (double x : {50, 60, 70})
        m.mouseMove(x, 45, 2, 0);
    m.mouseUp(70, 45, 2, 0);
    EXPECT_EQ(line(0, 0).rect().topLeft(), QPointF(60, 50));
    EXPECT_EQ(line(0, 1).rect().topLeft(), QPointF(50, 60));
    EXPECT_EQ(rect(0, 1), "0.14|0.21|0.04|0.42");
    EXPECT_TRUE(window.menus.empty());
}

} // namespace
