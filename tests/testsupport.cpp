#include "tests/testsupport.h"

#include <QDirIterator>

namespace testsupport {

QString dataDir()
{
    const QString env = qEnvironmentVariable("ORV_TEST_DATA");
    if (!env.isEmpty())
        return env;
    return QStringLiteral(ORV_SOURCE_DIR "/tests/data");
}

QStringList fuzzCorpus(const QString& name)
{
    QStringList files;
    QDirIterator it(dataDir() + "/fuzz/" + name, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

} // namespace testsupport
