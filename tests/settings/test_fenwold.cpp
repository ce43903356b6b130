// Starting the sibling program and writing its settings file.
#include "settingstestutil.h"

#include "shell/settings/fenwold.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace fenwold;

TEST(FenwoldDecision, ModeAndDataSource)
{
    EXPECT_EQ(decide(true, 3, true), (Decision{false, true, ""}));
    EXPECT_EQ(decide(true, 0, false), (Decision{false, false, kCantLoad}));
    EXPECT_EQ(decide(false, 1, true), (Decision{true, true, ""}));
    EXPECT_EQ(decide(false, 0, false), (Decision{true, false, kCantLoad}));
    for (const int other : {2, 3, 4, -1})
        EXPECT_EQ(decide(false, other, true), (Decision{false, false, kOnlyWorksWith})) << other;
}

TEST(Fenwold, MissingProgramStillRewritesTheSettingsInPlayerMode)
{
    QTemporaryDir dir;
    settingstest::Launcher launcher;
    testsupport::RecordedMessages messages;
    testsupport::writeAll(dir.filePath(kSettingsFileName), "[FNWSETTING]\r\nExtra=1\r\n");
    launch(false, 0, QStringLiteral("C:\\exports\\today.txt"), dir.path(), launcher);
    const IniDocument d = IniFile(dir.filePath(kSettingsFileName)).load();
    EXPECT_EQ(d.keys("FNWSETTING"), QStringList({"Last Loaded Event Type", "Last Loaded File"}));
    EXPECT_EQ(d.value("FNWSETTING", "Last Loaded Event Type"), "TAMRISK");
    EXPECT_EQ(d.value("FNWSETTING", "Last Loaded File"), "C:\\exports\\today.txt");
    EXPECT_TRUE(launcher.started.isEmpty());
    EXPECT_EQ(messages.texts, QStringList({kCantLoad}));
}
