// The run-setting checks of a Player-mode save: order, messages and focus.
#include "shell/settings/savesettings.h"

#include <gtest/gtest.h>

#include <functional>

using namespace savesettings;

namespace {

SaveCheckInput complete()
{
    SaveCheckInput in;
    in.ftp = false;
    in.dataFile = QStringLiteral("/x/events.txt");
    in.imageFilename = QStringLiteral("page.png");
    in.dwellTime = QStringLiteral("10");
    in.playListRows = 1;
    return in;
}

} // namespace

TEST(SaveChecks, EachCheckInTurnGivesItsMessageAndFocus)
{
    // Spoiling the fields one after another, last check first: each new
    // failure must win over every one spoiled before it.
    struct Step {
        std::function<void(SaveCheckInput&)> spoil;
        SaveCheckFailure expected;
    };
    const Step ftpSteps[] = {
        {[](SaveCheckInput& i) { i.playListRows = 0; }, {"Please add at least one template", ""}},
        {[](SaveCheckInput& i) { i.dwellTime = " "; }, {"Please enter Dwell Time.", "txtDwellTime"}},
        {[](SaveCheckInput& i) { i.imageFilename = ""; }, {"Please enter/select an Image File.", "txtImageFilename"}},
        {[](SaveCheckInput& i) { i.ftpPassword = ""; }, {"Please enter a FTP Password.", "txtFTPPassword"}},
        {[](SaveCheckInput& i) { i.ftpUsername = "  "; }, {"Please enter a FTP Username.", "txtFTPUsername"}},
        {[](SaveCheckInput& i) { i.ftpServer = ""; }, {"Please enter a FTP Server.", "txtFTPServer"}},
        {[](SaveCheckInput& i) { i.ftpFilename = ""; }, {"Please enter a FTP Filename.", "txtFTPFilename"}},
    };
    EXPECT_FALSE(checkRunSettings(complete()));
    SaveCheckInput in = complete();
    in.ftp = true;
    in.dataFile.clear();
    in.ftpFilename = in.ftpServer = in.ftpUsername = in.ftpPassword = QStringLiteral("x");
    EXPECT_FALSE(checkRunSettings(in));
    for (const Step& s : ftpSteps) {
        s.spoil(in);
        EXPECT_EQ(checkRunSettings(in), s.expected) << s.expected.message.toStdString();
    }

    SaveCheckInput local = complete();
    local.imageFilename.clear();
    local.dataFile = QStringLiteral("   ");
    EXPECT_EQ(checkRunSettings(local), (SaveCheckFailure{"Please enter/select a Data File.", "cmdDataFileBrowser"}));
    local.dataType = QStringLiteral("3"); // hand-kept records need no data file
    EXPECT_EQ(checkRunSettings(local)->focus, "txtImageFilename");
}

TEST(SaveChecks, DwellTimeMustBeAWholeNumberOfAtLeastOne)
{
    SaveCheckInput in = complete();
    for (const char* bad : {"0", "00", "-5", "abc", "2.5", "1 0", "9999999999"}) {
        in.dwellTime = QString::fromLatin1(bad);
        const auto f = checkRunSettings(in);
        ASSERT_TRUE(f) << bad;
        EXPECT_EQ(f->focus, "txtDwellTime") << bad;
    }
    for (const char* good : {"1", " 25 ", "999", "01"}) {
        in.dwellTime = QString::fromLatin1(good);
        EXPECT_FALSE(checkRunSettings(in)) << good;
    }
}
