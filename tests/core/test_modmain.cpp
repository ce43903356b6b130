#include "core/globals.h"
#include "core/modmain.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace modMain;
using testsupport::readAll;
using testsupport::writeAll;

TEST(ModMainCut, AllFourShapes)
{
    const QString path = "C:\\Data\\file.txt";
    EXPECT_EQ(GetRightOfLast(path, '\\'), "file.txt");
    EXPECT_EQ(GetLeftOfLast(path, '\\'), "C:\\Data");
    EXPECT_EQ(GetRightOfLast(path, '.'), "txt");
    EXPECT_EQ(GetLeftOfLast(path, '.'), "C:\\Data\\file");
    EXPECT_EQ(GetLeftOfFirst("a b c", ' '), "a");
    EXPECT_EQ(GetRightOfFirst("a b c", ' '), "b c");
    for (auto* fn : {GetRightOfLast, GetLeftOfLast, GetLeftOfFirst, GetRightOfFirst}) {
        EXPECT_EQ(fn("no delimiter", '|'), "no delimiter");
        EXPECT_EQ(fn("", '|'), "");
        // Case-sensitive: "A" does not match "a".
        EXPECT_EQ(fn("banana", 'A'), "banana");
    }
    EXPECT_EQ(GetRightOfLast("ends\\", '\\'), "");
    EXPECT_EQ(GetLeftOfLast("ends\\", '\\'), "ends");
    EXPECT_EQ(GetLeftOfFirst("\\starts", '\\'), "");
}

TEST(ModMainFiles, FileExistsIsALiteralRegularFileTest)
{
    QTemporaryDir dir;
    writeAll(dir.filePath("a.txt"), "1");
    writeAll(dir.filePath(".hidden"), "1");
    QDir(dir.path()).mkdir("folder");
    EXPECT_TRUE(blnFileExists(dir.filePath("a.txt")));
    EXPECT_FALSE(blnFileExists(""));
    EXPECT_FALSE(blnFileExists(dir.filePath("folder")));
    EXPECT_FALSE(blnFileExists(dir.filePath(".hidden")));
    EXPECT_FALSE(blnFileExists(dir.filePath("*.txt")));
    EXPECT_FALSE(blnFileExists(dir.filePath("?.txt")));
    EXPECT_FALSE(blnFileExists(dir.filePath("missing/a.txt")));
    writeAll(dir.filePath("*.txt"), "a file really named so");
    EXPECT_TRUE(blnFileExists(dir.filePath("*.txt")));
}

TEST(ModMainFiles, FileTypeTable)
{
    const std::pair<const char*, const char*> cases[] = {
        {" photo.JPG ", "PictureType"},  {"clip.Mp4", "VideoType"},
        {"anim.gif", "HtmlType"},        {"pack.tar.zip", "ZipType"},
        {"C:\\x.y\\noext", "OtherType"}, {"README", "OtherType"},
        {"dot.", "OtherType"},           {"", "OtherType"},
        {"a.orv", "OtherType"},          {"a. png ", "PictureType"},
    };
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(GetFileType(QString::fromUtf8(name)), kind) << name;
}

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initGlobalPaths(dir.filePath("prog"), dir.filePath("player"));
        QDir().mkpath(gstrProgramFolder);
        gblnStop = false;
    }
    void TearDown() override
    {
        services::setKeys(nullptr);
        shellhooks::stopCommand = nullptr;
        gblnStop = false;
    }
    static QString lastLogLine()
    {
        const QStringList& l = StatusLog::instance().lines();
        return l.isEmpty() ? QString() : l.back();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ShellTest, PlayerNoticeKeepsTheRestOfThePlayersFile)
{
    const QString settings = dir.filePath("player/Settings/Settings.ini");
    QDir().mkpath(dir.filePath("player/Settings"));
    writeAll(settings, "; player\r\n[Options]\r\nVolume=5\r\nvariablesupdateimage=old.png\r\n\r\n[Other]\r\nA=1\r\n");
    UpdatePlayerVariablesImage("C:\\Orvane\\Media\\Page.png");
    EXPECT_EQ(readAll(settings), QByteArray("; player\r\n[Options]\r\nVolume=5\r\nvariablesupdateimage=Page.png\r\n"
                                            "\r\n[Other]\r\nA=1\r\n"));
    EXPECT_TRUE(lastLogLine().endsWith(" - Updated VariablesUpdateImage in player Settings.ini"));
}

TEST_F(ShellTest, PlayerNoticeFailureIsLoggedAsAnError)
{
    // The player's folder is the installation's matter: it is not created.
    UpdatePlayerVariablesImage("Page.png");
    EXPECT_TRUE(lastLogLine().contains(" - !!!")) << lastLogLine().toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("player")));
}

TEST_F(ShellTest, CheckUserAbort)
{
    testsupport::HeldKeys keys;
    int stops = 0;
    shellhooks::stopCommand = [&stops] { ++stops; };

    EXPECT_FALSE(blnCheckUserAbort());
    EXPECT_EQ(stops, 0);
    EXPECT_EQ(keys.reads, 2);

    // Set before the call, no key down: still stopped, Stop not run again.
    gblnStop = true;
    EXPECT_TRUE(blnCheckUserAbort());
    EXPECT_EQ(stops, 0);

    gblnStop = false;
    keys.escape = true;
    EXPECT_TRUE(blnCheckUserAbort());
    EXPECT_TRUE(gblnStop);
    EXPECT_EQ(stops, 1);
    // Both are read even when the first is down.
    keys.escape = false;
    keys.right = true;
    keys.reads = 0;
    gblnStop = false;
    EXPECT_TRUE(blnCheckUserAbort());
    EXPECT_EQ(keys.reads, 2);
    EXPECT_EQ(stops, 2);

    // Without a main window the flag is still set.
    shellhooks::stopCommand = nullptr;
    gblnStop = false;
    EXPECT_TRUE(blnCheckUserAbort());
}

TEST_F(ShellTest, LastLoadValues)
{
    EXPECT_EQ(ReadLastLoadValue("Communication", "MTL"), "");
    WriteLastLoadValue("Communication", "MTL", "  list one.MTL  ");
    WriteLastLoadValue("Other", "Key", "x");
    EXPECT_EQ(ReadLastLoadValue("communication", "mtl"), "list one.MTL");
    EXPECT_EQ(ReadLastLoadValue("Communication", "Missing"), "");
    EXPECT_EQ(ReadLastLoadValue("Missing", "MTL"), "");
    WriteLastLoadValue("Communication", "MTL", "second");
    EXPECT_EQ(readAll(gstrLastLoadFile), QByteArray("[Communication]\r\nMTL=second\r\n[Other]\r\nKey=x\r\n"));

    WriteLastLoadValue("Communication", "Long", QString(2000, 'x'));
    EXPECT_EQ(ReadLastLoadValue("Communication", "Long").size(), 1023);
}

TEST_F(ShellTest, ProblemsGoToABoxInTheEditorAndToTheStatusListDuringARun)
{
    testsupport::RecordedMessages boxes;
    reportProblem("Cannot open \"a.txt\".");
    EXPECT_EQ(boxes.texts, QStringList{"Cannot open \"a.txt\"."});

    gblnRunActive = true;
    reportProblem("Line 3 of \"a.txt\"\ncannot be read.", MsgIcon::Exclamation);
    reportProblem("!!!Already marked.");
    gblnRunActive = false;
    EXPECT_EQ(boxes.texts.size(), 1);
    const QStringList& l = StatusLog::instance().lines();
    ASSERT_GE(l.size(), 2);
    EXPECT_TRUE(l[l.size() - 2].endsWith(" - !!!Line 3 of \"a.txt\" cannot be read.")) << l[l.size() - 2].toStdString();
    EXPECT_TRUE(l.back().endsWith(" - !!!Already marked.")) << l.back().toStdString();
}
