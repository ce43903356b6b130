// Editor and Player mode, the three views and the Communication command.
#include "shell/frmmain.h"

#include "core/globals.h"
#include "platform/gridview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <initializer_list>

namespace {

const QColor kOpenColour(0xFF, 0xFF, 0xFF);

void setOpen(std::initializer_list<QWidget*> inputs, bool open)
{
    for (QWidget* w : inputs)
        frmMain::setInputOpen(w, open);
}

void enableAll(std::initializer_list<QWidget*> controls, bool enabled)
{
    for (QWidget* w : controls)
        w->setEnabled(enabled);
}

} // namespace

void frmMain::setInputOpen(QWidget* input, bool open)
{
    if (!input)
        return;
    input->setEnabled(open);
    QPalette pal = input->palette();
    const QColor closed = QApplication::palette().color(QPalette::Active, QPalette::Button);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, open ? kOpenColour : closed);
    input->setPalette(pal);
}

bool frmMain::inputIsWhite(const QWidget* input)
{
    return input && input->palette().color(QPalette::Active, QPalette::Base) == kOpenColour;
}

bool frmMain::isPlayerMode() const
{
    return mnuSetStatus[1]->isChecked();
}

void frmMain::mnuSetStatus_Click(int Index)
{
    if (Index == 0 || Index == 1) {
        mnuSetStatus[0]->setChecked(Index == 0);
        mnuSetStatus[1]->setChecked(Index == 1);
    }
    SetControlsByStatus();
    SetStatusValue(Index);
}

void frmMain::SetStatusValue(int value)
{
    gstrStatus = QString::number(value);
}

void frmMain::SetControlsByStatus()
{
    const bool player = isPlayerMode();
    const QString& type = gstrDataType;
    const bool ownRecords = type == QLatin1String("3");

    setInputOpen(cboDataFileType, player);

    // FTP inputs: Rizura Vivud keeps its records locally, so they stay as
    // they are there.
    if (!player) {
        optRunSettings[1]->setEnabled(false);
        setOpen({txtFTPFilename, txtFTPServer, txtFTPUsername, txtFTPPassword, txtFTPBookingFilename}, false);
    } else if (!ownRecords) {
        optRunSettings[1]->setEnabled(true);
        setOpen({txtFTPFilename, txtFTPServer, txtFTPUsername, txtFTPPassword}, true);
        setInputOpen(txtFTPBookingFilename, type == QLatin1String("2"));
    } else {
        optRunSettings[1]->setEnabled(false);
    }

    // Local file inputs.
    if (!player || !ownRecords) {
        optRunSettings[0]->setEnabled(player);
        setOpen({txtDataFilename, txtDataFile}, player);
        cmdDataFileBrowser->setEnabled(player);
        setOpen({txtEBMSBookingFilename, txtEBMSBookingFile}, player);
        btnEBMSBookingBrowser->setEnabled(player);
        setOpen({txtEBMSIDLookupFilename, txtEBMSIDLookupFile}, player);
        btnEBMSIDLookupBrowser->setEnabled(player);
    } else {
        optRunSettings[0]->setEnabled(false);
    }

    setOpen({txtImageFilename, txtImageFile}, player);
    btnImgBrowser->setEnabled(player);
    setInputOpen(txtDwellTime, player);
    vsDwellTime->setEnabled(player);
    chkRunAsStandAlone->setEnabled(player);
    enableAll({btnAddTemplate, btnRemoveTemplate, igTemplatesView}, player);
    setOpen({cboAssignedField, txtAssignedLocation}, player);
    setOpen({cboSortSelection, cboSortGroup, cboSortLine}, player);
    chkDayTimeValidation->setEnabled(player);
    setOpen({txtValidStartTime, txtValidEndTime, txtValidStartDays, txtValidEndDays}, player);

    for (QPushButton* b : {btnTemplate, btnRecordDataManager, btnProgress})
        b->setVisible(player);
    mnuProcess->menuAction()->setVisible(player);
    mnuCommunication->setVisible(!player);

    btnTemplate_Click();
}

// ---- Views ----

void frmMain::btnTemplate_Click()
{
    fraProgress->hide();
    fraRDM->hide();
    fraRDMControls->hide();
    fraTemplates->show();
    neighbours.unlockTemplateLineControls();
    fraDateTimeValidation->hide();
}

void frmMain::btnProgress_Click()
{
    fraProgress->show();
    fraRDM->hide();
    fraRDMControls->hide();
    fraTemplates->hide();
    neighbours.unlockTemplateLineControls();
    fraDateTimeValidation->hide();
}

void frmMain::btnRecordDataManager_Click()
{
    fraProgress->hide();
    fraRDM->show();
    // The edit buttons serve only records kept in the program's own file.
    if (gstrDataType == QLatin1String("3"))
        fraRDMControls->show();
    fraTemplates->hide();
    neighbours.lockTemplateLineControls();
    fraDateTimeValidation->show();
}

void frmMain::mnuTemplateSettings_Click()
{
    btnTemplate_Click();
}

void frmMain::mnuRenderDataManager_Click()
{
    btnRecordDataManager_Click();
}

void frmMain::mnuCommunication_Click()
{
    neighbours.showAdministration();
}
