// A board's start: the program started in Player mode (local player, or its
// own full-screen display with --stand-alone) until its first page image is
// on disk, beside ImageMagick drawing a like page from nothing: the same
// 1080x1920 size, the same background photo scaled to it, the same twelve
// text lines in Liberation Sans Bold at the same sizes, PNG out. Rounds
// alternate the two; the medians and the median of the pairwise ratios
// (ImageMagick / program: above 1 the program is faster) are printed. The
// program's start holds the run's fixed waits (start-up 100 ms, start
// 100 ms, page 10 ms): the building of the window and the settings load run
// inside the first two, everything else adds to them.
//
//   bench_startup [--rounds N] [--fresh] [--stand-alone] [--program PATH]
//   bench_startup --prepare DIR [--stand-alone]     writes a board folder
//   bench_startup --once DIR [--fresh] [--program PATH]
//   bench_startup --once-magick DIR [--fresh]
//
// --once and --once-magick make one page in a prepared folder and print its
// milliseconds, for timing whole processes from outside. --fresh gives each
// start an empty cache folder (XDG_CACHE_HOME), as on a freshly installed
// board: nothing an earlier start cached (GStreamer's plug-in registry, for
// one) helps it. The program runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise. ImageMagick is /usr/bin/convert.
#include "bench/boardsetup.h"
#include "platform/inifile.h"
#include "templates/templatefile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 1080;
constexpr int kHeight = 1920;
const QString kMagick = QStringLiteral("/usr/bin/convert");
const QString kTemplateName = QStringLiteral("Template with 3 records");

// Each record shows three lines.
const char* const kRecords[3][3] = {{"Annual Board Meeting", "Grand Ballroom A", "10:00 - 12:30"},
                                    {"Welcome Reception", "Harbour View Suite", "13:00 - 14:00"},
                                    {"Regional Directors", "Level 3, Room 301", "15:30 - 17:00"}};

struct TextItem {
    QString text;
    double top, left, height, width; // fractions of the page
    int points;
    int align; // 0 left, 1 right, 2 centre
    QString colour;
};

// The page's text: the title, date and time, then three lines of each of
// three records. The date and time stand for today's, at their length.
std::vector<TextItem> pageText()
{
    std::vector<TextItem> items = {{"Today's Events", 0.02, 0.25, 0.06, 0.5, 36, 2, "#FFFF00"},
                                   {"07-03-2024", 0.02, 0.02, 0.04, 0.2, 18, 0, "#FFFFFF"},
                                   {"14:05", 0.02, 0.78, 0.04, 0.2, 18, 1, "#FFFFFF"}};
    for (int r = 0; r < 3; ++r)
        for (int n = 0; n < 3; ++n)
            items.push_back(
                {QString::fromLatin1(kRecords[r][n]), 0.15 + r * 0.25 + n * 0.06, 0.05, 0.05, 0.9, 18, 0, "#FFFFFF"});
    return items;
}

QString fraction(double v)
{
    return QString::number(v, 'f', 2);
}

QString fontDescriptor(int points, const QString& colour)
{
    // Colour values are blue-green-red.
    const QColor c(colour);
    const int bgr = c.red() | c.green() << 8 | c.blue() << 16;
    return QStringLiteral("Arial,%1,%2,1,0,0,0,0,0").arg(points).arg(bgr);
}

QString rect(const TextItem& t)
{
    return QStringLiteral("%1|%2|%3|%4").arg(fraction(t.top), fraction(t.left), fraction(t.height), fraction(t.width));
}

templates::Template boardTemplate()
{
    const std::vector<TextItem> items = pageText();
    templates::Template t;
    t.gstrRecordsPerPage = QStringLiteral("3");
    t.gstrGroupLine = QStringLiteral("0");
    t.gstrTitleText = items[0].text;
    t.gstrDateFormat = QStringLiteral("DD-MM-YYYY");
    t.gstrTimeFormat = QStringLiteral("HH:MM");
    QString* const elements[3][4] = {{&t.gstrTitleOn, &t.gstrTitleAlign, &t.gstrTitleRegion, &t.gstrTitleFont},
                                     {&t.gstrDateOn, &t.gstrDateAlign, &t.gstrDateRegion, &t.gstrDateFont},
                                     {&t.gstrTimeOn, &t.gstrTimeAlign, &t.gstrTimeRegion, &t.gstrTimeFont}};
    for (int e = 0; e < 3; ++e) {
        *elements[e][0] = QStringLiteral("1");
        *elements[e][1] = QString::number(items[e].align);
        *elements[e][2] = rect(items[e]);
        *elements[e][3] = fontDescriptor(items[e].points, items[e].colour);
    }
    t.gstrBackgroundType = QStringLiteral("1");
    t.gstrBackgroundImage = QStringLiteral("photo.jpg");
    t.gstrBackgroundColor = QStringLiteral("&H000000");
    t.gstrPiPOn = QStringLiteral("0");
    for (int r = 0; r < templates::kRecords; ++r)
        for (int n = 0; n < templates::kLines; ++n) {
            const TextItem& item = items[3 + std::min(r, 2) * 3 + std::min(n, 2)];
            *t.line(r, templates::kFieldEnabled, n) = QLatin1String(r < 3 && n < 3 ? "1" : "0");
            *t.line(r, templates::kFieldAlignment, n) = QStringLiteral("0");
            *t.line(r, templates::kFieldRect, n) = rect(item);
            *t.line(r, templates::kFieldFont, n) = fontDescriptor(item.points, item.colour);
            *t.line(r, templates::kFieldLineUp, n) = templates::kResetLineUp;
            *t.line(r, templates::kFieldGroupFlag, n) = QStringLiteral("0");
        }
    return t;
}

QImage photo()
{
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, kWidth, kHeight);
    g.setColorAt(0, QColor(20, 40, 90));
    g.setColorAt(1, QColor(120, 60, 30));
    p.fillRect(img.rect(), g);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) {
        p.setBrush(QColor(40 + i * 5, 90, 200 - i * 4, 90));
        p.drawEllipse(QPointF((i * 211) % kWidth, (i * 397) % kHeight), 60 + i * 3, 40 + i * 2);
    }
    return img;
}

bool prepare(const QString& home, bool standAlone)
{
    QDir dir(home);
    for (const char* f : {"Data", "Media", "player/Media", "player/Settings"})
        dir.mkpath(QString::fromLatin1(f));
    if (!photo().save(dir.filePath(QStringLiteral("Media/photo.jpg")), "JPG", 90))
        return false;
    if (!templates::writeTemplateFile(dir.filePath(QStringLiteral("Data/") + kTemplateName + QStringLiteral(".ORVT")),
                                      boardTemplate()))
        return false;
    QList<QByteArrayList> rows;
    for (const auto& r : kRecords)
        rows << QByteArrayList{r[0], r[1], r[2]};
    const QString source = dir.filePath(QStringLiteral("source.orv"));
    if (!boardsetup::writeRecords(source, rows))
        return false;
    IniDocument settings = boardsetup::playerSettings(source, standAlone, kWidth, kHeight);
    const auto put = [&](const char* section, const char* key, const QString& value) {
        settings.set(QLatin1String(section), QLatin1String(key), value);
    };
    put("SETTINGS", "Retrieve Type", QStringLiteral("0"));
    put("SETTINGS", "Dwell Time", QStringLiteral("10"));
    put("TEMPLATES", "Mode", QStringLiteral("0"));
    put("TEMPLATES", "Rotation", QStringLiteral("0"));
    put("TEMPLATES", "List Number", QStringLiteral("1"));
    put("TEMPLATES", "1", kTemplateName);
    return IniFile(dir.filePath(QStringLiteral("OrvaneSettings.ini"))).save(settings);
}

// ImageMagick's arguments for the like page.
QStringList magickArgs(const QString& home)
{
    QStringList args{home + QStringLiteral("/Media/photo.jpg"),
                     QStringLiteral("-resize"),
                     QStringLiteral("%1x%2!").arg(kWidth).arg(kHeight),
                     QStringLiteral("-font"),
                     QStringLiteral("Liberation-Sans-Bold"),
                     QStringLiteral("-gravity"),
                     QStringLiteral("NorthWest")};
    for (const TextItem& t : pageText()) {
        // Points at 96 dpi are pixels at ImageMagick's 72.
        const int px = t.points * 96 / 72;
        const int y = int(kHeight * (t.top + t.height / 2) - t.points / 1.25);
        args << QStringLiteral("-pointsize") << QString::number(px) << QStringLiteral("-fill") << t.colour
             << QStringLiteral("-annotate") << QStringLiteral("+%1+%2").arg(int(kWidth * t.left) + 5).arg(y) << t.text;
    }
    args << home + QStringLiteral("/Media/Magick.png");
    return args;
}

QProcessEnvironment environment(const QString& home, const QString& cache)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVANE_HOME"), home);
    env.insert(QStringLiteral("ORVANE_PLAYER_FOLDER"), home + QStringLiteral("/player"));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!cache.isEmpty())
        env.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
    return env;
}

struct Start {
    double ms = -1;            // to the first page image on disk; negative: none within 30 s
    bool mediaStarted = false; // Qt Multimedia's back end was loaded by then
};

// Starts the program and kills it once its first page image is on disk.
Start programStart(const QString& program, const QString& home, bool fresh, bool showErrors)
{
    const QString page = home + QStringLiteral("/Media/Page.png");
    QFile::remove(page);
    QFile::remove(home + QStringLiteral("/player/Media/Page.png"));
    QFile::remove(home + QStringLiteral("/ZQOrvane.lock"));
    QTemporaryDir cache;
    QProcess p;
    p.setProcessEnvironment(environment(home, fresh ? cache.path() : QString()));
    p.setStandardOutputFile(QProcess::nullDevice());
    if (!showErrors)
        p.setStandardErrorFile(QProcess::nullDevice());
    else
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer t;
    t.start();
    p.start(program, {});
    Start start;
    for (int i = 0; t.elapsed() < 30000; ++i) {
        if (::access(QFile::encodeName(page).constData(), F_OK) == 0) {
            start.ms = t.nsecsElapsed() / 1e6;
            QFile maps(QStringLiteral("/proc/%1/maps").arg(p.processId()));
            start.mediaStarted = maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/plugins/multimedia/");
            break;
        }
        if (i % 16 == 0 && p.waitForFinished(0))
            break;
        ::usleep(500);
    }
    p.kill();
    p.waitForFinished(10000);
    return start;
}

// Milliseconds for ImageMagick to write the like page, negative on failure.
double magickPage(const QString& home, bool fresh)
{
    const QString out = home + QStringLiteral("/Media/Magick.png");
    QFile::remove(out);
    QTemporaryDir cache;
    QProcess p;
    p.setProcessEnvironment(environment(home, fresh ? cache.path() : QString()));
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer t;
    t.start();
    p.start(kMagick, magickArgs(home));
    const bool ok = p.waitForFinished(60000) && p.exitCode() == 0 && QFile::exists(out);
    return ok ? t.nsecsElapsed() / 1e6 : -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QString option(const QStringList& args, const char* name, const QString& fallback = QString())
{
    const qsizetype at = args.indexOf(QLatin1String(name));
    return at > 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool fresh = args.contains(QStringLiteral("--fresh"));
    const bool standAlone = args.contains(QStringLiteral("--stand-alone"));
    const QString program = option(args, "--program", QStringLiteral(ORV_APP_BINARY));

    if (const QString dir = option(args, "--prepare"); !dir.isEmpty()) {
        if (!prepare(dir, standAlone))
            return 1;
        std::printf("board folder in %s\nImageMagick: %s %s\n", qPrintable(dir), qPrintable(kMagick),
                    qPrintable(magickArgs(dir).join(QLatin1Char(' '))));
        return 0;
    }
    if (const QString dir = option(args, "--once"); !dir.isEmpty()) {
        const Start start = programStart(program, dir, fresh, true);
        std::printf("start to first page: %.0f ms; media framework started: %s\n", start.ms,
                    start.mediaStarted ? "yes" : "no");
        return start.ms < 0 ? 1 : 0;
    }
    if (const QString dir = option(args, "--once-magick"); !dir.isEmpty()) {
        const double ms = magickPage(dir, fresh);
        std::printf("ImageMagick page: %.0f ms\n", ms);
        return ms < 0 ? 1 : 0;
    }

    const int rounds = std::max(1, option(args, "--rounds", QStringLiteral("9")).toInt());
    QTemporaryDir home;
    if (!prepare(home.path(), standAlone)) {
        std::fprintf(stderr, "could not write the board folder\n");
        return 1;
    }
    const bool magick = QFile::exists(kMagick);
    if (!magick)
        std::printf("%s is missing: the program alone\n", qPrintable(kMagick));
    std::vector<double> ours, theirs, ratios;
    // The first start warms the file cache.
    const bool mediaStarted = programStart(program, home.path(), false, false).mediaStarted;
    for (int i = 0; i < rounds; ++i) {
        const double a = programStart(program, home.path(), fresh, false).ms;
        if (a < 0) {
            std::fprintf(stderr, "no page within 30 s\n");
            return 1;
        }
        ours.push_back(a);
        if (magick) {
            const double b = magickPage(home.path(), fresh);
            if (b < 0) {
                std::fprintf(stderr, "ImageMagick failed\n");
                return 1;
            }
            theirs.push_back(b);
            ratios.push_back(b / a);
        }
    }
    std::printf("%s start to first page image (%dx%d, %s, %d rounds, median): %.0f ms; media framework started: %s\n",
                fresh ? "fresh" : "warm", kWidth, kHeight, standAlone ? "stand-alone" : "local player", rounds,
                median(ours), mediaStarted ? "yes" : "no");
    if (magick)
        std::printf("ImageMagick, the same page from nothing: %.0f ms; ImageMagick / program, median of pairs: %.2f "
                    "(target: at least %s)\n",
                    median(theirs), median(ratios), fresh ? "1.0" : "1.3");
    return 0;
}
