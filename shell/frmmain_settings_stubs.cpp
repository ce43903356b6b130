// Stand-ins for the settings panel's handlers, the settings file's reader
// and writer, the save commands and the sibling-program launch. Each does
// nothing yet; the settings panel's own files replace them (remove the
// definition here when adding the real one).
#include "shell/frmmain.h"

#include "platform/inifile.h"
#include "shell/globals.h"

#include <QFileInfo>

// Settings file writer.
void frmMain::SaveSettings(const QString&) {}
void frmMain::SaveDisplaySettings(const QString&) {}

// Settings readers. The mode is read already, so that the program starts in
// the stored mode; the full readers come with the settings panel.
QString frmMain::GetStatusSetting()
{
    if (!QFileInfo(gstrSettingsFile).isFile())
        return QStringLiteral("0");
    return IniFile(gstrSettingsFile).value(QStringLiteral("SETTINGS"), QStringLiteral("Status"), QStringLiteral("0"));
}
void frmMain::LoadSettings(const QString&) {}
void frmMain::LoadDefaultSettings(const QString&) {}

// Save commands.
void frmMain::mnuSave_Click() {}
void frmMain::mnuSaveTemplate_Click() {}

// Data and run inputs.
void frmMain::optRunSettings_Click(int) {}
void frmMain::txtDwellTime_Change() {}
void frmMain::txtDwellTime_KeyPress(int&) {}
void frmMain::vsDwellTime_Change() {}
void frmMain::btnEBMSIDLookupBrowser_Click() {}
void frmMain::cboSortSelection_Click() {}
void frmMain::cboRotation_KeyPress(int&) {}
void frmMain::cboSortGroup_KeyPress(int&) {}
void frmMain::cboSortLine_KeyPress(int&) {}
void frmMain::cboSortSelection_KeyPress(int&) {}
void frmMain::chkDayTimeValidation_Click() {}
void frmMain::vsRecord_Change() {}
void frmMain::ShowRecordInLines(int) {}
void frmMain::vsRecordsPerPage_Change() {}

// Screen, background and page elements.
void frmMain::optLayout_Click(int) {}
void frmMain::FillResolutionList(int) {}
void frmMain::cboResolution_Click() {}
void frmMain::cboRotation_Click() {}
void frmMain::optBackgroundType_Click(int) {}
void frmMain::btnBackgroundColor_Click() {}
void frmMain::setBackgroundColor(const QString&) {}
void frmMain::btnBackgroundImageBrowser_Click() {}
void frmMain::loadBackgroundFile(const QString&) {}
void frmMain::txtBackgroundImagename_Change() {}
void frmMain::btnImgBrowser_Click() {}
void frmMain::btnPiPBrowser_Click() {}
void frmMain::chkTitle_Click() {}
void frmMain::chkDateFormat_Click() {}
void frmMain::chkTimeFormat_Click() {}
void frmMain::chkPiP_Click() {}
void frmMain::optGroup_Click(int) {}

// Sibling program.
void frmMain::mnuFNW_Click() {}
void frmMain::btnFNW_Click() {}
void frmMain::WriteFNWSettings(const QString&) {}
