#pragma once
// Loading the settings file: what each key means when it is missing or empty,
// the mode read at start-up, and the values that name files.
//
// How the main window's LoadSettings(path) uses it, in this order (a step
// that fails is passed over and the next one runs):
//   1. doc = settingsfile::loadSettingsDocument(path); no document: return.
//   2. BusyGuard; clearDataGrids (grids and status log).
//      ld = resolveLoad(*doc).
//   3-4. applyAssignedAndSort(ld); put gstrAssignedField, gstrAssignedLocation,
//      gstrSortType, gstrSortGroup, gstrSortLine into their controls and take
//      the globals back from the controls.
//   5. applyDataType(ld); select entry ld.dataTypeIndex of cboDataFileType
//      (nothing when it is -1).
//   6. When ld.loadDataSource is false, skip to 10.
//   7-9. applyDataSource(ld) sets gstrRetrieveType, gstrIDLookupDataFile,
//      gstrDataFile, gstrBookingDataFile and the FTP globals. Then the
//      load's sourcesNamed callback runs (the run's change watch takes the
//      files named there), then select optRunSettings(ld.ftp ? 1 : 0) and:
//      - ld.loadIDLookup and the file exists: loadIDLookupFile; when
//        ld.idLookupDataFile is set, fill txtEBMSIDLookupFile(name).
//      - local: when ld.dataFile is nothing, load gstrWorkingDataFile when it
//        exists (else initRDMGridColumns); otherwise ConvertDataFile(
//        gstrDataFile), on success load the working file, on failure log
//        "Run the local orv file" and fall back to the working file when it
//        exists; either way fill the data file fields, so that a save keeps
//        the data file. Then, when ld.loadBooking and the file exists,
//        loadEBMSBookingFile(gstrBookingDataFile); fill the booking fields
//        when ld.bookingDataFile is set.
//      - FTP: fill the FTP fields from the globals. When gstrDataFile is not
//        empty: retrieveFTPDataFile, ConvertDataFile(gstrDataFile), on
//        success load the working file. When gstrBookingDataFile is not
//        empty: retrieveFTPBookingFile, then loadEBMSBookingFile when the
//        file exists (any Data Type).
//   10-14. applyRunSettings(ld); set chkRunAsStandAlone, txtDwellTime,
//      txtImageFilename / txtImageFile (imageFileFields), chkDayTimeValidation
//      and the four validity boxes from the globals.
//   15. When ld.screen.layoutMode is set, select optLayout(it) (its handler
//      refills the resolution list); then
//   16-17. applyScreen(ld.screen) sets the layout, size and rotation globals;
//      select resolutionIndex(...) in cboResolution when it is not -1; put
//      gstrRotation into cboRotation.
//   18. applyPlayList(igTemplates, ld.playList).
//   19. Select entry 0 of cboTemplateSelection.
//   Finally write every line of ld.log with statusMessage().
//
// LoadDefaultSettings(path): return when the file is missing; BusyGuard;
// clearDataGrids; applyDefaultRunSettings() and put the globals into the
// controls (booking fields and play-list untouched); initRDMGridColumns;
// then steps 15-17 with readScreenKeys(doc); select the first template.
//
// GetStatusSetting(): GetStatusSetting(gstrSettingsFile) below; start as
// player when startsPlayer() of the answer is true.
#include "platform/grid.h"
#include "platform/inifile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace settingsload {

// The mode stored in `path` ("0" when there is no file or no value; at most
// four characters). Also stored in gstrStatus.
QString GetStatusSetting(const QString& path);
// The same rule on a document already read.
QString readStatus(const IniDocument& doc);
// True when the mode starts the program as a player.
bool startsPlayer(const QString& status);

// The layout keys, read alone at an Editor start and as part of every load.
struct ScreenKeys {
    std::optional<QString> layoutMode; // "1" landscape or "0"; nothing: keep
    std::optional<QString> width;      // nothing: keep
    std::optional<QString> height;     // nothing: keep
    QString rotation;                  // "0" when missing or empty
};

// The template play-list as stored.
struct PlayListLoad {
    bool replace = false; // false: the grid keeps its rows
    QStringList entries;  // in key order (the grid keeps it)
};

// What a load does with each key.
struct LoadedSettings {
    QString assignedField, assignedLocation;
    QString sortType, sortGroup, sortLine;

    QString dataType;      // "0" when missing or empty
    int dataTypeIndex = 0; // entry of the data-source list; -1 when none fits

    bool loadDataSource = true; // false when "Retrieve Type" is there but empty
    bool ftp = false;
    std::optional<QString> idLookupDataFile; // nothing: keep
    bool loadIDLookup = false;               // and only when the file exists
    // Local files.
    std::optional<QString> dataFile;        // nothing: use the working record file
    std::optional<QString> bookingDataFile; // nothing: keep
    bool loadBooking = false;               // and only when the file exists
    // FTP (each: nothing keeps the global and the field).
    std::optional<QString> ftpFilename, ftpServer, ftpUsername, ftpPassword, ftpBookingFilename;

    std::optional<QString> standAlone;      // "1" or "0"; nothing: keep
    std::optional<QString> dwellTime;       // nothing: keep
    std::optional<QString> imageFile;       // a plain file name; nothing: keep
    std::optional<QString> dayTimeValidity; // "1" or "0"; nothing: keep
    QString validStartTime, validEndTime;   // "00:00" when missing or empty
    QString validStartDays, validEndDays;   // "0" when missing or empty

    ScreenKeys screen;
    PlayListLoad playList;

    QStringList log; // status lines for refused values ("!!!...")
};

LoadedSettings resolveLoad(const IniDocument& doc);
// A side that is not a whole number of at least 1 keeps the current one; a
// side above kMaxScreenSide gives the default size 768 x 1024 for both. Each
// refusal adds a "!!!" line to `log`.
ScreenKeys readScreenKeys(const IniDocument& doc, QStringList* log = nullptr);
// "List Number" and the numbered keys. Only keys that are in the file are
// visited, so a huge "List Number" costs nothing; entries that would name a
// file outside the Data folder are skipped with a "!!!" line.
PlayListLoad readPlayList(const IniDocument& doc, QStringList* log = nullptr);

// Globals, in the order of the load (see the file comment).
void applyAssignedAndSort(const LoadedSettings& ld);
void applyDataType(const LoadedSettings& ld);
// In FTP mode gstrDataFile and gstrBookingDataFile are the local copies
// (ftpLocalPath; the booking file's under the name of its own that
// ftpcopies::bookingCopyName gives, when it gives one). May add to ld.log.
void applyDataSource(LoadedSettings& ld);
void applyRunSettings(const LoadedSettings& ld);
void applyScreen(const ScreenKeys& screen);

// The local copy of a file fetched by FTP: Data folder + the file name of
// `ftpName`. "" when the name is empty, or (with a "!!!" line) when it holds
// no usable file name: then nothing is to be fetched.
QString ftpLocalPath(const QString& dataFolder, const QString& ftpName, QStringList* log = nullptr);

// The image file boxes for a stored image name: txtImageFilename and
// txtImageFile (in the Media folder).
struct ImageFileFields {
    QString fileName;
    QString path;
};
ImageFileFields imageFileFields(const QString& mediaFolder, const QString& imageFile);

// The entry of the resolution list that reads "<width> x <height>"; -1 when none.
int resolutionIndex(const QStringList& entries, const QString& width, const QString& height);

// Fills the play-list grid (its "Template" column must exist) when the
// stored list replaces it: rows emptied, one row per entry, in the stored
// order (the order Up and Down set). Otherwise the grid keeps its rows.
void applyPlayList(Grid& igTemplates, const PlayListLoad& playList);

// The fixed run settings of an Editor start, into the globals: Data Type
// "3", local files, no FTP, data or ID lookup file, Stand Alone "1", Dwell
// Time "10", no image, sort "None", no assigned settings, validity off with
// "00:00" and "0" days. The booking file and the mode are left alone.
void applyDefaultRunSettings();

} // namespace settingsload
