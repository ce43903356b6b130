// Writing the settings file: full saves in both source modes, the Editor
// save, the grids a save empties, and failed writes.
#include "settingstestutil.h"

#include "core/globals.h"
#include "shell/settings/savesettings.h"
#include "shell/settings/settingsfile.h"
#include "shell/settings/settingsload.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMap>
#include <QTemporaryDir>

using namespace savesettings;
using namespace settingstest;

namespace {

PanelTexts localPanel()
{
    PanelTexts p;
    p.status = QStringLiteral("1");
    p.dataType = QStringLiteral("0");
    p.ftp = false;
    p.dataFile = QStringLiteral("  /srv/exports/events.txt ");
    p.bookingDataFile = QStringLiteral("  ");
    p.ftpFilename = QStringLiteral("never.txt"); // not written in local mode
    p.idLookupDataFile = QStringLiteral("/srv/exports/ids.txt ");
    p.standAlone = true;
    p.dwellTime = QStringLiteral(" 15 ");
    p.imageFilename = QStringLiteral("page.png ");
    p.dayTimeValidity = true;
    p.validStartTime = QStringLiteral("08:00");
    p.validEndTime = QStringLiteral(" 18:30");
    p.validStartDays = QStringLiteral("0");
    p.validEndDays = QStringLiteral("2 ");
    p.assignedField = QStringLiteral("Line 3");
    p.assignedLocation = QStringLiteral(" Hall A;Hall B ");
    p.sortType = QStringLiteral("Ascending");
    p.sortGroup = QStringLiteral("None");
    p.sortLine = QStringLiteral("Line 1");
    p.landscape = false;
    p.screenWidth = QStringLiteral("768");
    p.screenHeight = QStringLiteral("1024");
    p.rotation = QStringLiteral("90");
    p.playList = {QStringLiteral("Template with 2 records"), QStringLiteral("Default Template")};
    return p;
}

PanelTexts ftpPanel()
{
    PanelTexts p = localPanel();
    p.ftp = true;
    p.ftpFilename = QStringLiteral(" events.txt");
    p.ftpServer = QStringLiteral("ftp.example.org");
    p.ftpUsername = QStringLiteral("board");
    p.ftpPassword = QStringLiteral("pa ss ");
    p.ftpBookingFilename = QStringLiteral("book.txt");
    return p;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("OrvaneSettings.ini"));
        StatusLog::instance().clear();
    }
    QTemporaryDir dir;
    QString path;
    DataGrids grids;
};

} // namespace

TEST_F(SettingsFileTest, LocalSaveWritesTheFileExactlyAndStoresTheGlobals)
{
    gstrFTPFilename = QStringLiteral("kept-ftp.txt");
    ASSERT_TRUE(saveSettings(path, localPanel(), grids));
    EXPECT_EQ(testsupport::readAll(path),
              testsupport::readAll(testsupport::dataDir() + QStringLiteral("/settings/full_local.ini")));

    EXPECT_EQ(gstrDataFile, "/srv/exports/events.txt");
    EXPECT_EQ(gstrAssignedLocation, "Hall A;Hall B");
    EXPECT_EQ(gstrFTPFilename, "kept-ftp.txt") << "the FTP group is not written in local mode";
}

TEST_F(SettingsFileTest, FtpSaveWritesTheFtpGroupAsTypedAndNoLocalKeys)
{
    gstrDataFile = QStringLiteral("/kept/data.txt");
    gstrBookingDataFile = QStringLiteral("/kept/book.txt");
    ASSERT_TRUE(saveSettings(path, ftpPanel(), grids));

    const IniDocument d = settingsfile::loadSettingsDocument(path).value();
    EXPECT_EQ(d.keys("SETTINGS"), QStringList({"Status", "Data Type", "Retrieve Type", "FTP Filename", "FTP Server",
                                               "FTP Username", "FTP Password", "FTP Booking Filename",
                                               "ID Lookup Data File", "Stand Alone", "Dwell Time", "Image File"}));
    // Blanks at either end are kept inside a pair of quotes.
    EXPECT_TRUE(d.lines().contains(QStringLiteral("FTP Password=\"pa ss \"")));

    EXPECT_EQ(gstrFTPPassword, "pa ss ");
    EXPECT_EQ(gstrDataFile, "/kept/data.txt");
    EXPECT_EQ(gstrBookingDataFile, "/kept/book.txt");
}

TEST_F(SettingsFileTest, PlayListKeysFollowTheRowsAndAnEmptyListWritesZero)
{
    PanelTexts p = localPanel();
    p.playList = {"C", "A", "B"};
    ASSERT_TRUE(saveSettings(path, p, grids));
    IniDocument d = settingsfile::loadSettingsDocument(path).value();
    EXPECT_EQ(d.value("TEMPLATES", "List Number"), "3");
    EXPECT_EQ(d.value("TEMPLATES", "1"), "C");

    p.playList.clear();
    ASSERT_TRUE(saveSettings(path, p, grids));
    d = settingsfile::loadSettingsDocument(path).value();
    EXPECT_EQ(d.value("TEMPLATES", "List Number"), "0");
    EXPECT_FALSE(d.value("TEMPLATES", "1").has_value()) << "a save leaves no keys of an earlier save";
}

TEST_F(SettingsFileTest, EmptySourceFieldsEmptyTheirGridsButNeverHandKeptRecords)
{
    auto fillAll = [this] {
        for (Grid* g : {&grids.igRDM, &grids.igRADE, &grids.igBook, &grids.igIDLookup}) {
            g->Clear(true);
            g->AddCol(QStringLiteral("Line 1"));
            g->SetCellValue(g->AddRow(), 1, QStringLiteral("x"));
        }
    };
    PanelTexts p = localPanel();
    p.dataFile.clear();
    p.bookingDataFile.clear();
    p.idLookupDataFile.clear();

    fillAll();
    ASSERT_TRUE(saveSettings(path, p, grids));
    for (Grid* g : {&grids.igRDM, &grids.igRADE, &grids.igBook, &grids.igIDLookup})
        EXPECT_EQ(g->RowCount(), 0);

    fillAll();
    p.dataType = QStringLiteral("3");
    ASSERT_TRUE(saveSettings(path, p, grids));
    EXPECT_EQ(grids.igRDM.RowCount(), 1) << "records kept by hand stay";

    // FTP mode empties only the lookup grid.
    fillAll();
    PanelTexts f = ftpPanel();
    f.idLookupDataFile.clear();
    ASSERT_TRUE(saveSettings(path, f, grids));
    EXPECT_EQ(grids.igRDM.RowCount(), 1);
    EXPECT_EQ(grids.igBook.RowCount(), 1);
    EXPECT_EQ(grids.igIDLookup.RowCount(), 0);
}

TEST_F(SettingsFileTest, EditorSaveUpdatesTheScreenKeysAndKeepsEveryOtherKey)
{
    // A new file holds the five keys.
    gstrScreenWidth = QStringLiteral("768");
    gstrScreenHeight = QStringLiteral("1024");
    ASSERT_TRUE(saveDisplaySettings(path, QStringLiteral("0"), false, QStringLiteral("0")));
    const auto fresh = keyLines(settingsfile::loadSettingsDocument(path).value());
    ASSERT_EQ(fresh.size(), 5u);
    EXPECT_EQ(fresh[0].first, "SETTINGS/Status");
    EXPECT_EQ(fresh[4].first, "TEMPLATES/Rotation");

    ASSERT_TRUE(saveSettings(path, ftpPanel(), grids));
    const auto before = keyLines(settingsfile::loadSettingsDocument(path).value());

    gstrScreenWidth = QStringLiteral("1024");
    gstrScreenHeight = QStringLiteral("768");
    ASSERT_TRUE(saveDisplaySettings(path, QStringLiteral("0"), true, QStringLiteral(" 180 ")));
    const auto after = keyLines(settingsfile::loadSettingsDocument(path).value());

    const QMap<QString, QString> changed{{"SETTINGS/Status", "0"},
                                         {"TEMPLATES/Mode", "1"},
                                         {"TEMPLATES/Width", "1024"},
                                         {"TEMPLATES/Height", "768"},
                                         {"TEMPLATES/Rotation", "180"}};
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].first, before[i].first);
        EXPECT_EQ(after[i].second, changed.value(before[i].first, before[i].second)) << i;
    }
    EXPECT_EQ(gstrRotation, "180");
}

TEST_F(SettingsFileTest, FailedWritesReportAndLeaveTheOldFileWhole)
{
    ASSERT_TRUE(saveSettings(path, localPanel(), grids));
    const QByteArray good = testsupport::readAll(path);

    // A write killed half-way leaves its temporary file behind, never a part
    // of the settings file.
    testsupport::writeAll(dir.filePath(QStringLiteral(".OrvaneSettings.ini.Ab12Cd")), "[SETTINGS]\r\nStat");
    EXPECT_EQ(testsupport::readAll(path), good);
    EXPECT_EQ(settingsload::resolveLoad(settingsfile::loadSettingsDocument(path).value()).dwellTime, "15");

    // Folder missing, or the target is a folder: nothing written, reported.
    QString error;
    EXPECT_FALSE(saveSettings(dir.filePath(QStringLiteral("gone/OrvaneSettings.ini")), localPanel(), grids, &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    EXPECT_FALSE(saveSettings(dir.filePath(QStringLiteral("folder.ini")), localPanel(), grids));
    EXPECT_FALSE(saveDisplaySettings(dir.filePath(QStringLiteral("folder.ini")), "0", false, "0"));
    EXPECT_EQ(problemLines().size(), 3);
    EXPECT_EQ(testsupport::readAll(path), good);
}

TEST_F(SettingsFileTest, WhatASaveWritesLoadsBackUnchanged)
{
    ASSERT_TRUE(saveSettings(path, ftpPanel(), grids));
    const auto ld = settingsload::resolveLoad(settingsfile::loadSettingsDocument(path).value());
    EXPECT_TRUE(ld.ftp);
    EXPECT_EQ(ld.ftpPassword, "pa ss ") << "a password keeps its blanks";
    EXPECT_EQ(ld.ftpFilename, " events.txt");
    EXPECT_EQ(ld.standAlone, "1");
    EXPECT_EQ(ld.validEndTime, "18:30");
    EXPECT_EQ(ld.screen.rotation, "90");
    EXPECT_EQ(ld.playList.entries, QStringList({"Template with 2 records", "Default Template"}));
    EXPECT_TRUE(ld.log.isEmpty());
}

TEST_F(SettingsFileTest, TypedQuotesBlanksAndAccentsComeBackAsWritten)
{
    // The FTP texts go as typed, quotes and blanks at either end included;
    // an Editor save after it keeps them too. Accented text keeps its
    // letters, also where its Windows-1252 bytes would pass for UTF-8.
    for (const char* typed : {"'secret'", "\"x\"", " pw ", " 'a b' ", "plain", "it's", "JOSÉ’S"}) {
        PanelTexts p = ftpPanel();
        p.ftpPassword = p.ftpUsername = QString::fromUtf8(typed);
        p.assignedLocation = QString::fromUtf8(typed) + QString::fromUtf8(";CAFÉ™");
        ASSERT_TRUE(saveSettings(path, p, grids));
        ASSERT_TRUE(saveDisplaySettings(path, QStringLiteral("1"), false, QStringLiteral("0")));
        const auto ld = settingsload::resolveLoad(settingsfile::loadSettingsDocument(path).value());
        EXPECT_EQ(ld.ftpPassword, QString::fromUtf8(typed));
        EXPECT_EQ(ld.ftpUsername, QString::fromUtf8(typed));
        // The panel trims what it takes for every other key.
        EXPECT_EQ(ld.assignedLocation, p.assignedLocation.trimmed()) << typed;
    }
    // A value that needs no protection is written bare, and a file whose
    // Windows-1252 reads back is written so, as before.
    PanelTexts p = ftpPanel();
    p.ftpPassword = QStringLiteral("plain");
    p.assignedLocation = QString::fromUtf8("Café;CAFÉ");
    ASSERT_TRUE(saveSettings(path, p, grids));
    const QByteArray bytes = testsupport::readAll(path);
    EXPECT_TRUE(bytes.contains("FTP Password=plain\r\n"));
    EXPECT_TRUE(bytes.contains("Assigned Location=Caf\xE9;CAF\xC9\r\n"));
}

TEST_F(SettingsFileTest, APastedLineEndIsNoPartOfAnFtpText)
{
    // A password copied with the end of its line: the file can't hold the
    // line break, and a blank in its place would fail the board's login.
    const struct {
        const char* typed;
        const char* read;
    } cases[] = {
        {"secret\r\n", "secret"}, {"secret\n", "secret"}, {"\n pw \r", " pw "}, {"'x'\n", "'x'"}, {"a\nb", "a b"},
    };
    for (const auto& c : cases) {
        PanelTexts p = ftpPanel();
        p.ftpPassword = QString::fromUtf8(c.typed);
        ASSERT_TRUE(saveSettings(path, p, grids));
        const auto ld = settingsload::resolveLoad(settingsfile::loadSettingsDocument(path).value());
        EXPECT_EQ(ld.ftpPassword, c.read) << c.typed;
    }
}
