#pragma once
// Start-up rules that need no window: the caption, where the main window
// goes on the screen, and the program's folders.
#include <QString>
#include <QStringList>

namespace startup {

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 3;
constexpr int kVersionRevision = 5;

// "ZQ Rizura Vivud 1.3.5".
QString mainCaption();

// Window lengths were laid out at 15 twips to a pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// The main window's client area as designed (15240 x 10830 twips).
constexpr int kDesignClientWidth = twipsToPixels(15240);
constexpr int kDesignClientHeight = twipsToPixels(10830);
// A window shrunk to a low screen stays this much shorter than the screen
// (350 twips), so the task bar stays clear.
constexpr int kShrinkMargin = twipsToPixels(350);

struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// Places a window of the given outer size on a screen of the given size:
// centred when it fits; a too wide window takes the screen's width at the
// left edge; a too high window becomes the screen's height less the margin,
// at the top, centred across.
WindowRect placeMainWindow(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

// Creates the Data, Media, Remote, Templates and MasterTemplateLists folders
// (the global folder paths, in that order) when nothing of that name exists.
// A folder that can't be made, or a file standing in its place, is logged as
// a line starting with "!!!"; start-up goes on. Returns the folders created.
QStringList createProgramFolders();
// Removes the temporary files that writes killed part way left in the
// folders the program writes (the program folder, Data, Media, Remote,
// Templates, MasterTemplateLists, and the local player's Media and Settings
// folders), and puts back a file an upload moved aside whose real file is
// missing (see atomicfile::removeStaleTemporaries). Returns how many files
// were removed or put back.
int removeStaleTemporaries();

} // namespace startup
