// The settings file on the main window: File > "Save Settings" with its
// checks, the loads that fill the panel and drive the data loaders, the
// Editor start and the sibling program launch.
#include "settingsfakes.h"

#include "core/datagrids.h"
#include "platform/inifile.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"

#include <QCheckBox>
#include <QComboBox>
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

QStringList keysOf(const IniDocument& doc, const char* section)
{
    return doc.keys(QString::fromLatin1(section));
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

} // namespace

TEST_F(SettingsWindowTest, PlayerSaveChecksEachRunSettingInOrderAndFocusesTheFieldToMend)
{
    frmMain& w = *window;
    toPlayer(0);
    setPlayList({});
    w.show();
    w.activateWindow();
    shelltest::waitFor([&] { return w.isActiveWindow(); }, 1000);
    int templateSaves = 0;
    w.neighbours.btnSetTemplate_Click = [&] { ++templateSaves; };

    struct Step {
        std::function<void()> mend; // applied before the save
        const char* message;
        QWidget* focus;
    };
    const std::vector<Step> local = {
        {[&] {
             w.txtImageFilename->clear();
             w.txtDwellTime->setText(QStringLiteral("10"));
         },
         "Please enter/select a Data File.", w.cmdDataFileBrowser},
        {[&] { w.txtDataFile->setText(QStringLiteral("/x/events.txt")); }, "Please enter/select an Image File.",
         w.txtImageFilename},
        {[&] {
             w.txtImageFilename->setText(QStringLiteral("page.png"));
             w.txtDwellTime->setText(QStringLiteral(" "));
         },
         "Please enter Dwell Time.", w.txtDwellTime},
        {[&] { w.txtDwellTime->setText(QStringLiteral("0")); },
         "Please enter Dwell Time as a whole number of seconds (1 or more).", w.txtDwellTime},
        {[&] { w.txtDwellTime->setText(QStringLiteral("12")); }, "Please add at least one template", nullptr},
    };
    for (const Step& step : local) {
        step.mend();
        messages.texts.clear();
        w.mnuSave_Click();
        EXPECT_EQ(messages.texts, QStringList{QString::fromLatin1(step.message)});
        if (step.focus) {
            EXPECT_TRUE(step.focus->hasFocus()) << step.message;
        }
        EXPECT_FALSE(QFileInfo::exists(settingsFile())) << step.message;
    }
    EXPECT_EQ(templateSaves, 0);
    EXPECT_EQ(messages.icons.back(), MsgIcon::Information);
    EXPECT_EQ(messages.titles.back(), QStringLiteral("Orvane"));

    // FTP: the four account texts, each tested trimmed.
    w.optRunSettings[1]->setChecked(true);
    const std::vector<Step> ftp = {
        {[&] { w.txtFTPFilename->setText(QStringLiteral("  ")); }, "Please enter a FTP Filename.", w.txtFTPFilename},
        {[&] { w.txtFTPFilename->setText(QStringLiteral("events.txt")); }, "Please enter a FTP Server.",
         w.txtFTPServer},
        {[&] { w.txtFTPServer->setText(QStringLiteral("ftp.example")); }, "Please enter a FTP Username.",
         w.txtFTPUsername},
        {[&] { w.txtFTPUsername->setText(QStringLiteral("board")); }, "Please enter a FTP Password.", w.txtFTPPassword},
    };
    for (const Step& step : ftp) {
        step.mend();
        messages.texts.clear();
        w.mnuSave_Click();
        EXPECT_EQ(messages.texts, QStringList{QString::fromLatin1(step.message)});
        EXPECT_TRUE(step.focus->hasFocus()) << step.message;
    }
    EXPECT_FALSE(QFileInfo::exists(settingsFile()));

    // Everything filled: the file is written, then the template is saved.
    w.txtFTPPassword->setText(QStringLiteral("secret"));
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
    w.optLayout[1]->setChecked(true);
    w.cboRotation->setCurrentIndex(2);
    // A size pushed from the admin PC that the list does not offer.
    gstrScreenWidth = QStringLiteral("1000");
    gstrScreenHeight = QStringLiteral("700");
    setPlayList({QStringLiteral("Template with 1 record"), QStringLiteral("Template with 3 records")});

    w.mnuSave_Click();
    const IniDocument doc = readIni(settingsFile());
    EXPECT_EQ(keysOf(doc, "SETTINGS"),
              (QStringList{QStringLiteral("Status"), QStringLiteral("Data Type"), QStringLiteral("Retrieve Type"),
                           QStringLiteral("Data File"), QStringLiteral("Booking Data File"),
                           QStringLiteral("ID Lookup Data File"), QStringLiteral("Stand Alone"),
                           QStringLiteral("Dwell Time"), QStringLiteral("Image File")}));
    EXPECT_EQ(key(doc, "SETTINGS", "Status"), QStringLiteral("1"));
    EXPECT_EQ(key(doc, "SETTINGS", "Data Type"), QStringLiteral("3"));
    EXPECT_EQ(key(doc, "SETTINGS", "Image File"), QStringLiteral("page.png"));
    EXPECT_EQ(keysOf(doc, "TEMPLATES"),
              (QStringList{QStringLiteral("Mode"), QStringLiteral("Width"), QStringLiteral("Height"),
                           QStringLiteral("Rotation"), QStringLiteral("List Number"), QStringLiteral("1"),
                           QStringLiteral("2")}));
    EXPECT_EQ(key(doc, "TEMPLATES", "Mode"), QStringLiteral("1"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Width"), QStringLiteral("1000"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Height"), QStringLiteral("700"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Rotation"), QStringLiteral("180"));
    EXPECT_EQ(key(doc, "TEMPLATES", "2"), QStringLiteral("Template with 3 records"));
    EXPECT_EQ(gstrImageFile, QStringLiteral("page.png"));
    EXPECT_EQ(gstrRotation, QStringLiteral("180"));
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
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(templateSaves, 1);
    const IniDocument doc = readIni(settingsFile());
    EXPECT_EQ(key(doc, "SETTINGS", "Status"), QStringLiteral("0"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Mode"), QStringLiteral("1"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Width"), QStringLiteral("1024"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Height"), QStringLiteral("768"));
    EXPECT_EQ(key(doc, "TEMPLATES", "Rotation"), QStringLiteral("90"));
    EXPECT_EQ(key(doc, "SETTINGS", "Data Type"), QStringLiteral("2"));
    EXPECT_EQ(key(doc, "SETTINGS", "FTP Server"), QStringLiteral("ftp.example"));
    EXPECT_EQ(key(doc, "TEMPLATES", "1"), QStringLiteral("Template with 1 record"));
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
            "ID Lookup Data File=C:\\lookups\\ids.txt\r\nStand Alone=1\r\nDwell Time= 15 \r\n"
            "Image File=C:\\old\\Media\\page.png\r\n"
            "[DAYTIME_VALIDATION]\r\nDay Time Validity=1\r\nValid Start Time=06:30\r\nValid End Time=\r\n"
            "Valid Start Days=1\r\nValid End Days=2\r\n"
            "[ASSIGNED_SETTINGS]\r\nAssigned Field=Line 3\r\nAssigned Location=Hall A;Hall B\r\n"
            "[SORT_SETTINGS]\r\nType=Ascending\r\nGroup=Line 2\r\nLine=Line 1\r\n"
            "[TEMPLATES]\r\nMode=1\r\nWidth=1280\r\nHeight=720\r\nRotation=180\r\n"
            "List Number=2\r\n1=Template with 3 records\r\n2=Template with 1 record\r\n")
            .arg(source));

    QStringList calls;
    SettingsLoaders real = w.loaders;
    w.loaders.clearDataGrids = [&](DataGrids& g) {
        calls << QStringLiteral("clear");
        real.clearDataGrids(g);
    };
    w.loaders.loadIDLookupFile = [&](Grid&, const QString&) {
        calls << QStringLiteral("lookup");
        return true;
    };
    w.loaders.ConvertDataFile = [&](const QString& s) {
        calls << QStringLiteral("convert ") + QFileInfo(s).fileName();
        return real.ConvertDataFile(s);
    };
    w.loaders.LoadDataFileIfExists = [&](DataGrids& g, const QString& p) {
        calls << QStringLiteral("load ") + QFileInfo(p).fileName();
        real.LoadDataFileIfExists(g, p);
    };
    w.loaders.loadEBMSBookingFile = [&](const QString&) {
        calls << QStringLiteral("booking");
        return true;
    };
    int templateSelections = 0;
    w.neighbours.cboTemplateSelection_Click = [&] { ++templateSelections; };

    w.LoadSettings(settingsFile());

    // Data Type "3" loads no ID lookup or booking file.
    EXPECT_EQ(calls, (QStringList{QStringLiteral("clear"), QStringLiteral("convert events.orv"),
                                  QStringLiteral("load _Orvane.orv")}));
    EXPECT_EQ(dataGrids().igRDM.RowCount(), 3);
    // Sorted by group "Line 2", then "Line 1": the first record shown is C.
    EXPECT_EQ(w.txtLine[0]->text(), QStringLiteral("C"));
    EXPECT_EQ(w.mlngRDMRow, 1);

    EXPECT_EQ(w.cboDataFileType->currentIndex(), 3);
    EXPECT_TRUE(w.optRunSettings[0]->isChecked());
    EXPECT_EQ(w.txtDataFile->text(), source);
    EXPECT_EQ(w.txtDataFilename->text(), QStringLiteral("events.orv"));
    EXPECT_EQ(w.txtEBMSIDLookupFilename->text(), QStringLiteral("ids.txt"));
    EXPECT_TRUE(w.chkRunAsStandAlone->isChecked());
    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("15"));
    EXPECT_EQ(w.txtImageFilename->text(), QStringLiteral("page.png"));
    EXPECT_EQ(w.txtImageFile->text(), mediaFolder() + QStringLiteral("/page.png"));
    EXPECT_TRUE(w.chkDayTimeValidation->isChecked());
    EXPECT_EQ(w.txtValidStartTime->text(), QStringLiteral("06:30"));
    EXPECT_EQ(w.txtValidEndTime->text(), QStringLiteral("00:00"));
    EXPECT_EQ(w.txtValidEndDays->text(), QStringLiteral("2"));
    EXPECT_EQ(w.cboAssignedField->currentText(), QStringLiteral("Line 3"));
    EXPECT_EQ(w.cboSortSelection->currentText(), QStringLiteral("Ascending"));
    EXPECT_EQ(w.cboSortGroup->currentText(), QStringLiteral("Line 2"));
    EXPECT_EQ(w.cboSortLine->currentText(), QStringLiteral("Line 1"));
    EXPECT_TRUE(w.optLayout[1]->isChecked());
    EXPECT_EQ(w.cboResolution->currentText(), QStringLiteral("1280 x 720"));
    EXPECT_EQ(w.cboRotation->currentText(), QStringLiteral("180"));
    EXPECT_EQ(playList(),
              (QStringList{QStringLiteral("Template with 3 records"), QStringLiteral("Template with 1 record")}));
    EXPECT_EQ(w.cboTemplateSelection->currentIndex(), 0);
    EXPECT_EQ(templateSelections, 1);

    EXPECT_EQ(gstrDataType, QStringLiteral("3"));
    EXPECT_EQ(gstrRetrieveType, QStringLiteral("0"));
    EXPECT_EQ(gstrDataFile, source);
    EXPECT_EQ(gstrIDLookupDataFile, QStringLiteral("C:\\lookups\\ids.txt"));
    EXPECT_EQ(gstrStandAlone, QStringLiteral("1"));
    EXPECT_EQ(gstrDwellTime, QStringLiteral("15"));
    EXPECT_EQ(gstrImageFile, QStringLiteral("page.png"));
    EXPECT_EQ(gstrDayTimeValidity, QStringLiteral("1"));
    EXPECT_EQ(gstrValidEndTime, QStringLiteral("00:00"));
    EXPECT_EQ(gstrAssignedLocation, QStringLiteral("Hall A;Hall B"));
    EXPECT_EQ(gstrSortType, QStringLiteral("Ascending"));
    EXPECT_EQ(gstrSortGroup, QStringLiteral("Line 2"));
    EXPECT_EQ(gstrLayoutMode, QStringLiteral("1"));
    EXPECT_EQ(gstrScreenWidth, QStringLiteral("1280"));
    EXPECT_EQ(gstrScreenHeight, QStringLiteral("720"));
    EXPECT_EQ(gstrRotation, QStringLiteral("180"));
    EXPECT_EQ(w.mResolutionValue1, 1280);
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
    EXPECT_EQ(w.txtDataFile->text(), QString());
    EXPECT_EQ(w.txtDataFilename->text(), QString());
}

TEST_F(SettingsWindowTest, RetrieveTypePresentButEmptyLoadsNoDataSource)
{
    frmMain& w = *window;
    shelltest::writeText(gstrWorkingDataFile, recordLine({QStringLiteral("record")}));
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=2\r\nRetrieve Type=\r\nData File=/x/events.txt\r\n"
                                 "ID Lookup Data File=/x/ids.txt\r\nBooking Data File=/x/book.txt\r\n"
                                 "Dwell Time=20\r\n"));
    w.optRunSettings[1]->setChecked(true);
    w.txtDataFile->setText(QStringLiteral("as before"));
    QStringList calls;
    w.loaders.loadIDLookupFile = [&](Grid&, const QString&) {
        calls << QStringLiteral("lookup");
        return true;
    };
    w.loaders.ConvertDataFile = [&](const QString&) {
        calls << QStringLiteral("convert");
        return true;
    };
    w.loaders.LoadDataFileIfExists = [&](DataGrids&, const QString&) { calls << QStringLiteral("load"); };
    w.loaders.initRDMGridColumns = [&](Grid&) { calls << QStringLiteral("init"); };
    w.loaders.loadEBMSBookingFile = [&](const QString&) {
        calls << QStringLiteral("booking");
        return true;
    };

    w.LoadSettings(settingsFile());
    EXPECT_TRUE(calls.isEmpty()) << calls.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(w.optRunSettings[1]->isChecked());
    EXPECT_EQ(w.txtDataFile->text(), QStringLiteral("as before"));
    EXPECT_EQ(w.txtEBMSIDLookupFile->text(), QString());
    // The rest of the file still applies.
    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("20"));
    EXPECT_EQ(w.cboDataFileType->currentIndex(), 2);
}

TEST_F(SettingsWindowTest, PlayListLoadReplacesOnlyWhenAListIsStored)
{
    frmMain& w = *window;
    setPlayList({QStringLiteral("Template with 6 records")});
    writeSettings(QStringLiteral("[TEMPLATES]\r\nList Number=4\r\n1=Template with 3 records\r\n2=\r\n"
                                 "3=Template with 1 record\r\n4=..\\..\\secret\r\n"));
    w.LoadSettings(settingsFile());
    // The stored order is kept; an empty entry adds no row, one naming a
    // path is refused with a status line.
    EXPECT_EQ(playList(),
              (QStringList{QStringLiteral("Template with 3 records"), QStringLiteral("Template with 1 record")}));
    EXPECT_TRUE(shelltest::loggedError());

    // No "List Number" (as after an Editor save) or "0": the list stays.
    for (const char* text :
         {"[TEMPLATES]\r\nMode=0\r\n", "[TEMPLATES]\r\nList Number=0\r\n1=Template with 2 records\r\n"}) {
        writeSettings(QString::fromLatin1(text));
        w.LoadSettings(settingsFile());
        EXPECT_EQ(playList().size(), 2) << text;
    }
    // A missing file changes nothing at all.
    QFile::remove(settingsFile());
    w.txtDwellTime->setText(QStringLiteral("33"));
    w.LoadSettings(settingsFile());
    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("33"));
}

TEST_F(SettingsWindowTest, EditorStartResetsTheRunSettingsAndReadsOnlyTheScreenKeys)
{
    writeSettings(QStringLiteral("[SETTINGS]\r\nStatus=0\r\nData Type=1\r\nDwell Time=40\r\n"
                                 "[TEMPLATES]\r\nMode=1\r\nWidth=1366\r\nHeight=768\r\nRotation=90\r\n"));
    window = std::make_unique<frmMain>();
    start();
    frmMain& w = *window;
    EXPECT_TRUE(w.mnuSetStatus[0]->isChecked());
    EXPECT_EQ(w.cboDataFileType->currentIndex(), 3);
    EXPECT_EQ(gstrDataType, QStringLiteral("3"));
    EXPECT_TRUE(w.optRunSettings[0]->isChecked());
    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("10"));
    EXPECT_TRUE(w.chkRunAsStandAlone->isChecked());
    EXPECT_EQ(w.cboSortSelection->currentText(), QStringLiteral("None"));
    EXPECT_EQ(w.txtValidStartTime->text(), QStringLiteral("00:00"));
    EXPECT_TRUE(w.optLayout[1]->isChecked());
    EXPECT_EQ(w.cboResolution->currentText(), QStringLiteral("1366 x 768"));
    EXPECT_EQ(w.cboRotation->currentText(), QStringLiteral("90"));
    EXPECT_EQ(gstrScreenWidth, QStringLiteral("1366"));
    EXPECT_EQ(gstrStatus, QStringLiteral("0"));
}

TEST_F(SettingsWindowTest, PlayerStartLoadsTheSettingsThroughTheRunCycle)
{
    writeSettings(QStringLiteral("[SETTINGS]\r\nStatus=1\r\nDwell Time=25\r\n"));
    window = std::make_unique<frmMain>();
    window->neighbours.mnuRestart_Click = [this] { window->LoadSettings(gstrSettingsFile); };
    start();
    EXPECT_TRUE(window->mnuSetStatus[1]->isChecked());
    EXPECT_EQ(window->txtDwellTime->text(), QStringLiteral("25"));
    EXPECT_EQ(gstrDwellTime, QStringLiteral("25"));
}

TEST_F(SettingsWindowTest, SiblingProgramLaunchByModeAndDataSource)
{
    frmMain& w = *window;
    const QString exe = folder("Fenwold");
    const QString fnw = folder("FNWSettings.ini");

    // Player mode, executable missing: the settings are written all the same.
    toPlayer(0);
    w.txtDataFile->setText(QStringLiteral("/data/opera.txt"));
    w.mnuFNW_Click();
    EXPECT_EQ(messages.texts, QStringList{QStringLiteral("Can't load the Fenwold Software.")});
    EXPECT_EQ(key(readIni(fnw), "FNWSETTING", "Last Loaded Event Type"), QStringLiteral("TAMRISK"));
    EXPECT_TRUE(launcher.started.isEmpty());

    // Delphi with an empty data file field; the side button does the same.
    shelltest::writeText(exe, QStringLiteral("#!/bin/sh\n"));
    toPlayer(1);
    w.txtDataFile->clear();
    messages.texts.clear();
    w.btnFNW->click();
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(launcher.started, QStringList{exe});
    const IniDocument doc = readIni(fnw);
    EXPECT_EQ(key(doc, "FNWSETTING", "Last Loaded Event Type"), QStringLiteral("DELPHI"));
    EXPECT_EQ(key(doc, "FNWSETTING", "Last Loaded File"), QString());

    // EBMS in Player mode: refused, the file left alone.
    toPlayer(2);
    w.mnuFNW_Click();
    EXPECT_EQ(messages.texts.last(), QStringLiteral("Fenwold only works with Micros/Opera/Tamrisk and Delphi."));
    EXPECT_EQ(launcher.started.size(), 1);
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
    SettingsLoaders real = w.loaders;
    w.loaders.ConvertDataFile = [&](const QString& s) {
        calls << QStringLiteral("convert ") + s;
        return real.ConvertDataFile(s);
    };

    w.LoadSettings(settingsFile());
    // A booking name that names no file is refused: nothing is fetched for it.
    EXPECT_EQ(calls, (QStringList{QStringLiteral("fetch events.orv"),
                                  QStringLiteral("convert ") + dataFolder() + QStringLiteral("/events.orv")}));
    EXPECT_TRUE(shelltest::loggedError());
    EXPECT_TRUE(w.optRunSettings[1]->isChecked());
    EXPECT_EQ(w.txtFTPServer->text(), QStringLiteral("ftp.example"));
    EXPECT_EQ(w.txtFTPPassword->text(), QStringLiteral("secret"));
    EXPECT_EQ(w.txtFTPBookingFilename->text(), QStringLiteral(".."));
    EXPECT_EQ(gstrBookingDataFile, QString());
    EXPECT_EQ(w.txtLine[0]->text(), QStringLiteral("fetched"));

    // The downloaded booking file is loaded whatever the Data Type.
    writeSettings(QStringLiteral("[SETTINGS]\r\nData Type=3\r\nRetrieve Type=1\r\nFTP Booking Filename=book.txt\r\n"));
    shelltest::writeText(dataFolder() + QStringLiteral("/book.txt"), QStringLiteral("x\r\n"));
    calls.clear();
    w.loaders.loadEBMSBookingFile = [&](const QString& p) {
        calls << QStringLiteral("booking ") + p;
        return true;
    };
    w.LoadSettings(settingsFile());
    EXPECT_EQ(calls, (QStringList{QStringLiteral("fetch events.orv"),
                                  QStringLiteral("convert ") + dataFolder() + QStringLiteral("/events.orv"),
                                  QStringLiteral("fetch booking"),
                                  QStringLiteral("booking ") + dataFolder() + QStringLiteral("/book.txt")}));

    // The server spelt the booking file in capitals: the fetched copy is found all the same.
    QFile::remove(dataFolder() + QStringLiteral("/book.txt"));
    shelltest::writeText(dataFolder() + QStringLiteral("/BOOK.TXT"), QStringLiteral("x\r\n"));
    calls.clear();
    w.LoadSettings(settingsFile());
    EXPECT_EQ(calls.value(3), QStringLiteral("booking ") + dataFolder() + QStringLiteral("/BOOK.TXT"));
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
    auto name = [](const QString& path) { return QFileInfo(path).fileName(); };
    w.loaders.clearDataGrids = [&](DataGrids&) { calls << QStringLiteral("clear"); };
    w.loaders.loadIDLookupFile = [&](Grid&, const QString& p) {
        calls << QStringLiteral("lookup ") + name(p);
        return true;
    };
    w.loaders.ConvertDataFile = [&](const QString& s) {
        calls << QStringLiteral("convert ") + name(s);
        return true;
    };
    w.loaders.LoadDataFileIfExists = [&](DataGrids&, const QString& p) { calls << QStringLiteral("load ") + name(p); };
    w.loaders.loadEBMSBookingFile = [&](const QString& p) {
        calls << QStringLiteral("booking ") + name(p);
        return true;
    };

    w.LoadSettings(settingsFile());
    EXPECT_EQ(calls, (QStringList{QStringLiteral("clear"), QStringLiteral("lookup ids.txt"),
                                  QStringLiteral("convert functions.txt"), QStringLiteral("load _Orvane.orv"),
                                  QStringLiteral("booking bookings.txt")}));
    EXPECT_EQ(w.txtEBMSIDLookupFilename->text(), QStringLiteral("ids.txt"));
    EXPECT_EQ(w.txtEBMSBookingFilename->text(), QStringLiteral("bookings.txt"));
}
