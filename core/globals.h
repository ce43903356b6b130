#pragma once
// The program-wide values: folder and file paths set once at start-up, the
// settings values (held as text, as stored in the settings file) and the
// stop flag. Every subsystem reads them; the shell sets them.
#include <QString>

#include <functional>

// Stop requested (or stopped). Set by Stop, by Esc or the right mouse button
// while a page is drawn, by every command of the command file and at shut-down.
inline bool gblnStop = false;

// A run is in progress, from Start Program (or Run Process) until Stop. Nobody
// may be there to click: problems then go to the status list instead of a
// message box.
inline bool gblnRunActive = false;

// Folders and files (no trailing "/").
inline QString gstrProgramFolder;
inline QString gstrDataFolder;
inline QString gstrMediaFolder;
inline QString gstrRemoteFolder;
inline QString gstrTemplatesFolder;
inline QString gstrMTLFolder;
inline QString gstrSettingsFile;
inline QString gstrConfirmFile;
inline QString gstrWorkingDataFile;
inline QString gstrUpdatedRecordsFile;
inline QString gstrLastLoadFile;
inline QString gstrThemeLayoutFile;
inline QString gstrPlayerFolder;

// Sets every path above from the program folder and the player folder.
void initGlobalPaths(const QString& programFolder, const QString& playerFolder);

// Settings values.
inline QString gstrStatus;
inline QString gstrDataType;
inline QString gstrRetrieveType;
inline QString gstrDataFile;
inline QString gstrBookingDataFile;
inline QString gstrIDLookupDataFile;
inline QString gstrFTPServer;
inline QString gstrFTPUsername;
inline QString gstrFTPPassword;
inline QString gstrFTPFilename;
inline QString gstrFTPBookingFilename;
inline QString gstrStandAlone;
inline QString gstrDwellTime;
inline QString gstrImageFile;
inline QString gstrDayTimeValidity;
inline QString gstrValidStartTime;
inline QString gstrValidEndTime;
inline QString gstrValidStartDays;
inline QString gstrValidEndDays;
inline QString gstrAssignedField;
inline QString gstrAssignedLocation;
inline QString gstrSortType;
inline QString gstrSortGroup;
inline QString gstrSortLine;
inline QString gstrLayoutMode;
inline QString gstrScreenWidth;
inline QString gstrScreenHeight;
// The largest page side in pixels a settings file may ask for: a page of
// 8192 x 8192 already takes 256 MiB.
inline constexpr int kMaxScreenSide = 8192;
inline QString gstrRotation;

// Hooks the main window fills so that code without a window can reach it.
namespace shellhooks {
// Process > Stop (stops the run cycle and shows the main window).
inline std::function<void()> stopCommand;
} // namespace shellhooks
