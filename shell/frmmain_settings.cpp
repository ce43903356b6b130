// The settings file on the main window: saving it from the panel, loading
// it into the panel and the globals while driving the data loaders, the
// File menu's save commands and the launch of the sibling program.
#include "shell/frmmain.h"

#include "core/datagrids.h"
#include "core/globals.h"
#include "core/modmain.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "recordlist/bookings.h"
#include "recordlist/idlookup.h"
#include "records/convert.h"
#include "records/ftp/frmftp.h"
#include "records/recordstore.h"
#include "shell/settings/fenwold.h"
#include "shell/settings/savesettings.h"
#include "shell/settings/settingsfile.h"
#include "shell/settings/settingsload.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

SettingsLoaders::SettingsLoaders()
    : clearDataGrids([](DataGrids& grids) { ::clearDataGrids(grids); })
    , loadIDLookupFile([](Grid& igIDLookup, const QString& path) { return ::loadIDLookupFile(igIDLookup, path); })
    , ConvertDataFile([](const QString& source) {
        bool ok = false;
        ::ConvertDataFile(source, ok);
        return ok;
    })
    , LoadDataFileIfExists([](DataGrids& grids, const QString& path) { ::LoadDataFileIfExists(grids, path); })
    , initRDMGridColumns([](Grid& igRDM) { ::initRDMGridColumns(igRDM); })
    , loadEBMSBookingFile([](const QString& path) { return ::loadEBMSBookingFile(path); })
    , retrieveFTPDataFile([](FrmFTP& ftp) { return ::retrieveFTPDataFile(ftp); })
    , retrieveFTPBookingFile([](FrmFTP& ftp) { return ::retrieveFTPBookingFile(ftp); })
{
}

namespace {

// Puts a text into a list: an editable list shows it as typed; another list
// selects the entry of that text, or none for an empty text, and refuses
// any other text (it keeps what it showed). Returns what the list shows.
QString putListText(QComboBox* list, const QString& text)
{
    if (list->isEditable()) {
        list->setEditText(text);
    } else if (text.isEmpty()) {
        list->setCurrentIndex(-1);
    } else if (const int at = list->findText(text, Qt::MatchExactly); at >= 0) {
        list->setCurrentIndex(at);
    }
    return list->currentText();
}

QString putBoxText(QLineEdit* box, const QString& text)
{
    box->setText(text);
    return box->text();
}

void setChecked(QCheckBox* box, bool on)
{
    box->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

} // namespace

// ---- Writers ----

void frmMain::SaveSettings(const QString& path)
{
    savesettings::PanelTexts in;
    in.status = gstrStatus;
    in.dataType = gstrDataType;
    in.ftp = optRunSettings[1]->isChecked();
    in.dataFile = txtDataFile->text();
    in.bookingDataFile = txtEBMSBookingFile->text();
    in.ftpFilename = txtFTPFilename->text();
    in.ftpServer = txtFTPServer->text();
    in.ftpUsername = txtFTPUsername->text();
    in.ftpPassword = txtFTPPassword->text();
    in.ftpBookingFilename = txtFTPBookingFilename->text();
    in.idLookupDataFile = txtEBMSIDLookupFile->text();
    in.standAlone = chkRunAsStandAlone->checkState() == Qt::Checked;
    in.dwellTime = txtDwellTime->text();
    in.imageFilename = txtImageFilename->text();
    in.dayTimeValidity = chkDayTimeValidation->checkState() == Qt::Checked;
    in.validStartTime = txtValidStartTime->text();
    in.validEndTime = txtValidEndTime->text();
    in.validStartDays = txtValidStartDays->text();
    in.validEndDays = txtValidEndDays->text();
    in.assignedField = cboAssignedField->currentText();
    in.assignedLocation = txtAssignedLocation->text();
    in.sortType = cboSortSelection->currentText();
    in.sortGroup = cboSortGroup->currentText();
    in.sortLine = cboSortLine->currentText();
    in.landscape = optLayout[1]->isChecked();
    // The size in force, also one pushed from the admin PC that is not in
    // the resolution list.
    in.screenWidth = gstrScreenWidth;
    in.screenHeight = gstrScreenHeight;
    in.rotation = cboRotation->currentText();
    const Grid& playList = dataGrids().igTemplates;
    for (int row = 1; row <= playList.RowCount(); ++row)
        in.playList << playList.CellValue(row, QStringLiteral("Template"));
    savesettings::saveSettings(path, in, dataGrids());
}

void frmMain::SaveDisplaySettings(const QString& path)
{
    savesettings::saveDisplaySettings(path, gstrStatus, optLayout[1]->isChecked(), cboRotation->currentText());
}

// ---- Readers ----

QString frmMain::GetStatusSetting()
{
    return settingsload::GetStatusSetting(gstrSettingsFile);
}

void frmMain::LoadSettings(const QString& path, const std::function<void()>& sourcesNamed)
{
    // A load that fetches nothing (no readable file, no data source, a name
    // that names no file) leaves no report of an earlier one behind.
    if (frmFTP)
        frmFTP->forgetReports();
    const std::optional<IniDocument> doc = settingsfile::loadSettingsDocument(path);
    if (!doc)
        return;
    BusyGuard busy;
    DataGrids& grids = dataGrids();
    loaders.clearDataGrids(grids);
    settingsload::LoadedSettings ld = settingsload::resolveLoad(*doc);

    // Assigned and sort settings: the globals hold what the lists accepted.
    settingsload::applyAssignedAndSort(ld);
    gstrAssignedField = putListText(cboAssignedField, gstrAssignedField);
    gstrAssignedLocation = putBoxText(txtAssignedLocation, gstrAssignedLocation);
    gstrSortType = putListText(cboSortSelection, gstrSortType);
    gstrSortGroup = putListText(cboSortGroup, gstrSortGroup);
    gstrSortLine = putListText(cboSortLine, gstrSortLine);

    settingsload::applyDataType(ld);
    if (ld.dataTypeIndex >= 0)
        cboDataFileType->setCurrentIndex(ld.dataTypeIndex);

    if (ld.loadDataSource) {
        settingsload::applyDataSource(ld);
        if (sourcesNamed)
            sourcesNamed();
        optRunSettings[ld.ftp ? 1 : 0]->setChecked(true);

        if (ld.loadIDLookup && modMain::blnFileExists(gstrIDLookupDataFile))
            loaders.loadIDLookupFile(grids.igIDLookup, gstrIDLookupDataFile);
        if (ld.idLookupDataFile) {
            txtEBMSIDLookupFile->setText(gstrIDLookupDataFile);
            txtEBMSIDLookupFilename->setText(paths::fileNameOf(gstrIDLookupDataFile).trimmed());
        }

        if (!ld.ftp) {
            if (!ld.dataFile) {
                // No data file: the working record file as it stands.
                if (modMain::blnFileExists(gstrWorkingDataFile)) {
                    loaders.LoadDataFileIfExists(grids, gstrWorkingDataFile);
                    ShowRecordInLines(1);
                } else {
                    loaders.initRDMGridColumns(grids.igRDM);
                }
            } else {
                const bool converted = loaders.ConvertDataFile(gstrDataFile);
                if (converted) {
                    loaders.LoadDataFileIfExists(grids, gstrWorkingDataFile);
                } else if (modMain::blnFileExists(gstrWorkingDataFile)) {
                    statusMessage(QStringLiteral("Run the local orv file"));
                    loaders.LoadDataFileIfExists(grids, gstrWorkingDataFile);
                }
                // An export that did not convert (half-written, not there
                // yet) stays the data file: the settings saved after pushed
                // ones must still name it, and the change watch converts it
                // once it is there and settled. Empty fields would make that
                // save forget it and empty the record grid.
                txtDataFile->setText(gstrDataFile);
                txtDataFilename->setText(paths::fileNameOf(gstrDataFile).trimmed());
                if (converted)
                    ShowRecordInLines(1);
            }
            if (ld.loadBooking && modMain::blnFileExists(gstrBookingDataFile))
                loaders.loadEBMSBookingFile(gstrBookingDataFile);
            if (ld.bookingDataFile) {
                txtEBMSBookingFile->setText(gstrBookingDataFile);
                txtEBMSBookingFilename->setText(paths::fileNameOf(gstrBookingDataFile).trimmed());
            }
        } else {
            const std::pair<const std::optional<QString>*, QLineEdit*> ftpFields[] = {
                {&ld.ftpFilename, txtFTPFilename},
                {&ld.ftpServer, txtFTPServer},
                {&ld.ftpUsername, txtFTPUsername},
                {&ld.ftpPassword, txtFTPPassword},
            };
            for (const auto& [value, box] : ftpFields)
                if (*value)
                    box->setText(**value);
            if (!gstrDataFile.isEmpty()) {
                loaders.retrieveFTPDataFile(*frmFTP);
                // A fetch of the working record file's own name lands beside it.
                if (loaders.ConvertDataFile(fetchedCopyPath(gstrDataFile))) {
                    loaders.LoadDataFileIfExists(grids, gstrWorkingDataFile);
                    ShowRecordInLines(1);
                } else if (modMain::blnFileExists(gstrWorkingDataFile)) {
                    // A fetched file that would not convert (half-uploaded,
                    // say) must not leave a board paging nothing: the
                    // records of the last conversion go on, as for local
                    // files.
                    statusMessage(QStringLiteral("Run the local orv file"));
                    loaders.LoadDataFileIfExists(grids, gstrWorkingDataFile);
                }
            }
            if (ld.ftpBookingFilename)
                txtFTPBookingFilename->setText(*ld.ftpBookingFilename);
            if (!gstrBookingDataFile.isEmpty()) {
                loaders.retrieveFTPBookingFile(*frmFTP);
                // The fetched copy keeps the server's spelling of the name.
                const QString booking = paths::resolve(gstrDataFolder, paths::fileNameOf(gstrBookingDataFile));
                if (modMain::blnFileExists(booking))
                    loaders.loadEBMSBookingFile(booking);
            }
        }
    }

    // Run settings and validity.
    settingsload::applyRunSettings(ld);
    if (ld.standAlone)
        setChecked(chkRunAsStandAlone, gstrStandAlone == QLatin1String("1"));
    if (ld.dwellTime)
        txtDwellTime->setText(gstrDwellTime);
    if (ld.imageFile) {
        const settingsload::ImageFileFields f = settingsload::imageFileFields(gstrMediaFolder, gstrImageFile);
        txtImageFilename->setText(f.fileName);
        txtImageFile->setText(f.path);
    }
    if (ld.dayTimeValidity)
        setChecked(chkDayTimeValidation, gstrDayTimeValidity == QLatin1String("1"));
    gstrValidStartTime = putBoxText(txtValidStartTime, gstrValidStartTime);
    gstrValidEndTime = putBoxText(txtValidEndTime, gstrValidEndTime);
    gstrValidStartDays = putBoxText(txtValidStartDays, gstrValidStartDays);
    gstrValidEndDays = putBoxText(txtValidEndDays, gstrValidEndDays);

    applyScreenSettings(ld.screen);
    settingsload::applyPlayList(grids.igTemplates, ld.playList);
    neighbours.selectTemplateSlot(0);

    for (const QString& line : ld.log)
        statusMessage(line);
}

void frmMain::applyScreenSettings(const settingsload::ScreenKeys& screen)
{
    if (screen.layoutMode)
        optLayout[*screen.layoutMode == QLatin1String("1") ? 1 : 0]->setChecked(true);
    settingsload::applyScreen(screen);
    QStringList entries;
    for (int i = 0; i < cboResolution->count(); ++i)
        entries << cboResolution->itemText(i);
    // Selecting an entry sets the size globals from it, which are the same.
    const QString width = gstrScreenWidth;
    const QString height = gstrScreenHeight;
    if (const int at = settingsload::resolutionIndex(entries, width, height); at >= 0)
        cboResolution->setCurrentIndex(at);
    gstrScreenWidth = width;
    gstrScreenHeight = height;
    gstrRotation = putListText(cboRotation, gstrRotation).trimmed();
}

void frmMain::LoadDefaultSettings(const QString& path)
{
    const std::optional<IniDocument> doc = settingsfile::loadSettingsDocument(path);
    if (!doc)
        return;
    BusyGuard busy;
    DataGrids& grids = dataGrids();
    loaders.clearDataGrids(grids);

    settingsload::applyDefaultRunSettings();
    cboDataFileType->setCurrentIndex(3);
    optRunSettings[0]->setChecked(true);
    for (QLineEdit* box : {txtFTPFilename, txtFTPServer, txtFTPUsername, txtFTPPassword, txtDataFile, txtDataFilename,
                           txtFTPBookingFilename, txtEBMSIDLookupFile, txtEBMSIDLookupFilename})
        box->clear();
    loaders.initRDMGridColumns(grids.igRDM);

    setChecked(chkRunAsStandAlone, true);
    txtDwellTime->setText(gstrDwellTime);
    txtImageFilename->clear();
    txtImageFile->clear();

    gstrAssignedField = putListText(cboAssignedField, QString());
    gstrAssignedLocation = putBoxText(txtAssignedLocation, QString());
    gstrSortType = putListText(cboSortSelection, QStringLiteral("None"));
    gstrSortGroup = putListText(cboSortGroup, QString());
    gstrSortLine = putListText(cboSortLine, QString());

    setChecked(chkDayTimeValidation, false);
    gstrValidStartTime = putBoxText(txtValidStartTime, QStringLiteral("00:00"));
    gstrValidEndTime = putBoxText(txtValidEndTime, QStringLiteral("00:00"));
    gstrValidStartDays = putBoxText(txtValidStartDays, QStringLiteral("0"));
    gstrValidEndDays = putBoxText(txtValidEndDays, QStringLiteral("0"));

    loadOwnRecordsWhenEmpty();

    QStringList log;
    applyScreenSettings(settingsload::readScreenKeys(*doc, &log));
    neighbours.selectTemplateSlot(0);
    for (const QString& line : log)
        statusMessage(line);
}

void frmMain::loadOwnRecordsWhenEmpty()
{
    DataGrids& grids = dataGrids();
    if (gstrDataType != QLatin1String("3") || grids.igRDM.RowCount() > 0 ||
        !modMain::blnFileExists(gstrWorkingDataFile))
        return;
    BusyGuard busy;
    loaders.LoadDataFileIfExists(grids, gstrWorkingDataFile);
    ShowRecordInLines(1);
}

// ---- File menu ----

void frmMain::mnuSave_Click()
{
    if (isPlayerMode()) {
        savesettings::SaveCheckInput in;
        in.ftp = optRunSettings[1]->isChecked();
        in.dataType = gstrDataType;
        in.dataFile = txtDataFile->text();
        in.ftpFilename = txtFTPFilename->text();
        in.ftpServer = txtFTPServer->text();
        in.ftpUsername = txtFTPUsername->text();
        in.ftpPassword = txtFTPPassword->text();
        in.imageFilename = txtImageFilename->text();
        in.dwellTime = txtDwellTime->text();
        in.playListRows = dataGrids().igTemplates.RowCount();
        if (const auto failure = savesettings::checkRunSettings(in)) {
            services::message(failure->message, MsgIcon::Information, MsgButtons::Ok);
            if (!failure->focus.isEmpty())
                if (auto* control = findChild<QWidget*>(failure->focus))
                    control->setFocus();
            return;
        }
        SaveSettings(gstrSettingsFile);
    } else {
        SaveDisplaySettings(gstrSettingsFile);
    }
    neighbours.btnSetTemplate_Click();
}

void frmMain::mnuSaveTemplate_Click()
{
    neighbours.btnSaveTemplate_Click();
}

// ---- Sibling program ----

void frmMain::mnuFNW_Click()
{
    fenwold::launch(mnuSetStatus[0]->isChecked(), cboDataFileType->currentIndex(), txtDataFile->text(),
                    gstrProgramFolder, fenwoldLauncher ? *fenwoldLauncher : fenwold::systemLauncher());
}

void frmMain::btnFNW_Click()
{
    mnuFNW_Click();
}

void frmMain::WriteFNWSettings(const QString& path)
{
    fenwold::WriteFNWSettings(path, cboDataFileType->currentIndex(), txtDataFile->text());
}
