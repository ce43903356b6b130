// The data path of a board, measured against peers in the same run:
// - conversion of a generated Micros/Opera export into a record file, against
//   copying the same bytes into a new file with an fsync;
// - load plus two-key sort of that record file into the record store, against
//   GNU sort (C locale, one thread, stable) over the same file and keys;
// - peak memory of a process that only loads the record file, against the
//   file's size;
// - with "awk": the conversion as a whole process (start-up included) against
//   awk doing the same field work on the same export, byte for byte the same
//   output, and the conversion's peak memory (1,000,000 lines make an export
//   of 170 MB). The awk side is, by hand:
//     awk -F '\t' -v OFS='\t' "$(bench_records awk-program)" export.txt > out.orv
// Each step runs several rounds, peer and program in turn; the medians and the
// median of the round-by-round ratios are printed. Not a test: it prints.
//
//   bench_records [LINES] [ROUNDS]      the whole comparison (100000 lines, 5 rounds)
//   bench_records awk [LINES] [ROUNDS]  conversion against awk (1000000 lines, 5 rounds)
//   bench_records awk-program           prints the awk program
//   bench_records make LINES DIR        writes DIR/export.txt and DIR/_Orvane.orv
//   bench_records convert SRC DST       one conversion; prints time and peak memory
//   bench_records load ORV              one load plus sort; prints time and peak memory
#include "core/globals.h"
#include "records/convert.h"
#include "records/recordstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

// The generated export: booking-like lines with a few low-cardinality columns.
QByteArray makeExport(int lines)
{
    QRandomGenerator rng(42);
    QByteArray bytes;
    bytes.reserve(qsizetype(lines) * 170);
    for (int i = 0; i < lines; ++i) {
        const int start = 600 + int(rng.bounded(1200));
        bytes += "Annual Meeting of the Board " + QByteArray::number(rng.bounded(9999)) + "\t" +
                 "Grand Ballroom East Wing\t" + "Hosted by Example Corporation\t" + QByteArray::number(start) + "\t" +
                 QByteArray::number(start + 130) + "\tLevel " + QByteArray::number(rng.bounded(12)) + "\t20240" +
                 QByteArray::number(1 + rng.bounded(9)) + "15\t20241231\t" + "Group " +
                 QByteArray::number(rng.bounded(40)) + "\tContact desk\tExt 4411\tNotes here\t" + "Extra field\r\n";
    }
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool convert(const QString& source, const QString& target)
{
    QString error;
    if (records::convertFile(source, QStringLiteral("0"), target, &error) == records::ConvertStatus::Converted)
        return true;
    std::fprintf(stderr, "conversion failed: %s\n", qPrintable(error));
    return false;
}

// The copy peer: read the whole file, write it to a new file, fsync.
bool copyWithSync(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    const int fd = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == ssize_t(bytes.size()) && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Loads a record file the way a board does at run start: sorted by group
// "Line 9" and line "Line 4", ascending.
int load(const QString& orv)
{
    gstrDataType = QStringLiteral("0");
    gstrSortType = QStringLiteral("Ascending");
    gstrSortGroup = QStringLiteral("Line 9");
    gstrSortLine = QStringLiteral("Line 4");
    DataGrids grids;
    loadRDMFromOrvFile(grids, orv);
    return grids.igRDM.RowCount();
}

// GNU sort over the same file and keys: each key case-insensitive, then
// case-sensitive, as the grid compares; stable.
bool gnuSort(const QString& orv)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("sort"), {QStringLiteral("--parallel=1"), QStringLiteral("-s"), QStringLiteral("-t\t"),
                                     QStringLiteral("-k9,9f"), QStringLiteral("-k9,9"), QStringLiteral("-k4,4f"),
                                     QStringLiteral("-k4,4"), QStringLiteral("-o"), QStringLiteral("/dev/null"), orv});
    return p.waitForFinished(-1) && p.exitCode() == 0;
}

// The Micros/Opera conversion in awk (fields split at TAB, joined by TAB):
// twelve or nine fields, then eight empty ones, then the validity window.
const char* const kMicrosAwk = R"(
{
    sub(/\r$/, "")
    if (NF != 9 && NF < 12) { print "line " NR ": " NF " fields" > "/dev/stderr"; exit 1 }
    w = $4 "|" $5 "|" $7 "|" $8 "\r"
    if (NF >= 12)
        print $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, "", "", "", "", "", "", "", "", w
    else
        print $1, $2, $3, $4, $5, $6, $7, $8, $9, "", "", "", "", "", "", "", "", "", "", "", w
}
)";

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <typename F> double timeMs(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

// Peak resident memory of this process since it started its program, in kB
// (VmHWM; getrusage would count the parent's memory before the exec).
long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

int loadOnly(const QString& orv)
{
    QElapsedTimer t;
    t.start();
    const int rows = load(orv);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    const double fileMb = double(QFileInfo(orv).size()) / (1024.0 * 1024.0);
    const double peakMb = double(peakKb()) / 1024.0;
    std::printf("load plus sort: %d rows in %.1f ms; peak memory %.1f MB = %.2fx the record file (%.1f MB)\n", rows, ms,
                peakMb, peakMb / fileMb, fileMb);
    return rows > 0 ? 0 : 1;
}

int convertOnly(const QString& source, const QString& target)
{
    QElapsedTimer t;
    t.start();
    if (!convert(source, target))
        return 1;
    const double ms = double(t.nsecsElapsed()) / 1e6;
    std::printf("conversion: %.1f MB in %.1f ms; peak memory %.1f MB\n",
                double(QFileInfo(source).size()) / (1024.0 * 1024.0), ms, double(peakKb()) / 1024.0);
    return 0;
}

// Runs a process to its end; its wall time in ms, or -1 when it failed.
double runProcess(QProcess& p, const QString& program, const QStringList& args)
{
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e6;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int againstAwk(int lines, int rounds)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("export.txt");
    const QString target = dir.filePath("_Orvane.orv");
    const QString awkOut = dir.filePath("awk.orv");
    if (!writeFile(source, makeExport(lines)))
        return 1;
    const QStringList awkArgs{QStringLiteral("-F"),
                              QStringLiteral("\t"),
                              QStringLiteral("-v"),
                              QStringLiteral("OFS=\t"),
                              QString::fromLatin1(kMicrosAwk),
                              source};
    std::vector<double> conv, awk, ratio;
    QByteArray report;
    for (int r = 0; r < rounds; ++r) {
        QProcess self;
        QProcess peer;
        peer.setStandardOutputFile(awkOut);
        const double c =
            runProcess(self, QCoreApplication::applicationFilePath(), {QStringLiteral("convert"), source, target});
        const double a = runProcess(peer, QStringLiteral("awk"), awkArgs);
        if (c < 0 || a < 0) {
            std::fprintf(stderr, "a run failed: %s%s\n", self.readAllStandardError().constData(),
                         peer.readAllStandardError().constData());
            return 1;
        }
        report = self.readAllStandardOutput();
        conv.push_back(c);
        awk.push_back(a);
        ratio.push_back(a / c);
    }
    if (fileBytes(target) != fileBytes(awkOut)) {
        std::fprintf(stderr, "awk wrote other bytes than the conversion\n");
        return 1;
    }
    std::printf("source: %d lines, %.1f MB; %d rounds, medians, whole processes\n", lines,
                double(QFileInfo(source).size()) / (1024.0 * 1024.0), rounds);
    std::printf("conversion %8.1f ms\n", median(conv));
    std::printf("awk        %8.1f ms\n", median(awk));
    std::printf("  conversion speed / awk speed: %.2f\n", median(ratio));
    std::printf("last conversion's own report: %s", report.constData());
    return 0;
}

int compare(int lines, int rounds)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("export.txt");
    const QString target = dir.filePath("_Orvane.orv");
    const QString copy = dir.filePath("copy.txt");
    const QByteArray bytes = makeExport(lines);
    if (!writeFile(source, bytes) || !convert(source, target))
        return 1;
    const double mb = double(bytes.size()) / (1024.0 * 1024.0);

    // Each pair in turn, so that both sides of a ratio meet the same machine.
    std::vector<double> conv, cp, convRatio, ld, srt, loadRatio;
    for (int r = 0; r < rounds; ++r) {
        const double c = timeMs([&] { convert(source, target); });
        const double p = timeMs([&] { copyWithSync(source, copy); });
        conv.push_back(c);
        cp.push_back(p);
        convRatio.push_back(p / c);
    }
    for (int r = 0; r < rounds; ++r) {
        const double l = timeMs([&] { load(target); });
        const double s = timeMs([&] { gnuSort(target); });
        ld.push_back(l);
        srt.push_back(s);
        loadRatio.push_back(s / l);
    }
    std::printf("source: %d lines, %.1f MB; record file %.1f MB; %d rounds, medians\n", lines, mb,
                double(QFileInfo(target).size()) / (1024.0 * 1024.0), rounds);
    std::printf("conversion      %8.1f ms  %6.1f MB/s\n", median(conv), mb / (median(conv) / 1000.0));
    std::printf("copy with fsync %8.1f ms  %6.1f MB/s\n", median(cp), mb / (median(cp) / 1000.0));
    std::printf("  conversion speed / copy speed: %.2f\n", median(convRatio));
    std::printf("load plus sort  %8.1f ms  %6.2f us per line\n", median(ld), median(ld) * 1000.0 / lines);
    std::printf("GNU sort        %8.1f ms\n", median(srt));
    std::printf("  load speed / GNU sort speed: %.2f\n", median(loadRatio));

    // Peak memory in a process of its own, so that nothing above counts.
    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("load"), target});
    child.waitForFinished(-1);
    return child.exitCode();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == QLatin1String("make")) {
        const QString dir = args[2];
        return writeFile(dir + "/export.txt", makeExport(args[1].toInt())) &&
                       convert(dir + "/export.txt", dir + "/_Orvane.orv")
                   ? 0
                   : 1;
    }
    if (args.size() == 3 && args[0] == QLatin1String("convert"))
        return convertOnly(args[1], args[2]);
    if (args.size() == 1 && args[0] == QLatin1String("awk-program")) {
        std::printf("%s", kMicrosAwk);
        return 0;
    }
    if (!args.isEmpty() && args[0] == QLatin1String("awk")) {
        const int lines = args.size() > 1 ? args[1].toInt() : 1000000;
        const int rounds = args.size() > 2 ? args[2].toInt() : 5;
        return againstAwk(lines > 0 ? lines : 1000000, rounds > 0 ? rounds : 5);
    }
    if (args.size() == 2 && args[0] == QLatin1String("load"))
        return loadOnly(args[1]);
    const int lines = args.size() > 0 ? args[0].toInt() : 100000;
    const int rounds = args.size() > 1 ? args[1].toInt() : 5;
    return compare(lines > 0 ? lines : 100000, rounds > 0 ? rounds : 5);
}
