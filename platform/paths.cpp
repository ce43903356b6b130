#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace paths {

QString programFolder()
{
    const QString env = qEnvironmentVariable("ORVANE_HOME");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString playerFolder()
{
    const QString env = qEnvironmentVariable("ORVANE_PLAYER_FOLDER");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    return QStringLiteral("/opt/ZQ5Player");
}

QString join(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString fileNameOf(const QString& stored)
{
    const qsizetype a = stored.lastIndexOf(QLatin1Char('\\'));
    const qsizetype b = stored.lastIndexOf(QLatin1Char('/'));
    return stored.mid(qMax(a, b) + 1);
}

bool isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar ch : name) {
        if (ch == QLatin1Char('/') || ch == QLatin1Char('\\') || ch.unicode() < 32 || ch.unicode() == 127)
            return false;
    }
    return true;
}

QString namedFile(const QString& stored)
{
    const QString name = fileNameOf(stored.trimmed());
    return isPlainFileName(name) ? name : QString();
}

QString resolve(const QString& folder, const QString& name)
{
    const QString exact = join(folder, name);
    if (name.isEmpty() || QFileInfo::exists(exact))
        return exact;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    QString found;
    for (const QString& e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0) {
            if (!found.isEmpty())
                return exact; // ambiguous
            found = e;
        }
    }
    return found.isEmpty() ? exact : join(folder, found);
}

bool isInside(const QString& path, const QString& folder)
{
    const QFileInfo fi(path);
    // The target may not exist yet: canonicalise its folder instead.
    const QString dirCanon = QFileInfo(fi.absolutePath()).canonicalFilePath();
    const QString folderCanon = QFileInfo(folder).canonicalFilePath();
    if (dirCanon.isEmpty() || folderCanon.isEmpty())
        return false;
    QString full = dirCanon;
    if (fi.exists() && !fi.canonicalFilePath().isEmpty())
        full = fi.canonicalFilePath();
    else
        full = join(dirCanon, fi.fileName());
    return full.startsWith(folderCanon + QLatin1Char('/'));
}

} // namespace paths
