// The whole page cycle on a colour page beside ImageMagick making the same
// page. The cycle is the program's own: the next six records valid now
// collected from a list of 600 (day/time validation on), the 6-record
// template (colour background, 6 x 12 = 72 lines in Arial 18 bold, white
// with a navy edge) drawn, PNG encoded and saved through the crash-safe
// writer. ImageMagick (/usr/bin/convert) draws the same page from nothing:
// 1080x1920, the same background colour, the same 72 texts (as the page's
// layout cut them) in Liberation Sans Bold at the same pixel size and
// positions, each over a 4-pixel stroke in the edge colour (2 pixels beyond
// the glyphs, as the edge), PNG out.
//
// Target: ImageMagick's page costs at least 40 times one page of the cycle.
//
//   bench_pagecycle [--rounds N]   rounds of 30 pages beside one ImageMagick
//                                  page: per-page medians of the cycle and
//                                  whole ImageMagick processes (default 9)
//   bench_pagecycle --prepare DIR  writes a board folder and DIR/magick.sh,
//                                  ImageMagick's page as a shell command
//   bench_pagecycle --pages DIR N  makes N pages in a prepared folder in one
//                                  process (start-up included when timed
//                                  from outside)
//
// Every run prints a checksum of the first page's pixels: a change to the
// drawing that should not change the page must leave it alone.
#include "bench/boardsetup.h"
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
#include "text/fontdescriptor.h"
#include "text/fonttexture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 1080;
constexpr int kHeight = 1920;
constexpr int kRecords = 600;
constexpr int kPagesPerRound = 30;
const QString kMagick = QStringLiteral("/usr/bin/convert");
const QString kTemplateName = QStringLiteral("Template with 6 records");
// Background &H402010 is red 0x10, green 0x20, blue 0x40; the edge colour
// 8388608 is navy, the text white.
const QString kBackground = QStringLiteral("&H402010");
const QString kFont = QStringLiteral("Arial,18,16777215,1,0,0,0,1,8388608");

// Record `i` (from 1), line `n` (0..11).
QString recordText(int i, int n)
{
    return n == 0 ? QStringLiteral("%1 %2").arg(QLatin1String(kRecordTexts[0])).arg(i)
                  : QString::fromLatin1(kRecordTexts[n]);
}

QString lineRegion(int r, int n)
{
    return QStringLiteral("%1|0.04|0.0139|0.92").arg(r / 6.0 + n / 72.0, 0, 'f', 4);
}

QString lineAlignment(int r, int n)
{
    return QString::number((r + n) % 3);
}

templates::Template colourTemplate()
{
    templates::Template t;
    t.gstrRecordsPerPage = QStringLiteral("6");
    t.gstrGroupLine = QStringLiteral("0");
    t.gstrBackgroundType = QStringLiteral("0");
    t.gstrBackgroundColor = kBackground;
    t.gstrPiPOn = QStringLiteral("0");
    for (int r = 0; r < templates::kRecords; ++r)
        for (int n = 0; n < templates::kLines; ++n) {
            *t.line(r, templates::kFieldEnabled, n) = QStringLiteral("1");
            *t.line(r, templates::kFieldAlignment, n) = lineAlignment(r, n);
            *t.line(r, templates::kFieldRect, n) = lineRegion(r, n);
            *t.line(r, templates::kFieldFont, n) = kFont;
            *t.line(r, templates::kFieldLineUp, n) = templates::kResetLineUp;
            *t.line(r, templates::kFieldGroupFlag, n) = QStringLiteral("0");
        }
    return t;
}

QString hexColour(uint32_t bgr)
{
    return QStringLiteral("#%1%2%3")
        .arg(bgr & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bgr >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bgr >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

// ImageMagick's arguments for the first page: each text where the page's
// layout puts it (the text drawer's own measuring and fitting).
QStringList magickArgs(const QString& out)
{
    const PageFont pf = pageFontOf(kFont);
    QStringList args{QStringLiteral("-size"),
                     QStringLiteral("%1x%2").arg(kWidth).arg(kHeight),
                     QStringLiteral("xc:") + hexColour(0x402010),
                     QStringLiteral("-font"),
                     QStringLiteral("Liberation-Sans-Bold"),
                     QStringLiteral("-pointsize"),
                     QString::number(fontPixelsFromPoints(pf.points)),
                     QStringLiteral("-gravity"),
                     QStringLiteral("NorthWest"),
                     QStringLiteral("-strokewidth"),
                     QStringLiteral("4")};
    for (int r = 0; r < 6; ++r)
        for (int n = 0; n < 12; ++n) {
            const QRectF box = *pages::regionBox(lineRegion(r, n), kWidth, kHeight);
            CFontTexture t;
            t.setFontWeight(700);
            t.setFontHeight(pf.points);
            t.setFontWidth(pf.points / 2);
            QString text = recordText(r + 1, n);
            const int align = lineAlignment(r, n).toInt();
            const double x1 = align == 0 ? box.left() : alignedLeft(box, align, t.GetFontWidth(pf.face, text));
            const TextLine line =
                t.LayoutText(x1, box.top(), box.right(), box.bottom(), pf.face, text, true, 1, 1).lines.value(0);
            // The text lies 2 pixels right of and below the edge's corner.
            const QString at = QStringLiteral("+%1+%2").arg(line.x + 2).arg(line.y + 2);
            args << QStringLiteral("-stroke") << hexColour(pf.effectColor) << QStringLiteral("-fill")
                 << hexColour(pf.effectColor) << QStringLiteral("-annotate") << at << line.text
                 << QStringLiteral("-stroke") << QStringLiteral("none") << QStringLiteral("-fill")
                 << hexColour(pf.textColor) << QStringLiteral("-annotate") << at << line.text;
        }
    args << out;
    return args;
}

QString shellQuoted(const QString& s)
{
    return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

bool prepare(const QString& home)
{
    QDir dir(home);
    for (const char* f : {"Data", "Media"})
        dir.mkpath(QString::fromLatin1(f));
    if (!templates::writeTemplateFile(dir.filePath(QStringLiteral("Data/") + kTemplateName + QStringLiteral(".ORVT")),
                                      colourTemplate()))
        return false;
    QList<QByteArrayList> rows;
    for (int i = 1; i <= kRecords; ++i) {
        QByteArrayList fields;
        for (int n = 0; n < 12; ++n)
            fields << recordText(i, n).toLatin1();
        rows << fields;
    }
    const QString source = dir.filePath(QStringLiteral("source.orv"));
    if (!boardsetup::writeRecords(source, rows))
        return false;
    IniDocument settings = boardsetup::playerSettings(source, true, kWidth, kHeight);
    const auto put = [&](const char* section, const char* key, const QString& value) {
        settings.set(QLatin1String(section), QLatin1String(key), value);
    };
    put("DAYTIME_VALIDATION", "Day Time Validity", QStringLiteral("1"));
    put("DAYTIME_VALIDATION", "Valid Start Time", QStringLiteral("00:00"));
    put("DAYTIME_VALIDATION", "Valid End Time", QStringLiteral("00:00"));
    if (!IniFile(dir.filePath(QStringLiteral("OrvaneSettings.ini"))).save(settings))
        return false;
    QStringList words{kMagick};
    for (const QString& a : magickArgs(dir.filePath(QStringLiteral("Media/Magick.png"))))
        words << shellQuoted(a);
    QFile script(dir.filePath(QStringLiteral("magick.sh")));
    return script.open(QIODevice::WriteOnly) && script.write(words.join(QLatin1Char(' ')).toUtf8() + "\n") > 0;
}

// The program's settings and records of a prepared folder, as a board
// loads them, and the play-list with the one template.
bool load(const QString& home, DataGrids& grids)
{
    initGlobalPaths(home, home + QStringLiteral("/player"));
    const auto doc = settingsfile::loadSettingsDocument(gstrSettingsFile);
    if (!doc)
        return false;
    savesettings::storeGlobals(settingsfile::readSettings(*doc));
    if (!loadRDMFromOrvFile(grids, gstrDataFile))
        return false;
    grids.igTemplates.AddCol(QStringLiteral("Template"));
    grids.igTemplates.SetCellValue(grids.igTemplates.AddRow(), 1, kTemplateName);
    return true;
}

QByteArray pixelSum(const QImage& page)
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (int y = 0; y < page.height(); ++y)
        h.addData(QByteArrayView(reinterpret_cast<const char*>(page.constScanLine(y)), page.width() * 4));
    return h.result().toHex().left(16);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Milliseconds for ImageMagick's whole process, negative on failure.
double magickPage(const QString& home)
{
    const QString out = home + QStringLiteral("/Media/Magick.png");
    QFile::remove(out);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer t;
    t.start();
    p.start(kMagick, magickArgs(out));
    const bool ok = p.waitForFinished(60000) && p.exitCode() == 0 && QFile::exists(out);
    return ok ? t.nsecsElapsed() / 1e6 : -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();

    if (args.size() > 2 && args[1] == QLatin1String("--prepare")) {
        if (!prepare(args[2]))
            return 1;
        std::printf("board folder in %s; ImageMagick's page: sh %s/magick.sh\n", qPrintable(args[2]),
                    qPrintable(args[2]));
        return 0;
    }
    if (args.size() > 3 && args[1] == QLatin1String("--pages")) {
        DataGrids grids;
        if (!load(args[2], grids))
            return 1;
        pages::PageRenderer renderer;
        pages::PageCycle cycle(grids, renderer);
        const int n = std::max(1, args[3].toInt());
        for (int i = 0; i < n; ++i)
            if (!cycle.blnRenderNextPage())
                return 1;
        return 0;
    }

    const qsizetype at = args.indexOf(QStringLiteral("--rounds"));
    const int rounds = std::max(1, at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : 9);
    QTemporaryDir home;
    DataGrids grids;
    if (!prepare(home.path()) || !load(home.path(), grids)) {
        std::fprintf(stderr, "could not prepare the board folder\n");
        return 1;
    }
    pages::PageRenderer renderer;
    pages::PageCycle cycle(grids, renderer);
    // The first page warms the font caches and the writer's threads.
    if (!cycle.blnRenderNextPage()) {
        std::fprintf(stderr, "the first page failed\n");
        return 1;
    }
    std::printf("first page pixels %s\n", pixelSum(renderer.page()).constData());
    const bool magick = QFile::exists(kMagick);
    if (!magick)
        std::printf("%s is missing: the cycle alone\n", qPrintable(kMagick));
    std::vector<double> all, theirs, ratios;
    for (int round = 0; round < rounds; ++round) {
        std::vector<double> ms;
        for (int i = 0; i < kPagesPerRound; ++i) {
            QElapsedTimer t;
            t.start();
            cycle.blnRenderNextPage();
            ms.push_back(t.nsecsElapsed() / 1e6);
            StatusLog::instance().clear();
        }
        all.insert(all.end(), ms.begin(), ms.end());
        if (magick) {
            const double b = magickPage(home.path());
            if (b < 0) {
                std::fprintf(stderr, "ImageMagick failed\n");
                return 1;
            }
            theirs.push_back(b);
            ratios.push_back(b / median(ms));
        }
    }
    std::printf("page cycle, 72 edged texts on a %dx%d colour page, PNG, crash-safe save: median %.2f ms per page "
                "(%d rounds of %d pages)\n",
                kWidth, kHeight, median(all), rounds, kPagesPerRound);
    // The same page step by step (its records stay in the page grid).
    std::vector<double> layout, texts, save, encode;
    pngwriter::PngWriter png;
    for (int i = 0; i < 3 * kPagesPerRound; ++i) {
        QElapsedTimer t;
        t.start();
        renderer.CreateORVThemeLayout(QString(), *cycle.loadedTemplate());
        layout.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        cycle.blnRenderDataTexture();
        texts.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        renderer.SaveThemeLayoutImage(gstrImageFile);
        save.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        png.encode(renderer.page());
        encode.push_back(t.nsecsElapsed() / 1e6);
        StatusLog::instance().clear();
    }
    std::printf("step by step, medians: background %.2f ms, 72 edged texts %.2f ms, PNG and save %.2f ms (PNG "
                "alone %.2f ms)\n",
                median(layout), median(texts), median(save), median(encode));
    if (magick)
        std::printf("ImageMagick, the same page (whole process): median %.0f ms; ImageMagick / cycle page, median of "
                    "rounds: %.1fx (target at least 40x)\n",
                    median(theirs), median(ratios));
    return 0;
}
