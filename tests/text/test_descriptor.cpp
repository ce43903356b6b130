// The font descriptor: writing, reading back, what a page takes of it, and
// replay of the reader's fuzz corpus.
#include "tests/testsupport.h"
#include "text/fontdescriptor.h"

#include <gtest/gtest.h>

int fuzzFontDescriptor(const uint8_t* data, size_t size);

TEST(FontDescriptor, DefaultRoundTrip)
{
    FontDescriptor d;
    EXPECT_EQ(d.toString(), kDefaultFontDescriptor);
    FontDescriptor back;
    back.FontName = QStringLiteral("x");
    ASSERT_TRUE(back.read(kDefaultFontDescriptor));
    EXPECT_EQ(back, d);

    FontDescriptor t;
    ASSERT_TRUE(t.read(QStringLiteral("Times New Roman,24,255,0,2,1,0,3,123")));
    EXPECT_EQ(t.Italic, 2); // grey stays grey
    EXPECT_EQ(t.toString(), QStringLiteral("Times New Roman,24,255,0,2,1,0,3,123"));
}

TEST(FontDescriptor, EmptyEffectAndOddValues)
{
    FontDescriptor d;
    d.Effect = -1; // no effect option chosen
    EXPECT_EQ(d.toString(), QStringLiteral("Arial,18,16711680,1,0,0,0,,65535"));
    FontDescriptor back;
    ASSERT_TRUE(back.read(d.toString()));
    EXPECT_EQ(back.Effect, EffectNone);

    ASSERT_TRUE(back.read(QStringLiteral("Arial,18,1,7,-1,2,1,9,5")));
    EXPECT_EQ(back.toString(), QStringLiteral("Arial,18,1,0,0,2,1,0,5"));

    // Colours are 24-bit values whatever the stored number says.
    ASSERT_TRUE(back.read(QStringLiteral("Arial,18,-1,1,0,0,0,0,33554431")));
    EXPECT_EQ(back.FontColor, 0xFFFFFFu);
    EXPECT_EQ(back.EffectColor, 0xFFFFFFu);
    back.FontColor = 0xFF123456u;
    EXPECT_TRUE(back.toString().contains(QStringLiteral(",1193046,")));
}

TEST(FontDescriptor, ShortTextsLoadAsFarAsTheyGo)
{
    FontDescriptor d;
    d.FontName = QStringLiteral("Keep");
    EXPECT_FALSE(d.read(QString()));
    EXPECT_FALSE(d.read(QStringLiteral("NoComma")));
    EXPECT_EQ(d.FontName, QStringLiteral("Keep"));

    d.Italic = 1;
    ASSERT_TRUE(d.read(QStringLiteral("Verdana,30,255,0")));
    // Missing fields keep their values.
    EXPECT_EQ(d.toString(), QStringLiteral("Verdana,30,255,0,1,0,0,0,65535"));
}

TEST(FontDescriptor, SeparatorsAreRemovedFromFaceAndSize)
{
    FontDescriptor d;
    d.FontName = QStringLiteral("Ari,al`|\r\n");
    d.FontSize = QStringLiteral(" 2,4|");
    EXPECT_EQ(d.toString(), QStringLiteral("Arial, 24,16711680,1,0,0,0,0,65535"));
    EXPECT_EQ(cleanDescriptorText(QStringLiteral("a`b|c,d\re\nf")), QStringLiteral("abcdef"));
}

TEST(FontDescriptor, PageTakesOnlyExactOnesAsStyles)
{
    PageFont p = pageFontOf(QStringLiteral("Arial,20.5,65535,1,2, 1,1,1,255"));
    EXPECT_EQ(p.points, 20); // half to even
    EXPECT_TRUE(p.bold);
    EXPECT_FALSE(p.italic || p.underline);
    EXPECT_EQ(p.effect, EffectEdge);

    p = pageFontOf(QStringLiteral("Arial"));
    EXPECT_EQ(p.points, 0);
    EXPECT_FALSE(p.bold);
}

TEST(FontDescriptor, FuzzCorpusReplays)
{
    const QStringList files = testsupport::fuzzCorpus(QStringLiteral("fuzz_fontdescriptor"));
    ASSERT_FALSE(files.isEmpty());
    for (const QString& f : files) {
        const QByteArray bytes = testsupport::readAll(f);
        EXPECT_EQ(fuzzFontDescriptor(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0)
            << f.toStdString();
    }
}
