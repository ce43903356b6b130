#include "platform/atomicfile.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace atomicfile {
namespace {

// A temporary file is ".<target name>.orvtmp.<6 random letters or digits>",
// a name nothing else uses, so leftovers can be told apart safely.
const QString kTempMark = QStringLiteral(".orvtmp.");

QString sysError(const QString& what, const QString& path)
{
    return QStringLiteral("%1 \"%2\": %3").arg(what, path, QString::fromLocal8Bit(std::strerror(errno)));
}

bool writeAllFd(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a link at `link` may be written through: the end of its chain
// of links, when that is an existing file in the link's own folder or
// below it. "" with the reason otherwise.
QString linkTarget(const QFileInfo& link, QString& err)
{
    const QString end = link.canonicalFilePath();
    if (end.isEmpty()) {
        err =
            QStringLiteral("\"%1\" is a symbolic link to nothing; no file is created through it.").arg(link.filePath());
        return {};
    }
    if (!paths::isInside(end, link.absolutePath())) {
        err = QStringLiteral("\"%1\" is a symbolic link out of its folder; nothing is written through it.")
                  .arg(link.filePath());
        return {};
    }
    return end;
}

// The file a write to `path` replaces: `path` itself, or the end of its
// link where that may be written through. "" with the reason for no name,
// a link that may not be written through, or a folder.
QString replacedFile(const QString& path, QString& err)
{
    if (path.isEmpty()) {
        err = QStringLiteral("No file name given.");
        return {};
    }
    QString target = path;
    if (const QFileInfo link(path); link.isSymLink()) {
        target = linkTarget(link, err);
        if (target.isEmpty())
            return {};
    }
    if (QFileInfo(target).isDir()) {
        err = QStringLiteral("\"%1\" is a folder.").arg(path);
        return {};
    }
    return target;
}

} // namespace

bool write(const QString& path, const QByteArray& data, QString* error)
{
    return writeStream(
        path, [&data](const Put& put) { return put(data.constData(), data.size()); }, error);
}

bool writeStream(const QString& path, const Produce& produce, QString* error)
{
    QString dummy;
    QString& err = error ? *error : dummy;
    const QString target = replacedFile(path, err);
    if (target.isEmpty())
        return false;
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    QByteArray tmpl =
        QFile::encodeName(folder + QStringLiteral("/.") + info.fileName() + kTempMark + QStringLiteral("XXXXXX"));
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        err = sysError(QStringLiteral("Cannot create a file in"), folder);
        return false;
    }
    // Keep the permissions of the file being replaced; new files get the usual 0644.
    struct stat st {};
    const mode_t mode = ::stat(QFile::encodeName(target).constData(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);

    int failedErrno = 0;
    const bool produced = produce([fd, &failedErrno](const char* data, qsizetype size) {
        if (failedErrno == 0 && !writeAllFd(fd, data, size))
            failedErrno = errno;
        return failedErrno == 0;
    });
    if (produced && failedErrno == 0 && ::fsync(fd) != 0)
        failedErrno = errno;
    ::close(fd);
    if (!produced || failedErrno != 0) {
        ::unlink(tmpl.constData());
        if (failedErrno != 0) {
            errno = failedErrno;
            err = sysError(QStringLiteral("Cannot write"), path);
        }
        return false;
    }
    if (::rename(tmpl.constData(), QFile::encodeName(target).constData()) != 0) {
        const int e = errno;
        ::unlink(tmpl.constData());
        errno = e;
        err = sysError(QStringLiteral("Cannot replace"), path);
        return false;
    }
    syncFolder(folder);
    return true;
}

bool copy(const QString& source, const QString& target, QString* error)
{
    const QFileInfo s(source), t(target);
    if (t.exists() && s.exists() && s.canonicalFilePath() == t.canonicalFilePath())
        return true;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read \"%1\": %2").arg(source, in.errorString());
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFile::NoError) {
        if (error)
            *error = QStringLiteral("Cannot read \"%1\": %2").arg(source, in.errorString());
        return false;
    }
    return write(target, bytes, error);
}

bool moveOver(const QString& source, const QString& target, QString* error)
{
    QString dummy;
    QString& err = error ? *error : dummy;
    const QString to = replacedFile(target, err);
    if (to.isEmpty())
        return false;
    if (source.isEmpty()) {
        err = QStringLiteral("No file name given.");
        return false;
    }
    const QFileInfo info(to);
    const QByteArray from = QFile::encodeName(source);
    struct stat st {};
    if (::stat(QFile::encodeName(to).constData(), &st) == 0)
        ::chmod(from.constData(), st.st_mode & 07777);
    if (::rename(from.constData(), QFile::encodeName(to).constData()) != 0) {
        if (errno != EXDEV) {
            err = sysError(QStringLiteral("Cannot replace"), target);
            return false;
        }
        if (!copy(source, target, error))
            return false;
        QFile::remove(source);
        return true;
    }
    syncFolder(info.absolutePath());
    const QString sourceFolder = QFileInfo(source).absolutePath();
    if (sourceFolder != info.absolutePath())
        syncFolder(sourceFolder);
    return true;
}

int removeStaleTemporaries(const QString& folder, const QDateTime& modifiedBefore)
{
    static const QRegularExpression own(QStringLiteral("^\\..+\\.orvtmp\\.[A-Za-z0-9]{6}$"));
    static const QRegularExpression aside(QStringLiteral("^\\.(.+)\\.orvold\\.[A-Za-z0-9]{6}$"));
    int cleared = 0;
    // Newest first: of two files moved aside from one name, the later one
    // goes back.
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Time);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !entry.isFile())
            continue;
        if (own.match(entry.fileName()).hasMatch()) {
            if (modifiedBefore.isValid() && entry.lastModified() >= modifiedBefore)
                continue;
            if (QFile::remove(entry.filePath()))
                ++cleared;
            continue;
        }
        const QRegularExpressionMatch moved = aside.match(entry.fileName());
        if (!moved.hasMatch())
            continue;
        const QFileInfo real(entry.dir().filePath(moved.captured(1)));
        // A rename that never replaces a file: what came meanwhile stays.
        if (!real.exists() && !real.isSymLink()) {
            if (QFile::rename(entry.filePath(), real.filePath()))
                ++cleared;
        } else if (real.isFile() && QFile::remove(entry.filePath())) {
            ++cleared;
        }
    }
    return cleared;
}

namespace {

QString randomSuffix()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::system()->bounded(int(sizeof(letters) - 1))]);
    return suffix;
}

} // namespace

QString temporaryName(const QString& fileName)
{
    return QLatin1Char('.') + fileName + kTempMark + randomSuffix();
}

QString asideName(const QString& fileName)
{
    return QLatin1Char('.') + fileName + QStringLiteral(".orvold.") + randomSuffix();
}

} // namespace atomicfile
