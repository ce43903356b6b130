#pragma once
// Starting the sibling program Fenwold from the program folder, and the
// settings file that tells it which data file to open.
//
// How the main window uses it: mnuFNW_Click (and btnFNW_Click, which only
// calls it) calls
//   fenwold::launch(editor, cboDataFileType index, txtDataFile text,
//                   gstrProgramFolder, fenwold::systemLauncher());
// where `editor` is true when the Status menu's "Editor" item is checked.
#include <QString>

namespace fenwold {

// Starts a program without a shell and without waiting for it.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual bool startDetached(const QString& program) = 0;
};
// The real one (QProcess::startDetached, no arguments, this program's
// environment and current folder).
Launcher& systemLauncher();

inline const QString kSettingsFileName = QStringLiteral("FNWSettings.ini");
inline const QString kSection = QStringLiteral("FNWSETTING");
inline const QString kCantLoad = QStringLiteral("Can't load the Fenwold Software.");
inline const QString kOnlyWorksWith = QStringLiteral("Fenwold only works with Micros/Opera/Tamrisk and Delphi.");

// The sibling's executable in `programFolder`: "Fenwold", or "Fenwold.exe"
// when that is what exists (letter case aside); "" when there is none.
QString siblingExecutable(const QString& programFolder);

// Writes the sibling's settings file as one file: section "FNWSETTING" with
// "Last Loaded Event Type" ("TAMRISK" for data source 0, "DELPHI" for 1) and
// "Last Loaded File" = `dataFile`. Any other data source writes nothing and
// leaves the file alone. False when nothing was written.
bool WriteFNWSettings(const QString& path, int dataSourceIndex, const QString& dataFile);

// What the command does.
struct Decision {
    bool writeSettings = false;
    bool start = false;
    QString message; // shown when not empty
    bool operator==(const Decision&) const = default;
};
Decision decide(bool editorMode, int dataSourceIndex, bool executableExists);

// The whole command: decides, writes the settings, starts the sibling and
// shows the message (services::message) as decided.
void launch(bool editorMode, int dataSourceIndex, const QString& dataFile, const QString& programFolder,
            Launcher& launcher);

} // namespace fenwold
