#include "run/display/frmimagerender.h"

#include "core/globals.h"
#include "core/modmain.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/vbvalue.h"
#include "run/display/lazyvideoplayer.h"
#include "run/display/qtvideoplayer.h"
#include "text/pictureshape.h"

#include <QCursor>
#include <QEvent>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsVideoItem>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

namespace {

const QColor kDarkGrey(64, 64, 64);
constexpr int kTickMs = 100;

// Stacking order, bottom to top.
enum Z { kZBackgroundHost, kZBackgroundVideo, kZBackgroundPicture, kZPiPHost, kZPiPVideo, kZPage };

} // namespace

void SetMousePosition(int x, int y)
{
    QCursor::setPos(x, y);
}

void ParkMousePointer()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        SetMousePosition(r.right(), r.bottom());
    }
}

frmImageRender::frmImageRender(std::function<void()> onStop, std::function<PageMedia()> pageMedia,
                               PlayerFactory players)
    : onStop_(std::move(onStop))
    , pageMedia_(std::move(pageMedia))
    , players_(std::move(players))
{
    if (!players_)
        players_ = [](QGraphicsVideoItem& host) { return std::make_unique<QtVideoPlayer>(host); };

    window_ = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window_->setWindowTitle(QStringLiteral("Orvane"));
    window_->setAutoFillBackground(true);
    QPalette pal = window_->palette();
    pal.setColor(QPalette::Window, Qt::black);
    window_->setPalette(pal);
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);

    scene_ = new QGraphicsScene(this);
    scene_->setBackgroundBrush(Qt::black);
    scene_->setItemIndexMethod(QGraphicsScene::NoIndex);
    view_ = new QGraphicsView(scene_, window_.get());
    view_->setFrameShape(QFrame::NoFrame);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view_->setBackgroundBrush(Qt::black);
    view_->setOptimizationFlags(QGraphicsView::DontSavePainterState | QGraphicsView::DontAdjustForAntialiasing);
    view_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(view_);

    backgroundHost_ = scene_->addRect(QRectF(), Qt::NoPen, kDarkGrey);
    backgroundHost_->setZValue(kZBackgroundHost);
    backgroundPicture_ = scene_->addPixmap(QPixmap());
    backgroundPicture_->setZValue(kZBackgroundPicture);
    pipHost_ = scene_->addRect(QRectF(), Qt::NoPen, Qt::black);
    pipHost_->setZValue(kZPiPHost);
    for (auto*& box : pageBoxes_) {
        box = scene_->addPixmap(QPixmap());
        box->setZValue(kZPage);
        box->setShapeMode(QGraphicsPixmapItem::BoundingRectShape);
    }
    for (QGraphicsItem* item : scene_->items())
        item->hide();

    backgroundPlayer_ = std::make_unique<LazyVideoPlayer>(
        [this] { return makeVideoLayer(kZBackgroundVideo, backgroundHost_, backgroundVideo_); });
    pipPlayer_ = std::make_unique<LazyVideoPlayer>([this] { return makeVideoLayer(kZPiPVideo, pipHost_, pipVideo_); });
    ctlDXShow_ = std::make_unique<ClassActiveMovie>(*backgroundPlayer_);
    ctlDXShowPiP_ = std::make_unique<ClassActiveMovie>(*pipPlayer_);

    // Without a window manager nobody resizes a full-screen window when the
    // screen's size changes: the display follows the primary screen itself.
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this](QScreen* screen) {
        watchScreen(screen);
        if (screen)
            followScreen(screen->geometry());
    });
    watchScreen(QGuiApplication::primaryScreen());

    Timer1.setInterval(kTickMs);
    Timer1.setSingleShot(false);
    connect(&Timer1, &QTimer::timeout, this, &frmImageRender::Timer1_Timer);
    window_->installEventFilter(this);
}

frmImageRender::~frmImageRender()
{
    unload(false);
    // The players go before the scene that holds their video items.
    ctlDXShow_.reset();
    ctlDXShowPiP_.reset();
    backgroundPlayer_.reset();
    pipPlayer_.reset();
}

std::unique_ptr<VideoPlayer> frmImageRender::makeVideoLayer(qreal z, QGraphicsRectItem* host, QGraphicsVideoItem*& item)
{
    chooseGStreamer();
    item = new QGraphicsVideoItem;
    item->setZValue(z);
    item->setOffset(host->rect().topLeft());
    item->setSize(host->rect().size());
    item->hide();
    scene_->addItem(item);
    return players_(*item);
}

QSize frmImageRender::screenSize() const
{
    return window_->size();
}

void frmImageRender::open()
{
    if (open_)
        return;
    open_ = true;
    ++session_;
    ParkMousePointer();
    window_->setCursor(Qt::BlankCursor);
    view_->viewport()->setCursor(Qt::BlankCursor);
    SetAlwaysOnTop();
    state_.reset();
    Timer1.start();
}

void frmImageRender::watchScreen(QScreen* screen)
{
    QObject::disconnect(screenLink_);
    if (screen)
        screenLink_ = connect(screen, &QScreen::geometryChanged, this, &frmImageRender::followScreen);
}

void frmImageRender::followScreen(const QRect& geometry)
{
    if (!open_ || geometry.isEmpty() || window_->geometry() == geometry)
        return;
    window_->setGeometry(geometry);
    window_->showFullScreen();
    Form_Resize();
}

void frmImageRender::SetAlwaysOnTop()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window_->setGeometry(screen->geometry());
    window_->showFullScreen();
    window_->raise();
    // Active, so that Esc reaches the program even where keys are only seen
    // through the window system's events.
    window_->activateWindow();
    Form_Resize();
}

void frmImageRender::raiseIfOpen()
{
    if (!open_)
        return;
    window_->raise();
    window_->activateWindow();
}

void frmImageRender::pageReady()
{
    open();
    state_.blnShowPending = true;
}

void frmImageRender::close()
{
    unload(false);
}

bool frmImageRender::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_.get()) {
        if (event->type() == QEvent::Resize)
            Form_Resize();
        else if (event->type() == QEvent::Close && open_) {
            // The window closed by the window system: the run stops, as by Esc.
            gblnStop = true;
            event->ignore();
            unload(true);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void frmImageRender::Form_Resize()
{
    const QRectF whole(QPointF(0, 0), QSizeF(screenSize()));
    scene_->setSceneRect(whole);
    backgroundHost_->setRect(whole);
    if (backgroundVideo_) {
        backgroundVideo_->setOffset(QPointF(0, 0));
        backgroundVideo_->setSize(whole.size());
    }
    backgroundPicture_->setPos(0, 0);
    for (auto* box : pageBoxes_)
        box->setPos(0, 0);
}

void frmImageRender::Timer1_Timer()
{
    Timer1.stop();
    KeyState& keys = services::keys();
    const bool right = keys.rightButtonDown();
    const bool esc = keys.escapeDown();
    if (!right && !esc) {
        if (state_.blnShowPending && !gblnStop) {
            state_.blnShowPending = false;
            ShowImageRender();
        }
    } else {
        gblnStop = true;
    }
    if (!open_)
        return;
    if (gblnStop) {
        unload(true);
        return;
    }
    Timer1.start();
    loopVideo(*ctlDXShow_, state_.mblnBackgroundVideoOn);
    loopVideo(*ctlDXShowPiP_, state_.mblnPiPVideoOn);
}

void frmImageRender::loopVideo(ClassActiveMovie& movie, bool on)
{
    if (on && movie.HasVideo() && atEnd(movie.Position(), movie.Duration())) {
        movie.setPosition(0);
        movie.Play();
    }
}

void frmImageRender::ShowImageRender()
{
    const int session = session_;
    const auto stopped = [&] { return gblnStop || session != session_ || !open_; };
    const LayoutPlan plan = planLayout(state_, pageMedia_(), gstrMediaFolder, modMain::blnFileExists, &FileStamp::of);
    const int degrees = rotationDegrees(gstrRotation);
    const QSize screen = screenSize();

    PictureStep pictureStep = plan.backgroundPicture;
    // The picture on screen was fitted to the screen's size and the Rotation
    // of its load: when either has changed since, it is fitted again.
    if (pictureStep == PictureStep::Keep && !plan.backgroundPictureFile.isEmpty() &&
        (screen != pictureFitSize_ || degrees != pictureFitDegrees_))
        pictureStep = PictureStep::Load;
    switch (pictureStep) {
    case PictureStep::Load: {
        QImage picture = fitPicture(readPicture(plan.backgroundPictureFile), degrees, screen);
        if (stopped())
            return;
        pictureFitSize_ = screen;
        pictureFitDegrees_ = degrees;
        backgroundPicture_->setVisible(!picture.isNull());
        backgroundPicture_->setPixmap(QPixmap::fromImage(std::move(picture)));
        break;
    }
    case PictureStep::Hide:
        backgroundPicture_->hide();
        backgroundPicture_->setPixmap(QPixmap());
        break;
    case PictureStep::Keep:
        break;
    }

    // The page goes into its box; a box other than the one on screen while
    // a video plays, so nothing shows until the switch below.
    QGraphicsPixmapItem* box = pageBoxes_[plan.pageBox];
    // The page was saved under the Image File's name in the Media folder.
    const QString pageName = paths::fileNameOf(gstrImageFile);
    const QString pagePath = paths::join(gstrMediaFolder, pageName);
    if (!pageName.isEmpty() && modMain::blnFileExists(pagePath)) {
        QImage page = pageForScreen(QImage(pagePath), degrees, screen, plan.seeThrough);
        if (stopped())
            return;
        if (!page.isNull())
            box->setPixmap(QPixmap::fromImage(std::move(page)));
    }

    if (plan.backgroundVideo == VideoStep::Start)
        LoadBackgroundVideo(plan.backgroundVideoFile);
    else if (plan.backgroundVideo == VideoStep::Stop)
        stopVideo(*ctlDXShow_, backgroundHost_);
    if (stopped())
        return;

    if (plan.pipVideo == VideoStep::Start)
        LoadPiPVideo(plan.pipVideoFile, plan.pipRegion);
    else if (plan.pipVideo == VideoStep::Stop)
        stopVideo(*ctlDXShowPiP_, pipHost_);
    else if (plan.pipInUse)
        placePiP(plan.pipRegion);
    if (stopped())
        return;

    for (int i = 0; i < 3; ++i)
        if (i != plan.pageBox)
            pageBoxes_[i]->hide();
    box->show();
}

void frmImageRender::stopVideo(ClassActiveMovie& movie, QGraphicsRectItem* host)
{
    movie.StopPlaying();
    // Let the file go: one deleted or replaced meanwhile is not kept open.
    movie.UnloadMovieObject();
    if (QGraphicsVideoItem* video = host == pipHost_ ? pipVideo_ : backgroundVideo_)
        video->hide();
    host->hide();
}

void frmImageRender::LoadBackgroundVideo(const QString& file)
{
    startVideo(*ctlDXShow_, file, QStringLiteral("ctlDXShow.HasVideo = False"), backgroundHost_);
}

// Opens `file` in `movie` and plays it from the start, silent and at normal
// speed, over `host`; `noVideo` is logged when the file can't be played or
// has no picture. A Stop or close while the file loads unloads it again.
void frmImageRender::startVideo(ClassActiveMovie& movie, const QString& file, const QString& noVideo,
                                QGraphicsRectItem* host)
{
    const int session = session_;
    host->hide();
    const bool playable = movie.SetNewVideo(file);
    if (session != session_ || !open_) {
        movie.UnloadMovieObject();
        return;
    }
    if (!playable) {
        statusMessage(noVideo);
        return;
    }
    movie.setFileName(file);
    movie.setVolume(0);
    movie.setBalance(0);
    movie.setSpeed(1.0);
    movie.setPosition(0);
    if (!movie.HasVideo())
        statusMessage(noVideo);
    movie.Play();
    host->show();
}

void frmImageRender::placePiP(const PiPRegion& region)
{
    const QSize screen = screenSize();
    QRectF r = pipHost_->rect();
    if (region.top)
        r.moveTop(vb::CInt(*region.top * screen.height()));
    if (region.left)
        r.moveLeft(vb::CInt(*region.left * screen.width()));
    if (region.height)
        r.setHeight(vb::CInt(*region.height * screen.height()));
    if (region.width)
        r.setWidth(vb::CInt(*region.width * screen.width()));
    pipHost_->setRect(r);
    if (pipVideo_) {
        pipVideo_->setOffset(r.topLeft());
        pipVideo_->setSize(r.size());
    }
}

void frmImageRender::LoadPiPVideo(const QString& file, const PiPRegion& region)
{
    statusMessage(QStringLiteral("Start loading PiP video: ") + file);
    placePiP(region);
    startVideo(*ctlDXShowPiP_, file, QStringLiteral("ctlDXShowPiP.HasVideo = False"), pipHost_);
}

void frmImageRender::unload(bool performStop)
{
    if (!open_)
        return;
    open_ = false;
    ++session_;
    Timer1.stop();
    stopVideo(*ctlDXShow_, backgroundHost_);
    backgroundPicture_->hide();
    backgroundPicture_->setPixmap(QPixmap());
    stopVideo(*ctlDXShowPiP_, pipHost_);
    for (auto* box : pageBoxes_)
        box->hide();
    state_.reset();
    state_.blnShowPending = false;
    view_->viewport()->unsetCursor();
    window_->unsetCursor();
    window_->hide();
    if (performStop && onStop_)
        onStop_();
}

int frmImageRender::shownPageBox() const
{
    for (int i = 0; i < 3; ++i)
        if (pageBoxes_[i]->isVisible())
            return i;
    return -1;
}

bool frmImageRender::backgroundVideoShown() const
{
    return backgroundHost_->isVisible();
}

bool frmImageRender::backgroundPictureShown() const
{
    return backgroundPicture_->isVisible();
}

bool frmImageRender::pipShown() const
{
    return pipHost_->isVisible();
}

QRect frmImageRender::pipRect() const
{
    return pipHost_->rect().toRect();
}
