// The player's page cycle on a 1080x1920 board: from the settings load to the
// first page image on disk for 10,000 records with a 6-record template (all
// lines shown, edge effect, photo background), the steady page cycle
// (collect, draw, save) with resident memory, and the page save alone beside
// Qt's own PNG writer.
//
//   bench_pages [pages]        (default 1000 pages)
#include "core/datagrids.h"
#include "core/globals.h"
#include "platform/inifile.h"
#include "platform/pngwriter.h"
#include "platform/statuslog.h"
#include "records/recordstore.h"
#include "run/pages/pagecycle.h"
#include "shell/settings/savesettings.h"
#include "shell/settings/settingsfile.h"
#include "templates/templatefile.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRecords = 10000;

double residentMB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

QImage photo(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double fx = x / double(w), fy = y / double(h);
            const int n = int(rng.bounded(24)) - 12;
            row[x] = qRgb(std::clamp(int(90 + 80 * std::sin(fx * 5 + fy * 2)) + n, 0, 255),
                          std::clamp(int(70 + 60 * std::cos(fy * 7 - fx)) + n, 0, 255),
                          std::clamp(int(120 + 90 * std::sin(fx * fy * 9)) + n, 0, 255));
        }
    }
    return img;
}

templates::Template sixRecordTemplate()
{
    templates::Template t;
    t.gstrRecordsPerPage = QStringLiteral("6");
    t.gstrGroupLine = QStringLiteral("0");
    t.gstrBackgroundType = QStringLiteral("1");
    t.gstrBackgroundImage = QStringLiteral("photo.jpg");
    t.gstrPiPOn = QStringLiteral("0");
    for (int r = 0; r < templates::kRecords; ++r)
        for (int n = 0; n < templates::kLines; ++n) {
            *t.line(r, 0, n) = QStringLiteral("1");
            *t.line(r, 1, n) = QString::number((r + n) % 3);
            *t.line(r, 2, n) = QStringLiteral("%1|0.04|0.0139|0.92").arg(r / 6.0 + n / 72.0, 0, 'f', 4);
            *t.line(r, 3, n) = QStringLiteral("Arial,18,16777215,1,0,0,0,1,0");
            *t.line(r, 4, n) = QStringLiteral("0,-1,,");
            *t.line(r, 5, n) = QStringLiteral("0");
        }
    return t;
}

void writeFixture(const QString& folder)
{
    initGlobalPaths(folder, folder + QStringLiteral("/player"));
    QDir(folder).mkpath(QStringLiteral("Data"));
    QDir(folder).mkpath(QStringLiteral("Media"));
    photo(1080, 1920).save(gstrMediaFolder + QStringLiteral("/photo.jpg"), "JPG", 90);
    templates::writeTemplateFile(gstrDataFolder + QStringLiteral("/Template with 6 records.ORVT"), sixRecordTemplate());
    static const char* const texts[] = {"Annual Board Meeting",
                                        "Grand Ballroom A",
                                        "10:00",
                                        "12:30",
                                        "Welcome Reception",
                                        "Harbour View Suite",
                                        "20240307",
                                        "20240307",
                                        "Regional Directors",
                                        "Level 3, Room 301",
                                        "Lunch in the Atrium",
                                        "Garden Terrace"};
    QByteArray orv;
    for (int i = 0; i < kRecords; ++i) {
        for (int n = 0; n < 20; ++n) {
            orv += n < 12 ? QByteArray(texts[n]) + (n == 0 ? " " + QByteArray::number(i) : QByteArray()) : QByteArray();
            orv += '\t';
        }
        orv += "00:00|00:00|0|0\r\n";
    }
    QFile f(gstrWorkingDataFile);
    f.open(QIODevice::WriteOnly);
    f.write(orv);
    f.close();
    IniFile ini(gstrSettingsFile);
    const auto put = [&](const char* s, const char* k, const QString& v) {
        ini.write(QLatin1String(s), QLatin1String(k), v);
    };
    put("SETTINGS", "Status", QStringLiteral("1"));
    put("SETTINGS", "Data Type", QStringLiteral("3"));
    put("SETTINGS", "Data File", gstrWorkingDataFile);
    put("SETTINGS", "Stand Alone", QStringLiteral("1"));
    put("SETTINGS", "Image File", QStringLiteral("page.png"));
    put("TEMPLATES", "Width", QStringLiteral("1080"));
    put("TEMPLATES", "Height", QStringLiteral("1920"));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int pageCount = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    QTemporaryDir dir;
    writeFixture(dir.path());

    DataGrids grids;
    pages::PageRenderer renderer;
    pages::PageCycle cycle(grids, renderer);

    QElapsedTimer t;
    t.start();
    const auto doc = settingsfile::loadSettingsDocument(gstrSettingsFile);
    if (!doc)
        return 1;
    savesettings::storeGlobals(settingsfile::readSettings(*doc));
    loadRDMFromOrvFile(grids, gstrWorkingDataFile);
    grids.igTemplates.AddCol(QStringLiteral("Template"));
    grids.igTemplates.SetCellValue(grids.igTemplates.AddRow(), 1, QStringLiteral("Template with 6 records"));
    const double loadMs = t.nsecsElapsed() / 1e6;
    const bool first = cycle.blnRenderNextPage();
    std::printf("start to first page (%d records, settings load %.0f ms): %.0f ms, page %s\n", grids.igRDM.RowCount(),
                loadMs, t.nsecsElapsed() / 1e6, first ? "saved" : "FAILED");

    std::vector<double> ms;
    double rss100 = 0;
    for (int i = 0; i < pageCount; ++i) {
        t.restart();
        cycle.blnRenderNextPage();
        ms.push_back(t.nsecsElapsed() / 1e6);
        if (i == std::min(99, pageCount - 1))
            rss100 = residentMB();
        if (StatusLog::instance().count() > 4000)
            StatusLog::instance().clear();
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("page cycle over %d pages: mean %.1f ms, median %.1f ms, max %.1f ms; resident %.1f MB after 100, "
                "%.1f MB after %d\n",
                pageCount, sum / pageCount, sorted[sorted.size() / 2], sorted.back(), rss100, residentMB(), pageCount);

    // One page step by step.
    {
        const templates::Template& tpl = *cycle.loadedTemplate();
        QElapsedTimer e;
        e.start();
        renderer.CreateORVThemeLayout(gstrMediaFolder + QStringLiteral("/photo.jpg"), tpl);
        const double layoutMs = e.nsecsElapsed() / 1e6;
        e.restart();
        for (int r = 0; r < 6; ++r)
            for (int n = 0; n < 12; ++n)
                renderer.RenderTexture(QStringLiteral("Annual Board Meeting %1").arg(n), *tpl.line(r, 1, n),
                                       *tpl.line(r, 2, n), *tpl.line(r, 3, n));
        const double textMs = e.nsecsElapsed() / 1e6;
        e.restart();
        renderer.SaveThemeLayoutImage(QStringLiteral("step.png"));
        std::printf("one page: layout %.1f ms, 72 edged texts %.1f ms, save %.1f ms\n", layoutMs, textMs,
                    e.nsecsElapsed() / 1e6);
    }

    // The save alone, on the last page.
    const QImage& page = renderer.page();
    const auto timeIt = [](const char* what, const std::function<QByteArray()>& encode) {
        std::vector<double> runs;
        qsizetype bytes = 0;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer e;
            e.start();
            bytes = encode().size();
            runs.push_back(e.nsecsElapsed() / 1e6);
        }
        std::sort(runs.begin(), runs.end());
        std::printf("%-32s median %6.1f ms, %8lld bytes\n", what, runs[2], static_cast<long long>(bytes));
    };
    const auto qtPng = [&page](int quality) {
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        page.save(&buf, "PNG", quality);
        return bytes;
    };
    timeIt("PNG, page writer", [&] { return pngwriter::encode(page); });
    timeIt("PNG, Qt default", [&] { return qtPng(-1); });
    timeIt("PNG, Qt fastest level (q 90)", [&] { return qtPng(90); });
    timeIt("PNG, Qt no compression (q 100)", [&] { return qtPng(100); });
    return first ? 0 : 1;
}
