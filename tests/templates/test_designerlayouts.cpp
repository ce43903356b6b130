// The new-template reset and the built-in layout of each slot: what the
// designer shows afterwards and the regions the template then stores.
#include "tests/templates/fakedesigner.h"

#include <gtest/gtest.h>

using namespace templates;

namespace {

// The stored regions of title, date, time, PiP and lines 1 and 12; every
// record takes record display 1's line geometry.
void expectRegions(const Template& t, bool portrait, const QString& pip)
{
    const QStringList want = portrait
                                 ? QStringList{"0.01|0.14|0.09|0.72", "0.01|0|0.04|0.36",   "0.01|0.64|0.04|0.36", pip,
                                               "0.14|0.14|0.04|0.72", "0.54|0.14|0.04|0.72"}
                                 : QStringList{"0.02|0.33|0.16|0.4", "0.02|0|0.08|0.2",   "0.02|0.8|0.08|0.2", pip,
                                               "0.19|0.33|0.06|0.4", "0.81|0.33|0.06|0.4"};
    const auto& lines = t.gstrTemplateLines;
    EXPECT_EQ((QStringList{t.gstrTitleRegion, t.gstrDateRegion, t.gstrTimeRegion, t.gstrPiPRegion,
                           lines[0][kFieldRect][0], lines[0][kFieldRect][11]}),
              want);
    for (int r = 1; r < kRecords; ++r)
        EXPECT_EQ(lines[r][kFieldRect], lines[0][kFieldRect]);
}

int shownLines(const preview::PreviewModel& m, int display)
{
    int n = 0;
    for (int l = 0; l < kLines; ++l)
        n += m.lblEvent(display, l).visible;
    return n;
}

} // namespace

TEST(NewTemplate, PortraitAndLandscapeLayoutsAndTheStoredRegions)
{
    for (const bool portrait : {true, false}) {
        SCOPED_TRACE(portrait ? "portrait" : "landscape");
        fake::Designer d;
        d.view.portraitLayout = portrait;
        // A designer holding some template: named, elements on, four records.
        d.view.name = "Hall";
        d.view.title = "Welcome";
        d.view.pip = "/media/clip.mp4";
        d.view.elements = {true, false, true, true};
        d.view.backgroundType = 1;
        d.view.imageName = "/media/back.mp4";
        d.view.rpp.value = 3;
        d.view.recordsPerPage = "4";
        d.model.lblEvent(0, 5).setHeight(40);

        d.designer.CmdNewTpl_Click();

        EXPECT_EQ((QStringList{d.view.name, d.view.title, d.view.pip, d.view.imageName, d.view.paintedColor}),
                  (QStringList{"", "", "", "", "&H000000"}));
        EXPECT_EQ(d.view.elements, (std::array<bool, 4>{}));
        EXPECT_FALSE(d.model.lblBGVideo().visible);
        EXPECT_EQ(d.view.recordsPerPage, "1");
        // Only the boxes that were checked ran their handler; the spinner's
        // change cleared records 5..1 and applied record 0.
        EXPECT_EQ(d.view.log.filter("chk"), (QStringList{"chkTitle_Click", "chkTimeFormat_Click", "chkPiP_Click"}));
        EXPECT_TRUE(d.view.log.contains("ApplyTemplateRecord(0)"));
        EXPECT_EQ(d.t.gstrGroupLine, "0");

        const preview::Background& bg = std::as_const(d.model).picBackground();
        EXPECT_DOUBLE_EQ(bg.width(), portrait ? 236.25 : double(470.4f));
        EXPECT_DOUBLE_EQ(bg.height(), portrait ? 420 : double(264.6f));
        EXPECT_NEAR(bg.left() + bg.width() / 2, 300, 0.001);
        EXPECT_NEAR(bg.top() + bg.height() / 2, 250, 0.001);
        // The PiP box has the fixed size of the larger scale in both.
        EXPECT_NEAR(d.model.lblTDT(3).width(), 190.4, 1e-4);
        EXPECT_NEAR(d.model.lblTDT(3).height(), 89.6, 1e-4);
        // Lines are 15 high and stacked, whatever height they had.
        EXPECT_EQ(d.model.lblEvent(0, 5).height(), 15);
        EXPECT_EQ(d.model.lblEvent(4, 11).top(), portrait ? 225 : 215);
        EXPECT_EQ(shownLines(d.model, 0), kLines);
        EXPECT_EQ(shownLines(d.model, 1), 0);
        EXPECT_EQ(d.model.lblEvent(2, 11).toolTip, "Record Display 3 line 12");

        expectRegions(d.t, portrait, portrait ? "0.39|0.1|0.21|0.81" : "0.33|0.3|0.34|0.4");
        for (int r = 0; r < kRecords; ++r)
            for (int l = 0; l < kLines; ++l) {
                EXPECT_EQ(d.t.gstrTemplateLines[r][kFieldEnabled][l], "1");
                EXPECT_EQ(d.t.gstrTemplateLines[r][kFieldLineUp][l], kResetLineUp);
            }
    }
}

TEST(NewTemplate, ClearBoxesAndAStillSpinnerRunNoHandlers)
{
    fake::Designer d;
    d.view.title = "Kept";
    d.view.pip = "kept.png";
    d.view.rpp = {6, 1, 6, true};
    d.designer.ResetTemplateLayout();
    EXPECT_EQ(d.view.title, "Kept");
    EXPECT_EQ(d.view.pip, "kept.png");
    EXPECT_TRUE(d.view.log.filter("chk").isEmpty());
    EXPECT_FALSE(d.view.log.contains("vsRecordsPerPage_Change"));
}

TEST(BuiltInLayouts, EverySlotInBothOrientations)
{
    for (const bool portrait : {true, false})
        for (int N = -1; N <= 5; ++N) {
            SCOPED_TRACE(QStringLiteral("%1, N = %2").arg(portrait ? "portrait" : "landscape").arg(N).toStdString());
            fake::Designer d;
            d.view.portraitLayout = portrait;
            d.view.title = "Old";
            d.view.formatIndex[0] = 3;
            d.designer.loadDefaultTemplateLayout(N);

            const QString count = QString::number(N + 1);
            EXPECT_EQ(d.view.recordsPerPage, count);
            EXPECT_EQ(d.view.selRecord, count);
            EXPECT_EQ(d.view.sel.visible, N >= 0);
            EXPECT_EQ(d.view.formatIndex[0], 0);
            EXPECT_EQ(d.view.title, "");
            // Each element's handler runs even for a clear box.
            EXPECT_EQ(d.view.log.filter("chk"),
                      (QStringList{"chkTitle_Click", "chkDateFormat_Click", "chkTimeFormat_Click", "chkPiP_Click"}));
            // Records 0..N applied in ascending order, last.
            const QStringList applied = d.view.log.filter("ApplyTemplateRecord");
            EXPECT_EQ(applied.size(), N + 1);
            EXPECT_TRUE(N < 0 || applied.last() == QStringLiteral("ApplyTemplateRecord(%1)").arg(N));
            EXPECT_EQ(d.model.state().mintSelectedGroup, std::max(N, 0));
            EXPECT_EQ(shownLines(d.model, 0), N >= 0 ? kLines : 0);

            const QString enabled = N >= 0 ? "1" : "0";
            for (int r = 0; r < kRecords; ++r)
                for (int l = 0; l < kLines; ++l)
                    ASSERT_EQ(d.t.gstrTemplateLines[r][kFieldEnabled][l], enabled);
            // The PiP box is a share of the preview; in portrait its fractions
            // are exact halves at the third decimal and go to the even digit.
            expectRegions(d.t, portrait, portrait ? "0.19|0.19|0.62|0.62" : "0.15|0.15|0.7|0.7");
        }
}

TEST(BuiltInLayouts, LinesStackOnTheHeightsTheyHaveAndTheGridIsRedrawn)
{
    fake::Designer d;
    d.view.portraitLayout = true;
    d.model.lblEvent(0, 3).setHeight(30);
    d.model.state().mblnGridShown = true;
    d.designer.loadDefaultTemplateLayout(0);
    EXPECT_EQ(d.model.lblEvent(0, 3).height(), 30);
    EXPECT_EQ(d.model.lblEvent(0, 4).top(), 60 + 15 * 3 + 30);
    EXPECT_EQ(d.view.gridDraws, 1);
    EXPECT_NEAR(d.model.lblTDT(3).width(), 147.65625, 1e-9);
    EXPECT_NEAR(d.model.lblTDT(3).left(), 44.296875, 1e-9);
}
