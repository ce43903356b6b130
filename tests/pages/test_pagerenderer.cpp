#include "pagestest.h"

#include "run/pages/pagerenderer.h"

#include <QImage>

using namespace pagestest;
using pages::PageRenderer;

TEST(RegionBox, FractionsOfThePage)
{
    EXPECT_EQ(*pages::regionBox("0|0|0.04|0.72", 768, 1024), QRectF(0, 0, 552.96f, 40.96f));
    EXPECT_EQ(*pages::regionBox("0.5|0.25|x|0.5", 100, 200), QRectF(25, 100, 50, 0));
    EXPECT_EQ(*pages::regionBox("0.333|0|0|0", 1000, 1000), QRectF(0, 333, 0, 0));
    EXPECT_FALSE(pages::regionBox("0|0|1", 100, 100));
}

class RendererTest : public PagesTest {
protected:
    static bool anyPixelOtherThan(const QImage& img, QRgb colour)
    {
        QImage flat(img.size(), img.format());
        flat.fill(colour);
        return img != flat;
    }
    PageRenderer renderer;
    templates::Template plain = simpleTemplate(1);
};

TEST_F(RendererTest, RenderTextureRefusesBadItems)
{
    ASSERT_TRUE(renderer.CreateORVThemeLayout(QString(), plain));
    const QString font = "Arial,18,16777215,1,0,0,0,1,0";
    struct Case {
        const char *text, *align, *region;
        QString font;
        bool ok;
        bool draws;
    } const cases[] = {
        {"Hello", "2", "0|0|0.1|1", font, true, true},
        {"Hello", "1.5", "0|0|0.1|1", font, true, true},
        {"   ", "0", "0|0|0.1|1", font, true, false},
        {"Hello", "0", "0|0|0.1|1", ",18,255,1,0,0,0,0,0", true, false},
        {"Hello", "", "0|0|0.1|1", font, false, false},
        {"Hello", "left", "0|0|0.1|1", font, false, false},
        {"Hello", "0", "0|0|0.1", font, false, false},
        {"Hello", "0", "0|0|0.1|1", "Arial,18,255,1,0,0,0,0", false, false},
        {"Hello", "0", "0|0|0.1|1", "Arial,abc,255,1,0,0,0,0,0", false, false},
    };
    for (const Case& c : cases) {
        renderer.page().fill(Qt::black);
        StatusLog::instance().clear();
        EXPECT_EQ(renderer.RenderTexture(c.text, c.align, c.region, c.font), c.ok) << c.text << "/" << c.align;
        EXPECT_EQ(anyPixelOtherThan(renderer.page(), qRgb(0, 0, 0)), c.draws) << c.text << "/" << c.align;
        if (!c.ok) {
            EXPECT_EQ(messages().filter("Error creating ORV Texture.").size(), 1);
        }
    }
    gblnStop = true;
    EXPECT_FALSE(renderer.RenderTexture("Hello", "0", "0|0|0.1|1", font));
    EXPECT_EQ(messages().last(), "Create ORV Texture process stop.");
    EXPECT_FALSE(renderer.CreateORVThemeLayout(QString(), plain));
    EXPECT_EQ(messages().last(), "Create ORV Theme Layout process stop.");
}

TEST_F(RendererTest, FailuresNameTheirCauseOncePerPage)
{
    // A face of 10,000 characters: the template reader keeps 2,047 characters
    // of the line, which leaves the descriptor one field.
    templates::Template long_ = simpleTemplate(1);
    *long_.line(0, 3, 0) = QString(10000, 'A') + ",18,255,1,0,0,0,0,0";
    const QString path = QDir(gstrDataFolder).filePath("long.ORVT");
    ASSERT_TRUE(templates::writeTemplateFile(path, long_));
    const QString cutFont = *templates::loadTemplateFresh(path)->line(0, 3, 0);
    const QString font = "Arial,18,255,1,0,0,0,0,0";
    struct Case {
        const char *width, *align, *region;
        QString font;
        QString cause;
    } const cases[] = {
        {"768", "0", "0|0|0.1|1", cutFont, "!!!The font \"" + QString(80, 'A') + "...\" has 1 of the 9 fields."},
        {"768", "left", "0|0|0.1|1", font, "!!!The alignment \"left\" is not a number."},
        {"768", "0", "0|0|0.1", font, "!!!The region \"0|0|0.1\" has 3 of the 4 fields."},
        {"768", "0", "0|0|0.1|1", "Arial,big,255,1,0,0,0,0,0", "!!!The font size \"big\" is not a number."},
        {"768", "0", "0|0|0.1|1", "Arial,18,255,1,0,0,0,0",
         "!!!The font \"Arial,18,255,1,0,0,0,0\" has 8 of the 9 fields."},
        {"%2wide", "0", "0|0|0.1|1", font, "!!!The screen Width \"%2wide\" is not a usable page size."},
    };
    const QString error = "Error creating ORV Texture.";
    for (const Case& c : cases) {
        for (int page = 0; page < 2; ++page) {
            gstrScreenWidth = "768";
            StatusLog::instance().clear();
            renderer.CreateORVThemeLayout(QString(), plain);
            gstrScreenWidth = c.width;
            for (int item = 0; item < 3; ++item)
                EXPECT_FALSE(renderer.RenderTexture("Hello", c.align, c.region, c.font));
            const QStringList log = messages();
            ASSERT_EQ(log.count(error), 1) << c.cause.toStdString();
            const qsizetype at = log.indexOf(error);
            ASSERT_LT(at + 1, log.size());
            EXPECT_EQ(log[at + 1], c.cause);
            EXPECT_EQ(log.filter("!!!").size(), 1) << c.cause.toStdString();
        }
    }
}

TEST_F(RendererTest, WholePageOnDiskThePlayersCopyAndFailedWrites)
{
    gstrScreenWidth = "120";
    gstrScreenHeight = "200";
    gstrStandAlone = "0";
    QDir().mkpath(gstrPlayerFolder + "/Media");
    plain.gstrBackgroundColor = "&H0000FF";
    ASSERT_TRUE(renderer.CreateORVThemeLayout(QString(), plain));
    pages::PageSave s = renderer.SaveThemeLayoutImage("C:\\Elsewhere\\page.png");
    ASSERT_TRUE(s.saved);
    EXPECT_EQ(s.path, QDir(gstrMediaFolder).filePath("page.png"));
    const QImage back(s.path);
    EXPECT_EQ(back.size(), QSize(120, 200));
    EXPECT_EQ(back.pixel(60, 100), qRgb(255, 0, 0));
    EXPECT_EQ(s.playerName, "page.png");
    EXPECT_EQ(testsupport::readAll(gstrPlayerFolder + "/Media/page.png"), testsupport::readAll(s.path));
    EXPECT_TRUE(QDir(gstrMediaFolder).entryList(QDir::Files) == QStringList{"page.png"});

    // Failed writes are reported, and the player is not told of a missing copy.
    QDir(gstrPlayerFolder).removeRecursively();
    s = renderer.SaveThemeLayoutImage("page.png");
    EXPECT_TRUE(s.saved);
    EXPECT_TRUE(s.playerName.isEmpty());
    EXPECT_EQ(messages().last(), "!!!Error saving page image " + gstrPlayerFolder + "/Media/page.png.");
    QDir(gstrMediaFolder).removeRecursively();
    s = renderer.SaveThemeLayoutImage("page.png");
    EXPECT_FALSE(s.saved);
    EXPECT_EQ(messages().last(), "!!!Error saving page image " + gstrMediaFolder + "/page.png.");
}

TEST_F(RendererTest, PageImageNames)
{
    gstrScreenWidth = "40";
    gstrScreenHeight = "30";
    ASSERT_TRUE(renderer.CreateORVThemeLayout(QString(), plain));
    struct Case {
        const char* given;
        const char* written; // empty: refused
        QByteArray magic;
    } const cases[] = {
        {"a/b\\shot.jpg", "shot.jpg", "\xFF\xD8"},
        {"shot.JPEG", "shot.JPEG", "\xFF\xD8"},
        {"shot.bmp", "shot.bmp", "BM"},
        {"plain", "plain", "\x89PNG"},
        {"odd.xyz", "odd.xyz", "\x89PNG"},
        {"C:\\", "", ""},
        {"..", "", ""},
        {"a/.", "", ""},
    };
    for (const Case& c : cases) {
        StatusLog::instance().clear();
        const pages::PageSave s = renderer.SaveThemeLayoutImage(c.given);
        EXPECT_EQ(s.saved, *c.written != 0) << c.given;
        if (!s.saved) {
            EXPECT_TRUE(messages().last().startsWith("!!!")) << c.given;
            continue;
        }
        const QString path = QDir(gstrMediaFolder).filePath(c.written);
        EXPECT_EQ(s.path, path);
        EXPECT_TRUE(testsupport::readAll(path).startsWith(c.magic)) << c.given;
        EXPECT_EQ(QImage(path).size(), QSize(40, 30)) << c.given;
    }
}

TEST_F(RendererTest, BackgroundsOfThePage)
{
    gstrScreenWidth = "64";
    gstrScreenHeight = "48";
    QImage green(8, 8, QImage::Format_RGB32);
    green.fill(qRgb(0, 200, 0));
    const QString picture = QDir(gstrMediaFolder).filePath("bg.png");
    ASSERT_TRUE(green.save(picture));
    struct Case {
        const char *type, *file, *pip;
        QRgb centre;
    } const cases[] = {
        {"1", "bg.png", "0", qRgb(0, 200, 0)},        {"1", "bg.png", "1", qRgb(0, 0, 0)},
        {"1", "missing.png", "0", qRgb(0, 0, 0)},     {"1", "clip.mp4", "0", qRgb(0, 0, 0)},
        {"0", "bg.png", "0", qRgb(0x33, 0x22, 0x11)},
    };
    for (const Case& c : cases) {
        plain.gstrBackgroundType = c.type;
        plain.gstrPiPOn = c.pip;
        plain.gstrBackgroundColor = "&H112233";
        const QString file = QDir(gstrMediaFolder).filePath(c.file);
        ASSERT_TRUE(renderer.CreateORVThemeLayout(file, plain)) << c.file;
        EXPECT_EQ(renderer.page().size(), QSize(64, 48));
        EXPECT_EQ(renderer.page().pixel(32, 24), c.centre) << c.type << c.file << c.pip;
    }
    plain.gstrBackgroundType = "0";
    plain.gstrBackgroundColor = "blue";
    EXPECT_FALSE(renderer.CreateORVThemeLayout(QString(), plain));
    EXPECT_EQ(messages().mid(messages().size() - 2),
              QStringList({"Error creating ORV Theme Layout.", "!!!The background colour \"blue\" is not a colour."}));
    // A page size that can't be read or is too large leaves no trace of the last page.
    plain.gstrBackgroundColor = "&H112233";
    for (const char* width : {"wide", "8193"}) {
        gstrScreenWidth = "64";
        ASSERT_TRUE(renderer.CreateORVThemeLayout(QString(), plain));
        gstrScreenWidth = width;
        EXPECT_FALSE(renderer.CreateORVThemeLayout(QString(), plain)) << width;
        EXPECT_FALSE(anyPixelOtherThan(renderer.page(), qRgb(0, 0, 0))) << width;
    }
}
