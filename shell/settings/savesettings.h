#pragma once
// Saving the settings: the checks of File > "Save Settings" in Player mode,
// the whole-file save and the Editor-mode save of the mode and screen keys.
//
// How the main window uses it:
//  mnuSave_Click:
//    Player mode: fill SaveCheckInput from the panel; when checkRunSettings()
//      answers a failure, services::message(failure.message) (information
//      icon, OK), focus the control named failure.focus (none for an empty
//      play-list) and stop. Otherwise SaveSettings(gstrSettingsFile).
//    Editor mode: SaveDisplaySettings(gstrSettingsFile).
//    Both: then btnSetTemplate_Click.
//  SaveSettings(path): fill PanelTexts from the panel (screen size from
//    gstrScreenWidth / gstrScreenHeight, the play-list from igTemplates'
//    "Template" cells) and call saveSettings(path, texts, dataGrids()).
//  SaveDisplaySettings(path): saveDisplaySettings(path, gstrStatus,
//    optLayout(1) selected, cboRotation text).
// A save that fails logs a "!!!" status line and leaves the old file whole.
#include "core/datagrids.h"
#include "shell/settings/settingsfile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace savesettings {

// The panel's texts as the run-setting checks see them.
struct SaveCheckInput {
    bool ftp = false; // optRunSettings(1) selected
    QString dataType; // gstrDataType
    QString dataFile; // txtDataFile
    QString ftpFilename, ftpServer, ftpUsername, ftpPassword;
    QString imageFilename; // txtImageFilename
    QString dwellTime;     // txtDwellTime
    int playListRows = 0;  // igTemplates.RowCount()
};

struct SaveCheckFailure {
    QString message;
    QString focus; // control name; empty: the focus stays where it is
    bool operator==(const SaveCheckFailure&) const = default;
};

// The first check that fails, in the order the user is asked to mend them;
// nothing when the settings may be saved. Texts are tested trimmed, and the
// dwell time must be a whole number of at least 1.
std::optional<SaveCheckFailure> checkRunSettings(const SaveCheckInput& in);

// Everything a whole-file save reads from the panel, as the controls hold it.
struct PanelTexts {
    QString status;                                                               // gstrStatus
    QString dataType;                                                             // gstrDataType
    bool ftp = false;                                                             // optRunSettings(1) selected
    QString dataFile, bookingDataFile;                                            // txtDataFile, txtEBMSBookingFile
    QString ftpFilename, ftpServer, ftpUsername, ftpPassword, ftpBookingFilename; // as typed
    QString idLookupDataFile;                                                     // txtEBMSIDLookupFile
    bool standAlone = false;                                                      // chkRunAsStandAlone
    QString dwellTime;                                                            // txtDwellTime
    QString imageFilename;                                                        // txtImageFilename
    bool dayTimeValidity = false;
    QString validStartTime, validEndTime, validStartDays, validEndDays;
    QString assignedField, assignedLocation; // cboAssignedField, txtAssignedLocation
    QString sortType, sortGroup, sortLine;   // cboSortSelection, cboSortGroup, cboSortLine
    bool landscape = false;                  // optLayout(1) selected
    QString screenWidth, screenHeight;       // the size in force (gstrScreenWidth / Height)
    QString rotation;                        // cboRotation
    QStringList playList;                    // igTemplates "Template" cells, row order
};

// Which data grids a save empties because their source field is empty.
struct GridsToClear {
    bool igRDM = false;
    bool igRADE = false;
    bool igBook = false;
    bool igIDLookup = false;
    bool operator==(const GridsToClear&) const = default;
};

struct BuiltSettings {
    settingsfile::SettingsValues values;
    GridsToClear clear;
};

// The file a whole save writes (trimmed texts, FTP texts as typed, exactly
// one group of source-file keys) and the grids it empties. The records kept
// by hand (Data Type "3") are never emptied by an empty data file field.
BuiltSettings buildSettings(const PanelTexts& in);
// Stores every written value in its global (the globals of the group not
// written keep their values; Status and Data Type come from the globals).
void storeGlobals(const settingsfile::SettingsValues& values);
void clearGrids(DataGrids& grids, const GridsToClear& clear);

// The whole save: globals, grids, then the file in one atomic write. Returns
// false (with a "!!!" status line and `error`) when the file could not be written.
bool saveSettings(const QString& path, const PanelTexts& in, DataGrids& grids, QString* error = nullptr);

// The Editor-mode save: sets SETTINGS "Status" and TEMPLATES "Mode", "Width",
// "Height", "Rotation" (the size in force) in place and keeps every other key
// of the file. Sets gstrLayoutMode and gstrRotation. A file that exists but
// cannot be read is left alone (false).
bool saveDisplaySettings(const QString& path, const QString& status, bool landscape, const QString& rotation,
                         QString* error = nullptr);

} // namespace savesettings
