// The video wrapper over a fake player: clamps, state, seeking and playing.
#include "run/display/classactivemovie.h"

#include "tests/testsupport.h"

#include <QRegularExpression>

#include <limits>

#include <gtest/gtest.h>

namespace {

class ActiveMovieTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        player.playable = {"clip.mp4"};
        player.audioOnly = {"song.mp3"};
    }
    testsupport::FakeVideo player;
    ClassActiveMovie movie{player};
};

} // namespace

TEST_F(ActiveMovieTest, ValuesAreClamped)
{
    ASSERT_FALSE(movie.SetNewVideo("song.mp3"));
    ASSERT_TRUE(movie.SetNewVideo("clip.mp4"));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& [asked, played] :
         std::vector<std::pair<double, double>>{{0, 0.1}, {-1, 0.1}, {nan, 0.1}, {2, 2}}) {
        movie.setSpeed(asked);
        EXPECT_EQ(player.speed, played) << asked;
    }

    const std::vector<std::tuple<int, int, double>> volumes = {
        {100, 0, 1.0}, {-20000, -10000, 1e-5}, {-2000, -2000, 0.1}, {-6000, -6000, 1e-3}};
    for (const auto& [asked, kept, linear] : volumes) {
        movie.setVolume(asked);
        EXPECT_EQ(movie.Volume(), kept) << asked;
        EXPECT_NEAR(player.volume, linear, linear * 1e-9) << asked;
    }
    for (const auto& [asked, kept] : std::vector<std::pair<int, int>>{{20000, 10000}, {-20000, -10000}, {5, 5}}) {
        movie.setBalance(asked);
        EXPECT_EQ(movie.Balance(), kept) << asked;
    }
}

TEST_F(ActiveMovieTest, SeeksWithinTheFileAndPlaysOn)
{
    movie.SetNewVideo("clip.mp4");
    for (const auto& [asked, seek] :
         std::vector<std::pair<double, const char*>>{{-5, "seek 0"}, {99, "seek 10"}, {3.5, "seek 3.5"}}) {
        player.calls.clear();
        movie.setPosition(asked);
        EXPECT_EQ(player.calls, QStringList{seek}) << asked;
        EXPECT_EQ(movie.State(), 0);
    }

    // Play rewinds only at exactly the end.
    player.at = 9.9;
    player.calls.clear();
    movie.Play();
    EXPECT_EQ(player.calls, QStringList{"play"});
    EXPECT_EQ(movie.State(), 1);
    movie.Pause();
    EXPECT_EQ(movie.State(), 2);
    player.at = 10;
    player.calls.clear();
    movie.Play();
    EXPECT_EQ(player.calls, (QStringList{"seek 0", "play"}));
    movie.StopPlaying();
    EXPECT_EQ(movie.State(), 0);
}

TEST_F(ActiveMovieTest, FilesWithoutVideoAndEmptyInstances)
{
    // Nothing open: every read is empty and commands do nothing.
    movie.Play();
    movie.setPosition(4);
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_EQ(movie.Duration(), 0);
    EXPECT_EQ(movie.State(), 0);

    const std::vector<std::tuple<const char*, bool, bool, int>> files = {
        {"clip.mp4", true, true, 320}, {"song.mp3", false, true, 0}, {"gone.mp4", false, false, 0}};
    for (const auto& [file, video, audio, width] : files) {
        EXPECT_EQ(movie.SetNewVideo(file), video) << file;
        EXPECT_EQ(movie.HasVideo(), video) << file;
        EXPECT_EQ(movie.HasAudio(), audio) << file;
        EXPECT_EQ(movie.Width(), width) << file;
        EXPECT_EQ(movie.Height(), width ? 240 : 0) << file;
        EXPECT_FALSE(player.visible) << file;
    }
}

TEST_F(ActiveMovieTest, TheDisplaysCallingOrderOpensTheFileOnce)
{
    ASSERT_TRUE(movie.SetNewVideo("clip.mp4"));
    movie.setFileName("clip.mp4");
    EXPECT_EQ(player.calls.filter(QRegularExpression("^load ")).size(), 1);
    EXPECT_TRUE(player.visible);
    movie.FileName2("clip.mp4"); // a full teardown first: opened again
    EXPECT_EQ(player.calls.filter(QRegularExpression("^load ")).size(), 2);
    EXPECT_EQ(movie.FileName(), "clip.mp4");
}
