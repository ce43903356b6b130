// Real playback through Qt Multimedia: clips made here with GStreamer's test
// source open, report their length, play and loop.
#include "run/display/classactivemovie.h"
#include "run/display/displaymodel.h"
#include "run/display/frmimagerender.h"
#include "run/display/qtvideoplayer.h"

#include "core/globals.h"
#include "platform/statuslog.h"

#include "tests/testsupport.h"

#include <QDir>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsVideoItem>
#include <QProcess>
#include <QStandardPaths>

#include <functional>

#include <gtest/gtest.h>

namespace {

// A one-second clip of 160x120 at 25 frames a second; false when it could
// not be made.
bool makeClip(const QString& path, const QString& encoder)
{
    QStringList args = {"-q", "videotestsrc", "num-buffers=25", "!", "video/x-raw,width=160,height=120,framerate=25/1",
                        "!"};
    args += encoder.split(' ');
    args += {"!", "filesink", "location=" + path};
    QProcess gst;
    gst.start(QStringLiteral("gst-launch-1.0"), args);
    return gst.waitForFinished(60000) && gst.exitCode() == 0 && QFileInfo(path).size() > 0;
}

const char* const kMp4 = "x264enc ! h264parse ! mp4mux";

// A folder for the clips, and one player over a video item of a scene.
class Playback : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("gst-launch-1.0").isEmpty())
            GTEST_SKIP() << "gst-launch-1.0 is not installed (tools/setup installs it)";
    }

    QTemporaryDir dir;
    QGraphicsScene scene;
    QGraphicsVideoItem* item = [this] {
        auto* video = new QGraphicsVideoItem;
        scene.addItem(video);
        return video;
    }();
    QtVideoPlayer player{*item};
    ClassActiveMovie movie{player};
};

} // namespace

TEST_F(Playback, ClipsOpenPlayAndLoop)
{
    const std::vector<std::pair<const char*, const char*>> clips = {
        {"clip.mp4", kMp4},
        {"clip.webm", "vp8enc ! webmmux"},
    };

    for (const auto& [name, encoder] : clips) {
        const QString file = dir.filePath(name);
        ASSERT_TRUE(makeClip(file, encoder)) << name;

        ASSERT_TRUE(movie.SetNewVideo(file)) << name;
        movie.setFileName(file);
        EXPECT_TRUE(movie.HasVideo()) << name;
        EXPECT_NEAR(movie.Duration(), 1.0, 0.1) << name;
        EXPECT_TRUE(item->isVisible()) << name;
        movie.setVolume(0);
        movie.setSpeed(1.0);
        movie.Play();
        EXPECT_EQ(movie.State(), 1) << name;
        EXPECT_TRUE(testsupport::waitFor([&] { return movie.Position() > 0.2; }, 5000)) << name;
        EXPECT_TRUE(testsupport::waitFor([&] { return atEnd(movie.Position(), movie.Duration()); }, 5000)) << name;

        // The display's loop: rewind and play again.
        movie.setPosition(0);
        movie.Play();
        EXPECT_TRUE(testsupport::waitFor([&] { return movie.State() == 1 && movie.Position() < 0.9; }, 5000)) << name;
        EXPECT_TRUE(testsupport::waitFor([&] { return movie.Position() > 0.2; }, 5000)) << name;
        movie.StopPlaying();
    }

    // A clip replaced under its name: opened again, the old file is let go.
    const QString clip = dir.filePath("clip.mp4");
    const auto holdsDeleted = [&clip] {
        const QDir fds(QStringLiteral("/proc/self/fd"));
        for (const QString& fd : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
            if (QFile::symLinkTarget(fds.filePath(fd)).startsWith(clip + " (deleted)"))
                return true;
        return false;
    };
    ASSERT_TRUE(movie.SetNewVideo(clip));
    movie.Play();
    ASSERT_TRUE(QFile::copy(dir.filePath("clip.webm"), clip + ".new"));
    ASSERT_TRUE(QFile::remove(clip) && QFile::rename(clip + ".new", clip));
    ASSERT_TRUE(movie.SetNewVideo(clip));
    EXPECT_TRUE(testsupport::waitFor([&] { return !holdsDeleted(); }, 5000));
    movie.UnloadMovieObject();

    // A file that is not a video opens as nothing.
    testsupport::writeAll(dir.filePath("junk.mp4"), QByteArray(4096, 'j'));
    EXPECT_FALSE(movie.SetNewVideo(dir.filePath("junk.mp4")));
    EXPECT_FALSE(movie.SetNewVideo(dir.filePath("missing.mp4")));
    EXPECT_EQ(movie.Duration(), 0);
}

TEST_F(Playback, TheDisplayPlaysAGoodVideoAfterABrokenOneOnEitherLayer)
{
    // Each layer has one player: a file that fails never decides for the next.
    ASSERT_TRUE(makeClip(dir.filePath("good.mp4"), kMp4));
    const QByteArray clip = testsupport::readAll(dir.filePath("good.mp4"));
    testsupport::writeAll(dir.filePath("junk.mp4"), QByteArray(4096, 'j'));
    testsupport::writeAll(dir.filePath("empty.mp4"), QByteArray());
    testsupport::writeAll(dir.filePath("short.mp4"), clip.left(clip.size() / 3));
    gblnStop = false;
    gstrMediaFolder = dir.path();
    gstrImageFile = "Page.png";
    gstrRotation = "0";
    PageMedia media;
    frmImageRender display([] {}, [&media] { return media; });
    struct Layer {
        const char* noVideo;
        std::function<PageMedia(const char*)> page;
        std::function<bool()> shown;
    } layers[] = {
        {"ctlDXShow.HasVideo = False",
         [](const char* f) {
             return PageMedia{"1", f, "0", "", ""};
         },
         [&] { return display.backgroundVideoShown() && display.ctlDXShow().HasVideo(); }},
        {"ctlDXShowPiP.HasVideo = False",
         [](const char* f) {
             return PageMedia{"0", "", "1", f, "0|0|0.5|0.5"};
         },
         [&] { return display.pipShown() && display.ctlDXShowPiP().HasVideo(); }},
    };
    for (const Layer& layer : layers) {
        SCOPED_TRACE(layer.noVideo);
        for (const char* file : {"junk.mp4", "good.mp4", "empty.mp4", "good.mp4", "short.mp4", "good.mp4"}) {
            const bool isGood = QLatin1String(file) == QLatin1String("good.mp4");
            StatusLog::instance().clear();
            media = layer.page(file);
            display.pageReady();
            display.Timer1_Timer();
            EXPECT_EQ(testsupport::logTexts().contains(QString::fromLatin1(layer.noVideo)), !isGood) << file;
            EXPECT_EQ(layer.shown(), isGood) << file;
        }
        display.close();
    }
}
