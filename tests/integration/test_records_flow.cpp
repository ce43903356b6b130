// Records through the main window: hand-kept records saved and loaded
// again, an outside export converted by the browse button, and EBMS
// function and booking files joined through the list builder.
#include "integrationfixture.h"

#include "platform/gridview.h"
#include "records/rdmpanel.h"
#include "records/recordstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QStringList lines1To3(const Grid& g, int row)
{
    return {g.CellValue(row, QStringLiteral("Line 1")), g.CellValue(row, QStringLiteral("Line 2")),
            g.CellValue(row, QStringLiteral("Line 3"))};
}

} // namespace

TEST_F(IntegrationTest, HandKeptRecordsAreSavedToTheWorkingFileAndLoadedAgain)
{
    frmMain& w = *window;
    RDMPanel& panel = *side->rdmPanel();
    Grid& igRDM = dataGrids().igRDM;

    w.cboDataFileType->setCurrentIndex(3);
    w.btnRecordDataManager_Click();
    for (const char* text : {"Gala", "Breakfast"}) {
        panel.btnAddRDM->click();
        w.txtLine[0]->setText(QString::fromLatin1(text));
        panel.btnUpdateRDM->click();
    }
    EXPECT_EQ(w.mlngRDMRow, 2);

    // The window's current record (the line editor sets it when it shows a
    // record) is the one the buttons work on.
    w.mlngRDMRow = 1;
    w.txtLine[0]->setText(QStringLiteral("Gala Dinner"));
    w.txtLine[1]->setText(QStringLiteral("Ballroom East"));
    panel.txtDTStartTime->setText(QStringLiteral("0900"));
    panel.txtDTEndTime->setText(QStringLiteral("1100"));
    panel.btnUpdateRDM->click();

    panel.btnSaveRDM->click();
    EXPECT_EQ(messages.texts.last(), "File saved.");
    EXPECT_EQ(gstrWorkingDataFile, dir.filePath(QStringLiteral("Data/_Orvane.orv")));

    initRDMGridColumns(igRDM);
    LoadDataFileIfExists(dataGrids(), gstrWorkingDataFile);
    ASSERT_EQ(igRDM.RowCount(), 2);
    EXPECT_EQ(lines1To3(igRDM, 1), QStringList({"Gala Dinner", "Ballroom East", ""}));
    EXPECT_EQ(igRDM.CellValue(1, QStringLiteral("DateTime")), QStringLiteral("0900|1100|0|0"));
    EXPECT_EQ(panel.lblTotalRecords->text(), "2");
}

TEST_F(IntegrationTest, ChoosingARowInTheGridMakesItTheWindowsCurrentRecord)
{
    frmMain& w = *window;
    RDMPanel& panel = *side->rdmPanel();
    Grid& igRDM = dataGrids().igRDM;
    w.btnRecordDataManager_Click();
    for (const char* text : {"one", "two", "three"}) {
        panel.btnAddRDM->click();
        w.txtLine[0]->setText(QString::fromLatin1(text));
        panel.btnUpdateRDM->click();
    }
    igRDM.onCellEvent(3, 1);
    igRDM.onRowEvent(3);
    EXPECT_EQ(w.mlngRDMRow, 3);
    EXPECT_EQ(w.txtLine[0]->text(), "three");

    panel.btnUpRDM->click();
    EXPECT_EQ(w.mlngRDMRow, 2);
    EXPECT_EQ(lines1To3(igRDM, 2)[0], "three");
    panel.btnDeleteRDM->click();
    EXPECT_EQ(w.mlngRDMRow, 1);
    EXPECT_EQ(panel.lblTotalRecords->text(), "2");
}

TEST_F(IntegrationTest, TheRecordShownAtStartUpKeepsItsValidityWindowThroughUpdate)
{
    QByteArray record = "Gala";
    record += QByteArray(20, '\t') + "0900|1100|20240101|20240102\r\n";
    writeFile(QStringLiteral("Data/_Orvane.orv"), record);
    writeFile(QStringLiteral("OrvaneSettings.ini"), "[SETTINGS]\r\nStatus=0\r\n");
    window.reset();
    clearDataGrids(dataGrids());
    startWindow();
    RDMPanel& panel = *side->rdmPanel();
    ASSERT_EQ(window->mlngRDMRow, 1);
    EXPECT_EQ(window->txtLine[0]->text(), "Gala");
    EXPECT_EQ(QStringList({panel.txtDTStartTime->text(), panel.txtDTEndTime->text(), panel.txtDTStartDate->text(),
                           panel.txtDTEndDate->text()}),
              QStringList({"0900", "1100", "20240101", "20240102"}));

    window->txtLine[0]->setText(QStringLiteral("Gala Dinner"));
    panel.btnUpdateRDM->click();
    EXPECT_EQ(dataGrids().igRDM.CellValue(1, QStringLiteral("Line 1")), "Gala Dinner");
    EXPECT_EQ(dataGrids().igRDM.CellValue(1, QStringLiteral("DateTime")), "0900|1100|20240101|20240102");
}

TEST_F(IntegrationTest, AMicrosExportIsConvertedByTheBrowseButtonAndLoaded)
{
    frmMain& w = *window;
    w.cboDataFileType->setCurrentIndex(0);

    // Cancel: nothing changes.
    w.cmdDataFileBrowser->click();
    EXPECT_TRUE(w.txtDataFile->text().isEmpty());

    files.answer =
        writeFile(QStringLiteral("opera export.txt"), "Gala\tBallroom\tSmith\t0900\t1100\tx\t20240101\t20240102\ti\r\n"
                                                      "Lunch\tTerrace\tJones\t1200\t1300\tx\t0\t0\ti\r\n");
    w.cmdDataFileBrowser->click();
    Grid& igRDM = dataGrids().igRDM;
    ASSERT_EQ(igRDM.RowCount(), 2) << messages.texts.join(" / ").toStdString();
    EXPECT_EQ(lines1To3(igRDM, 1), QStringList({"Gala", "Ballroom", "Smith"}));
    EXPECT_EQ(w.txtDataFile->text(), files.answer);
    EXPECT_EQ(w.txtDataFilename->text(), "opera export.txt");
    EXPECT_TRUE(QFile::exists(gstrWorkingDataFile));

    // A file its reader cannot take: the message, and the store stays.
    files.answer = writeFile(QStringLiteral("broken.txt"), "only\ttwo\r\n");
    w.cmdDataFileBrowser->click();
    EXPECT_TRUE(messages.texts.contains("Error converting the file to ORV format."));
    EXPECT_EQ(igRDM.RowCount(), 2);
    EXPECT_EQ(w.txtDataFilename->text(), "opera export.txt");
}

TEST_F(IntegrationTest, EBMSFunctionsAndBookingsFillTheRenderListAndTheBookingGrids)
{
    frmMain& w = *window;
    DataGrids& g = dataGrids();
    gstrAssignedLocation = QStringLiteral("R1");
    ASSERT_TRUE(loadIDLookupFile(g.igIDLookup, writeFile(QStringLiteral("lookup.txt"), "R1,Main hall\r\n")));

    w.cboDataFileType->setCurrentIndex(2);

    // No function file yet: the booking file cannot be chosen.
    w.btnEBMSBookingBrowser->click();
    EXPECT_EQ(messages.texts.last(), "Please select/enter an EBMS Function Data File first.");
    EXPECT_EQ(files.opened, 0);

    // A function record: event E1 in room R1, status 40, flagged "Y".
    files.answer = writeFile(QStringLiteral("functions.txt"),
                             "\"F1\",\"Gala\",\"R1\",\"0800\",\"1100\",\"20240101\",\"20240101\",\"Dinner\","
                             "\"a\",\"b\",\"c\",\"d\",\"40\",\"1,E1,x,Y,e\",\"1234\"\r\n");
    w.cmdDataFileBrowser->click();
    ASSERT_EQ(g.igRDM.RowCount(), 1) << messages.texts.join(" / ").toStdString();
    EXPECT_EQ(g.igRDM.CellValue(1, QStringLiteral("Line 3")), "Main hall");
    EXPECT_EQ(g.igRADE.RowCount(), 1);

    files.answer = writeFile(QStringLiteral("bookings.txt"), "E1,R1,930,1000,20240101,x,40\r\n");
    w.btnEBMSBookingBrowser->click();
    EXPECT_EQ(gstrBookingDataFile, "bookings.txt");
    EXPECT_EQ(g.igBook2.RowCount(), 1);
    ASSERT_GE(g.igBook.RowCount(), 1);
    EXPECT_EQ(g.igBook.CellValue(1, QStringLiteral("Line 8")), "Main hall");
}

TEST_F(IntegrationTest, HandKeptRecordsAreShownAfterEveryEditorStart)
{
    // Two records saved by hand, then the program starts again, once
    // without a settings file and once with one that holds only the mode.
    RDMPanel* panel = side->rdmPanel();
    window->btnRecordDataManager_Click();
    for (const char* text : {"one", "two"}) {
        panel->btnAddRDM->click();
        window->txtLine[0]->setText(QString::fromLatin1(text));
        panel->btnUpdateRDM->click();
    }
    panel->btnSaveRDM->click();
    const QString settings = dir.filePath(QStringLiteral("OrvaneSettings.ini"));

    for (const QByteArray& text : {QByteArray(), QByteArray("[SETTINGS]\r\nStatus=0\r\n")}) {
        if (!text.isEmpty())
            testsupport::writeAll(settings, text);
        window.reset();
        clearDataGrids(dataGrids());
        startWindow();
        panel = side->rdmPanel();

        window->mnuSetStatus_Click(1);
        window->btnRecordDataManager_Click();
        EXPECT_EQ(gstrDataType, "3");
        EXPECT_EQ(panel->lblTotalRecords->text(), "2") << text.constData();
        ASSERT_EQ(dataGrids().igRDM.RowCount(), 2);
        EXPECT_EQ(lines1To3(dataGrids().igRDM, 2)[0], "two");
    }

    panel->btnAddRDM->click();
    window->txtLine[0]->setText(QStringLiteral("three"));
    panel->btnUpdateRDM->click();
    panel->btnSaveRDM->click();
    clearDataGrids(dataGrids());
    LoadDataFileIfExists(dataGrids(), gstrWorkingDataFile);
    EXPECT_EQ(dataGrids().igRDM.RowCount(), 3);
}
