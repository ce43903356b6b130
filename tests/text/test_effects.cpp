// The text effects: how many prints each makes, where and in which colour,
// and the font sample that shows them.
#include "text/texteffects.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <thread>
#include <tuple>

namespace {
constexpr uint32_t kBlue = 16711680;
constexpr uint32_t kYellow = 65535;

bool hasColor(const QImage& img, QRgb c)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == c)
                return true;
    return false;
}
} // namespace

TEST(Effects, EdgeCoversTheSquareThenPrintsTheTextInTheMiddle)
{
    const QVector<EffectPass> p = edgePasses(4, 4, 2, kBlue, kYellow);
    ASSERT_EQ(p.size(), 26);
    // Column by column over the 5 x 5 square of offsets, the text last.
    for (int k = 0; k < 25; ++k)
        EXPECT_EQ(p[k], (EffectPass{4.0 + k / 5, 4.0 + k % 5, kYellow})) << k;
    EXPECT_EQ(p.last(), (EffectPass{6, 6, kBlue}));

    EXPECT_EQ(edgePasses(0, 0, 3, kBlue, kYellow).size(), 50);
}

TEST(Effects, ShadowFallsToTheLowerRight)
{
    const QVector<EffectPass> p = shadowPasses(4, 4, kBlue, kYellow);
    ASSERT_EQ(p.size(), 2);
    EXPECT_NEAR(p[0].x, 6.1213, 1e-4);
    EXPECT_NEAR(p[0].y, 6.1213, 1e-4);
    EXPECT_EQ(p[0].color, kYellow);
    EXPECT_EQ(p[1], (EffectPass{4, 4, kBlue}));
}

TEST(Effects, ThreeDLayersRampFromEffectToTextColour)
{
    const QVector<EffectPass> p = threeDPasses(4, 4, kBlue, kYellow);
    ASSERT_EQ(p.size(), 7);
    const int xs[] = {8, 7, 6, 5, 5, 4};
    // (red, green, blue) per layer, deepest first.
    const int rgb[6][3] = {{204, 204, 51}, {153, 153, 102}, {102, 102, 153}, {51, 51, 204}, {0, 0, 255}, {0, 0, 255}};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(QPointF(p[k].x, p[k].y), QPointF(xs[k], xs[k])) << k;
        const RGBParts c = SplitRGB(p[k].color);
        EXPECT_EQ(std::tuple(c.red, c.green, c.blue), std::tuple(rgb[k][0], rgb[k][1], rgb[k][2])) << k;
    }
    EXPECT_EQ(p[6], (EffectPass{4, 4, kBlue}));

    for (const EffectPass& e : threeDPasses(0, 0, 0x336699, 0x336699))
        EXPECT_EQ(e.color, 0x336699u);
}

TEST(FontSample, FontFollowsThePanel)
{
    FontDescriptor d;
    d.FontSize = QStringLiteral("30");
    QFont f = CreateSampleFont(d);
    EXPECT_EQ(f.pixelSize(), 40);
    EXPECT_EQ(f.weight(), QFont::Bold);

    d.Bold = 2; // grey counts as clear
    d.Italic = 1;
    d.Strikeout = 1;
    d.FontSize = QStringLiteral("abc");
    f = CreateSampleFont(d);
    EXPECT_EQ(f.weight(), QFont::Normal);
    EXPECT_TRUE(f.italic());
    EXPECT_TRUE(f.strikeOut());
    EXPECT_EQ(f.pixelSize(), 16); // the default 12 points

    d.FontName = QString(40, QLatin1Char('F'));
    EXPECT_EQ(CreateSampleFont(d).families().value(0).size(), 40);
}

TEST(FontSample, DrawsTheChosenEffect)
{
    QImage img(240, 110, QImage::Format_RGB32);
    FontDescriptor d; // blue text, yellow effect colour
    d.FontSize = QStringLiteral("30");
    d.Effect = EffectEdge;
    paintAATextToPicBox(img, 4, 4, d, Qt::white);
    EXPECT_TRUE(hasColor(img, qRgb(255, 255, 0)));
    EXPECT_TRUE(hasColor(img, qRgb(0, 0, 255)));

    for (int none : {int(EffectNone), -1}) {
        d.Effect = none;
        paintAATextToPicBox(img, 4, 4, d, Qt::white);
        EXPECT_FALSE(hasColor(img, qRgb(255, 255, 0)));
        EXPECT_TRUE(hasColor(img, qRgb(0, 0, 255)));
    }
}

TEST(Effects, FastEdgeMatchesThePrintsAtAndBeyondThePictureEdges)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(28);
    font.setBold(true);
    const QString text = QStringLiteral("Edge Wj");
    const auto maxDiff = [](const QImage& a, const QImage& b) {
        int d = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                d = std::max(
                    {d, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            }
        return d;
    };
    QImage blank(200, 60, QImage::Format_RGB32);
    blank.fill(QColor(40, 90, 160));

    // Cut by the left, top, right and bottom edges.
    for (const QPointF at : {QPointF(-40, 10), QPointF(20, -18), QPointF(150, 10), QPointF(20, 45)}) {
        QImage fast = blank, reference = blank;
        drawEdgedText(fast, font, text, at.x(), at.y(), 3, kYellow, kBlue);
        QPainter p(&reference);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        p.setFont(font);
        drawPasses(p, text, edgePasses(at.x(), at.y(), 3, kYellow, kBlue));
        p.end();
        EXPECT_NE(fast, blank) << at.x() << "," << at.y();
        EXPECT_LE(maxDiff(fast, reference), 3) << at.x() << "," << at.y();
    }

    // Far off the picture: nothing is drawn.
    for (const double far : {1e12, -1e12, 2.2e9, -2.2e9}) {
        QImage img = blank;
        drawEdgedText(img, font, text, far, 10, 2, kYellow, kBlue);
        drawEdgedText(img, font, text, 10, far, 2, kYellow, kBlue);
        EXPECT_EQ(img, blank) << far;
    }
}

TEST(Effects, EdgedTextDrawnAgainIsDrawnAsTheFirstTime)
{
    // The same text in fonts that differ in one property, at fractional
    // places, cut by the picture's edge, and with other edge widths.
    QFont bold(QStringLiteral("Arial"));
    bold.setPixelSize(26);
    bold.setBold(true);
    QFont underlined = bold;
    underlined.setUnderline(true);
    QFont narrow = bold;
    narrow.setStretch(80);
    QFont italic = bold;
    italic.setItalic(true);
    struct Draw {
        QFont font;
        QString text;
        double x, y;
        int w;
    };
    const QString room = QStringLiteral("Room 12");
    const std::vector<Draw> draws = {
        {bold, room, 10, 10, 2},   {underlined, room, 10, 10, 2}, {narrow, room, 10, 10, 2},
        {italic, room, 10, 10, 2}, {bold, room, 10.5, 10.25, 2},  {bold, room, 10.75, 10, 3},
        {bold, room, -30, 10, 2},  {bold, room, 150, 40.5, 2},    {bold, QStringLiteral("Room 13"), 10, 10, 2}};
    const auto drawn = [](const Draw& d) {
        QImage img(200, 60, QImage::Format_RGB32);
        img.fill(QColor(40, 90, 160));
        drawEdgedText(img, d.font, d.text, d.x, d.y, d.w, kYellow, kBlue);
        return img;
    };
    // The first time: each in a thread of its own, which has kept nothing.
    std::vector<QImage> first(draws.size());
    for (size_t i = 0; i < draws.size(); ++i)
        std::thread([&, i] { first[i] = drawn(draws[i]); }).join();
    // Again and again, in one thread: after all the others.
    for (int round = 0; round < 2; ++round)
        for (size_t i = 0; i < draws.size(); ++i)
            EXPECT_EQ(drawn(draws[i]), first[i]) << "draw " << i << ", round " << round;
}
