// Converts a generated 100,000-line Micros/Opera export (about 15 MB) into a
// record file, then loads that into the record store with a two-key sort.
// Prints MB/s for the conversion and milliseconds for load plus sort.
#include "core/globals.h"
#include "platform/textfile.h"
#include "records/convert.h"
#include "records/recordstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

// Processor time of this process in milliseconds (other load on the machine
// does not count).
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString source = dir.filePath("export.txt");
    const QString target = dir.filePath("_Orvane.orv");

    QRandomGenerator rng(42);
    QByteArray bytes;
    bytes.reserve(lines * 160);
    for (int i = 0; i < lines; ++i) {
        const int start = 600 + int(rng.bounded(1200));
        bytes += "Annual Meeting of the Board " + QByteArray::number(rng.bounded(9999)) + "\t" +
                 "Grand Ballroom East Wing\t" + "Hosted by Example Corporation\t" + QByteArray::number(start) + "\t" +
                 QByteArray::number(start + 130) + "\tLevel " + QByteArray::number(rng.bounded(12)) + "\t20240" +
                 QByteArray::number(1 + rng.bounded(9)) + "15\t20241231\t" + "Group " +
                 QByteArray::number(rng.bounded(40)) + "\tContact desk\tExt 4411\tNotes here\t" + "Extra field\r\n";
    }
    QFile f(source);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return 1;
    f.close();
    const double mb = double(bytes.size()) / (1024.0 * 1024.0);

    QElapsedTimer t;
    t.start();
    double cpu = cpuMs();
    QString error;
    if (records::convertFile(source, QStringLiteral("0"), target, &error) != records::ConvertStatus::Converted) {
        std::fprintf(stderr, "conversion failed: %s\n", qPrintable(error));
        return 1;
    }
    const double convertSec = double(t.nsecsElapsed()) / 1e9;
    const double convertCpuMs = cpuMs() - cpu;

    gstrDataType = QStringLiteral("0");
    gstrSortType = QStringLiteral("Ascending");
    gstrSortGroup = QStringLiteral("Line 9");
    gstrSortLine = QStringLiteral("Line 4");
    DataGrids grids;
    t.restart();
    cpu = cpuMs();
    loadRDMFromOrvFile(grids, target);
    const double loadMs = double(t.nsecsElapsed()) / 1e6;
    const double loadCpuMs = cpuMs() - cpu;

    std::printf("source: %d lines, %.1f MB\n", lines, mb);
    std::printf("conversion: %.1f ms, %.1f MB/s (processor time %.1f ms, %.1f MB/s)\n", convertSec * 1000.0,
                mb / convertSec, convertCpuMs, mb / (convertCpuMs / 1000.0));
    std::printf("load plus sort: %.1f ms (processor time %.1f ms, %d rows)\n", loadMs, loadCpuMs,
                grids.igRDM.RowCount());
    return grids.igRDM.RowCount() == lines ? 0 : 1;
}
