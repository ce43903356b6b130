// The full-screen display's speed: the time to swap in a portrait page on a
// landscape screen (load, turn 90 degrees, scale, cut out black), and the
// frame rate of a 1080p background video under a see-through page.
//
// Run on a display of the board's size, e.g.
//   xvfb-run -s "-screen 0 1920x1080x24" build/bench/display/bench_display
// With --shots <folder> it saves screenshots of a picture page, a page over
// a background video, and a PiP over a background picture instead.
#include "core/globals.h"
#include "run/display/displaymodel.h"
#include "run/display/frmimagerender.h"
#include "run/display/qtvideoplayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGraphicsVideoItem>
#include <QGraphicsView>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QVideoSink>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool makeClip(const QString& path, int w, int h, int frames, const char* pattern, const char* encoder)
{
    QStringList args = {"-q",
                        "videotestsrc",
                        QStringLiteral("num-buffers=%1").arg(frames),
                        QStringLiteral("pattern=%1").arg(pattern),
                        "!",
                        QStringLiteral("video/x-raw,width=%1,height=%2,framerate=30/1").arg(w).arg(h),
                        "!"};
    args += QString::fromLatin1(encoder).split(' ');
    args += {"!", "filesink", "location=" + path};
    QProcess gst;
    gst.start("gst-launch-1.0", args);
    return gst.waitForFinished(300000) && gst.exitCode() == 0 && QFileInfo(path).size() > 0;
}

// A portrait page as the renderer leaves it: black where the layers below
// may show, text panels elsewhere; or (photo) a picture background.
QImage makePage(QSize size, bool photo, const QString& caption)
{
    QImage page(size, QImage::Format_RGB32);
    QPainter p(&page);
    if (photo) {
        QLinearGradient g(0, 0, size.width(), size.height());
        g.setColorAt(0, QColor(20, 60, 140));
        g.setColorAt(1, QColor(230, 140, 40));
        p.fillRect(page.rect(), g);
        p.setBrush(QColor(250, 240, 200));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(size.width() * 0.75, size.height() * 0.2), size.width() * 0.12, size.width() * 0.12);
    } else {
        page.fill(Qt::black);
    }
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(size.width() / 14);
    p.setFont(f);
    const int rowH = size.height() / 10;
    for (int i = 0; i < 4; ++i) {
        const QRect row(size.width() / 20, rowH * (2 + 2 * i), size.width() * 9 / 10, rowH);
        p.fillRect(row, QColor(10, 20, 60, photo ? 160 : 230));
        p.setPen(QColor(255, 230, 120));
        p.drawText(row.adjusted(20, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("%1  Room %2  %3:00").arg(caption).arg(i + 1).arg(9 + i));
    }
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size.width(), rowH * 2), Qt::AlignCenter, QStringLiteral("Today's events"));
    return page;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int shots(const QString& folder)
{
    QTemporaryDir media;
    gstrMediaFolder = media.path();
    gstrImageFile = QStringLiteral("Page.png");
    gstrRotation = QStringLiteral("90");
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize portrait(screen.height(), screen.width());
    if (!makeClip(media.filePath("clip.mp4"), 640, 360, 300, "smpte", "x264enc ! h264parse ! mp4mux") ||
        !makeClip(media.filePath("pip.mp4"), 320, 240, 300, "ball", "x264enc ! h264parse ! mp4mux")) {
        std::fprintf(stderr, "could not make the clips (gst-launch-1.0)\n");
        return 1;
    }
    makePage(portrait, true, QString()).save(media.filePath("photo.png"));

    PageMedia pageMedia;
    frmImageRender display([] {}, [&] { return pageMedia; });
    const auto show = [&](const PageMedia& m, const QImage& page, const QString& name) {
        pageMedia = m;
        page.save(media.filePath("Page.png"));
        display.pageReady();
        pump(2500);
        QGuiApplication::primaryScreen()->grabWindow(0).save(folder + "/" + name);
        std::printf("saved %s\n", qPrintable(folder + "/" + name));
    };
    show({"1", "photo.png", "0", "", ""}, makePage(portrait, true, "Picture"), "1-picture.png");
    show({"1", "clip.mp4", "0", "", ""}, makePage(portrait, false, "Video"), "2-video.png");
    show({"1", "photo.png", "1", "pip.mp4", "0.05|0.55|0.4|0.4"}, makePage(portrait, false, "PiP"), "3-pip.png");
    display.close();
    return 0;
}

int bench()
{
    QTemporaryDir media;
    gstrMediaFolder = media.path();
    gstrImageFile = QStringLiteral("Page.png");
    gstrRotation = QStringLiteral("90");
    const QSize screen = QGuiApplication::primaryScreen()->size();
    std::printf("screen %dx%d\n", screen.width(), screen.height());

    // 1. The steps of one page on their own.
    const QImage page = makePage(QSize(1080, 1920), false, "Bench");
    page.save(media.filePath("Page.png"));
    std::vector<double> load, fit, cut, total;
    QElapsedTimer t;
    for (int i = 0; i < 30; ++i) {
        t.start();
        const QImage loaded(media.filePath("Page.png"));
        const double a = t.nsecsElapsed() / 1e6;
        const QImage fitted = fitPicture(loaded, 90, QSize(1920, 1080));
        const double b = t.nsecsElapsed() / 1e6;
        const QImage shown = pageForScreen(fitted, 0, QSize(1920, 1080), true);
        const double c = t.nsecsElapsed() / 1e6;
        load.push_back(a);
        fit.push_back(b - a);
        cut.push_back(c - b);
        total.push_back(c);
    }
    std::printf("page 1080x1920 -> 1920x1080, median of 30: load %.1f ms, turn+scale %.1f ms, cut %.1f ms, "
                "total %.1f ms (target < 40)\n",
                median(load), median(fit), median(cut), median(total));

    // 2. A 1080p background video under the page, through the window.
    const QString clip = media.filePath("bg1080.mp4");
    if (!makeClip(clip, 1920, 1080, 300, "ball", "x264enc speed-preset=ultrafast ! h264parse ! mp4mux")) {
        std::fprintf(stderr, "could not make the 1080p clip (gst-launch-1.0)\n");
        return 1;
    }
    int frames = 0;
    QGraphicsVideoItem* backgroundItem = nullptr;
    PageMedia pageMedia{"1", "bg1080.mp4", "0", "", ""};
    frmImageRender display([] {}, [&] { return pageMedia; },
                           [&](QGraphicsVideoItem& host) {
                               if (!backgroundItem) {
                                   backgroundItem = &host;
                                   QObject::connect(host.videoSink(), &QVideoSink::videoFrameChanged,
                                                    [&frames] { ++frames; });
                               }
                               return std::make_unique<QtVideoPlayer>(host);
                           });
    int paints = 0;
    struct PaintCounter : QObject {
        int* n;
        explicit PaintCounter(int* c)
            : n(c)
        {
        }
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                ++*n;
            return false;
        }
    } counter(&paints);
    display.view().viewport()->installEventFilter(&counter);

    display.pageReady();
    pump(1500);
    std::vector<double> swaps;
    for (int i = 0; i < 10; ++i) {
        display.pageReady();
        t.start();
        display.Timer1_Timer();
        swaps.push_back(t.nsecsElapsed() / 1e6);
        pump(100);
    }
    std::printf("page swap in the window over the playing video, median of 10: %.1f ms, worst %.1f ms\n", median(swaps),
                *std::max_element(swaps.begin(), swaps.end()));
    frames = paints = 0;
    t.start();
    pump(5000);
    const double s = t.elapsed() / 1000.0;
    std::printf("1080p background video under a see-through page: %.1f frames/s decoded, %.1f repaints/s\n", frames / s,
                paints / s);
    display.close();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = int(args.indexOf("--shots"));
    if (at > 0 && at + 1 < args.size())
        return shots(args.at(at + 1));
    return bench();
}
