// Record displays: template records shown on and cleared from the preview,
// and the record selector.
#include "tests/templates/fakedesigner.h"

#include <gtest/gtest.h>

using namespace templates;

TEST(RecordDisplay, LoadedTemplateIsShownOnItsRecordDisplays)
{
    fake::Designer d;
    d.model.picBackground().setGeometry(0, 0, 470.4, 264.6);
    ASSERT_TRUE(d.designer.LoadTemplate(testsupport::dataDir() + "/templates/Template with 3 records.ORVT", true));
    const preview::PreviewModel& m = d.model;

    EXPECT_EQ(m.state().mintSelectedGroup, 2);
    // Records beyond the page are switched off, their geometry kept.
    for (int r = 0; r < kRecords; ++r)
        for (int l = 0; l < kLines; ++l) {
            EXPECT_EQ(m.lblEvent(r, l).visible, r < 3 && l < 5) << r << " " << l;
            EXPECT_EQ(d.t.gstrTemplateLines[r][kFieldEnabled][l], r < 3 && l < 5 ? "1" : "0");
            EXPECT_FALSE(d.t.gstrTemplateLines[r][kFieldRect][l].isEmpty());
        }

    // Geometry: 0.22|0.35|0.07|0.3 on 470.4 x 264.6, each rounded to 2 decimals.
    EXPECT_EQ(m.lblEvent(1, 0).rect(), QRectF(164.64, 58.21, 141.12, 18.52));
    EXPECT_EQ(std::tuple(m.lblEvent(0, 0).alignment, m.lblEvent(1, 0).alignment, m.lblEvent(2, 0).alignment),
              std::tuple(0, 2, 1));
    EXPECT_EQ(d.view.groupOption, 4);

    // The current record's lines are in front of the others.
    const auto order = m.paintOrder();
    auto pos = [&](int g, int l) {
        return std::find(order.begin(), order.end(), preview::ItemRef{preview::ItemKind::RecordLine, g, l}) -
               order.begin();
    };
    EXPECT_GT(pos(2, 0), pos(0, 11));
}

TEST(RecordDisplay, UnreadableFieldsLeaveTheirControls)
{
    fake::Designer d;
    Template& t = d.t;
    for (int l = 0; l < kLines; ++l) {
        t.gstrTemplateLines[0][kFieldEnabled][l] = QStringLiteral("1");
        t.gstrTemplateLines[0][kFieldAlignment][l] = QStringLiteral(" 1 ");
    }
    t.gstrTemplateLines[0][kFieldEnabled][3] = QStringLiteral("0");
    t.gstrTemplateLines[0][kFieldEnabled][4] = QStringLiteral("yes");
    t.gstrTemplateLines[0][kFieldAlignment][5] = QString();
    t.gstrTemplateLines[0][kFieldAlignment][6] = QStringLiteral("7");

    preview::PreviewModel& m = d.model;
    d.view.checks[4] = 1;
    m.lblEvent(0, 5).alignment = 2;
    m.lblEvent(0, 6).alignment = 2;
    ShowTemplateRecord(0, t, m, d.view);

    EXPECT_FALSE(m.lblEvent(0, 3).visible);
    // An unreadable flag leaves the box; its Click still writes it back.
    EXPECT_TRUE(m.lblEvent(0, 4).visible);
    EXPECT_EQ(t.gstrTemplateLines[0][kFieldEnabled][4], "1");
    EXPECT_EQ(m.lblEvent(0, 0).alignment, 1);
    EXPECT_EQ(m.lblEvent(0, 5).alignment, 2);
    EXPECT_EQ(m.lblEvent(0, 6).alignment, 2);
    EXPECT_EQ(d.view.groupOption, -1);
}

TEST(RecordDisplay, IndexesOutsideTheTableOnlySetTheCurrentDisplayAndTheSelectorCountsBackwards)
{
    fake::Designer d;
    ShowTemplateRecord(6, d.t, d.model, d.view);
    EXPECT_EQ(d.model.state().mintSelectedGroup, 6);
    SelectTemplateRecord(-1, d.model, d.view);
    EXPECT_EQ(d.model.state().mintSelectedGroup, -1);
    for (int display = 0; display < preview::kRecordDisplays; ++display)
        EXPECT_EQ(d.model.lblEvent(display, 0).rect(), QRectF(33, 60, 170, 15));

    vsSelRecord_Change(4, 1, d.view);
    vsSelRecord_Change(4, 4, d.view);
    EXPECT_EQ(d.view.selRecord, "1");
    EXPECT_EQ(d.view.log.filter("ApplyTemplateRecord"),
              (QStringList{"ApplyTemplateRecord(3)", "ApplyTemplateRecord(0)"}));
}

TEST(RecordDisplay, FieldTextsReadAsNumbersAndTruthValues)
{
    EXPECT_EQ(wholeNumberOf(QStringLiteral(" 2 ")), 2);
    EXPECT_EQ(wholeNumberOf(QStringLiteral("2.5")), 2);
    EXPECT_EQ(wholeNumberOf(QStringLiteral("-1")), -1);
    EXPECT_FALSE(wholeNumberOf(QStringLiteral("")).has_value());
    EXPECT_FALSE(wholeNumberOf(QStringLiteral("1x")).has_value());
    EXPECT_FALSE(wholeNumberOf(QStringLiteral("1e99")).has_value());
    EXPECT_EQ(truthOf(QStringLiteral("1")), true);
    EXPECT_EQ(truthOf(QStringLiteral("TRUE")), true);
    EXPECT_FALSE(truthOf(QStringLiteral("x")).has_value());
}
