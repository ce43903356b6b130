#pragma once
// What the full-screen display shows for each page, decided without a
// window: which of the three page boxes takes the page, which layers and
// videos are in use, and whether the page's pure-black pixels are cut out.
//
// Layers, bottom to top: background video, background picture (only under a
// PiP window, which the page leaves black for it), PiP video, page boxes 0..2. Boxes 0 and 1 take turns while a
// video plays, so a page is prepared in a box that is not on screen; box 2
// serves pages without a file background and without a PiP.
//
// Fractions of the PiP region are of the screen: top and height of its
// height, left and width of its width.
#include "platform/filestamp.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

// The page's background and PiP, as the template holds them.
struct PageMedia {
    QString backgroundType; // "1": the background is a file
    QString backgroundImage;
    QString pipOn; // "1": the PiP window is on
    QString pipFile;
    QString pipRegion; // LayoutRect "top|left|height|width"
};

// The display's own state between pages.
struct DisplayState {
    bool blnShowPending = false;
    bool mblnBackgroundVideoOn = false;
    bool mblnPiPVideoOn = false;
    QString mstrShownBackground;
    QString mstrShownPiP;
    int mintPageBox = 1;
    QString shownBackgroundPicture; // file on the picture layer, "" while hidden
    // The picture and video files as they were when they were loaded or
    // opened: another file under the same name is loaded or opened anew.
    FileStamp backgroundPictureStamp;
    FileStamp backgroundVideoStamp;
    FileStamp pipVideoStamp;

    // The values of a freshly opened display; a pending page stays pending.
    void reset();
};

enum class VideoStep {
    Keep,  // leave it as it is (running, or off)
    Start, // open the file and play it from the start
    Stop,  // stop it and hide its layer
};

enum class PictureStep { Keep, Load, Hide };

// The PiP region; a part that is missing or no number is left unset, and
// the window keeps that part of the previous place.
struct PiPRegion {
    std::optional<double> top, left, height, width;
};

struct LayoutPlan {
    int pageBox = 2;
    bool seeThrough = false; // pure-black page pixels show the layers below
    PictureStep backgroundPicture = PictureStep::Keep;
    QString backgroundPictureFile;
    VideoStep backgroundVideo = VideoStep::Keep;
    QString backgroundVideoFile;
    VideoStep pipVideo = VideoStep::Keep;
    QString pipVideoFile;
    bool pipInUse = false; // the PiP video is (to be) on: place it at pipRegion
    PiPRegion pipRegion;
};

using FileTest = std::function<bool(const QString& path)>;
using FileStampOf = std::function<FileStamp(const QString& path)>;

// Plans one page and moves `state` on as the layout will leave it. A video
// is stopped whenever the page does not use it (a background video unless
// the background type is "1" and its file is a video, the PiP video unless
// the PiP is on and its file is a video); a video the page keeps using with
// the same file runs on, unless `stampOf` (when given) tells that the file
// behind its name is another one now (replaced, or deleted): it is started
// again from the new file, and the old one is let go. The background picture
// under a PiP window (a video, a picture or no file) is loaded when its resolved file changes, or (with
// `stampOf`) when the file behind its name is another one now, and hidden
// when the page no longer uses it. Media files are found as
// modMain::resolveMediaPath finds them.
LayoutPlan planLayout(DisplayState& state, const PageMedia& media, const QString& mediaFolder, const FileTest& exists,
                      const FileStampOf& stampOf = {});

// "top|left|height|width", each read with "." as the decimal separator.
PiPRegion parsePiPRegion(const QString& text);

// The whole number of degrees in the rotation setting; 0 when empty.
int rotationDegrees(const QString& text);

// `picture` turned `degrees` clockwise, then scaled to `target` (a null
// picture for a null picture or an empty target).
QImage fitPicture(const QImage& picture, int degrees, const QSize& target);

// The page as shown: fitted to the screen, and with its pure-black pixels
// see-through when `seeThrough` is set.
QImage pageForScreen(const QImage& page, int degrees, const QSize& screen, bool seeThrough);

// True when a looping video has reached (or passed) its end.
bool atEnd(double position, double duration);
