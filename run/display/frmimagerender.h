#pragma once
// The full-screen display of a stand-alone board: one frameless window on
// top of all others, holding one graphics view over a scene of layers
// (bottom to top): background video, background picture, PiP video, and the
// three page boxes. Where a page pixel is pure black and a background video
// or a PiP is in use, the layers below show through.
//
// The window lives as long as the program: Stop hides and resets it, since
// Stop may come from its own tick. A 100 ms tick shows a pending page, keeps
// the videos looping and watches Esc and the right mouse button, which stop
// the run through the callback given at construction.
//
// Each video layer and its player are made when a page first plays a video
// file there: a board without videos never starts the media framework or
// opens an audio device.
#include "run/control/displayport.h"
#include "run/display/classactivemovie.h"
#include "run/display/displaymodel.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QGraphicsPixmapItem;
class QGraphicsRectItem;
class QGraphicsScene;
class QGraphicsVideoItem;
class QGraphicsView;
class QScreen;
class QWidget;

// Parks the pointer in the bottom-right corner of the primary screen.
void ParkMousePointer();
// Moves the pointer to (x, y) in screen pixels.
void SetMousePosition(int x, int y);

class frmImageRender final : public QObject, public DisplayPort {
    Q_OBJECT
public:
    // Makes the player that draws into a host's video item; called once per
    // video layer, when the layer first plays a file.
    using PlayerFactory = std::function<std::unique_ptr<VideoPlayer>(QGraphicsVideoItem& host)>;

    // `onStop` performs the run's Stop when the display closes itself (Esc,
    // the right mouse button, or the stop flag seen on a tick); `pageMedia`
    // gives the background and PiP of the page about to be shown. Without a
    // factory the videos play through Qt Multimedia.
    frmImageRender(std::function<void()> onStop, std::function<PageMedia()> pageMedia, PlayerFactory players = {});
    ~frmImageRender() override;

    void open() override;
    void pageReady() override;
    void close() override;

    bool isOpen() const { return open_; }
    const DisplayState& state() const { return state_; }
    QWidget& window() { return *window_; }
    QGraphicsView& view() { return *view_; }
    ClassActiveMovie& ctlDXShow() { return *ctlDXShow_; }
    ClassActiveMovie& ctlDXShowPiP() { return *ctlDXShowPiP_; }

    // One tick of the display's timer (the timer calls it every 100 ms).
    void Timer1_Timer();

    // Places the window over the whole primary screen, shows it and raises
    // it above the other windows.
    void SetAlwaysOnTop();
    // An open display goes back above the program's other windows and takes
    // the focus: a window manager keeps it on top, but a session without one
    // puts any window shown or raised later above it. A closed one stays so.
    void raiseIfOpen();
    // The primary screen now covers `geometry` (its size changed, or another
    // screen became the primary one): an open window covers it again; the
    // next page is laid out at the new size.
    void followScreen(const QRect& geometry);

    // What is on screen, for tests: which page box shows, and whether the
    // background video, background picture and PiP layers are visible.
    int shownPageBox() const;
    bool backgroundVideoShown() const;
    bool backgroundPictureShown() const;
    bool pipShown() const;
    QRect pipRect() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowImageRender();
    void LoadBackgroundVideo(const QString& file);
    void LoadPiPVideo(const QString& file, const PiPRegion& region);
    void placePiP(const PiPRegion& region);
    void startVideo(ClassActiveMovie& movie, const QString& file, const QString& noVideo, QGraphicsRectItem* host);
    void stopVideo(ClassActiveMovie& movie, QGraphicsRectItem* host);
    void loopVideo(ClassActiveMovie& movie, bool on);
    // Makes the video layer stacked at `z` over `host` (into `item`) and its
    // player.
    std::unique_ptr<VideoPlayer> makeVideoLayer(qreal z, QGraphicsRectItem* host, QGraphicsVideoItem*& item);
    void Form_Resize();
    // Follows the size of `screen` from now on.
    void watchScreen(QScreen* screen);
    // Closes the window; `performStop` runs the run's Stop afterwards.
    void unload(bool performStop);
    QSize screenSize() const;

    std::function<void()> onStop_;
    std::function<PageMedia()> pageMedia_;
    PlayerFactory players_;
    std::unique_ptr<QWidget> window_;
    QGraphicsView* view_ = nullptr;
    QGraphicsScene* scene_ = nullptr;
    QGraphicsRectItem* backgroundHost_ = nullptr;      // picBG(0)
    QGraphicsVideoItem* backgroundVideo_ = nullptr;    // made with its player
    QGraphicsPixmapItem* backgroundPicture_ = nullptr; // picBG(1)
    QGraphicsRectItem* pipHost_ = nullptr;             // picPiP
    QGraphicsVideoItem* pipVideo_ = nullptr;           // made with its player
    QGraphicsPixmapItem* pageBoxes_[3] = {};           // picImage(0..2)
    std::unique_ptr<VideoPlayer> backgroundPlayer_;
    std::unique_ptr<VideoPlayer> pipPlayer_;
    std::unique_ptr<ClassActiveMovie> ctlDXShow_;
    std::unique_ptr<ClassActiveMovie> ctlDXShowPiP_;
    QTimer Timer1;
    DisplayState state_;
    bool open_ = false;
    int session_ = 0; // counts opens and closes, so a layout can tell it was closed under it
    QMetaObject::Connection screenLink_;
    // The screen size and rotation the background picture was fitted to.
    QSize pictureFitSize_;
    int pictureFitDegrees_ = 0;
};
