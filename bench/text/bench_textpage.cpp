// Draws one 1080x1920 page of 6 records x 12 lines with the edge effect
// through the text drawer onto a photo-like background, then saves it as PNG
// at several compression settings. Prints milliseconds for each.
//
//   bench_textpage [output-folder]
//   bench_textpage --draw N      (only draws N pages, for profiling)
// With an output folder the page is also written there as page.png.
#include "text/fonttexture.h"
#include "text/pictureshape.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 1080;
constexpr int kHeight = 1920;

// Smooth colour fields with fine grain: compresses about like a photo.
QImage photoBackground()
{
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const double fx = x / double(kWidth), fy = y / double(kHeight);
            const int n = int(rng.bounded(24)) - 12;
            const int r = std::clamp(int(90 + 80 * std::sin(fx * 5 + fy * 2)) + n, 0, 255);
            const int g = std::clamp(int(70 + 60 * std::cos(fy * 7 - fx)) + n, 0, 255);
            const int b = std::clamp(int(120 + 90 * std::sin(fx * fy * 9)) + n, 0, 255);
            row[x] = qRgb(r, g, b);
        }
    }
    return img;
}

const char* const kTexts[] = {
    "Annual Board Meeting",       "Grand Ballroom A",       "10:00 AM - 12:30 PM", "Welcome Reception",
    "Harbour View Suite",         "Sales Kick-off 2024",    "Regional Directors",  "Level 3, Room 301",
    "Lunch served in the Atrium", "Wedding: Smith & Jones", "Garden Terrace",      "Product Launch Rehearsal",
};

double drawPage(QImage& page)
{
    const QString descriptor = QStringLiteral("Arial,18,16777215,1,0,0,0,1,0");
    const double recordH = kHeight / 6.0;
    const double lineH = recordH / 12.0;
    QElapsedTimer t;
    t.start();
    for (int r = 0; r < 6; ++r)
        for (int l = 0; l < 12; ++l) {
            const QRectF box(40, r * recordH + l * lineH, kWidth - 80, lineH);
            paintTextItem(page, box, (r + l) % 3, descriptor, QString::fromLatin1(kTexts[l]));
        }
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QImage background = photoBackground();
    if (argc > 2 && QByteArray(argv[1]) == "--draw") {
        const int n = std::max(1, atoi(argv[2]));
        QImage page = background.copy();
        double total = 0;
        for (int i = 0; i < n; ++i)
            total += drawPage(page);
        std::printf("draw 72 edged lines: mean %.2f ms over %d pages\n", total / n, n);
        return 0;
    }

    // The first page warms the font caches; report it apart.
    QImage page = background.copy();
    const double first = drawPage(page);
    std::vector<double> runs;
    for (int i = 0; i < 10; ++i) {
        page = background.copy();
        runs.push_back(drawPage(page));
    }
    std::sort(runs.begin(), runs.end());
    std::printf("draw 72 edged lines: first %.1f ms, median %.1f ms, best %.1f ms\n", first, runs[runs.size() / 2],
                runs.front());

    // QImage's PNG quality q maps to zlib level (100 - q) * 9 / 91.
    for (const int quality : {-1, 0, 50, 80, 90, 100}) {
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        QElapsedTimer t;
        t.start();
        page.save(&buf, "PNG", quality);
        std::printf("save PNG quality %3d: %7.1f ms, %8lld bytes\n", quality, t.nsecsElapsed() / 1e6,
                    static_cast<long long>(bytes.size()));
    }
    // The display window's see-through shape of a landscape page: a page
    // with text on black, and the photo page.
    QImage onBlack(1920, 1080, QImage::Format_RGB32);
    onBlack.fill(Qt::black);
    for (int r = 0; r < 6; ++r)
        paintTextItem(onBlack, QRectF(40, 40 + r * 160, 1840, 60), 2, QStringLiteral("Arial,24,16777215,1,0,0,0,1,0"),
                      QString::fromLatin1(kTexts[r]));
    const QImage landscape = background.scaled(1920, 1080);
    for (const QImage* img : std::initializer_list<const QImage*>{&onBlack, &landscape}) {
        QElapsedTimer t;
        t.start();
        const QRegion region = PictureRegion(*img);
        const double regionMs = t.nsecsElapsed() / 1e6;
        t.restart();
        const QImage alpha = PictureAlphaImage(*img);
        std::printf("shape 1920x1080 (%s): region %.1f ms (%d rects), alpha image %.1f ms\n",
                    img == &onBlack ? "text on black" : "photo", regionMs, region.rectCount(), t.nsecsElapsed() / 1e6);
    }

    if (argc > 1)
        page.save(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("page.png")), "PNG", 80);
    return 0;
}
