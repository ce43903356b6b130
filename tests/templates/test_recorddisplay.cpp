// Record displays: template records shown on and cleared from the preview,
// and the record selector.
#include "designer/preview/previewmodel.h"
#include "templates/recorddisplay.h"
#include "templates/templatefile.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

using namespace templates;
using preview::PreviewModel;

namespace {

// The template panel as the record-line designer will run it: check boxes in
// memory, and a line's Click shows or hides its label and writes field 0.
class FakePanel : public RecordPanel {
public:
    FakePanel(PreviewModel& m, Template& t) : m_(m), t_(t) {}
    void setLineCheck(int line, int value) override
    {
        if (checks[line] == value)
            return;
        checks[line] = value;
        chkLine_Click(line);
    }
    void chkLine_Click(int line) override
    {
        const int g = m_.state().mintSelectedGroup;
        t_.gstrTemplateLines[g][kFieldEnabled][line] = QString::number(checks[line]);
        m_.lblEvent(g, line).visible = checks[line] == 1;
    }
    void showLineCheck(int line) override { shownChecks[line] = true; }
    void syncRecordLineCheck(int) override { ++syncs; }
    void setGroupOption(int line, bool selected) override
    {
        if (selected)
            groupOption = line;
    }
    void DisableLineRows() override { ++disables; }
    void setSelRecordText(const QString& text) override { selRecord = text; }
    void ApplyTemplateRecord(int record) override { applied << record; }
    void focusSelRecord() override { focused = true; }

    int checks[kLines] = {};
    bool shownChecks[kLines] = {};
    int syncs = 0, disables = 0, groupOption = -1;
    QString selRecord;
    QList<int> applied;
    bool focused = false;

private:
    PreviewModel& m_;
    Template& t_;
};

// What applying a loaded template does with the record displays.
void applyRecords(const Template& t, PreviewModel& m, RecordPanel& panel)
{
    const int n = t.recordsInUse();
    for (int r = kRecords - 1; r >= 0; --r) {
        if (r <= n - 1)
            ShowTemplateRecord(r, t, m, panel);
        else
            SelectTemplateRecord(r, m, panel);
    }
    if (n > 0)
        ShowTemplateRecord(n - 1, t, m, panel);
}

} // namespace

TEST(RecordDisplay, LoadedTemplateIsShownOnItsRecordDisplays)
{
    Template t;
    ASSERT_TRUE(LoadTemplate(testsupport::dataDir() + "/templates/Template with 3 records.ORVT", t));
    PreviewModel m;
    m.picBackground().setGeometry(0, 0, 470.4, 264.6);
    FakePanel panel(m, t);
    applyRecords(t, m, panel);

    EXPECT_EQ(m.state().mintSelectedGroup, 2);
    for (int r = 0; r < 3; ++r)
        for (int l = 0; l < kLines; ++l) {
            EXPECT_EQ(m.lblEvent(r, l).visible, l < 5) << r << " " << l;
            EXPECT_EQ(t.gstrTemplateLines[r][kFieldEnabled][l], l < 5 ? "1" : "0");
        }
    // Records beyond the page are switched off, their geometry kept.
    for (int r = 3; r < kRecords; ++r)
        for (int l = 0; l < kLines; ++l) {
            EXPECT_FALSE(m.lblEvent(r, l).visible);
            EXPECT_EQ(t.gstrTemplateLines[r][kFieldEnabled][l], "0");
            EXPECT_FALSE(t.gstrTemplateLines[r][kFieldRect][l].isEmpty());
        }
    EXPECT_FALSE(m.lblEvent(6, 0).visible);

    // Geometry: 0.22|0.35|0.07|0.3 on 470.4 x 264.6, each rounded to 2 decimals.
    const preview::PreviewItem& line = m.lblEvent(1, 0);
    EXPECT_DOUBLE_EQ(line.top(), 58.21);
    EXPECT_DOUBLE_EQ(line.left(), 164.64);
    EXPECT_DOUBLE_EQ(line.height(), 18.52);
    EXPECT_DOUBLE_EQ(line.width(), 141.12);
    EXPECT_EQ(m.lblEvent(0, 0).alignment, 0);
    EXPECT_EQ(m.lblEvent(1, 0).alignment, 2);
    EXPECT_EQ(m.lblEvent(2, 0).alignment, 1);
    EXPECT_EQ(panel.groupOption, 4);
    EXPECT_TRUE(panel.shownChecks[11]);
    EXPECT_GT(panel.disables, 0);

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
    Template t;
    for (int l = 0; l < kLines; ++l) {
        t.gstrTemplateLines[0][kFieldEnabled][l] = QStringLiteral("1");
        t.gstrTemplateLines[0][kFieldAlignment][l] = QStringLiteral(" 1 ");
        t.gstrTemplateLines[0][kFieldRect][l] = QStringLiteral("0.25|0.1|0.04|0.8");
    }
    t.gstrTemplateLines[0][kFieldEnabled][3] = QStringLiteral("0");
    t.gstrTemplateLines[0][kFieldEnabled][4] = QStringLiteral("yes");
    t.gstrTemplateLines[0][kFieldAlignment][5] = QString();
    t.gstrTemplateLines[0][kFieldAlignment][6] = QStringLiteral("7");
    t.gstrTemplateLines[0][kFieldRect][7] = QStringLiteral("0.125|0.3");

    PreviewModel m;
    m.picBackground().setGeometry(0, 0, 300, 400);
    FakePanel panel(m, t);
    panel.checks[4] = 1;
    m.lblEvent(0, 5).alignment = 2;
    m.lblEvent(0, 6).alignment = 2;
    m.lblEvent(0, 7).setGeometry(0, 0, 55, 11);
    ShowTemplateRecord(0, t, m, panel);

    EXPECT_FALSE(m.lblEvent(0, 3).visible);
    EXPECT_EQ(t.gstrTemplateLines[0][kFieldEnabled][3], "0");
    // An unreadable flag leaves the box; its Click still writes it back.
    EXPECT_TRUE(m.lblEvent(0, 4).visible);
    EXPECT_EQ(t.gstrTemplateLines[0][kFieldEnabled][4], "1");
    EXPECT_EQ(m.lblEvent(0, 0).alignment, 1);
    EXPECT_EQ(m.lblEvent(0, 5).alignment, 2);
    EXPECT_EQ(m.lblEvent(0, 6).alignment, 2);
    EXPECT_EQ(m.lblEvent(0, 0).rect(), QRectF(30, 100, 240, 16));
    EXPECT_EQ(m.lblEvent(0, 7).rect(), QRectF(90, 50, 55, 11));
    EXPECT_EQ(panel.groupOption, -1);
}

TEST(RecordDisplay, IndexesOutsideTheTableOnlySetTheCurrentDisplay)
{
    Template t;
    PreviewModel m;
    FakePanel panel(m, t);
    ShowTemplateRecord(6, t, m, panel);
    EXPECT_EQ(m.state().mintSelectedGroup, 6);
    SelectTemplateRecord(-1, m, panel);
    EXPECT_EQ(m.state().mintSelectedGroup, -1);
    EXPECT_EQ(panel.syncs, 0);
    EXPECT_EQ(panel.disables, 0);
    for (int d = 0; d < preview::kRecordDisplays; ++d)
        EXPECT_EQ(m.lblEvent(d, 0).rect(), QRectF(33, 60, 170, 15));
}

TEST(RecordDisplay, SelectorCountsBackwards)
{
    Template t;
    PreviewModel m;
    FakePanel panel(m, t);
    vsSelRecord_Change(4, 1, panel);
    vsSelRecord_Change(4, 4, panel);
    EXPECT_EQ(panel.selRecord, "1");
    EXPECT_EQ(panel.applied, (QList<int>{3, 0}));
    EXPECT_TRUE(panel.focused);
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
    EXPECT_EQ(truthOf(QStringLiteral("0")), false);
    EXPECT_EQ(truthOf(QStringLiteral("TRUE")), true);
    EXPECT_FALSE(truthOf(QStringLiteral("x")).has_value());
}
