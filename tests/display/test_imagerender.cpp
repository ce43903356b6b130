// The display window with fake players: what shows, what plays, and how it
// closes.
#include "run/display/frmimagerender.h"

#include "run/pages/pagerenderer.h"

#include "core/globals.h"
#include "platform/desktopservices.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "tests/testsupport.h"

#include <QCursor>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsVideoItem>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class ImageRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gblnStop = false;
        gstrMediaFolder = dir.path();
        gstrImageFile = "Page.png";
        gstrRotation = "0";
        for (const char* f : {"bg.mp4", "pip.mp4"})
            testsupport::writeAll(dir.filePath(f), "x");
        display = std::make_unique<frmImageRender>([this] { ++stops; }, [this] { return media; },
                                                   [this](QGraphicsVideoItem&) {
                                                       auto p = std::make_unique<testsupport::FakeVideo>();
                                                       p->playable = {dir.filePath("bg.mp4"), dir.filePath("pip.mp4")};
                                                       players.push_back(p.get());
                                                       return p;
                                                   });
    }
    void TearDown() override
    {
        display.reset();
        gblnStop = false;
    }
    // A page of the screen's size: red, with a black square at its top left.
    void writePage()
    {
        const QSize size = display->window().size();
        QImage page(size.isEmpty() ? QSize(64, 64) : size, QImage::Format_RGB32);
        page.fill(Qt::red);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                page.setPixel(x, y, qRgb(0, 0, 0));
        page.save(dir.filePath("Page.png"));
    }
    void showPage(const PageMedia& m)
    {
        media = m;
        display->pageReady();
        writePage();
        display->Timer1_Timer();
    }
    testsupport::FakeVideo& background() { return *players.at(0); }
    testsupport::FakeVideo& pip() { return *players.at(1); }

    QTemporaryDir dir;
    PageMedia media;
    int stops = 0;
    std::vector<testsupport::FakeVideo*> players;
    std::unique_ptr<frmImageRender> display;
    testsupport::HeldKeys keys;
};

} // namespace

TEST_F(ImageRenderTest, BackgroundVideoRunsOnAcrossPagesAndShowsThroughBlack)
{
    showPage({"1", "bg.mp4", "0", "", ""});
    EXPECT_EQ(background().playState, VideoPlayer::State::Playing);

    // Black page pixels show the video's (dark grey) host; others the page.
    const QImage shot = display->view().grab().toImage();
    EXPECT_EQ(shot.pixel(5, 5), qRgb(64, 64, 64));
    EXPECT_EQ(shot.pixel(40, 40), qRgb(255, 0, 0));

    showPage({"1", "bg.mp4", "0", "", ""});
    EXPECT_EQ(background().calls.filter(QRegularExpression("^load ")).size(), 1);

    // Looping: at the end the tick rewinds and plays again.
    background().at = background().length;
    background().calls.clear();
    display->Timer1_Timer();
    EXPECT_EQ(background().calls, (QStringList{"seek 0", "play"}));
}

TEST_F(ImageRenderTest, AVideoFileReplacedOrDeletedUnderItsNameIsLetGoAndOpenedAgain)
{
    // A restarted run shows its next page on the display still open.
    const PageMedia both{"1", "bg.mp4", "1", "pip.mp4", "0.5|0.25|0.5|0.5"};
    const auto loads = [](testsupport::FakeVideo& v) { return v.calls.filter(QRegularExpression("^load ")).size(); };
    for (const char* name : {"bg.mp4", "pip.mp4"}) {
        SCOPED_TRACE(name);
        display->close();
        showPage(both);
        testsupport::FakeVideo& video = QLatin1String(name) == QLatin1String("bg.mp4") ? background() : pip();
        testsupport::FakeVideo& other = &video == &background() ? pip() : background();
        const qsizetype before = loads(video), otherBefore = loads(other);

        // An upload renames a new file over the old one.
        const QString path = dir.filePath(name);
        testsupport::writeAll(path + ".new", "another clip");
        ASSERT_TRUE(QFile::remove(path) && QFile::rename(path + ".new", path));
        showPage(both);
        EXPECT_EQ(loads(video), before + 1);
        EXPECT_EQ(video.playState, VideoPlayer::State::Playing);
        EXPECT_EQ(loads(other), otherBefore);
        showPage(both);
        EXPECT_EQ(loads(video), before + 1);

        // Deleted: nothing is kept open, and a new upload plays again.
        ASSERT_TRUE(QFile::remove(path));
        video.playable.removeAll(path);
        showPage(both);
        EXPECT_TRUE(video.file.isEmpty());
        testsupport::writeAll(path, "x");
        video.playable << path;
        showPage(both);
        EXPECT_EQ(video.file, path);
        EXPECT_EQ(video.playState, VideoPlayer::State::Playing);
    }

    // A page that no longer plays a video lets its file go.
    showPage({"0", "", "0", "", ""});
    EXPECT_TRUE(background().file.isEmpty() && pip().file.isEmpty());
}

TEST_F(ImageRenderTest, APlayerIsMadeOnlyWhenAPageFirstPlaysAVideoInItsLayer)
{
    // Pages without a playable video make no player (and so start no media
    // framework and open no audio device).
    for (const PageMedia& m : {PageMedia{"0", "", "0", "", ""}, PageMedia{"1", "photo.png", "0", "", ""},
                               PageMedia{"1", "photo.png", "1", "logo.png", "0|0|0.5|0.5"},
                               PageMedia{"1", "missing.mp4", "1", "missing.mp4", "0|0|0.5|0.5"}})
        showPage(m);
    EXPECT_TRUE(players.empty());

    showPage({"1", "bg.mp4", "0", "", ""});
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(background().playState, VideoPlayer::State::Playing);
    // The PiP's layer is made at the PiP's place.
    showPage({"1", "bg.mp4", "1", "pip.mp4", "0.5|0.25|0.5|0.5"});
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(pip().playState, VideoPlayer::State::Playing);
    const auto videos = [&] {
        QList<QRectF> r;
        for (QGraphicsItem* item : display->view().scene()->items(Qt::AscendingOrder))
            if (auto* video = dynamic_cast<QGraphicsVideoItem*>(item))
                r << video->boundingRect();
        return r;
    };
    EXPECT_EQ(videos(), (QList<QRectF>{QRectF(QPointF(0, 0), display->window().size()), QRectF(display->pipRect())}));

    // Each layer keeps its player, also when the display closes and opens again.
    display->close();
    showPage({"1", "bg.mp4", "1", "pip.mp4", "0.5|0.25|0.5|0.5"});
    EXPECT_EQ(players.size(), 2u);
}

TEST_F(ImageRenderTest, APageWithoutTheVideosStopsThem)
{
    showPage({"1", "bg.mp4", "1", "pip.mp4", "0.5|0.25|0.5|0.5"});
    const QSize s = display->window().size();
    EXPECT_EQ(display->pipRect(), QRect(s.width() / 4, s.height() / 2, s.width() / 2, s.height() / 2));
    EXPECT_EQ(pip().playState, VideoPlayer::State::Playing);

    showPage({"0", "bg.mp4", "0", "pip.mp4", ""});
    EXPECT_EQ(background().playState, VideoPlayer::State::Stopped);
    EXPECT_EQ(pip().playState, VideoPlayer::State::Stopped);
    // Without videos black is just black.
    EXPECT_EQ(display->view().grab().toImage().pixel(5, 5), qRgb(0, 0, 0));
}

TEST_F(ImageRenderTest, AnUnplayableVideoIsLoggedButOnlyEscapeStopsTheRun)
{
    showPage({"1", "broken.mp4", "0", "", ""});
    EXPECT_FALSE(display->backgroundVideoShown());
    EXPECT_TRUE(StatusLog::instance().lines().last().endsWith(" - ctlDXShow.HasVideo = False"));
    EXPECT_TRUE(display->isOpen());

    // Escape stops the run and the window closes.
    showPage({"1", "bg.mp4", "0", "", ""});
    EXPECT_EQ(display->window().cursor().shape(), Qt::BlankCursor);
    keys.escape = true;
    display->Timer1_Timer();
    EXPECT_TRUE(gblnStop);
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(display->window().isVisible());
    EXPECT_NE(display->window().cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(background().playState, VideoPlayer::State::Stopped);

    // Opened again it starts afresh; a Stop of the run closes it quietly.
    keys.escape = false;
    gblnStop = false;
    showPage({"1", "bg.mp4", "0", "", ""});
    EXPECT_EQ(display->shownPageBox(), 0);
    display->close();
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(display->window().isVisible());
}

TEST_F(ImageRenderTest, TheStopFlagClosesOnTheNextTick)
{
    // An Image File stored as a path shows the page saved under its name.
    gstrImageFile = "C:\\Orvane\\Media\\Page.png";
    showPage({"0", "", "0", "", ""});
    EXPECT_EQ(display->view().grab().toImage().pixel(40, 40), qRgb(255, 0, 0));
    gblnStop = true;
    display->pageReady();
    display->Timer1_Timer();
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(display->isOpen());
}

TEST_F(ImageRenderTest, TheBusyPointerStaysHiddenOnTheDisplay)
{
    desktopservices::install();
    services::setKeys(&keys);
    const auto busyPointer = [] {
        BusyGuard busy;
        return QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::ArrowCursor;
    };
    showPage({"0", "", "0", "", ""});
    EXPECT_EQ(busyPointer(), Qt::BlankCursor);
    display->close();
    EXPECT_EQ(busyPointer(), Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    services::setMessages(nullptr);
    services::setFiles(nullptr);
    services::setColors(nullptr);
    services::setBusyHook(nullptr);
}

TEST_F(ImageRenderTest, EveryPictureKindShowsUnderAPiPVideoAndAReplacedOneShowsAnew)
{
    display->open();
    const QSize size = display->window().size();
    // Pictures of the screen's size (drawn unscaled), each of one colour.
    // A palette colour may be marked see-through (a PNG's tRNS).
    const auto picture = [&size](QImage::Format format, QRgb colour, bool keyed = false) {
        QImage p(size, format);
        if (format == QImage::Format_Mono || format == QImage::Format_Indexed8) {
            p.setColorTable({qRgb(0, 0, 0), keyed ? qRgba(qRed(colour), qGreen(colour), qBlue(colour), 0) : colour});
            p.fill(1);
        } else {
            p.fill(QColor::fromRgb(colour));
        }
        return p;
    };
    struct Kind {
        const char* file;
        QImage::Format format;
        QRgb colour;
        bool keyed;
    } kinds[] = {
        {"flat.png", QImage::Format_Mono, qRgb(0, 0, 255), false}, // a 1-bit palette PNG
        {"keyed.png", QImage::Format_Mono, qRgb(128, 0, 255), true},
        {"palette.png", QImage::Format_Indexed8, qRgb(0, 160, 0), false},
        {"grey.png", QImage::Format_Grayscale8, qRgb(180, 180, 180), false},
        {"alpha.png", QImage::Format_ARGB32, qRgb(200, 100, 0), false},
        {"photo.jpg", QImage::Format_RGB32, qRgb(0, 200, 200), false},
        {"plain.bmp", QImage::Format_RGB32, qRgb(120, 0, 120), false},
    };
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) < 12 && std::abs(qGreen(a) - qGreen(b)) < 12 &&
               std::abs(qBlue(a) - qBlue(b)) < 12;
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.file);
        ASSERT_TRUE(picture(k.format, k.colour, k.keyed).save(dir.filePath(k.file)));
        // The page draws the picture in this colour.
        pages::PageRenderer page;
        ASSERT_TRUE(page.LoadThemeBackground(dir.filePath(k.file)));
        ASSERT_TRUE(near(page.page().pixel(5, 5), k.colour)) << std::hex << page.page().pixel(5, 5);
        showPage({"1", k.file, "1", "pip.mp4", "0.5|0.5|0.25|0.25"});
        ASSERT_TRUE(display->backgroundPictureShown());
        // The page's black corner shows the picture.
        const QRgb shown = display->view().grab().toImage().pixel(5, 5);
        EXPECT_TRUE(near(shown, k.colour)) << std::hex << shown;
    }

    // An upload renames a new picture over the one on screen.
    const QString path = dir.filePath("flat.png");
    showPage({"1", "flat.png", "1", "pip.mp4", "0.5|0.5|0.25|0.25"});
    ASSERT_TRUE(picture(QImage::Format_RGB32, qRgb(255, 255, 0)).save(path + ".new.png"));
    ASSERT_TRUE(QFile::remove(path) && QFile::rename(path + ".new.png", path));
    showPage({"1", "flat.png", "1", "pip.mp4", "0.5|0.5|0.25|0.25"});
    EXPECT_EQ(display->view().grab().toImage().pixel(5, 5), qRgb(255, 255, 0));
}

TEST_F(ImageRenderTest, TheWindowFollowsTheScreensSize)
{
    // Without a window manager only the display itself can follow a new
    // screen size.
    showPage({"0", "", "0", "", ""});
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(screen);
    const QRect whole = display->window().geometry();
    const QRect resized(0, 0, whole.width() / 2, whole.height() / 2);
    Q_EMIT screen->geometryChanged(resized);
    EXPECT_EQ(display->window().geometry(), resized);
    // The next page fills the new size.
    showPage({"0", "", "0", "", ""});
    EXPECT_EQ(display->view().scene()->sceneRect().size(), QSizeF(resized.size()));
    EXPECT_EQ(display->view().grab().toImage().pixel(resized.width() - 2, resized.height() - 2), qRgb(255, 0, 0));

    // A closed display stays closed.
    display->close();
    Q_EMIT screen->geometryChanged(whole);
    EXPECT_FALSE(display->window().isVisible());
}

TEST_F(ImageRenderTest, ThePictureUnderAPiPVideoIsFittedAgainToANewScreenSizeOrRotation)
{
    // A picture blue on its left half and green on its right, under pages
    // that are black (see-through) all over.
    display->open();
    const QSize whole = display->window().size();
    QImage split(whole, QImage::Format_RGB32);
    split.fill(qRgb(0, 0, 255));
    for (int y = 0; y < split.height(); ++y)
        for (int x = split.width() / 2; x < split.width(); ++x)
            split.setPixel(x, y, qRgb(0, 255, 0));
    ASSERT_TRUE(split.save(dir.filePath("split.png")));
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(screen);
    struct Step {
        const char* what;
        std::function<void()> change;
        QRgb topRight; // shown near the top right corner of the screen
    } steps[] = {
        {"as opened", [] {}, qRgb(0, 255, 0)},
        {"turned a quarter clockwise", [] { gstrRotation = "90"; }, qRgb(0, 0, 255)},
        {"upright again", [] { gstrRotation = "0"; }, qRgb(0, 255, 0)},
        {"a smaller screen", [&] { Q_EMIT screen->geometryChanged(QRect(QPoint(0, 0), whole / 2)); }, qRgb(0, 255, 0)},
        {"the whole screen again", [&] { Q_EMIT screen->geometryChanged(QRect(QPoint(0, 0), whole)); },
         qRgb(0, 255, 0)},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.change();
        media = {"1", "split.png", "1", "pip.mp4", "0.8|0.8|0.1|0.1"};
        display->pageReady();
        const QSize size = display->window().size();
        QImage page(size, QImage::Format_RGB32);
        page.fill(qRgb(0, 0, 0));
        ASSERT_TRUE(page.save(dir.filePath("Page.png")));
        display->Timer1_Timer();
        ASSERT_TRUE(display->backgroundPictureShown());
        EXPECT_EQ(display->view().grab().toImage().pixel(size.width() - 5, 5), s.topRight);
    }
}
