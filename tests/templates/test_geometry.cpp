// Template geometry on the preview: fractions of the background, labels
// placed from fractions, and the template taken from a laid-out preview.
#include "templates/geometry.h"
#include "templates/layouts.h"
#include "templates/model/previewmodel.h"

#include <gtest/gtest.h>

using namespace templates;
using preview::PreviewModel;

namespace {

// The preview as the new-template reset lays it out in landscape.
void layOut(PreviewModel& m)
{
    const double s = 1.4;
    m.picBackground().setGeometry(10, 10, 336 * s, 189 * s);
    const double W = m.picBackground().width(), H = m.picBackground().height();
    m.lblTDT(0).setGeometry(110 * s, 5, 136 * s, 30 * s);
    m.lblTDT(1).setGeometry(0, 5, 68 * s, 15 * s);
    m.lblTDT(2).setGeometry(W - 68 * s, 5, 68 * s, 15 * s);
    m.lblTDT(3).setGeometry(W / 2 - 190.4 / 2, H / 2 - 89.6 / 2, 136 * 1.4, 64 * 1.4);
    for (int d = 0; d < preview::kRecordDisplays; ++d)
        for (int l = 0; l < preview::kDisplayLines; ++l)
            m.lblEvent(d, l).setGeometry(110 * s, 50 + 15 * l, 136 * s, 15);
}

} // namespace

TEST(TemplateGeometry, FractionsRoundHalfToEvenInShortestForm)
{
    EXPECT_EQ(fractionText(0.125), "0.12");
    EXPECT_EQ(fractionText(-0.001), "0");
    EXPECT_EQ(fractionText(-0.03), "-0.03");
    EXPECT_EQ(fractionText(1.0), "1");

    PreviewModel m;
    m.picBackground().setGeometry(0, 0, 1024, 768);
    preview::Geometry label;
    label.setGeometry(192, 96, 384, 32);
    EXPECT_EQ(layoutRectOf(label, m.picBackground()), QString("0.12|0.19|0.04|0.38"));
    label.setGeometry(-30, -40, 1100, 20);
    EXPECT_EQ(layoutRectOf(label, m.picBackground()), QString("-0.05|-0.03|0.03|1.07"));

    m.picBackground().setGeometry(0, 0, 40, 40);
    label.setGeometry(0, 5, 10, 15);
    EXPECT_EQ(layoutRectOf(label, m.picBackground()), QString("0.12|0|0.38|0.25"));
    m.picBackground().setWidth(0);
    EXPECT_FALSE(layoutRectOf(label, m.picBackground()).has_value());
}

TEST(TemplateGeometry, LabelsArePlacedFromFractions)
{
    PreviewModel m;
    m.picBackground().setGeometry(0, 0, 300, 400);
    preview::PreviewItem& label = m.lblEvent(0, 0);
    placeFromLayoutRect(label, QStringLiteral("0.25|0.1|0.04|0.8"), m.picBackground());
    EXPECT_EQ(label.rect(), QRectF(30, 100, 240, 16));

    placeFromLayoutRect(label, QStringLiteral("0.125|0.3"), m.picBackground());
    EXPECT_EQ(label.rect(), QRectF(90, 50, 240, 16));

    // A negative size is refused; text without a number reads as 0.
    placeFromLayoutRect(label, QStringLiteral("x|-0.1|-0.5|abc"), m.picBackground());
    EXPECT_EQ(label.rect(), QRectF(-30, 0, 0, 16));

    placeFromLayoutRect(label, QString(), m.picBackground());
    EXPECT_EQ(label.rect(), QRectF(-30, 0, 0, 16));
}

TEST(TemplateGeometry, LayoutSettingsFromALandscapePreview)
{
    PreviewModel m;
    layOut(m);
    EXPECT_DOUBLE_EQ(m.picBackground().width(), 470.4);
    m.lblEvent(3, 0).setGeometry(0, 0, 10, 10); // other displays play no part

    Template t;
    t.gstrTitleText = QStringLiteral("Kept");
    t.gstrRecordsPerPage = QStringLiteral("4");
    ASSERT_TRUE(InitLayoutSettings(1, m, t));

    for (const QString* on : {&t.gstrTitleOn, &t.gstrDateOn, &t.gstrTimeOn, &t.gstrPiPOn})
        EXPECT_EQ(*on, "0");
    EXPECT_EQ(t.gstrTimeFont, kDefaultFontDescriptor);
    for (int r = 0; r < kRecords; ++r)
        EXPECT_EQ(formatTemplateLine(t, r, 5), "1`2`0.47|0.33|0.06|0.4`" + kDefaultFontDescriptor + "`0,-1,,`0");
    EXPECT_EQ(t.gstrTitleText + t.gstrRecordsPerPage, "Kept4");
}

TEST(TemplateGeometry, LayoutSettingsStopOnABackgroundWithoutSize)
{
    PreviewModel m;
    layOut(m);
    m.picBackground().setHeight(0);
    Template t;
    t.gstrTitleRegion = QStringLiteral("old");
    t.gstrDateOn = QStringLiteral("1");
    EXPECT_FALSE(InitLayoutSettings(0, m, t));
    EXPECT_EQ(t.gstrTitleOn, "0");
    EXPECT_EQ(t.gstrTitleRegion, "old");
    EXPECT_EQ(t.gstrDateOn, "1");
}
