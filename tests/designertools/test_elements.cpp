// The element labels on the preview: dragging and dropping them with the
// stored region, and their settings (captions, font, alignment).
#include "designer/tools/elements.h"

#include "templates/template.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QRectF>

using layouttools::ElementTool;
using preview::PreviewModel;

namespace {

class ElementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m.picBackground().setGeometry(0, 0, 400, 300);
        // Nothing else on the page takes the pointer.
        for (int g = 0; g < 4; ++g) {
            m.guideHandle(preview::Guide(g)).visible = false;
            m.guideLine(preview::Guide(g)).visible = false;
        }
        for (int i = 0; i < preview::kElements; ++i)
            m.lblTDT(i).visible = false;
        m.setHandlers(&tool);
    }

    // Drags element `index` from its point (gx, gy) by (dx, dy) with `button`
    // held, then lets go.
    void drag(int index, double gx, double gy, double dx, double dy, int button = 1)
    {
        const preview::PreviewItem& it = m.lblTDT(index);
        const double x = it.left() + gx, y = it.top() + gy;
        m.mouseDown(x, y, button, 0);
        m.mouseMove(x + dx / 2, y + dy / 2, button, 0);
        m.mouseMove(x + dx, y + dy, button, 0);
        m.mouseUp(x + dx, y + dy, button, 0);
    }

    QStringList regions() const { return {t.gstrTitleRegion, t.gstrDateRegion, t.gstrTimeRegion, t.gstrPiPRegion}; }

    testsupport::FixedClock clock{QDateTime(QDate(2024, 3, 7), QTime(9, 5, 4))};
    PreviewModel m;
    templates::Template t;
    QString title = QStringLiteral("  Gala Night ");
    QString datePattern = QStringLiteral("MM/DD/YYYY");
    QString timePattern = QStringLiteral("HH:MM");
    QList<int> framed;
    ElementTool tool{m, t,
                     layouttools::ElementTexts{[this] { return title; }, [this] { return datePattern; },
                                               [this] { return timePattern; }},
                     [this](int i) { framed << i; }};
};

TEST_F(ElementTest, ADropPullsTheElementOntoThePageAndStoresItsRegion)
{
    struct Case {
        const char* name;
        int index;
        QRectF start; // left, top, width, height
        double dx, dy;
        QRectF end;
        const char* region;
    };
    const Case cases[] = {
        {"inside", 0, {40, 30, 100, 20}, 20, 10, {60, 40, 100, 20}, "0.13|0.15|0.07|0.25"},
        {"past right and bottom", 1, {300, 250, 80, 40}, 50, 30, {320, 260, 80, 40}, "0.87|0.8|0.13|0.2"},
        {"past left and top", 2, {10, 10, 80, 40}, -30, -25, {0, 0, 80, 40}, "0|0|0.13|0.2"},
        {"wider and taller than the page", 3, {0, 20, 500, 400}, 5, 0, {0, 0, 400, 300}, "0|0|1|1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t = templates::Template();
        framed.clear();
        preview::PreviewItem& label = m.lblTDT(c.index);
        label.visible = true;
        label.setGeometry(c.start.left(), c.start.top(), c.start.width(), c.start.height());
        drag(c.index, 5, 5, c.dx, c.dy);
        EXPECT_EQ(label.rect(), c.end);
        QStringList expected(4);
        expected[c.index] = QString::fromLatin1(c.region);
        EXPECT_EQ(regions(), expected);
        EXPECT_EQ(m.state().mintSelectedGroup, 100 + c.index);
        ASSERT_FALSE(framed.isEmpty());
        EXPECT_EQ(framed.last(), c.index);
        label.visible = false;
    }
}

TEST_F(ElementTest, OnlyTheLeftButtonAloneMovesButAnyReleaseDrops)
{
    preview::PreviewItem& label = m.lblTDT(0);
    label.visible = true;
    label.setGeometry(380, 40, 40, 20); // sticks out on the right

    drag(0, 5, 5, -100, 50, 2); // right button: clamped in place only
    EXPECT_EQ(label.rect(), QRectF(360, 40, 40, 20));
    EXPECT_EQ(t.gstrTitleRegion, "0.13|0.9|0.07|0.1");

    const double x = label.left() + 5, y = label.top() + 5;
    m.mouseDown(x, y, 1, 0);
    m.mouseDown(x, y, 2, 0);
    m.mouseMove(x - 100, y, 3, 0); // both buttons held
    EXPECT_EQ(label.left(), 360);
    m.mouseUp(x - 100, y, 2, 0);
    m.mouseMove(x - 100, y + 10, 1, 0);
    EXPECT_EQ(label.rect(), QRectF(260, 50, 40, 20));
}

TEST_F(ElementTest, APageWithoutSizeStoresNothingAndKeepsTheElement)
{
    t.gstrDateRegion = QStringLiteral("0.1|0.1|0.1|0.1");
    m.lblTDT(1).setGeometry(20, 20, 50, 10);
    m.picBackground().setWidth(0);
    tool.dropTDTLabel(1);
    EXPECT_EQ(m.lblTDT(1).rect(), QRectF(20, 20, 50, 10));
    EXPECT_EQ(t.gstrDateRegion, "0.1|0.1|0.1|0.1");
    EXPECT_EQ(m.state().mintSelectedGroup, 101);
    EXPECT_EQ(framed, QList<int>{1});
}

void setStyle(templates::Template& t, const QString& font, const QString& align = QStringLiteral("2"))
{
    for (QString* on : {&t.gstrTitleOn, &t.gstrDateOn, &t.gstrTimeOn})
        *on = QStringLiteral("0"); // a flag "0" does not stop the refresh
    for (QString* a : {&t.gstrTitleAlign, &t.gstrDateAlign, &t.gstrTimeAlign})
        *a = align;
    for (QString* r : {&t.gstrTitleRegion, &t.gstrDateRegion, &t.gstrTimeRegion})
        *r = QStringLiteral("0.1|0.1|0.1|0.5");
    for (QString* f : {&t.gstrTitleFont, &t.gstrDateFont, &t.gstrTimeFont})
        *f = font;
}

TEST_F(ElementTest, CaptionsShowTheTitleAndTheClockInEachPattern)
{
    setStyle(t, templates::kDefaultFontDescriptor);
    tool.applyTDTLabelSettings(0);
    EXPECT_EQ(m.lblTDT(0).caption, "Gala Night");
    EXPECT_DOUBLE_EQ(m.lblTDT(0).fontSize, 6);
    EXPECT_TRUE(m.lblTDT(0).visible);

    // The patterns, trimmed, format the clock's 7 March 2024, 09:05:04.
    datePattern = QStringLiteral(" YYYY-MM-DD ");
    tool.applyTDTLabelSettings(1);
    EXPECT_EQ(m.lblTDT(1).caption, "2024-03-07");
    EXPECT_DOUBLE_EQ(m.lblTDT(1).fontSize, 7.2);
    timePattern = QStringLiteral("H:MM AM/PM");
    tool.applyTDTLabelSettings(2);
    EXPECT_EQ(m.lblTDT(2).caption, "9:05 AM");
    clock.at = QDateTime(QDate(2024, 3, 7), QTime(21, 40));
    tool.applyTDTLabelSettings(2);
    EXPECT_EQ(m.lblTDT(2).caption, "9:40 PM");
    // The last one refreshed lies in front of the other elements.
    std::vector<preview::ItemRef> order = m.paintOrder();
    std::erase_if(order, [](const preview::ItemRef& r) { return r.kind != preview::ItemKind::Element; });
    EXPECT_EQ(order.back().index, 2);
}

TEST_F(ElementTest, MissingSettingsOrTextLeaveTheLabelAlone)
{
    setStyle(t, templates::kDefaultFontDescriptor);
    preview::PreviewItem& label = m.lblTDT(0);
    label.caption = QStringLiteral("TITLE");
    title = QStringLiteral("   ");
    tool.applyTDTLabelSettings(0);
    title = QStringLiteral("Gala");
    t.gstrTitleRegion.clear();
    tool.applyTDTLabelSettings(0);
    tool.applyTDTLabelSettings(-1);
    tool.applyTDTLabelSettings(4);
    EXPECT_EQ(label.caption, "TITLE");
    EXPECT_EQ(label.fontName, "MS Sans Serif");
    EXPECT_FALSE(label.visible);

    // The PiP needs its flag and its region; its caption stays.
    preview::PreviewItem& pip = m.lblTDT(3);
    t.gstrPiPOn = QStringLiteral("1");
    tool.applyTDTLabelSettings(3);
    EXPECT_FALSE(pip.visible);
    t.gstrPiPRegion = QStringLiteral("0.4|0.1|0.2|0.8");
    tool.applyTDTLabelSettings(3);
    EXPECT_TRUE(pip.visible);
    EXPECT_EQ(pip.caption, "PiP Windows");
}

TEST_F(ElementTest, MalformedFontsKeepSizeAndColourAndBadAlignmentsKeepTheAlignment)
{
    struct Case {
        const char* font;
        const char* align;
        const char* name;
        double size;
        uint32_t color;
        int alignment;
    };
    // The label starts each case as Tahoma 10 points, colour 0x123456, left.
    const Case cases[] = {
        {"Verdana,24,255,0,1,1,1,3,0", "1", "Verdana", 8, 255, 1}, {"Verdana", "2", "Verdana", 10, 0x123456, 2},
        {"Verdana,24", "0", "Verdana", 10, 0x123456, 0},           {"Verdana,abc,255", "7", "Verdana", 10, 0x123456, 0},
        {"Verdana,0,255", "-1", "Verdana", 10, 0x123456, 0},       {"Verdana,-6,255", "x", "Verdana", 10, 0x123456, 0},
        {"Verdana,24,blue", "1.5", "Verdana", 8, 0x123456, 0},     {",24,255", "2", "Tahoma", 8, 255, 2},
    };
    preview::PreviewItem& label = m.lblTDT(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.font);
        label.fontName = QStringLiteral("Tahoma");
        label.fontSize = 10;
        label.foreColor = 0x123456;
        label.alignment = 0;
        setStyle(t, QLatin1String(c.font), QLatin1String(c.align));
        tool.applyTDTLabelSettings(0);
        EXPECT_EQ(label.fontName, c.name);
        EXPECT_DOUBLE_EQ(label.fontSize, c.size);
        EXPECT_EQ(label.foreColor, c.color);
        EXPECT_EQ(label.alignment, c.alignment);
    }
}

} // namespace
