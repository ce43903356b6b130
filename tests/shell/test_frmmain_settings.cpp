// The settings file on the main window: File > "Save Settings" with its
// checks, the loads that fill the panel and drive the data loaders, the
// Editor start and the sibling program launch.
#include "settingsfakes.h"

#include "core/datagrids.h"
#include "core/ftpcopies.h"
#include "platform/inifile.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "records/ftp/frmftp.h"
#include "shell/dataside.h"
#include "tests/ftp/ftptestserver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace {

IniDocument readIni(const QString& path)
{
    QString text;
    textfile::readText(path, text);
    return IniDocument::fromText(text);
}

QString key(const IniDocument& doc, const char* section, const char* name)
{
    return doc.value(QString::fromLatin1(section), QString::fromLatin1(name)).value_or(QStringLiteral("<missing>"));
}

void setPlayList(const QStringList& names)
{
    Grid& g = dataGrids().igTemplates;
    g.Clear();
    for (const QString& n : names)
        g.SetCellValue(g.AddRow(), QStringLiteral("Template"), n);
}

QStringList playList()
{
    QStringList out;
    const Grid& g = dataGrids().igTemplates;
    for (int r = 1; r <= g.RowCount(); ++r)
        out << g.CellValue(r, QStringLiteral("Template"));
    return out;
}

// A record line of a record file: the given lines, then empty lines up to
// twenty and the DateTime cell.
QString recordLine(const QStringList& lines)
{
    QStringList f = lines;
    while (f.size() < 20)
        f << QString();
    f << QStringLiteral("00:00|23:59|20240101|20301231");
    return f.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
}

// Makes every data loader log its call (with the file name it was given) to
// `calls`. Lookups and bookings are only logged; with `real` the grid
// clearing, the conversion and the record load also run.
void logLoads(SettingsLoaders& loaders, QStringList& calls, bool real)
{
    const SettingsLoaders was = loaders;
    auto log = [&calls](const char* what, const QString& path = QString()) {
        calls << (path.isEmpty() ? QString::fromLatin1(what)
                                 : QString::fromLatin1(what) + QLatin1Char(' ') + QFileInfo(path).fileName());
        return true;
    };
    loaders.clearDataGrids = [=](DataGrids& g) {
        if (log("clear") && real)
            was.clearDataGrids(g);
    };
    loaders.loadIDLookupFile = [=](Grid&, const QString& p) { return log("lookup", p); };
    loaders.ConvertDataFile = [=](const QString& p) { return log("convert", p) && (!real || was.ConvertDataFile(p)); };
    loaders.LoadDataFileIfExists = [=](DataGrids& g, const QString& p) {
        if (log("load", p) && real)
            was.LoadDataFileIfExists(g, p);
    };
    loaders.loadEBMSBookingFile = [=](const QString& p) { return log("booking", p); };
}

} // namespace

TEST_F(SettingsWindowTest, PlayerSaveShowsTheFailedCheckAndFocusesTheFieldToMend)
{
    frmMain& w = *window;
    toPlayer(0);
    setPlayList({});
    w.show();
    w.activateWindow();
    shelltest::waitFor([&] { return w.isActiveWindow(); }, 1000);
    int templateSaves = 0;
    w.neighbours.btnSetTemplate_Click = [&] { ++templateSaves; };

    // The checks' order is the save checks' own: the window shows the
    // message, moves the focus and writes nothing.
    w.txtDataFile->setText(QStringLiteral("/x/events.txt"));
    w.txtImageFilename->setText(QStringLiteral("page.png"));
    w.txtDwellTime->setText(QStringLiteral("0"));
    w.mnuSave_Click();
    EXPECT_EQ(messages.texts,
              QStringList{QStringLiteral("Please enter Dwell Time as a whole number of seconds (1 or more).")});
    EXPECT_TRUE(w.txtDwellTime->hasFocus());
    EXPECT_FALSE(QFileInfo::exists(settingsFile()));
    EXPECT_EQ(templateSaves, 0);

    // Everything filled: the file is written, then the template is saved.
    w.txtDwellTime->setText(QStringLiteral("12"));
    setPlayList({QStringLiteral("Template with 2 records")});
    messages.texts.clear();
    w.mnuSave_Click();
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(QFileInfo::exists(settingsFile()));
    EXPECT_EQ(templateSaves, 1);
}

TEST_F(SettingsWindowTest, PlayerSaveWritesThePanelAndTheSizeInForce)
{
    frmMain& w = *window;
    toPlayer(3);
    Grid& rdm = dataGrids().igRDM;
    rdm.Clear(true);
    rdm.AddCol(QStringLiteral("Line 1"));
    rdm.SetCellValue(rdm.AddRow(), 1, QStringLiteral("kept by hand"));

    w.optRunSettings[0]->setChecked(true);
    w.txtDataFile->clear();
    w.txtImageFilename->setText(QStringLiteral(" page.png "));
    w.txtDwellTime->setText(QStringLiteral("15"));
    w.txtFTPServer->setText(QStringLiteral("not written"));
    // A size pushed from the admin PC that the list does not offer.
    gstrScreenWidth = QStringLiteral("1000");
    gstrScreenHeight = QStringLiteral("700");
    setPlayList({QStringLiteral("Template with 1 record"), QStringLiteral("Template with 3 records")});

    w.mnuSave_Click();
    // The key order of each mode is the settings file's own (checked there).
    const IniDocument doc = readIni(settingsFile());
    EXPECT_FALSE(doc.value(QStringLiteral("SETTINGS"), QStringLiteral("FTP Server")));
    EXPECT_EQ(key(doc, "SETTINGS", "Image File"), QStringLiteral("page.png"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Width"), QStringLiteral("1000"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Height"), QStringLiteral("700"));
    EXPECT_EQ(key(doc, "TEMPLATES", "2"), QStringLiteral("Template with 3 records"));
    // Hand-kept records survive an empty data file field.
    EXPECT_EQ(rdm.RowCount(), 1);
}

TEST_F(SettingsWindowTest, EditorSaveUpdatesTheScreenKeysAndKeepsTheRest)
{
    writeSettings(QStringLiteral("[SETTINGS]\r\nStatus=1\r\nData Type=2\r\nFTP Server=ftp.example\r\n"
                                 "[TEMPLATES]\r\nMode=0\r\nWidth=768\r\nHeight=1024\r\nRotation=0\r\n"
                                 "List Number=1\r\n1=Template with 1 record\r\n"));
    frmMain& w = *window;
    int templateSaves = 0;
    w.neighbours.btnSetTemplate_Click = [&] { ++templateSaves; };
    w.txtImageFilename->clear();
    w.txtDwellTime->clear();
    w.optLayout[1]->setChecked(true);
    w.cboRotation->setCurrentIndex(1);

    w.mnuSave_Click();
    EXPECT_EQ(templateSaves, 1);
    const IniDocument doc = readIni(settingsFile());
    EXPECT_EQ(key(doc, "SETTINGS", "Status"), QStringLiteral("0"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Width"), QStringLiteral("1024"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Rotation"), QStringLiteral("90"));
    EXPECT_EQ(key(doc, "SETTINGS", "FTP Server"), QStringLiteral("ftp.example"));
}

TEST_F(SettingsWindowTest, LoadOfALocalFileFillsThePanelAndLoadsTheDataInOrder)
{
    frmMain& w = *window;
    const QString source = dataFolder() + QStringLiteral("/events.orv");
    shelltest::writeText(source, recordLine({QStringLiteral("B"), QStringLiteral("2")}) +
                                     recordLine({QStringLiteral("A"), QStringLiteral("2")}) +
                                     recordLine({QStringLiteral("C"), QStringLiteral("1")}));
    writeSettings(
        QStringLiteral(
            "[SETTINGS]\r\nStatus=1\r\nData Type=3\r\nRetrieve Type=0\r\nData File=%1\r\nBooking Data File=\r\n"
            "ID Lookup Data File=C:\\lookups\\ids.txt\r\n"
            "Image File=C:\\old\\Media\\page.png\r\n"
            "[ASSIGNED_SETTINGS]\r\nAssigned Location=Hall A;Hall B\r\n"
            "[SORT_SETTINGS]\r\nType=Ascending\r\nGroup=Line 2\r\nLine=Line 1\r\n"
            "[TEMPLATES]\r\nMode=1\r\nWidth=1280\r\nHeight=720\r\nRotation=180\r\n"
            "List Number=2\r\n1=Template with 3 records\r\n2=Template with 1 record\r\n")
            .arg(source));

    QStringList calls;
    logLoads(w.loaders, calls, true);
    int templateSelections = 0;
    w.neighbours.cboTemplateSelection_Click = [&] { ++templateSelections; };

    w.LoadSettings(settingsFile());

    // Data Type "3" loads no ID lookup or booking file.
    EXPECT_EQ(calls, (QStringList{QStringLiteral("clear"), QStringLiteral("convert events.orv"),
                                  QStringLiteral("load _Orvane.orv")}));
    EXPECT_EQ(dataGrids().igRDM.RowCount(), 3);
    // Sorted by group "Line 2", then "Line 1": the first record shown is C.
    EXPECT_EQ(dataGrids().igRDM.CellValue(w.mlngRDMRow, 1), QStringLiteral("C"));
    EXPECT_EQ(w.txtDataFilename->text(), QStringLiteral("events.orv"));
    EXPECT_EQ(w.txtImageFile->text(), mediaFolder() + QStringLiteral("/page.png"));
    EXPECT_EQ(w.cboResolution->currentText(), QStringLiteral("1280 x 720"));
    EXPECT_EQ(playList(),
              (QStringList{QStringLiteral("Template with 3 records"), QStringLiteral("Template with 1 record")}));
    EXPECT_EQ(templateSelections, 1);
    EXPECT_EQ(gstrAssignedLocation, QStringLiteral("Hall A;Hall B"));
}

TEST_F(SettingsWindowTest, AFailedConversionFallsBackToTheWorkingRecordFile)
{
    frmMain& w = *window;
    shelltest::writeText(gstrWorkingDataFile, recordLine({QStringLiteral("old record")}));
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=3\r\nData File=%1\r\n")
                      .arg(dataFolder() + QStringLiteral("/gone.orv")));
    w.txtDataFile->setText(QStringLiteral("typed before"));

    w.LoadSettings(settingsFile());
    EXPECT_TRUE(shelltest::logged(QStringLiteral("Run the local orv file")));
    EXPECT_EQ(dataGrids().igRDM.RowCount(), 1);
    // The data file stays the source: it is converted once it is there.
    EXPECT_EQ(w.txtDataFile->text(), dataFolder() + QStringLiteral("/gone.orv"));
}

TEST_F(SettingsWindowTest, PushedSettingsSavedAfterAFailedConversionKeepTheDataFileAndTheRecords)
{
    // Command "1" loads the pushed settings and saves them; the export they
    // name was met half-written.
    frmMain& w = *window;
    shelltest::writeText(gstrWorkingDataFile, recordLine({QStringLiteral("old record")}));
    const QString source = dataFolder() + QStringLiteral("/events.txt");
    shelltest::writeText(source, QStringLiteral("half a line"));
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=0\r\nData File=%1\r\n").arg(source));
    w.loaders.ConvertDataFile = [](const QString&) { return false; };

    w.LoadSettings(settingsFile());
    w.SaveSettings(settingsFile());
    EXPECT_EQ(key(readIni(settingsFile()), "SETTINGS", "Data File"), source);
    EXPECT_EQ(gstrDataFile, source);
    EXPECT_EQ(dataGrids().igRDM.CellValue(1, 1), QStringLiteral("old record"));
}

TEST_F(SettingsWindowTest, RetrieveTypePresentButEmptyLoadsNoDataSource)
{
    frmMain& w = *window;
    shelltest::writeText(gstrWorkingDataFile, recordLine({QStringLiteral("record")}));
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=2\r\nRetrieve Type=\r\nData File=/x/events.txt\r\n"
                                 "ID Lookup Data File=/x/ids.txt\r\nBooking Data File=/x/book.txt\r\n"
                                 "Dwell Time=20\r\n"));
    QStringList calls;
    logLoads(w.loaders, calls, true);

    w.LoadSettings(settingsFile());
    EXPECT_EQ(calls, QStringList{QStringLiteral("clear")}) << calls.join(QLatin1Char(',')).toStdString();

    // The rest of the file still applies.
    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("20"));
}

TEST_F(SettingsWindowTest, AMissingFileChangesNothing)
{
    setPlayList({QStringLiteral("Template with 6 records")});
    window->txtDwellTime->setText(QStringLiteral("33"));
    window->LoadSettings(settingsFile());
    EXPECT_EQ(window->txtDwellTime->text(), QStringLiteral("33"));
    EXPECT_EQ(playList(), QStringList{QStringLiteral("Template with 6 records")});
}

TEST_F(SettingsWindowTest, EditorStartResetsTheRunSettingsAndReadsOnlyTheScreenKeys)
{
    writeSettings(QStringLiteral("[SETTINGS]\r\nStatus=0\r\nData Type=1\r\nDwell Time=40\r\n"
                                 "[TEMPLATES]\r\nMode=1\r\nWidth=1366\r\nHeight=768\r\nRotation=90\r\n"));
    window = std::make_unique<frmMain>();
    start();
    frmMain& w = *window;

    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("10"));
    EXPECT_EQ(w.cboResolution->currentText(), QStringLiteral("1366 x 768"));
}

TEST_F(SettingsWindowTest, SiblingProgramLaunchByModeAndDataSource)
{
    frmMain& w = *window;
    const QString exe = folder("Fenwold");
    const QString fnw = folder("FNWSettings.ini");

    // Delphi with an empty data file field, from the side button.
    shelltest::writeText(exe, QStringLiteral("#!/bin/sh\n"));
    toPlayer(1);
    w.txtDataFile->clear();
    w.btnFNW->click();

    const IniDocument doc = readIni(fnw);
    EXPECT_EQ(key(doc, "FNWSETTING", "Last Loaded Event Type"), QStringLiteral("DELPHI"));
    EXPECT_EQ(key(doc, "FNWSETTING", "Last Loaded File"), QString());

    // EBMS in Player mode: refused, the file left alone.
    toPlayer(2);
    w.mnuFNW_Click();
    EXPECT_EQ(messages.texts.last(), QStringLiteral("Fenwold only works with Micros/Opera/Tamrisk and Delphi."));
    EXPECT_EQ(launcher.started, QStringList{exe});
    EXPECT_EQ(key(readIni(fnw), "FNWSETTING", "Last Loaded Event Type"), QStringLiteral("DELPHI"));

    // Editor mode starts it whatever the data source, without writing.
    QFile::remove(fnw);
    w.mnuSetStatus_Click(0);
    w.mnuFNW_Click();
    EXPECT_EQ(launcher.started.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(fnw));
}

TEST_F(SettingsWindowTest, FtpLoadFetchesConvertsAndLoadsBothFiles)
{
    frmMain& w = *window;
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=3\r\nRetrieve Type=1\r\nFTP Filename=events.orv\r\n"
                                 "FTP Server=ftp.example\r\nFTP Username=board\r\nFTP Password=secret\r\n"
                                 "FTP Booking Filename=..\r\n"));
    QStringList calls;
    w.loaders.retrieveFTPDataFile = [&](FrmFTP&) {
        calls << QStringLiteral("fetch ") + gstrFTPFilename;
        shelltest::writeText(dataFolder() + QStringLiteral("/events.orv"), recordLine({QStringLiteral("fetched")}));
        return true;
    };
    w.loaders.retrieveFTPBookingFile = [&](FrmFTP&) {
        calls << QStringLiteral("fetch booking");
        return true;
    };
    logLoads(w.loaders, calls, true);

    w.LoadSettings(settingsFile());
    // A booking name that names no file is refused: nothing is fetched for it.
    EXPECT_EQ(calls, (QStringList{QStringLiteral("clear"), QStringLiteral("fetch events.orv"),
                                  QStringLiteral("convert events.orv"), QStringLiteral("load _Orvane.orv")}));
    EXPECT_FALSE(settingstest::problemLines().isEmpty());
    EXPECT_EQ(gstrBookingDataFile, QString());
    EXPECT_EQ(dataGrids().igRDM.CellValue(w.mlngRDMRow, 1), QStringLiteral("fetched"));

    // The downloaded booking file is loaded whatever the Data Type.
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=3\r\nRetrieve Type=1\r\nFTP Booking Filename=book.txt\r\n"));
    shelltest::writeText(dataFolder() + QStringLiteral("/book.txt"), QStringLiteral("x\r\n"));
    calls.clear();
    w.LoadSettings(settingsFile());
    EXPECT_EQ(calls, (QStringList{QStringLiteral("clear"), QStringLiteral("fetch events.orv"),
                                  QStringLiteral("convert events.orv"), QStringLiteral("load _Orvane.orv"),
                                  QStringLiteral("fetch booking"), QStringLiteral("booking book.txt")}));

    // The server spelt the booking file in capitals: the fetched copy is found all the same.
    QFile::remove(dataFolder() + QStringLiteral("/book.txt"));
    shelltest::writeText(dataFolder() + QStringLiteral("/BOOK.TXT"), QStringLiteral("x\r\n"));
    calls.clear();
    w.LoadSettings(settingsFile());
    EXPECT_EQ(calls.value(5), QStringLiteral("booking BOOK.TXT"));
}

TEST_F(SettingsWindowTest, AFetchedFileOfTheWorkingRecordFilesNameIsConvertedNotCopiedOverIt)
{
    // Records kept on the server under the working record file's own name
    // (spelt otherwise there): a fetch without a record keeps the kept ones.
    FtpTestServer server;
    START_SERVER(server);
    frmMain& w = *window;
    shelltest::writeText(gstrWorkingDataFile, recordLine({QStringLiteral("kept")}));
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=3\r\nRetrieve Type=1\r\nFTP Filename=%1\r\n"
                                 "FTP Server=%2\r\nFTP Username=%3\r\nFTP Password=%4\r\n")
                      .arg(QFileInfo(gstrWorkingDataFile).fileName(), server.host(),
                           QString::fromLatin1(FtpTestServer::kUser), QString::fromLatin1(FtpTestServer::kPassword)));
    const struct {
        QByteArray served;
        QString first;
    } cases[] = {{"", QStringLiteral("kept")}, {recordLine({QStringLiteral("new")}).toLatin1(), QStringLiteral("new")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first.toStdString());
        server.putFile(QFileInfo(gstrWorkingDataFile).fileName().toUpper(), c.served);
        w.LoadSettings(settingsFile());
        EXPECT_EQ(dataGrids().igRDM.RowCount(), 1);
        EXPECT_EQ(dataGrids().igRDM.CellValue(1, 1), c.first);
        EXPECT_TRUE(QFileInfo::exists(gstrWorkingDataFile));
    }
}

TEST_F(SettingsWindowTest, EbmsLoadReadsTheIdLookupBeforeTheRecordsAndTheBookingsAfter)
{
    // The EBMS field mapping looks IDs up while the record file is read, and
    // the booking join reads the render list built from it.
    frmMain& w = *window;
    const QString functions = dataFolder() + QStringLiteral("/functions.txt");
    const QString lookups = dataFolder() + QStringLiteral("/ids.txt");
    const QString bookings = dataFolder() + QStringLiteral("/bookings.txt");
    for (const QString& f : {functions, lookups, bookings})
        shelltest::writeText(f, QStringLiteral("x\r\n"));
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=2\r\nRetrieve Type=0\r\nData File=%1\r\n"
                                 "Booking Data File=%2\r\nID Lookup Data File=%3\r\n")
                      .arg(functions, bookings, lookups));
    QStringList calls;
    logLoads(w.loaders, calls, false);

    w.LoadSettings(settingsFile());
    EXPECT_EQ(calls, (QStringList{QStringLiteral("clear"), QStringLiteral("lookup ids.txt"),
                                  QStringLiteral("convert functions.txt"), QStringLiteral("load _Orvane.orv"),
                                  QStringLiteral("booking bookings.txt")}));
}

TEST_F(SettingsWindowTest, ALoadThatFetchesNothingLeavesNoReportOfAnEarlierFetch)
{
    // A run learns from the fetcher's reports what its load fetched: an
    // earlier fetch must not pass for one of this load.
    frmMain& w = *window;
    const QString name = QStringLiteral("events.orv");
    const struct {
        const char* what;
        const char* settings; // nullptr: no settings file
    } cases[] = {
        {"a load of no data source", "[SETTINGS]\r\nRetrieve Type=\r\n"},
        {"no settings file to load", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        w.frmFTP->GetFile(QStringLiteral("127.0.0.1:1"), QStringLiteral("board"), QStringLiteral("secret"),
                          QStringLiteral("\\"), dataFolder(), name);
        ASSERT_TRUE(w.frmFTP->report(name).has_value());
        QFile::remove(settingsFile());
        if (c.settings)
            writeSettings(QString::fromLatin1(c.settings));
        w.LoadSettings(settingsFile());
        EXPECT_EQ(w.frmFTP->report(name), std::nullopt);
    }
}

TEST_F(SettingsWindowTest, TwoFtpFilesThatEndInOneNameKeepACopyEach)
{
    // An export and a booking file of one name in two folders of the server,
    // or in two letter cases (the server tells them apart). Each load runs
    // as a board's: the first a restart that may take what it finds, the
    // other a start (a command "2"), which fetches nothing it has not seen
    // settle. The records are always the export's, the booking file is
    // always loaded from its own copy, and nothing the board holds is
    // fetched again.
    FtpTestServer server;
    START_SERVER(server);
    frmMain& w = *window;
    const QString user = QString::fromLatin1(FtpTestServer::kUser);
    const QString password = QString::fromLatin1(FtpTestServer::kPassword);
    QStringList calls;
    logLoads(w.loaders, calls, true);
    bool mayTake = true;
    w.frmFTP->setMayTake([&mayTake](const QString&, const ftp::FileState&) { return mayTake; });
    const auto downloads = [&server] { return server.commands().filter(QStringLiteral("RETR")).size(); };
    const struct {
        const char* what;
        const char* data;
        const char* booking;
        const char* copy;  // the booking file's own copy
        bool keptAsOne;    // as an earlier version kept them: the booking file's copy under the shared name
        bool restartFirst; // the first load may take what it finds, the second not; or the other way
        int downloads[2];  // by each load
    } cases[] = {
        {"a new board", "Exports\\events.orv", "Bookings\\events.orv", "events.booking.orv", false, true, {2, 0}},
        {"a board that kept both under one name",
         "Exports\\events.orv",
         "Bookings\\events.orv",
         "events.booking.orv",
         true,
         false,
         {0, 1}},
        {"two letter cases", "events.orv", "EVENTS.ORV", "EVENTS.booking.ORV", false, true, {2, 0}},
        {"two letter cases, a board that kept both under one name",
         "events.orv",
         "EVENTS.ORV",
         "EVENTS.booking.ORV",
         true,
         false,
         {0, 1}},
        {"two letter cases in two folders",
         "events.orv",
         "Bookings\\EVENTS.ORV",
         "EVENTS.booking.ORV",
         false,
         true,
         {2, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString data = QString::fromLatin1(c.data);
        const QString booking = QString::fromLatin1(c.booking);
        // The last case's files go: a name may be this case's in another letter case.
        for (const QString& f : QDir(server.root()).entryList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot))
            QDir(server.root() + QLatin1Char('/') + f).removeRecursively() ||
                QFile::remove(server.root() + QLatin1Char('/') + f);
        server.putFile(ftpcopies::remotePath(data), recordLine({QStringLiteral("event")}).toLatin1());
        server.putFile(ftpcopies::remotePath(booking), recordLine({QStringLiteral("booking")}).toLatin1());
        writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=3\r\nRetrieve Type=1\r\nFTP Filename=%1\r\n"
                                     "FTP Booking Filename=%2\r\nFTP Server=%3\r\nFTP Username=%4\r\n"
                                     "FTP Password=%5\r\n")
                          .arg(data, booking, server.host(), user, password));
        for (const QString& f : QDir(dataFolder()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(dataFolder() + QLatin1Char('/') + f);
        shelltest::writeText(gstrWorkingDataFile, recordLine({QStringLiteral("event")}));
        if (c.keptAsOne) {
            mayTake = true;
            ASSERT_TRUE(w.frmFTP->GetFile(server.host(), user, password, QStringLiteral("\\"), dataFolder(), booking));
        }
        for (int load = 0; load < 2; ++load) {
            SCOPED_TRACE(load);
            mayTake = (load == 0) == c.restartFirst;
            calls.clear();
            const qsizetype before = downloads();
            w.LoadSettings(settingsFile());
            EXPECT_EQ(downloads() - before, c.downloads[load]);
            EXPECT_EQ(dataGrids().igRDM.CellValue(1, 1), QStringLiteral("event"));
            EXPECT_FALSE(testsupport::readAll(gstrWorkingDataFile).contains("booking"));
            EXPECT_TRUE(calls.contains(QStringLiteral("booking ") + QString::fromLatin1(c.copy)))
                << calls.join('|').toStdString();
            EXPECT_EQ(testsupport::readAll(dataFolder() + QLatin1Char('/') + QString::fromLatin1(c.copy)),
                      recordLine({QStringLiteral("booking")}).toLatin1());
        }
    }
}

TEST_F(SettingsWindowTest, AFetchedFileThatFailsToConvertFallsBackToTheWorkingRecordFile)
{
    frmMain& w = *window;
    shelltest::writeText(gstrWorkingDataFile, recordLine({QStringLiteral("old record")}));
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=3\r\nRetrieve Type=1\r\nFTP Filename=events.orv\r\n"
                                 "FTP Server=ftp.example\r\nFTP Username=board\r\nFTP Password=secret\r\n"));
    w.loaders.retrieveFTPDataFile = [](FrmFTP&) { return true; };
    w.loaders.ConvertDataFile = [](const QString&) { return false; };

    w.LoadSettings(settingsFile());
    EXPECT_TRUE(shelltest::logged(QStringLiteral("Run the local orv file")));
    EXPECT_EQ(dataGrids().igRDM.CellValue(1, 1), QStringLiteral("old record"));
}

TEST_F(SettingsWindowTest, ATemplateThatCannotBeKeptShowsABoxOnlyOutsideARun)
{
    // Loading the settings puts the first template back; the designer's
    // template is saved to its own slot first, and here that fails.
    frmMain& w = *window;
    DataSide::install(w); // with the template designer
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=3\r\n"));
    for (const bool running : {false, true}) {
        SCOPED_TRACE(running);
        w.neighbours.selectTemplateSlot(1);
        const QString slotFile = dataFolder() + QLatin1Char('/') + w.cboTemplateSelection->currentText() + ".ORVT";
        QFile::remove(slotFile);
        ASSERT_TRUE(QDir().mkpath(slotFile + "/in the way"));
        messages.clear();
        StatusLog::instance().clear();
        gblnRunActive = running;
        w.LoadSettings(settingsFile());
        gblnRunActive = false;
        EXPECT_EQ(messages.texts.size(), running ? 0 : 1);
        EXPECT_EQ(settingstest::problemLines().filter(QStringLiteral("could not be saved")).size(), running ? 1 : 0);
        EXPECT_EQ(w.cboTemplateSelection->currentIndex(), 1);
        QDir(slotFile).removeRecursively();
    }
}
