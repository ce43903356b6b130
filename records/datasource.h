#pragma once
// Choosing the data source: the data-type list opens and closes the inputs
// that belong to each type, the data-file browse button converts and loads
// the chosen file, and the booking browse button picks the EBMS booking
// file. The controls live on the main window; these functions reach them
// through DataSourceView, so they run without a window in tests.
#include "core/datagrids.h"

#include <QString>

#include <cstdint>

enum class DataSourceControl {
    txtDataFilename,
    txtDataFile,
    cmdDataFileBrowser,
    txtEBMSBookingFilename,
    txtEBMSBookingFile,
    btnEBMSBookingBrowser,
    txtEBMSIDLookupFile,
    btnEBMSIDLookupBrowser,
    txtFTPFilename,
    txtFTPServer,
    txtFTPUsername,
    txtFTPPassword,
    txtFTPBookingFilename,
    optRunSettings0, // "Retrieve Data From Local"
    optRunSettings1, // "Retrieve Data From FTP"
};

// Background of an input that may be changed (white) and of one that may
// not (the system's button-face colour).
constexpr uint32_t kOpenInputColor = 0xFFFFFF;
constexpr uint32_t kClosedInputColor = 0x8000000F;

class DataSourceView {
public:
    virtual ~DataSourceView() = default;
    virtual void setEnabled(DataSourceControl c, bool enabled) = 0;
    virtual void setBackColor(DataSourceControl c, uint32_t color) = 0;
    virtual QString text(DataSourceControl c) const = 0;
    virtual void setText(DataSourceControl c, const QString& text) = 0;
    // Selects the local-file option (its click handling runs as for the user).
    virtual void selectLocalOption() = 0;
    // The Record Data Manager frame (fraRDM) and its edit buttons (fraRDMControls).
    virtual bool isRDMVisible() const = 0;
    virtual void setRDMControlsVisible(bool visible) = 0;
};

// The filters of the two browse dialogs.
inline const QString kDataFileFilter = QStringLiteral(
    "All Files|*.TXT;*.NSS|Opera Files|*.TXT|Delphi Files|*.NSS|EBMS Function Files|*.TXT|ORV Files|*.ORV");
inline const QString kBookingFileFilter = QStringLiteral("EBMS Booking Files|*.TXT");

// The data-type list changed to `selectedIndex`: sets gstrDataType and opens
// or closes the inputs of that type.
void cboDataFileType_Click(DataSourceView& view, int selectedIndex);

// Picks a data file, converts it into the working record file and loads that
// into the record store. Does nothing while another operation is busy.
void cmdDataFileBrowser_Click(DataGrids& grids, DataSourceView& view);

// Picks the EBMS booking file (only after an existing function file was set)
// and loads it through recordshooks::loadEBMSBookingFile with its full path.
void btnEBMSBookingBrowser_Click(DataGrids& grids, DataSourceView& view);
