// The designer preview: controls and their stacking, pointer routing to the
// handlers, and the canvas that paints the model and feeds it the pointer.
#include "designer/preview/previewcanvas.h"
#include "platform/vbvalue.h"
#include "templates/model/previewmodel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <cmath>

using namespace preview;

namespace {

// Writes down every event as one text line.
class Recorder : public PreviewHandlers {
public:
    QStringList log;
    void on(const QString& who, const char* what, int b, double x, double y)
    {
        log << QStringLiteral("%1 %2 %3 %4,%5").arg(who, QLatin1String(what)).arg(b).arg(x).arg(y);
    }
    static QString ev(int g, int i) { return QStringLiteral("lblEvent%1(%2)").arg(g).arg(i); }
    void lblEvent_MouseDown(int g, int i, int b, int, double x, double y) override { on(ev(g, i), "down", b, x, y); }
    void lblEvent_MouseMove(int g, int i, int b, int, double x, double y) override { on(ev(g, i), "move", b, x, y); }
    void lblEvent_MouseUp(int g, int i, int b, int, double x, double y) override { on(ev(g, i), "up", b, x, y); }
    void lblEvent_DblClick(int g, int i) override { log << ev(g, i) + " dblclick"; }
    void lblTDT_MouseDown(int i, int b, int s, double x, double y) override
    {
        log << QStringLiteral("lblTDT(%1) down %2 shift %3 %4,%5").arg(i).arg(b).arg(s).arg(x).arg(y);
    }
    void PicEdge_MouseDown(int i, int b, int, double x, double y) override
    {
        on(QStringLiteral("PicEdge(%1)").arg(i), "down", b, x, y);
    }
    void btnAdjust_MouseDown(int b, int, double, double) override { log << QStringLiteral("btnAdjust down %1").arg(b); }
    void lblAlignLeft_MouseDown(int b, int, double x, double y) override { on("lblAlignLeft", "down", b, x, y); }
    void picBackground_MouseDown(int b, int, double x, double y) override { on("picBackground", "down", b, x, y); }
    void picBackground_MouseUp(int b, int, double, double) override
    {
        log << QStringLiteral("picBackground up %1").arg(b);
    }
    void picBackground_Click() override { log << QStringLiteral("picBackground click"); }
};

// A model with one shown line of record display 3 and a small background,
// its events written down.
class PreviewTest : public ::testing::Test {
protected:
    PreviewTest()
    {
        m.picBackground().setGeometry(20, 10, 300, 200);
        m.lblEvent(2, 4).setGeometry(40, 50, 100, 15);
        m.lblEvent(2, 4).visible = true;
        m.setHandlers(&r);
    }
    PreviewModel m;
    Recorder r;
};

} // namespace

TEST(PreviewModel, SizesAreNeverNegativeOrUnstorable)
{
    PreviewModel m;
    PreviewItem& label = m.lblTDT(0);
    label.setGeometry(10, 20, 30, 40);
    EXPECT_TRUE(label.setLeft(-12.5));
    EXPECT_FALSE(label.setWidth(-1));
    EXPECT_FALSE(label.setHeight(std::nan("")));
    EXPECT_FALSE(label.setTop(1e39));
    EXPECT_TRUE(label.setWidth(0));
    EXPECT_EQ(label.rect(), QRectF(-12.5, 20, 0, 40));
}

TEST_F(PreviewTest, FrameKnobAndGuideHandlesStayAboveLabels)
{
    m.PicEdge(1).setGeometry(40, 50, 100, 1);
    m.PicEdge(1).visible = true;
    m.ZOrder({ItemKind::RecordLine, 2, 4});
    EXPECT_EQ(m.itemAt(60, 50), (ItemRef{ItemKind::EdgeStrip, 0, 1}));
    EXPECT_EQ(m.itemAt(60, 51), (ItemRef{ItemKind::RecordLine, 2, 4}));
    EXPECT_EQ(m.pointerAt(60, 50), PointerShape::SizeNS);

    // Among labels the last brought to the front wins; hidden and disabled
    // controls and anything off the background are never hit.
    m.lblTDT(0).setGeometry(30, 45, 50, 30);
    m.lblTDT(0).visible = true;
    m.ZOrder({ItemKind::Element, 0, 0});
    EXPECT_EQ(m.itemAt(60, 55), (ItemRef{ItemKind::Element, 0, 0}));
    m.ZOrder({ItemKind::RecordLine, 2, 4});
    EXPECT_EQ(m.itemAt(60, 55), (ItemRef{ItemKind::RecordLine, 2, 4}));
    m.lblEvent(2, 4).enabled = false;
    EXPECT_EQ(m.itemAt(60, 55), (ItemRef{ItemKind::Element, 0, 0}));
    m.lblTDT(0).visible = false;
    EXPECT_FALSE(m.itemAt(60, 55).has_value());
    m.lblTDT(0).visible = true;
    m.lblTDT(0).setLeft(-20);
    EXPECT_FALSE(m.itemAt(-5, 55).has_value());

    // An element dropped on a guide's handle leaves the handle in reach.
    m.lblAlignLeft().setGeometry(10, 183, 8, 17);
    const QPointF handle = m.lblAlignLeft().rect().center();
    m.lblTDT(0).setGeometry(0, handle.y() - 20, 100, 40);
    m.ZOrder({ItemKind::Element, 0, 0});
    EXPECT_EQ(m.itemAt(handle.x(), handle.y()), (ItemRef{ItemKind::GuideHandle, 0, kGuideAlignLeft}));
}

TEST_F(PreviewTest, ThePressedControlKeepsThePointerUntilAllButtonsAreUp)
{
    m.mouseDown(50, 53, 1, 0);
    m.lblEvent(2, 4).setLeft(45); // a handler moved the line
    m.mouseMove(400, 300, 1, 0);  // far off the background
    m.mouseDown(400, 300, 2, 0);
    m.mouseUp(400, 300, 1, 0);
    m.mouseMove(401, 300, 2, 0);
    m.mouseUp(401, 300, 2, 0);
    m.mouseMove(60, 55, 0, 0); // free again: the control under the pointer
    m.mouseMove(5, 5, 0, 0);
    EXPECT_EQ(r.log,
              (QStringList{"lblEvent2(4) down 1 10,3", "lblEvent2(4) move 1 355,250", "lblEvent2(4) down 2 355,250",
                           "lblEvent2(4) up 1 355,250", "lblEvent2(4) move 2 356,250", "lblEvent2(4) up 2 356,250",
                           "lblEvent2(4) move 0 15,5"}));
    m.setHandlers(nullptr);
    m.mouseDown(50, 53, 1, 0); // the do-nothing handlers take it
}

TEST_F(PreviewTest, EachControlReachesItsOwnHandler)
{
    m.lblTDT(2).setGeometry(200, 5, 60, 20);
    m.lblTDT(2).visible = true;
    m.mouseDown(210, 10, 1, 3);
    m.mouseUp(210, 10, 1, 0);
    m.btnAdjust().setGeometry(100, 100, 17, 17);
    m.btnAdjust().visible = true;
    m.mouseDown(101, 101, 2, 0);
    m.mouseUp(101, 101, 2, 0);
    m.lblAlignLeft().setGeometry(10, 183, 8, 17);
    const PreviewItem& handle = std::as_const(m).guideHandle(kGuideAlignLeft);
    m.mouseDown(handle.left() + 2, handle.top() + 3, 1, 0);
    m.mouseUp(0, 0, 1, 0);
    m.PicEdge(3).setGeometry(0, 150, 300, 1);
    m.PicEdge(3).visible = true;
    m.mouseDown(7, 150.5, 1, 0);
    m.mouseUp(7, 150.5, 1, 0);
    m.lblLRLine().visible = true; // a guide line takes the press but has no handler
    m.mouseDown(m.lblLRLine().left(), 100, 1, 0);
    m.mouseUp(m.lblLRLine().left(), 100, 1, 0);
    EXPECT_EQ(r.log, (QStringList{"lblTDT(2) down 1 shift 3 10,5", "btnAdjust down 2", "lblAlignLeft down 1 2,3",
                                  "PicEdge(3) down 1 7,0.5"}));
}

TEST_F(PreviewTest, BackgroundClickFollowsALeftPressAndReleaseAndDoubleClickOnALineRaisesDblClick)
{
    m.mouseDown(200, 150, 1, 0);
    m.mouseUp(201, 151, 1, 0);
    m.mouseDown(200, 150, 2, 0);
    m.mouseUp(200, 150, 2, 0);
    m.mouseDown(200, 150, 1, 0);
    m.mouseUp(60, 55, 1, 0); // released over a line: no click
    m.doubleClick(50, 53, 1, 0);
    m.mouseUp(50, 53, 1, 0);
    m.doubleClick(200, 150, 1, 0);
    EXPECT_EQ(r.log, (QStringList{"picBackground down 1 200,150", "picBackground up 1", "picBackground click",
                                  "picBackground down 2 200,150", "picBackground up 2", "picBackground down 1 200,150",
                                  "picBackground up 1", "lblEvent2(4) dblclick", "lblEvent2(4) up 1 10,3",
                                  "picBackground down 1 200,150"}));
}

TEST_F(PreviewTest, CanvasPaintsTheModelAndForwardsThePointerInBackgroundPixels)
{
    m.picBackground().backColor = 0x000080; // dark red
    m.picBackground().drawLine(0, 100, 300, 100);
    PreviewItem& line = m.lblEvent(2, 4);
    line.setLeft(280); // reaches past the background's right edge
    line.caption.clear();

    PreviewCanvas canvas(&m);
    canvas.resize(340, 230);
    const QImage shot = canvas.grab().toImage();
    EXPECT_DOUBLE_EQ(m.screenWidth(), 340);
    EXPECT_EQ(shot.pixelColor(20 + 200, 10 + 150), QColor(0x80, 0, 0));
    EXPECT_EQ(shot.pixelColor(20 + 290, 10 + 55), vb::ToQColor(kLineColor));
    EXPECT_NE(shot.pixelColor(20 + 310, 10 + 55), vb::ToQColor(kLineColor)); // clipped
    EXPECT_EQ(shot.pixelColor(20 + 150, 10 + 100), QColor(Qt::white));       // the drawn line
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(0x40, 0x40, 0x40));              // picScreen

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(20 + 285, 10 + 52), QPointF(), Qt::LeftButton, Qt::LeftButton,
                      Qt::ShiftModifier);
    QApplication::sendEvent(&canvas, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(0, 0), QPointF(), Qt::NoButton, Qt::LeftButton | Qt::RightButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&canvas, &move);
    EXPECT_EQ(r.log, (QStringList{"lblEvent2(4) down 1 5,2", "lblEvent2(4) move 3 -300,-60"}));
    EXPECT_EQ(canvas.toCanvas(QPointF(1, 2)), QPointF(21, 12));
}
