// The line-attributes pop-up: opening it on a line, pairing two lines side
// by side and releasing them.
#include "linestest.h"

#include "designer/lines/lineatts.h"

namespace {

using lines::LineAttsPopup;

class LineAttsTest : public LinesTest {
protected:
    LineAttsTest()
    {
        m.picBackground().setGeometry(0, 0, 800, 600);
        for (int l = 0; l < 12; ++l)
            place(0, l, 40, 20 + 35 * l, 300, 30);
        lines.openLineAttributes = [this](int g, int l) { atts.lblEvent_DblClick(g, l); };
    }
    QString& lineUp(int l) { return cell(0, templates::kFieldLineUp, l); }
    // A press on the line's middle and a double-click, as the pointer does.
    void doubleClick(int l)
    {
        const QPointF at = line(0, l).rect().center();
        m.mouseDown(at.x(), at.y(), 1, 0);
        m.mouseUp(at.x(), at.y(), 1, 0);
        m.doubleClick(at.x(), at.y(), 1, 0);
        m.mouseUp(at.x(), at.y(), 1, 0);
    }
    void pairFrom(int l, int partner, const QString& word)
    {
        doubleClick(l);
        atts.setLineUpCheck(1);
        atts.setPartnerIndex(partner);
        atts.setMidWord(word);
        atts.CmdSaveAtts_Click();
    }

    LineAttsPopup atts{m, t, lines, frame};
};

TEST_F(LineAttsTest, PairingHalvesTheLineAndReleasingMovesNothing)
{
    place(0, 2, 40, 100, 400, 30);
    place(0, 3, 10, 300, 120, 30);
    line(0, 2).caption = QStringLiteral("Record Display 1 line 3");
    doubleClick(2);
    EXPECT_TRUE(atts.visible());
    EXPECT_EQ(atts.caption(), "RECORD DISPLAY 1 LINE 3");
    atts.setLineUpCheck(1);
    EXPECT_EQ(atts.partnerIndex(), 3); // the next line down
    atts.setMidWord(QStringLiteral(" to "));
    atts.CmdSaveAtts_Click();

    EXPECT_FALSE(atts.visible());
    EXPECT_EQ(line(0, 2).rect(), QRectF(40, 100, 200, 30));
    EXPECT_EQ(line(0, 3).rect(), QRectF(240, 100, 200, 30));
    EXPECT_EQ(lineUp(2), "1,3,L,to");
    EXPECT_EQ(lineUp(3), "1,2,R,");
    EXPECT_EQ(rect(0, 3), "0.17|0.3|0.05|0.25");
    EXPECT_EQ(m.PicEdge(0).left(), 40); // the frame on the paired line

    // Reopened, the pair and its middle word show; clearing the box releases.
    atts.setMidWord(QStringLiteral("To"));
    doubleClick(2);
    EXPECT_EQ(atts.midWord(), "to");
    atts.setLineUpCheck(0);
    EXPECT_EQ(atts.partnerIndex(), -1);
    atts.CmdSaveAtts_Click();
    EXPECT_EQ(lineUp(2), "0,-1,,");
    EXPECT_EQ(lineUp(3), "0,-1,,");
    EXPECT_EQ(line(0, 2).rect(), QRectF(40, 100, 200, 30));
    EXPECT_EQ(line(0, 3).rect(), QRectF(240, 100, 200, 30));
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(LineAttsTest, RefusedChoicesKeepThePopupOpenAndStoreNothing)
{
    struct Case {
        int partner;
        const char* word;
        const char* message;
    } cases[] = {
        {-1, "to", LineAttsPopup::kNoPartner},     {4, "to", LineAttsPopup::kNoPartner}, // the line itself
        {7, "to", LineAttsPopup::kPartnerTaken},   {8, "to", LineAttsPopup::kPartnerTaken},
        {5, "a\nb", LineAttsPopup::kMidWordBreak},
    };
    pairUp(0, 7, 8);
    for (const Case& c : cases) {
        messages.clear();
        doubleClick(4);
        const auto before = t.gstrTemplateLines;
        const QRectF at = line(0, 4).rect();
        atts.setLineUpCheck(1);
        atts.setPartnerIndex(c.partner);
        atts.setMidWord(QString::fromLatin1(c.word));
        atts.CmdSaveAtts_Click();
        EXPECT_EQ(messages.texts, QStringList{QString::fromLatin1(c.message)}) << c.partner;
        EXPECT_TRUE(atts.visible());
        EXPECT_TRUE(t.gstrTemplateLines == before) << c.partner;
        EXPECT_EQ(line(0, 4).rect(), at);
        atts.CmdCancelAtts_Click();
    }
}

TEST_F(LineAttsTest, PairingALeadingLineAgainLetsItsFormerPartnerGo)
{
    pairFrom(2, 3, QStringLiteral("to"));
    pairFrom(2, 6, QStringLiteral("a, b`c"));
    EXPECT_EQ(lineUp(2), "1,6,L,a bc");
    EXPECT_EQ(lineUp(6), "1,2,R,");
    EXPECT_EQ(lineUp(3), "0,-1,,");
    EXPECT_EQ(line(0, 2).width(), 75); // halved twice
}

TEST_F(LineAttsTest, ThePopupActsOnTheLineItWasOpenedFor)
{
    doubleClick(2);
    atts.setLineUpCheck(1);
    const QPointF other = line(0, 9).rect().center();
    m.mouseDown(other.x(), other.y(), 1, 0);
    m.mouseUp(other.x(), other.y(), 1, 0);
    ASSERT_EQ(m.state().mintSelectedLine, 9);
    atts.CmdSaveAtts_Click();
    EXPECT_EQ(lineUp(2), "1,3,L,To");
    EXPECT_EQ(lineUp(3), "1,2,R,");
    EXPECT_EQ(lineUp(9), "0,-1,,");
    EXPECT_EQ(m.PicEdge(1).top(), line(0, 9).top()); // the frame stays on the selection

    // A release resets the opened line and its own partner, never a line
    // that has since been paired with another.
    lineUp(3) = QStringLiteral("1,4,L,");
    lineUp(4) = QStringLiteral("1,3,R,");
    doubleClick(2);
    atts.setLineUpCheck(0);
    atts.CmdSaveAtts_Click();
    EXPECT_EQ(lineUp(2), "0,-1,,");
    EXPECT_EQ(lineUp(3), "1,4,L,");
}

TEST_F(LineAttsTest, OpeningShowsTheStoredPairing)
{
    struct Case {
        int line;
        const char* attribute;
        int check, partner, recorded;
        bool enabled;
    } cases[] = {
        {2, "0,-1,,", 0, -1, -1, true},
        {2, "1,4,L,at", 1, 4, 4, true},
        {5, "1,2,R,", 1, 2, 2, false},
    };
    for (const Case& c : cases) {
        LineAttsPopup fresh(m, t, lines, frame);
        lines.openLineAttributes = [&fresh](int g, int l) { fresh.lblEvent_DblClick(g, l); };
        lineUp(c.line) = QString::fromLatin1(c.attribute);
        doubleClick(c.line);
        EXPECT_EQ(fresh.lineUpCheck(), c.check) << c.attribute;
        EXPECT_EQ(fresh.partnerIndex(), c.partner) << c.attribute;
        EXPECT_EQ(fresh.recordedPartner(), c.recorded) << c.attribute;
        EXPECT_EQ(fresh.controlsEnabled(), c.enabled) << c.attribute;
    }
}

TEST_F(LineAttsTest, AnEmptyOrMalformedAttributeOpensAsAFreeLineAfterAPair)
{
    pairUp(0, 2, 3);
    for (const char* attribute : {"", "1,", "1,-1,L,", "1,14,L,", "1,5,L,", "2,-1,,", "1,4,X,", "x,4,L,"}) {
        doubleClick(2); // ticked, "Line 4" chosen
        ASSERT_EQ(atts.lineUpCheck(), 1);
        lineUp(5) = QString::fromLatin1(attribute);
        doubleClick(5);
        EXPECT_EQ(atts.lineUpCheck(), 0) << attribute;
        EXPECT_EQ(atts.partnerIndex(), -1) << attribute;
        EXPECT_EQ(atts.recordedPartner(), -1) << attribute;
        EXPECT_TRUE(atts.controlsEnabled()) << attribute;
    }
    // The line can be paired again.
    atts.setLineUpCheck(1);
    atts.CmdSaveAtts_Click();
    EXPECT_EQ(lineUp(5), "1,6,L,at");
    EXPECT_EQ(lineUp(6), "1,5,R,");
}

TEST_F(LineAttsTest, ThePanelStaysInsideAtTheRightAndBottomEdges)
{
    struct Case {
        double canvasW, canvasH, left, top;
        double wantLeft, wantTop;
    } cases[] = {
        {800, 150, 30, 60, 30, 53},
        {800, 150, 30, 53, 30, 53},
        {300, 600, 150, 10, 91, 10},
        {100, 80, 5, 5, -109, -17},
    };
    for (const Case& c : cases) {
        m.picBackground().setGeometry(0, 0, c.canvasW, c.canvasH);
        place(0, 1, c.left, c.top, 20, 10);
        atts.lblEvent_DblClick(0, 1);
        EXPECT_EQ(atts.left(), c.wantLeft) << c.canvasW << "x" << c.canvasH;
        EXPECT_EQ(atts.top(), c.wantTop) << c.canvasW << "x" << c.canvasH;
    }
}

} // namespace
