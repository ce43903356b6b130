// The line switches, making a record slot current and the guides' places.
#include "linestest.h"

#include "designer/preview/previewguides.h"

namespace {

QString& shown(templates::Template& t, int record, int line)
{
    return t.gstrTemplateLines[size_t(record)][templates::kFieldEnabled][size_t(line)];
}

TEST_F(LinesTest, ApplyTemplateRecordLaysOutEverySlotFromItsFractions)
{
    m.picBackground().setGeometry(0, 0, 300, 400);
    for (int slot = 0; slot < 6; ++slot) {
        for (int l = 0; l < 12; ++l) {
            shown(t, slot, l) = QStringLiteral("1");
            cell(slot, templates::kFieldAlignment, l) = QStringLiteral("0");
            cell(slot, templates::kFieldRect, l) = QStringLiteral("0.1|0.2|0.05|0.5");
        }
        m.state().mintSelectedGroup = 0;
        frame.ShowSelectionFrame(0);
        switches.ApplyTemplateRecord(slot);
        for (int l = 0; l < 12; ++l) {
            EXPECT_EQ(line(slot, l).rect(), QRectF(60, 40, 150, 20)) << slot << "/" << l;
            EXPECT_TRUE(line(slot, l).visible);
        }
        EXPECT_EQ(m.state().mintSelectedGroup, slot);
        EXPECT_EQ(m.state().mintSelectedLine, 11);
        EXPECT_EQ(panel.shownRows.back(), slot + 1);
        EXPECT_EQ(panel.disabled, slot + 1);
    }
    // Every slot's products are rounded to 2 decimals.
    m.picBackground().setHeight(189);
    for (int slot : {0, 1}) {
        cell(slot, templates::kFieldRect, 0) = QStringLiteral("0.333|0.1");
        switches.ApplyTemplateRecord(slot);
        EXPECT_EQ(line(slot, 0).rect(), QRectF(30, 62.94, 150, 20)) << slot;
    }
    // A slot without a template row only becomes current.
    const templates::Template before = t;
    switches.ApplyTemplateRecord(6);
    EXPECT_EQ(m.state().mintSelectedGroup, 6);
    EXPECT_EQ(t.gstrTemplateLines, before.gstrTemplateLines);
    EXPECT_EQ(panel.disabled, 8);
}

TEST_F(LinesTest, ShownFlagsThatAreNoCheckValueCountAsHidden)
{
    struct Case {
        const char* stored;
        int check;
        bool visible;
        const char* after;
    } cases[] = {
        {"1", 1, true, "1"}, {" 1 ", 1, true, "1"}, {"0", 0, false, "0"},   {"2", 2, true, "2"},
        {"", 0, false, "0"}, {"7", 0, false, "0"},  {"yes", 0, false, "0"},
    };
    for (const Case& c : cases) {
        panel.checks.fill(1); // what the slot shown before left in the boxes
        shown(t, 3, 4) = QString::fromLatin1(c.stored);
        switches.ApplyTemplateRecord(3);
        EXPECT_EQ(panel.checks[4], c.check) << c.stored;
        EXPECT_EQ(line(3, 4).visible, c.visible) << c.stored;
        EXPECT_EQ(shown(t, 3, 4), c.after) << c.stored;
    }
}

TEST_F(LinesTest, LineChecksSwitchOneSlotOrEverySlotOfThePage)
{
    for (int r = 0; r < 6; ++r)
        for (int l = 0; l < 12; ++l)
            shown(t, r, l) = QStringLiteral("1");
    // chkLine(4) cleared while slot 2 is current.
    m.state().mintSelectedGroup = 2;
    panel.checks[4] = 0;
    switches.chkLine_Click(4);
    EXPECT_EQ(shown(t, 2, 4), "0");
    EXPECT_FALSE(line(2, 4).visible);
    EXPECT_EQ(m.state().mintSelectedLine, 4);
    EXPECT_EQ(shown(t, 1, 4), "1");

    // chkRecordLines(0) cleared with three records per page.
    panel.recordsPerPage = QStringLiteral("3");
    panel.all[0] = 0;
    switches.chkRecordLines_Click(0);
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(shown(t, r, 0), r < 3 ? "0" : "1") << r;
    EXPECT_EQ(m.state().mintSelectedGroup, 2);
    EXPECT_EQ(m.state().mintSelectedLine, 0);
    EXPECT_EQ(panel.checks[0], 0);

    // No number, or more records than slots: only the slots there are.
    panel.all[0] = 1;
    panel.recordsPerPage = QString();
    switches.chkRecordLines_Click(0);
    EXPECT_EQ(shown(t, 0, 0), "0");
    panel.recordsPerPage = QStringLiteral("99999999999");
    switches.chkRecordLines_Click(0);
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(shown(t, r, 0), "1") << r;

    // The all-records box follows the slots and changes none.
    for (int r = 0; r < 6; ++r)
        shown(t, r, 7) = r == 5 ? QStringLiteral("1") : QStringLiteral("0");
    switches.syncRecordLineCheck(7);
    EXPECT_EQ(panel.all[7], 1);
    shown(t, 5, 7) = QStringLiteral(" 1");
    switches.syncRecordLineCheck(7);
    EXPECT_EQ(panel.all[7], 0);
    EXPECT_EQ(shown(t, 5, 7), " 1");
}

TEST_F(LinesTest, GuidesGoAlongTheEdgesOfThePreview)
{
    m.picBackground().setGeometry(0, 0, 300, 400);
    for (int g = 0; g < 4; ++g) {
        m.guideHandle(preview::Guide(g)).setGeometry(0, 0, 12, 12);
        m.guideLine(preview::Guide(g)).setGeometry(33, 44, 1, 1);
    }
    for (int twice = 0; twice < 2; ++twice) {
        preview::placeGuides(m);
        EXPECT_EQ(m.lblAdjustUDLine().rect(), QRectF(288, 5, 12, 12));
        EXPECT_EQ(m.lblUDLine().rect(), QRectF(33, 5, 300, 1));
        EXPECT_EQ(m.lblAdjustLRLine().rect(), QRectF(5, 0, 12, 12));
        EXPECT_EQ(m.lblLRLine().rect(), QRectF(4, 44, 1, 400));
        EXPECT_EQ(m.lblAlignLeft().rect(), QRectF(10, 388, 12, 12));
        EXPECT_EQ(m.lblAlignLeftLine().rect(), QRectF(10, 44, 1, 400));
        EXPECT_EQ(m.lblAlignRight().rect(), QRectF(278, 388, 12, 12));
        EXPECT_EQ(m.lblAlignRightLine().rect(), QRectF(290, 44, 1, 400));
    }
}

} // namespace
