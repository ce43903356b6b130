// Reading the settings file: the mode at start-up, what each key gives when
// missing, empty or set, the play-list, and values that name files.
#include "settingstestutil.h"

#include "core/globals.h"
#include "platform/grid.h"
#include "shell/settings/settingsfile.h"
#include "shell/settings/settingsload.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace settingsload;
using settingstest::doc;

namespace {

// Every named key present with an empty value.
IniDocument allEmpty()
{
    QStringList lines;
    QString section;
    for (const auto& k : settingsfile::keyTable()) {
        if (k.section != section)
            lines << QLatin1Char('[') + (section = k.section) + QLatin1Char(']');
        lines << k.key + QLatin1Char('=');
    }
    return doc(lines);
}

} // namespace

TEST(StatusSetting, OnlyAStoredOneStartsThePlayer)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("OrvaneSettings.ini"));
    struct Case {
        const char* line;
        const char* status;
        bool player;
    };
    const Case cases[] = {
        {"Status=1", "1", true}, {"Status= 1", "1", true},        {"Status=01", "01", false}, {"Status=2", "2", false},
        {"Status=", "0", false}, {"Status=12345", "1234", false}, {"Other=1", "0", false},
    };
    for (const Case& c : cases) {
        testsupport::writeAll(path, QByteArray("[SETTINGS]\r\n") + c.line + "\r\n");
        gstrStatus = QStringLiteral("x");
        const QString s = GetStatusSetting(path);
        EXPECT_EQ(s, c.status) << c.line;
        EXPECT_EQ(gstrStatus, s);
        EXPECT_EQ(startsPlayer(s), c.player) << c.line;
    }
    EXPECT_EQ(GetStatusSetting(dir.filePath(QStringLiteral("none.ini"))), "0");
    EXPECT_FALSE(startsPlayer(gstrStatus));
}

TEST(StatusSetting, AFileThatCannotBeReadLoadsNothingAndIsReported)
{
    // A pushed file too large to read must not reset the settings (a save
    // after the load would write the reset values back): it counts as no
    // file, with a "!!!" line. A sparse file costs no disk space.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("UpdatedSettings.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[SETTINGS]\r\nStatus=1\r\n");
        ASSERT_TRUE(f.resize(textfile::kMaxSmallFileBytes + 1));
    }
    // A pipe would hold the load until a writer came; a device never ends.
    const QString pipe = dir.filePath(QStringLiteral("pipe.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& p : {path, pipe, QStringLiteral("/dev/zero")}) {
        StatusLog::instance().clear();
        EXPECT_FALSE(settingsfile::loadSettingsDocument(p)) << p.toStdString();
        EXPECT_EQ(settingstest::problemLines().size(), 1) << p.toStdString();
        EXPECT_EQ(GetStatusSetting(p), "0");
    }
}

TEST(LoadRules, MissingKeysTakeTheirDefaultsOrKeep)
{
    const LoadedSettings ld = resolveLoad(doc({"[SETTINGS]", "Status=1"}));
    EXPECT_EQ(ld.sortType, "None");
    EXPECT_TRUE(ld.loadDataSource) << "a missing Retrieve Type reads as local files";
    EXPECT_FALSE(ld.dataFile) << "the working record file is used";
    EXPECT_FALSE(ld.ftp || ld.ftpFilename || ld.ftpServer || ld.imageFile || ld.screen.layoutMode);
    EXPECT_EQ(ld.standAlone, "0");
    EXPECT_EQ(ld.dwellTime, "10");
    EXPECT_EQ(ld.validEndTime, "00:00");
    EXPECT_EQ(ld.screen.width, "768");
    EXPECT_EQ(ld.screen.height, "1024");
    EXPECT_FALSE(ld.playList.replace);
    EXPECT_TRUE(ld.log.isEmpty());
}

TEST(LoadRules, EmptyKeysTakeTheirDefaultsOrKeep)
{
    const LoadedSettings ld = resolveLoad(allEmpty());
    EXPECT_EQ(ld.sortType, "None");
    EXPECT_FALSE(ld.loadDataSource) << "Retrieve Type there but empty loads no data source";
    EXPECT_FALSE(ld.loadIDLookup || ld.loadBooking);
    EXPECT_FALSE(ld.dataFile || ld.standAlone || ld.dwellTime || ld.imageFile || ld.dayTimeValidity);
    EXPECT_FALSE(ld.screen.layoutMode || ld.screen.width || ld.screen.height || ld.playList.replace);
    EXPECT_EQ(ld.validStartTime, "00:00");
    EXPECT_EQ(ld.screen.rotation, "0");
    EXPECT_TRUE(ld.log.isEmpty());
}

TEST(LoadRules, SetKeysAreReadTrimmedAndSwitchesNormalised)
{
    const LoadedSettings ld = resolveLoad(
        doc({"[settings]", "Data Type= 2 ", "Retrieve Type=0", "Data File=/x/events.txt",
             "Booking Data File=/x/book.txt", "ID Lookup Data File=/x/ids.txt", "Stand Alone=yes",
             "[DAYTIME_VALIDATION]", "Valid Start Days=3", "[TEMPLATES]", "Width=1024", "Height=768", "Rotation=270"}));
    EXPECT_EQ(ld.dataTypeIndex, 2);
    EXPECT_TRUE(ld.loadIDLookup && ld.loadBooking);
    EXPECT_EQ(ld.dataFile, "/x/events.txt");
    EXPECT_EQ(ld.standAlone, "0");
    EXPECT_EQ(ld.validStartDays, "3");
    EXPECT_EQ(ld.screen.rotation, "270");
    EXPECT_EQ(resolutionIndex(QStringList({"852 x 480", "800 x 600", "1280 x 720", "1024 x 768"}), *ld.screen.width,
                              *ld.screen.height),
              3);

    // The lookup and local booking files are loaded for EBMS data only; an
    // FTP booking file for every source.
    const LoadedSettings other =
        resolveLoad(doc({"[SETTINGS]", "Data Type=7", "Booking Data File=/x/b.txt", "ID Lookup Data File=/x/i.txt"}));
    EXPECT_EQ(other.dataTypeIndex, -1);
    EXPECT_FALSE(other.loadIDLookup || other.loadBooking);
}

TEST(LoadRules, BlanksInsideQuotesStayOnlyInTheFtpTexts)
{
    // A file the program did not write (edited by hand) may hold blanks
    // inside the quotes of any value. The FTP texts, which a save writes as
    // typed, keep them; every other value is trimmed, as the panel trims it
    // before a save.
    const IniDocument d =
        doc({"[SETTINGS]", "Status=\" 1 \"", "Data Type=' 2'", "Retrieve Type=\"1 \"", "FTP Filename=\" events.txt\"",
             "FTP Password=\" pw \"", "Stand Alone=\" 1\"", "Dwell Time=\" 20 \"", "Image File=\" page.jpg \"",
             "[TEMPLATES]", "List Number=\" 2 \"", "1=\" Template with 2 records \"", "2=' Default Template'"});
    EXPECT_TRUE(startsPlayer(readStatus(d)));
    const LoadedSettings ld = resolveLoad(d);
    EXPECT_EQ(ld.dataType, "2");
    EXPECT_TRUE(ld.ftp);
    EXPECT_EQ(ld.ftpFilename, " events.txt");
    EXPECT_EQ(ld.ftpPassword, " pw ");
    EXPECT_EQ(ld.standAlone, "1");
    EXPECT_EQ(ld.dwellTime, "20");
    EXPECT_EQ(ld.imageFile, "page.jpg");
    EXPECT_EQ(ld.playList.entries, QStringList({"Template with 2 records", "Default Template"}));
}

TEST(LoadRules, AValueCutAtTheBufferIsLoggedByItsKey)
{
    const QString longPath =
        QStringLiteral("/boards/") + QString(2100, QLatin1Char('d')) + QStringLiteral("/events.txt");
    const LoadedSettings ld = resolveLoad(doc({"[SETTINGS]", "Data File=" + longPath, "Dwell Time=7", "[TEMPLATES]",
                                               "List Number=1", "1=" + QString(2047, QLatin1Char('t'))}));
    EXPECT_EQ(ld.dataFile, longPath.left(2047));
    ASSERT_EQ(ld.log.filter(QStringLiteral("!!!")).size(), 1);
    EXPECT_TRUE(ld.log.filter(QStringLiteral("!!!")).first().contains(QStringLiteral("\"Data File\"")));
    EXPECT_EQ(ld.playList.entries.size(), 1);
}

TEST(LoadRules, DataSourceGlobalsFollowTheRetrieveType)
{
    initGlobalPaths(QStringLiteral("/prog"), QStringLiteral("/player"));
    gstrDataFile = QStringLiteral("before");
    gstrFTPServer = QStringLiteral("kept.example.org");

    LoadedSettings empty = resolveLoad(doc({"[SETTINGS]", "Retrieve Type=", "Data File=/x/d.txt"}));
    applyDataSource(empty);
    EXPECT_EQ(gstrDataFile, "before") << "no data source is loaded";

    LoadedSettings local = resolveLoad(doc({"[SETTINGS]", "Data File="}));
    applyDataSource(local);
    EXPECT_EQ(gstrDataFile, "/prog/Data/_Orvane.orv");

    LoadedSettings ftp = resolveLoad(doc({"[SETTINGS]", "Retrieve Type=1", "FTP Filename=out\\today\\events.txt",
                                          "FTP Booking Filename=../../etc/passwd", "Data File=/x/d.txt"}));
    applyDataSource(ftp);
    EXPECT_EQ(gstrFTPFilename, "out\\today\\events.txt") << "the server-side name is kept whole";
    EXPECT_EQ(gstrFTPServer, "kept.example.org");
    EXPECT_EQ(gstrDataFile, "/prog/Data/events.txt");
    EXPECT_EQ(gstrBookingDataFile, "/prog/Data/passwd");

    LoadedSettings bad =
        resolveLoad(doc({"[SETTINGS]", "Retrieve Type=1", "FTP Filename=dir/..", "FTP Booking Filename="}));
    gstrFTPBookingFilename.clear();
    applyDataSource(bad);
    EXPECT_EQ(gstrDataFile, "");
    EXPECT_EQ(gstrBookingDataFile, "");
    EXPECT_EQ(bad.log.filter(QStringLiteral("!!!")).size(), 1);
}

TEST(LoadRules, ImageFileIsCutToItsNameAndANamelessOneIsRefused)
{
    EXPECT_EQ(resolveLoad(doc({"[SETTINGS]", "Image File=C:\\Media\\page.png"})).imageFile, "page.png");
    for (const char* bad : {"Image File=C:\\Media\\", "Image File=..", "Image File=/srv/."}) {
        const LoadedSettings ld = resolveLoad(doc({"[SETTINGS]", bad}));
        EXPECT_FALSE(ld.imageFile) << bad;
        EXPECT_EQ(ld.log.filter(QStringLiteral("!!!")).size(), 1) << bad;
    }
    EXPECT_EQ(imageFileFields(QStringLiteral("/prog/Media"), QStringLiteral("C:\\x\\page.png")).path,
              "/prog/Media/page.png");
}

TEST(LoadRules, UnusableScreenSizesAreRefused)
{
    // Not a size: the current side is kept, one line each.
    QStringList log;
    const ScreenKeys s = readScreenKeys(doc({"[TEMPLATES]", "Width=abc", "Height=0"}), &log);
    EXPECT_FALSE(s.width || s.height);
    EXPECT_EQ(log.filter(QStringLiteral("!!!")).size(), 2);

    // Too large in either direction: the default size, one line.
    struct Case {
        const char* width;
        const char* height;
        const char* usedWidth;
        const char* usedHeight;
    } cases[] = {
        {"8192", "8192", "8192", "8192"}, {"08192", "1080", "8192", "1080"}, {"16384", "1024", "768", "1024"},
        {"1920", "8193", "768", "1024"},  {"99999999", "", "768", "1024"},   {"", "16384", "768", "1024"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.width) + " x " + c.height);
        log.clear();
        const ScreenKeys k = readScreenKeys(
            doc({"[TEMPLATES]", QStringLiteral("Width=") + c.width, QStringLiteral("Height=") + c.height}), &log);
        const bool refused = QByteArray(c.usedWidth) == "768";
        EXPECT_EQ(k.width.value_or("kept"), c.usedWidth);
        EXPECT_EQ(k.height.value_or("kept"), c.usedHeight);
        EXPECT_EQ(log.filter(QStringLiteral("larger than 8192 pixels")).size(), refused ? 1 : 0);
    }
}

TEST(LoadRules, ApplyingSetsTheGlobalsOfEachStep)
{
    gstrStandAlone = QStringLiteral("1");
    gstrScreenWidth = QStringLiteral("1360");
    const LoadedSettings ld =
        resolveLoad(doc({"[SETTINGS]", "Stand Alone=", "Dwell Time=20", "Data Type=4", "[SORT_SETTINGS]",
                         "Type=Descending", "Line=Line 4", "[TEMPLATES]", "Width=", "Height=720", "Rotation=90"}));
    applyAssignedAndSort(ld);
    applyDataType(ld);
    applyRunSettings(ld);
    applyScreen(ld.screen);
    EXPECT_EQ(gstrSortLine, "Line 4");
    EXPECT_EQ(gstrDataType, "4");
    EXPECT_EQ(gstrStandAlone, "1") << "an empty Stand Alone keeps the value";
    EXPECT_EQ(gstrDwellTime, "20");
    EXPECT_EQ(gstrScreenWidth, "1360");
    EXPECT_EQ(gstrScreenHeight, "720");
    EXPECT_EQ(gstrRotation, "90");

    applyDefaultRunSettings();
    EXPECT_EQ(gstrDataType, "3");
    EXPECT_EQ(gstrDwellTime, "10");
    EXPECT_EQ(gstrSortType, "None");
}

TEST(PlayList, NumberedKeysFillTheGridInStoredOrderAndBadCountsKeepIt)
{
    Grid grid;
    grid.AddCol(QStringLiteral("Template"));
    grid.SetCellValue(grid.AddRow(), 1, QStringLiteral("old"));

    const PlayListLoad pl = readPlayList(doc({"[TEMPLATES]", "List Number=3", "1=Template with 2 records",
                                              "2=", "3=Default Template", "4=beyond the count"}));
    ASSERT_TRUE(pl.replace);
    EXPECT_EQ(pl.entries, QStringList({"Template with 2 records", "Default Template"}));
    applyPlayList(grid, pl);
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CellValue(2, 1), "Default Template");

    // Absent or unusable counts keep the grid; a count with no keys empties it.
    for (const char* count : {"", "List Number=", "List Number=0", "List Number=-2", "List Number=many"}) {
        const PlayListLoad pl = readPlayList(doc({"[TEMPLATES]", count, "1=Default Template"}));
        EXPECT_FALSE(pl.replace) << count;
        applyPlayList(grid, pl);
        EXPECT_EQ(grid.RowCount(), 2) << count;
    }
    applyPlayList(grid, readPlayList(doc({"[TEMPLATES]", "List Number=2"})));
    EXPECT_EQ(grid.RowCount(), 0);
}

TEST(PlayList, OnlyKeysPresentAreVisitedAndUnsafeNamesAreSkipped)
{
    QStringList log;
    const PlayListLoad pl =
        readPlayList(doc({"[TEMPLATES]", "List Number=1e300", "2=B", "01=not a number key", "+3=nor this", "1=A",
                          "7=..\\..\\secret", "8=sub/name", "9=a\\b", "10=C", "11=.."}),
                     &log);
    ASSERT_TRUE(pl.replace);
    EXPECT_EQ(pl.entries, QStringList({"A", "B", "C"}));
    ASSERT_EQ(log.size(), 4);
    for (const QString& line : log)
        EXPECT_TRUE(line.startsWith("!!!"));
}
