// The player's page cycle on a 1080x1920 board: from the settings load to the
// first page image on disk for 10,000 records with a 6-record template (all
// lines shown, edge effect, photo background), the steady page cycle
// (collect, draw, save) with resident memory, pages over long record lists
// with day/time validation on (every record valid, or only six), and the
// page save alone beside libpng and Qt's own PNG writer.
//
// Targets: a page over 1,000,000 records of which 6 are valid costs at most
// twice a page over 1,000,000 valid records; the page writer is at least 6x
// as fast as libpng at level 1 on the photo page.
//
//   bench_pages [pages]        (default 1000 pages)
//   bench_pages --page <template.ORVT> <out.png> <width> <height>
//       draws one page of the template with each record line captioned by
//       its record and line, to hold beside the designer's preview.
#include "bench/pages/recordtexts.h"
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

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <thread>
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
    QByteArray orv;
    for (int i = 0; i < kRecords; ++i) {
        for (int n = 0; n < 20; ++n) {
            orv += n < 12 ? QByteArray(kRecordTexts[n]) + (n == 0 ? " " + QByteArray::number(i) : QByteArray())
                          : QByteArray();
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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct ValidityRun {
    double firstMs = 0;  // the first page after the list was filled
    double medianMs = 0; // the pages after it
};

// Pages over `records` records with validation on, drawn with the 6-record
// template: every record valid, or only six spread over the list (the rest
// dated in the past, on a few hundred days at a few dozen times).
ValidityRun validityPages(pages::PageRenderer& renderer, int records, bool allValid, int pageCount)
{
    DataGrids grids;
    for (int n = 1; n <= 20; ++n)
        grids.igRDM.AddCol(QStringLiteral("Line %1").arg(n));
    grids.igRDM.AddCol(QStringLiteral("DateTime"));
    grids.igTemplates.AddCol(QStringLiteral("Template"));
    grids.igTemplates.SetCellValue(grids.igTemplates.AddRow(), 1, QStringLiteral("Template with 6 records"));
    std::vector<int> validRows;
    for (int k = 1; k <= 6; ++k)
        validRows.push_back(int(qint64(records) * k / 7));
    const QDate past(2001, 1, 1);
    grids.igRDM.SetRedraw(false);
    for (int i = 1; i <= records; ++i) {
        const QByteArray name = "Annual Board Meeting " + QByteArray::number(i);
        const bool valid = allValid || std::binary_search(validRows.begin(), validRows.end(), i);
        const QByteArray day = past.addDays(i % 400).toString(QStringLiteral("yyyyMMdd")).toLatin1();
        const QByteArray dateTime = valid ? QByteArray("00:00|00:00|0|0")
                                          : QByteArray::number(800 + (i % 36) * 25) + "|" +
                                                QByteArray::number(1100 + (i % 36) * 25) + "|" + day + "|" + day;
        QAnyStringView cells[21]; // "Line 1" .. "Line 20", "DateTime"
        for (int n = 0; n < 12; ++n)
            cells[n] = QLatin1StringView(kRecordTexts[n]);
        cells[0] = QLatin1StringView(name);
        cells[20] = QLatin1StringView(dateTime);
        grids.igRDM.AppendRow(cells);
    }
    grids.igRDM.SetRedraw(true);

    const QString validity = gstrDayTimeValidity;
    gstrDayTimeValidity = QStringLiteral("1");
    gstrValidStartTime = gstrValidEndTime = QStringLiteral("00:00");
    gstrValidStartDays = gstrValidEndDays = QStringLiteral("0");
    pages::PageCycle cycle(grids, renderer);
    ValidityRun run;
    QElapsedTimer t;
    t.start();
    cycle.blnRenderNextPage();
    run.firstMs = t.nsecsElapsed() / 1e6;
    std::vector<double> ms;
    for (int i = 0; i < pageCount; ++i) {
        t.restart();
        cycle.blnRenderNextPage();
        ms.push_back(t.nsecsElapsed() / 1e6);
        StatusLog::instance().clear();
    }
    run.medianMs = median(ms);
    gstrDayTimeValidity = validity;
    return run;
}

// The picture through libpng at zlib level 1 with its default row filters:
// the yardstick for the page writer.
QByteArray libpngLevel1(const QImage& image)
{
    const QImage src = image.convertToFormat(QImage::Format_RGB888);
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            static_cast<QByteArray*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), qsizetype(n));
        },
        [](png_structp) {});
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, png_uint_32(src.width()), png_uint_32(src.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < src.height(); ++y)
        png_write_row(png, src.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc > 5 && QByteArray(argv[1]) == "--page") {
        QTemporaryDir home;
        initGlobalPaths(home.path(), home.path() + QStringLiteral("/player"));
        QDir(home.path()).mkpath(QStringLiteral("Media"));
        gstrScreenWidth = QString::fromLocal8Bit(argv[4]);
        gstrScreenHeight = QString::fromLocal8Bit(argv[5]);
        gstrDataType = QStringLiteral("3");
        gstrImageFile = QStringLiteral("page.png");
        DataGrids grids;
        for (int n = 1; n <= 20; ++n)
            grids.igRDM.AddCol(QStringLiteral("Line %1").arg(n));
        grids.igRDM.AddCol(QStringLiteral("DateTime"));
        for (int r = 1; r <= 6; ++r) {
            const int row = grids.igRDM.AddRow();
            for (int n = 1; n <= 12; ++n)
                grids.igRDM.SetCellValue(row, n, QStringLiteral("Record Display %1 line %2").arg(r).arg(n));
        }
        QDir(home.path()).mkpath(QStringLiteral("Data"));
        QFile::copy(QString::fromLocal8Bit(argv[2]), gstrDataFolder + QStringLiteral("/Page.ORVT"));
        grids.igTemplates.AddCol(QStringLiteral("Template"));
        grids.igTemplates.SetCellValue(grids.igTemplates.AddRow(), 1, QStringLiteral("Page"));
        pages::PageRenderer renderer;
        pages::PageCycle cycle(grids, renderer);
        const bool ok = cycle.blnRenderNextPage() && renderer.page().save(QString::fromLocal8Bit(argv[3]));
        return ok ? 0 : 1;
    }
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

    // Long record lists with validation on.
    for (const int records : {100000, 1000000}) {
        const ValidityRun all = validityPages(renderer, records, true, 10);
        const ValidityRun six = validityPages(renderer, records, false, 10);
        std::printf("pages over %d records, validation on: all valid first %.0f ms, median %.1f ms; 6 valid first "
                    "%.0f ms, median %.1f ms; 6 valid / all valid %.2f (target at most 2)\n",
                    records, all.firstMs, all.medianMs, six.firstMs, six.medianMs, six.medianMs / all.medianMs);
    }

    // The save alone, on the last page.
    const QImage& page = renderer.page();
    const auto timeIt = [](const char* what, const std::function<QByteArray()>& encode) {
        std::vector<double> runs;
        qsizetype bytes = 0;
        for (int i = 0; i < 7; ++i) {
            QElapsedTimer e;
            e.start();
            bytes = encode().size();
            runs.push_back(e.nsecsElapsed() / 1e6);
        }
        const double ms = median(runs);
        std::printf("%-32s median %6.1f ms, %8lld bytes\n", what, ms, static_cast<long long>(bytes));
        return ms;
    };
    const auto qtPng = [&page](int quality) {
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        page.save(&buf, "PNG", quality);
        return bytes;
    };
    pngwriter::PngWriter writer;
    const double ours = timeIt("PNG, page writer", [&] { return writer.encode(page); });
    const double libpng = timeIt("PNG, libpng level 1", [&] { return libpngLevel1(page); });
    timeIt("PNG, Qt default", [&] { return qtPng(-1); });
    timeIt("PNG, Qt level 1 (q 89)", [&] { return qtPng(89); });
    std::printf("page writer (%d threads, %u cores) is %.1fx libpng level 1 (target at least 6x)\n", writer.threads(),
                std::thread::hardware_concurrency(), libpng / ours);
    return first ? 0 : 1;
}
