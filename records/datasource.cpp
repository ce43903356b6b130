#include "records/datasource.h"

#include "core/globals.h"
#include "core/modmain.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "records/convert.h"
#include "records/readers.h"
#include "records/recordstore.h"

#include <optional>

namespace {

using C = DataSourceControl;

// One row of the inputs table: the state for types "0"/"1"/"4", "2" and "3";
// `colored` when the row sets the background as well.
struct InputRule {
    C control;
    bool openPlain; // "0", "1", "4"
    bool openEBMS;  // "2"
    bool openOwn;   // "3"
    bool colored;
};

constexpr InputRule kRules[] = {
    {C::txtDataFilename, true, true, false, true},        {C::txtDataFile, true, true, false, true},
    {C::cmdDataFileBrowser, true, true, false, false},    {C::txtEBMSBookingFilename, false, true, false, false},
    {C::txtEBMSBookingFile, false, true, false, true},    {C::btnEBMSBookingBrowser, false, true, false, false},
    {C::txtEBMSIDLookupFile, false, true, false, true},   {C::btnEBMSIDLookupBrowser, false, true, false, false},
    {C::txtFTPFilename, true, true, false, true},         {C::txtFTPServer, true, true, false, true},
    {C::txtFTPUsername, true, true, false, true},         {C::txtFTPPassword, true, true, false, true},
    {C::txtFTPBookingFilename, false, true, false, true},
};

} // namespace

void cboDataFileType_Click(DataSourceView& view, int selectedIndex)
{
    gstrDataType = QString::number(selectedIndex);
    enum { Plain, EBMS, Own };
    std::optional<int> column;
    switch (selectedIndex) {
    case 0:
    case 1:
    case 4:
        column = Plain;
        break;
    case 2:
        column = EBMS;
        break;
    case 3:
        column = Own;
        break;
    default:
        break;
    }
    if (column) {
        for (const InputRule& r : kRules) {
            const bool open = *column == Plain ? r.openPlain : *column == EBMS ? r.openEBMS : r.openOwn;
            view.setEnabled(r.control, open);
            if (r.colored)
                view.setBackColor(r.control, open ? kOpenInputColor : kClosedInputColor);
        }
        const bool optionsOpen = *column != Own;
        if (!optionsOpen)
            view.selectLocalOption();
        view.setEnabled(C::optRunSettings0, optionsOpen);
        view.setEnabled(C::optRunSettings1, optionsOpen);
    }
    if (column == Own) {
        if (view.isRDMVisible())
            view.setRDMControlsVisible(true);
    } else {
        view.setRDMControlsVisible(false);
    }
}

void cmdDataFileBrowser_Click(DataGrids& grids, DataSourceView& view)
{
    if (BusyGuard::active())
        return;
    BusyGuard busy;
    QString path;
    if (!services::files().chooseOpen(QStringLiteral("Select a file"), records::trimBlanks(gstrDataFolder),
                                      kDataFileFilter, path))
        return;
    bool ok = false;
    ConvertDataFile(path, ok);
    if (!ok) {
        services::message(QStringLiteral("Error converting the file to ORV format."), MsgIcon::Exclamation);
        return;
    }
    LoadDataFileIfExists(grids, gstrWorkingDataFile);
    view.setText(C::txtDataFile, path);
    view.setText(C::txtDataFilename, paths::fileNameOf(path));
}

void btnEBMSBookingBrowser_Click(DataGrids& grids, DataSourceView& view)
{
    if (BusyGuard::active())
        return;
    const QString functionFile = view.text(C::txtDataFile);
    if (functionFile.isEmpty() || !modMain::blnFileExists(functionFile)) {
        services::message(QStringLiteral("Please select/enter an EBMS Function Data File first."),
                          MsgIcon::Information);
        return;
    }
    BusyGuard busy;
    QString path;
    if (!services::files().chooseOpen(QStringLiteral("Select a file"), records::trimBlanks(gstrDataFolder),
                                      kBookingFileFilter, path))
        return;
    const QString title = paths::fileNameOf(path);
    view.setText(C::txtEBMSBookingFile, path);
    view.setText(C::txtEBMSBookingFilename, title);
    gstrBookingDataFile = records::trimBlanks(title);
    if (recordshooks::loadEBMSBookingFile)
        recordshooks::loadEBMSBookingFile(grids, path);
}
