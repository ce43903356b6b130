#pragma once
// The data loaders a settings load drives, in the order the load calls them.
// Each starts as the real loader of the record store, the EBMS list and the
// FTP worker; tests replace single ones to watch the order or to stand in
// for a server.
#include "core/datagrids.h"

#include <QString>

#include <functional>

class FrmFTP;

namespace fenwold {
class Launcher;
}
namespace settingsload {
struct ScreenKeys;
}

struct SettingsLoaders {
    SettingsLoaders(); // the real loaders

    // Empties the data grids and the status log.
    std::function<void(DataGrids&)> clearDataGrids;
    std::function<bool(Grid& igIDLookup, const QString& path)> loadIDLookupFile;
    // Converts a source file into the working record file; true on success.
    std::function<bool(const QString& source)> ConvertDataFile;
    std::function<void(DataGrids&, const QString& path)> LoadDataFileIfExists;
    std::function<void(Grid& igRDM)> initRDMGridColumns;
    std::function<bool(const QString& path)> loadEBMSBookingFile;
    // Fetch the FTP data file and booking file into the Data folder.
    std::function<bool(FrmFTP&)> retrieveFTPDataFile;
    std::function<bool(FrmFTP&)> retrieveFTPBookingFile;
};
