// An INI file with a play-list of 100,000 keys (about 3 MB): loads it (read,
// decode, parse and index), reads every key back, sets every key again in
// one document and writes the file. Prints milliseconds of processor time
// for each step; the load must stay under 100 ms.
#include "platform/inifile.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

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
    const int keys = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("OrvaneSettings.ini"));

    QByteArray bytes = "; pushed settings\r\n[SETTINGS]\r\nStatus=1\r\nData Type=3\r\n\r\n[TEMPLATES]\r\n";
    for (int i = 1; i <= keys; ++i)
        bytes += "Template" + QByteArray::number(i) + "=Template with " + QByteArray::number(i % 7) + " records\r\n";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return 1;
    f.close();

    IniFile file(path);
    double t0 = cpuMs();
    IniDocument doc = file.load();
    const double loadMs = cpuMs() - t0;

    // The load's parts: the text alone, then parsing and indexing it.
    t0 = cpuMs();
    QString text;
    textfile::readText(path, text);
    const double textMs = cpuMs() - t0;
    t0 = cpuMs();
    const IniDocument parsed = IniDocument::fromText(text);
    const double parseMs = cpuMs() - t0;

    t0 = cpuMs();
    qsizetype chars = 0;
    for (int i = 1; i <= keys; ++i) {
        QString out;
        chars += doc.read(QStringLiteral("templates"), QStringLiteral("template%1").arg(i), QString(), out, 2048);
    }
    const double readMs = cpuMs() - t0;

    t0 = cpuMs();
    for (int i = keys; i >= 1; --i)
        doc.set(QStringLiteral("TEMPLATES"), QStringLiteral("Template%1").arg(i), QStringLiteral("Default Template"));
    doc.set(QStringLiteral("TEMPLATES"), QStringLiteral("Template%1").arg(keys + 1), QStringLiteral("New"));
    const double setMs = cpuMs() - t0;

    t0 = cpuMs();
    const bool saved = file.save(doc);
    const double saveMs = cpuMs() - t0;

    std::printf("%d keys, %.1f MB: load %.1f ms (text %.1f, parse and index %.1f), read all %.1f ms, set all %.1f ms, "
                "save %.1f ms%s\n",
                keys, double(bytes.size()) / 1e6, loadMs, textMs, parseMs, readMs, setMs, saveMs,
                saved && chars > 0 && parsed.lines().size() == doc.lines().size() - 1 ? "" : " (FAILED)");
    std::printf("load under 100 ms: %s\n", loadMs < 100.0 ? "yes" : "NO");
    return loadMs < 100.0 && saved ? 0 : 1;
}
