// The display's decisions page by page, and the page picture as shown.
#include "run/display/displaymodel.h"

#include "core/modmain.h"
#include "tests/testsupport.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const QString kMedia = QStringLiteral("/m");
const QSet<QString> kFiles = {"/m/bg.mp4", "/m/bg2.mp4", "/m/pip.mp4", "/m/bg.png", "/m/bg2.png", "/abs/own.mp4"};
bool exists(const QString& p)
{
    return kFiles.contains(p);
}

PageMedia media(const char* type, const char* bg, const char* pipOn = "0", const char* pip = "")
{
    return {type, bg, pipOn, pip, "0.1|0.2|0.3|0.4"};
}

char step(VideoStep s)
{
    return s == VideoStep::Start ? 'S' : s == VideoStep::Stop ? 'x' : '-';
}
char step(PictureStep s)
{
    return s == PictureStep::Load ? 'L' : s == PictureStep::Hide ? 'h' : '-';
}

struct Page {
    PageMedia media;
    int box;
    bool seeThrough;
    // background video, PiP video, background picture: S start, x stop,
    // L load, h hide, - keep
    const char* steps;
};

} // namespace

TEST(DisplayModel, PageSequences)
{
    const std::vector<std::pair<const char*, std::vector<Page>>> cases = {
        {"plain colour: box 2, nothing see-through",
         {{media("0", ""), 2, false, "xx-"}, {media("0", "bg.mp4"), 2, false, "xx-"}}},
        {"background video: boxes alternate, started once",
         {{media("1", "bg.mp4"), 0, true, "Sx-"},
          {media("1", "bg.mp4"), 1, true, "-x-"},
          {media("1", "bg.mp4"), 0, true, "-x-"}}},
        {"a changed background video restarts",
         {{media("1", "bg.mp4"), 0, true, "Sx-"}, {media("1", "bg2.mp4"), 1, true, "Sx-"}}},
        {"a page without the background video stops it",
         {{media("1", "bg.mp4"), 0, true, "Sx-"},
          {media("0", "bg.mp4"), 2, false, "xx-"},
          {media("1", "bg.mp4"), 1, true, "Sx-"}}},
        {"a picture background after a video stops the video",
         {{media("1", "bg.mp4"), 0, true, "Sx-"}, {media("1", "bg.png"), 0, false, "xx-"}}},
        {"picture under a PiP: loaded once, reloaded when changed, hidden when unused",
         {{media("1", "bg.png", "1", "pip.mp4"), 0, true, "xSL"},
          {media("1", "bg.png", "1", "pip.mp4"), 1, true, "x--"},
          {media("1", "bg2.png", "1", "pip.mp4"), 0, true, "x-L"},
          {media("1", "bg2.png", "0", "pip.mp4"), 1, false, "xxh"}}},
        {"a missing background picture is not shown", {{media("1", "none.png", "1", "pip.mp4"), 0, true, "xS-"}}},
        {"PiP on with a picture file: no video, still see-through", {{media("0", "", "1", "bg.png"), 1, true, "xx-"}}},
        {"a picture background shows under a PiP that plays no video (the page leaves it black)",
         {{media("1", "bg.png", "1", "bg2.png"), 1, true, "xxL"},
          {media("1", "bg.png", "1", "none.mp4"), 0, true, "xS-"},
          {media("1", "bg.png", "1", ""), 0, true, "xx-"}}},
        {"a PiP video file with the PiP off is stopped",
         {{media("0", "", "1", "pip.mp4"), 0, true, "xS-"}, {media("0", "", "0", "pip.mp4"), 2, false, "xx-"}}},
    };
    for (const auto& [name, pages] : cases) {
        DisplayState state;
        for (size_t i = 0; i < pages.size(); ++i) {
            const Page& p = pages[i];
            const LayoutPlan plan = planLayout(state, p.media, kMedia, exists);
            const std::string steps{step(plan.backgroundVideo), step(plan.pipVideo), step(plan.backgroundPicture)};
            EXPECT_EQ(plan.pageBox, p.box) << name << " page " << i;
            EXPECT_EQ(plan.seeThrough, p.seeThrough) << name << " page " << i;
            EXPECT_EQ(steps, p.steps) << name << " page " << i;
        }
    }
}

TEST(DisplayModel, StartedVideosAndPicturesAreFoundInMedia)
{
    DisplayState state;
    const LayoutPlan plan =
        planLayout(state, {"1", "C:\\Clips\\bg.png", "1", "/abs/own.mp4", "0.5|0.5|0.25|0.25"}, kMedia, exists);
    EXPECT_EQ(plan.backgroundPictureFile, "/m/bg.png");
    EXPECT_EQ(plan.pipVideoFile, "/abs/own.mp4");

    const std::vector<std::pair<const char*, const char*>> paths = {
        {"bg.mp4", "/m/bg.mp4"},          {"C:\\Media\\bg.mp4", "/m/bg.mp4"}, {"/abs/own.mp4", "/abs/own.mp4"},
        {"/abs/gone.mp4", "/m/gone.mp4"}, {"sub\\x.mp4", "/m/x.mp4"},
    };
    for (const auto& [name, path] : paths)
        EXPECT_EQ(modMain::resolveMediaPath(name, kMedia, exists), path) << name;
}

TEST(DisplayModel, MediaNamesAreFoundInAnyLetterCase)
{
    QTemporaryDir dir;
    for (const char* f : {"ball.mp4", "Back.PNG"})
        testsupport::writeAll(dir.filePath(f), "x");
    DisplayState state;
    const LayoutPlan plan =
        planLayout(state, {"1", "C:\\Media\\BACK.png", "1", "BALL.MP4", "0|0|1|1"}, dir.path(), modMain::blnFileExists);
    EXPECT_EQ(plan.pipVideoFile, dir.filePath("ball.mp4"));
    EXPECT_EQ(plan.backgroundPictureFile, dir.filePath("Back.PNG"));
    EXPECT_EQ(plan.backgroundPicture, PictureStep::Load);
}

TEST(DisplayModel, APictureReplacedUnderItsNameIsLoadedAgain)
{
    // The file behind each name, as its stamp tells it.
    QHash<QString, FileStamp> files;
    const auto stampOf = [&files](const QString& p) { return files.value(p); };
    const auto fileTest = [&files](const QString& p) { return files.contains(p); };
    const auto put = [&files](const char* name, quint64 inode, qint64 size) {
        files[kMedia + "/" + name] = FileStamp{true, 1, inode, size, 1000};
    };
    const PageMedia underPiP = media("1", "bg.png", "1", "pip.mp4");
    put("pip.mp4", 1, 10);
    put("bg.png", 2, 100);
    struct Step {
        const char* what;
        std::function<void()> change;
        PictureStep expect;
    } steps[] = {
        {"first page", [] {}, PictureStep::Load},
        {"same file", [] {}, PictureStep::Keep},
        {"renamed over by an upload", [&] { put("bg.png", 3, 100); }, PictureStep::Load},
        {"rewritten in place, another size", [&] { put("bg.png", 3, 120); }, PictureStep::Load},
        {"rewritten in place, same size, later", [&] { files[kMedia + "/bg.png"].modifiedNs += 1; }, PictureStep::Load},
        {"unchanged again", [] {}, PictureStep::Keep},
        {"deleted", [&] { files.remove(kMedia + "/bg.png"); }, PictureStep::Hide},
        {"back again", [&] { put("bg.png", 4, 100); }, PictureStep::Load},
    };
    DisplayState state;
    for (const Step& s : steps) {
        s.change();
        const LayoutPlan plan = planLayout(state, underPiP, kMedia, fileTest, stampOf);
        EXPECT_EQ(step(plan.backgroundPicture), step(s.expect)) << s.what;
        // The PiP video above runs on.
        EXPECT_EQ(plan.pipVideo, &s == steps ? VideoStep::Start : VideoStep::Keep) << s.what;
    }
}

TEST(DisplayModel, PiPRegionReadsDotsWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German));
    const PiPRegion r = parsePiPRegion("0.25|.5|1|0,75");
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(r.top, 0.25);
    EXPECT_EQ(r.left, 0.5);
    EXPECT_EQ(r.height, 1.0);
    EXPECT_FALSE(r.width.has_value()); // "0,75" is no number

    const PiPRegion shortOne = parsePiPRegion("0.1|x");
    EXPECT_EQ(shortOne.top, 0.1);
    EXPECT_FALSE(shortOne.left || shortOne.height || shortOne.width);
}

TEST(PageForScreen, OnlyPureBlackIsSeeThrough)
{
    QImage page(2, 2, QImage::Format_RGB32);
    page.setPixel(0, 0, qRgb(0, 0, 0));
    page.setPixel(1, 0, qRgb(1, 0, 0));
    page.setPixel(0, 1, qRgb(0, 0, 1));
    page.setPixel(1, 1, qRgb(255, 255, 255));

    const QImage cut = pageForScreen(page, 0, page.size(), true);
    EXPECT_EQ(qAlpha(cut.pixel(0, 0)), 0);
    EXPECT_EQ(cut.pixel(1, 0), qRgb(1, 0, 0));
    EXPECT_EQ(cut.pixel(0, 1), qRgb(0, 0, 1));

    const QImage whole = pageForScreen(page, 0, page.size(), false);
    EXPECT_FALSE(whole.hasAlphaChannel());
    EXPECT_EQ(whole.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(PageForScreen, TurnsClockwiseThenFillsTheScreen)
{
    // A portrait page: red top half, blue bottom half.
    QImage page(100, 200, QImage::Format_RGB32);
    page.fill(Qt::blue);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            page.setPixel(x, y, qRgb(255, 0, 0));
    struct Case {
        int degrees;
        QSize screen;
        QPoint redAt, blueAt;
    };
    const std::vector<Case> cases = {
        {0, {50, 50}, {25, 10}, {25, 40}},
        {90, {400, 100}, {350, 50}, {50, 50}}, // the top goes to the right
        {270, {400, 100}, {50, 50}, {350, 50}},
        {180, {100, 200}, {50, 150}, {50, 50}},
    };
    for (const Case& c : cases) {
        const QImage shown = pageForScreen(page, c.degrees, c.screen, false);
        EXPECT_EQ(shown.size(), c.screen) << c.degrees;
        EXPECT_EQ(shown.pixel(c.redAt), qRgb(255, 0, 0)) << c.degrees;
        EXPECT_EQ(shown.pixel(c.blueAt), qRgb(0, 0, 255)) << c.degrees;
    }
    EXPECT_TRUE(pageForScreen(QImage(), 90, {10, 10}, true).isNull());
}
