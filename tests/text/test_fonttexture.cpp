// The text drawer: font mapping, measurement and the layout decisions of
// the fitting rules (which text is kept, where it goes, when "..." stands
// in for it), and what the drawing leaves on the picture.
#include "core/globals.h"
#include "text/fontdescriptor.h"
#include "text/fonttexture.h"
#include "text/texteffects.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPainter>

#include <thread>

namespace {

const QString kFace = QStringLiteral("Arial");

CFontTexture drawer(int points = 18)
{
    CFontTexture t;
    t.setFontHeight(points);
    t.setFontWidth(points / 2);
    t.setFontWeight(700);
    return t;
}

// Sum of the widths the fitting loops count for `text`.
int sumWidths(CFontTexture& t, const QString& text)
{
    t.GetFontWidth(kFace, text);
    int sum = 0;
    for (const QChar c : text)
        sum += t.charWidth(c.unicode());
    return sum;
}

TextLayout layout(CFontTexture& t, double x1, double x2, QString text, bool tight = true, int lineMode = 1,
                  int charSpacing = 1, double y1 = 100, double y2 = 150)
{
    return t.LayoutText(x1, y1, x2, y2, kFace, text, tight, lineMode, charSpacing);
}

int countColor(const QImage& img, QRgb c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == c;
    return n;
}

struct StopGuard {
    StopGuard() { gblnStop = true; }
    ~StopGuard() { gblnStop = false; }
};

} // namespace

TEST(FontMapping, FaceSizeWeightAndWidth)
{
    CFontTexture t = drawer(18);
    ASSERT_GT(t.GetFontWidth(kFace, QStringLiteral("x")), 9);
    EXPECT_EQ(QFontInfo(*t.font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(t.font()->pixelSize(), 24); // 18 points at 96 dpi
    EXPECT_EQ(t.font()->weight(), QFont::Bold);

    // The "not bold" weight 100 asks for the normal face, not a thin one.
    t.setFontWeight(100);
    t.GetFontWidth(QStringLiteral("DejaVu Sans"), QStringLiteral("x"));
    EXPECT_EQ(QFontInfo(*t.font()).weight(), QFont::Normal);

    // Typed sizes far out of range are clamped.
    for (auto [points, pixels] : {std::pair{100000, kMaxFontPixels}, std::pair{0, kMinFontPixels}}) {
        t.setFontHeight(points);
        t.GetFontWidth(kFace, QStringLiteral("Wide"));
        EXPECT_EQ(t.font()->pixelSize(), pixels);
    }

    // A wider average width stretches the face.
    CFontTexture natural, wide;
    natural.setFontHeight(18);
    wide.setFontHeight(18);
    wide.setFontWidth(18);
    const QString text = QStringLiteral("Conference Room");
    EXPECT_GT(wide.GetFontWidth(kFace, text), natural.GetFontWidth(kFace, text) * 3 / 2);
}

TEST(FontMapping, FontsMadeBeforeServeOnlyTheSameProperties)
{
    // Settings that differ in one property each, in both faces.
    struct Setting {
        int points, width, weight;
        bool italic, underline;
        QString face;
    };
    std::vector<Setting> settings;
    for (const QString& face : {kFace, QStringLiteral("Liberation Serif")}) {
        settings.push_back({18, 9, 700, false, false, face});
        settings.push_back({18, 9, 100, false, false, face});
        settings.push_back({18, 9, 700, true, false, face});
        settings.push_back({18, 9, 700, false, true, face});
        settings.push_back({18, 0, 700, false, false, face});
        settings.push_back({20, 9, 700, false, false, face});
    }
    const QString text = QStringLiteral("Conference Room 7");
    const auto measured = [&](const Setting& s) {
        CFontTexture t;
        t.setFontHeight(s.points);
        t.setFontWidth(s.width);
        t.setFontWeight(s.weight);
        t.setItalic(s.italic);
        t.setUnderline(s.underline);
        const int width = t.GetFontWidth(s.face, text);
        const QFont& f = *t.font();
        return std::tuple(width, f.families(), f.pixelSize(), f.bold(), f.italic(), f.underline(), f.stretch());
    };
    // Each measured first in a thread of its own, which has made no font yet.
    std::vector<decltype(measured(settings[0]))> first(settings.size());
    for (size_t i = 0; i < settings.size(); ++i)
        std::thread([&, i] { first[i] = measured(settings[i]); }).join();
    for (int round = 0; round < 2; ++round)
        for (size_t i = 0; i < settings.size(); ++i)
            EXPECT_EQ(measured(settings[i]), first[i]) << "setting " << i << ", round " << round;
}

TEST(FontMeasure, WidthIsNinePlusCharacterWidths)
{
    CFontTexture t = drawer();
    EXPECT_EQ(t.GetFontWidth(kFace, QString()), 9);
    const QString text = QStringLiteral("Grand Ballroom 10:30");
    const int sum = sumWidths(t, text);
    EXPECT_GT(sum, 100);
    EXPECT_EQ(t.GetFontWidth(kFace, text), 9 + sum);

    // Control characters measure nothing; characters beyond Latin-1 measure
    // their own glyph, and a surrogate pair is one character.
    EXPECT_EQ(t.GetFontWidth(kFace, QStringLiteral("A\tB\r\n")), t.GetFontWidth(kFace, QStringLiteral("AB")));
    EXPECT_GT(t.GetFontWidth(kFace, QStringLiteral("\u20AC")), 9);

    // An empty face measures 0 and leaves the earlier font in place.
    t.GetFontWidth(QStringLiteral("Liberation Serif"), QStringLiteral("a"));
    EXPECT_EQ(t.GetFontWidth(QString(), text), 0);
    EXPECT_EQ(t.font()->families().value(0), QStringLiteral("Liberation Serif"));

    // Face names of any length are taken whole.
    const QString longName = QString(300, QLatin1Char('Q'));
    EXPECT_GT(t.GetFontWidth(longName, text), 9);
    EXPECT_EQ(t.font()->families().value(0), longName);
}

TEST(TightLine, KeepsWhatFitsAndShowsDotsOnlyForTinyBoxes)
{
    CFontTexture t = drawer();
    const QString text = QStringLiteral("MWx");
    t.GetFontWidth(kFace, text);
    const int m = t.charWidth('M'), w = t.charWidth('W'), x = t.charWidth('x');

    // Empty text: one empty line, no "...".
    TextLayout l = layout(t, 10, 300, QString());
    ASSERT_EQ(l.lines.size(), 1);
    EXPECT_TRUE(l.lines[0].text.isEmpty());

    // Narrower than the first character plus 7, or room for one character
    // only: "..."; two or more fit: the characters, without "...".
    const std::pair<int, const char*> cases[] = {{6 + m, "..."},    {7 + m, "..."},        {6 + m + w, "..."},
                                                 {7 + m + w, "MW"}, {6 + m + w + x, "MW"}, {7 + m + w + x, "MWx"}};
    for (const auto& [width, kept] : cases)
        EXPECT_EQ(layout(t, 0, width, text).lines[0].text, QString::fromLatin1(kept)) << width;

    // A box as wide as the measured width takes the whole text.
    const QString item = QStringLiteral("Welcome Reception");
    const int measured = t.GetFontWidth(kFace, item);
    EXPECT_EQ(layout(t, 50, 50 + measured, item).lines[0].text, item);
    EXPECT_EQ(layout(t, 50, 50 + measured - 3, item).lines[0].text, item.chopped(1));
}

TEST(TightLine, Positions)
{
    CFontTexture t = drawer(18);
    // y = 100 + 25 - 18 / 1.25 = 110.6 -> 111; x = X1 + 3, halves to even.
    EXPECT_EQ(layout(t, 10.5, 300, QStringLiteral("Hall")).lines[0].y, 111);
    EXPECT_EQ(layout(t, 10.5, 300, QStringLiteral("Hall")).lines[0].x, 14);
    EXPECT_EQ(layout(t, 11.5, 300, QStringLiteral("Hall")).lines[0].x, 14);
    EXPECT_EQ(layout(t, 12.5, 300, QStringLiteral("Hall")).lines[0].x, 16);
}

TEST(TextItem, AlignmentPlacesTheWholeText)
{
    const QRectF box(100, 0, 400, 40);
    EXPECT_EQ(alignedLeft(box, 0, 120), 100);
    EXPECT_EQ(alignedLeft(box, 1, 120), 380);
    EXPECT_EQ(alignedLeft(box, 2, 121), 239.5);
    // Wider than the box: every alignment starts at the left edge.
    for (int a : {0, 1, 2})
        EXPECT_EQ(alignedLeft(box, a, 401), 100);

    // Right and centred texts keep all their characters.
    CFontTexture t = drawer();
    const QString text = QStringLiteral("Product Launch");
    const int measured = t.GetFontWidth(kFace, text);
    for (int a : {0, 1, 2}) {
        const double x1 = alignedLeft(box, a, measured);
        const TextLayout l = layout(t, x1, box.right(), text);
        EXPECT_EQ(l.lines[0].text, text) << "alignment " << a;
        EXPECT_EQ(l.lines[0].x, int(std::nearbyint(x1 + 3)));
    }
}

TEST(TwoLines, TightSplitsAtTheFirstSpace)
{
    CFontTexture t = drawer(18);
    // Lines at 100 + 50 / 4 - 9 = 103.5 -> 104 and 103.5 + 18 + 6 -> 128 (half to even).
    TextLayout l = layout(t, 0, 400, QStringLiteral("Board Meeting Today"), true, 2);
    ASSERT_EQ(l.lines.size(), 2);
    EXPECT_EQ(l.lines[0].text, QStringLiteral("Board"));
    EXPECT_EQ(l.lines[1].text, QStringLiteral("Meeting Today"));
    EXPECT_EQ(l.lines[0].y, 104);
    EXPECT_EQ(l.lines[1].y, 128);
    // Without a space the text is not repeated on a second line.
    EXPECT_EQ(layout(t, 0, 400, QStringLiteral("Boardroom"), true, 2).lines.size(), 1);
}

TEST(LooseLine, DotsWhenTheTextDoesNotFit)
{
    CFontTexture t = drawer();
    const QString text = QStringLiteral("Atrium");
    const int full = sumWidths(t, text);
    // Fits with room to spare.
    EXPECT_EQ(layout(t, 0, full + 3, text, false).lines[0].text, text);
    EXPECT_EQ(layout(t, 0, full + 3, text, false).lines[0].x, 5);
    // Only the last character misses: "..." is appended without measuring it.
    const int allButLast = sumWidths(t, text.chopped(1));
    EXPECT_EQ(layout(t, 0, allButLast + 3, text, false).lines[0].text, QStringLiteral("Atriu..."));
    // Cut in the middle.
    const int three = sumWidths(t, QStringLiteral("Atr"));
    EXPECT_EQ(layout(t, 0, three + 3, text, false).lines[0].text, QStringLiteral("Atr..."));
    EXPECT_EQ(layout(t, 0, 4, text, false).lines[0].text, QStringLiteral("..."));
}

TEST(TwoLines, LooseBreaksAtTheLastSpaceAndShortensTheText)
{
    CFontTexture t = drawer();
    const int firstWord = sumWidths(t, QStringLiteral("Alpha B"));
    QString text = QStringLiteral("Alpha Beta");
    const TextLayout l = t.LayoutText(0, 100, firstWord + 3, 150, kFace, text, false, 2, 1);
    ASSERT_EQ(l.lines.size(), 2);
    EXPECT_EQ(l.lines[0].text, QStringLiteral("Alpha"));
    EXPECT_EQ(l.lines[1].text, QStringLiteral("Beta"));
    EXPECT_EQ(text, QStringLiteral("Beta"));

    // A word longer than the line is broken where it stops fitting.
    QString word = QStringLiteral("Extraordinarily");
    const int six = sumWidths(t, QStringLiteral("Extrao"));
    const TextLayout w = t.LayoutText(0, 100, six + 3, 150, kFace, word, false, 2, 1);
    ASSERT_EQ(w.lines.size(), 2);
    EXPECT_EQ(w.lines[0].text, QStringLiteral("Extrao"));
    EXPECT_TRUE(w.lines[1].text.startsWith(QStringLiteral("rdi")));
    EXPECT_TRUE(w.lines[1].text.endsWith(QStringLiteral("...")));
}

TEST(StopFlag, EndsTheLayoutBeforeDrawing)
{
    CFontTexture t = drawer();
    StopGuard stop;
    TextLayout l = layout(t, 0, 400, QStringLiteral("Anything"));
    EXPECT_TRUE(l.stopped);
    EXPECT_TRUE(l.lines.isEmpty());
    // An empty text has no character before which to stop.
    EXPECT_EQ(layout(t, 0, 400, QString()).lines.size(), 1);
}

TEST(ShowFont, OnlyTheEdgeUsesTheEffectColourAndHugeEdgesAreBounded)
{
    QImage page(300, 60, QImage::Format_RGB32);
    CFontTexture t = drawer();
    for (int effect : {EffectNone, EffectShadow, Effect3D, EffectEdge}) {
        page.fill(Qt::white);
        QString text = QStringLiteral("Plain");
        t.ShowFont(0, 0, 300, 60, kFace, QStringLiteral("255"), text, page, true, 1, 1, effect, 0xFF0000, 2);
        EXPECT_EQ(countColor(page, qRgb(0, 0, 255)) > 100, effect == EffectEdge) << "effect " << effect;
        EXPECT_GT(countColor(page, qRgb(255, 0, 0)), 20);
    }

    // An edge width typed as 100000 is drawn with the bounded width.
    QImage bounded(300, 80, QImage::Format_RGB32);
    bounded.fill(Qt::white);
    page = bounded;
    QString a = QStringLiteral("Wide"), b = a;
    t.ShowFont(0, 0, 300, 80, kFace, QStringLiteral("255"), a, page, true, 1, 1, EffectEdge, 0xFF0000, 100000);
    t.ShowFont(0, 0, 300, 80, kFace, QStringLiteral("255"), b, bounded, true, 1, 1, EffectEdge, 0xFF0000,
               kMaxEdgeWidth);
    EXPECT_EQ(page, bounded);
}

TEST(TextItem, BlackTextIsDrawnNearBlackAndEmptyFacesDrawNothing)
{
    QImage page(400, 60, QImage::Format_RGB32);
    page.fill(Qt::white);
    paintTextItem(page, QRectF(0, 0, 400, 60), 2, QStringLiteral("Arial,24,0,1,0,0,0,0,0"),
                  QStringLiteral("Shadowless"));
    EXPECT_EQ(countColor(page, qRgb(0, 0, 0)), 0);
    EXPECT_GT(countColor(page, qRgb(5, 0, 0)), 0);

    QImage untouched(100, 20, QImage::Format_RGB32);
    untouched.fill(Qt::white);
    const QImage before = untouched;
    paintTextItem(untouched, QRectF(0, 0, 100, 20), 0, QStringLiteral(",24,0,1,0,0,0,0,0"), QStringLiteral("X"));
    EXPECT_EQ(untouched, before);
}

TEST(ShowFont, ControlCharactersDrawNothingAsTheyMeasureNothing)
{
    CFontTexture t = drawer();
    for (int effect : {EffectNone, EffectEdge}) {
        QImage plain(300, 50, QImage::Format_RGB32);
        plain.fill(Qt::white);
        QImage withControls = plain;
        QString a = QStringLiteral("AB 12"), b = QStringLiteral("A\tB\x01 1\x1f"
                                                                "2");
        t.ShowFont(0, 0, 300, 50, kFace, QStringLiteral("255"), a, plain, true, 1, 1, effect, 0xFF0000, 0);
        t.ShowFont(0, 0, 300, 50, kFace, QStringLiteral("255"), b, withControls, true, 1, 1, effect, 0xFF0000, 0);
        EXPECT_EQ(withControls, plain) << "effect " << effect;
    }
}
