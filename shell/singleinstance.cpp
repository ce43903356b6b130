#include "shell/singleinstance.h"

#include "platform/paths.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");

// A copy that starts makes its lock file empty and takes the system lock on
// it a moment later: an empty file this young may be such a start's.
constexpr int kYoungLockMs = 1000;

// Removes the lock file at `path` when no live process holds it. A lock
// file is held by the system lock its copy takes on it, whatever it says of
// its copy: one left empty by a crash, one with garbage, one naming another
// host or a process number that is now another process's (a board in a
// container names 1, which is the next start itself) is held by nobody; the
// system lock goes with the process that took it. The removal holds that
// lock meanwhile, never takes it on an empty file young enough to be a
// start's (its maker would find it taken), and removes the name only while
// it still names the file it locked: two starts that find one stale lock
// never remove the lock one of them has taken since. True when the file is
// gone.
bool removeStaleLock(const QByteArray& path)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return errno == ENOENT;
        struct stat mine = {};
        if (::fstat(fd, &mine) != 0) {
            ::close(fd);
            return false;
        }
        const qint64 ageMs =
            QDateTime::currentMSecsSinceEpoch() - (qint64(mine.st_mtim.tv_sec) * 1000 + mine.st_mtim.tv_nsec / 1000000);
        if (mine.st_size == 0 && ageMs >= 0 && ageMs < kYoungLockMs) {
            ::close(fd);
            QThread::msleep(kYoungLockMs - ageMs + 50);
            continue;
        }
        struct stat named = {};
        const bool removed = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::stat(path.constData(), &named) == 0 &&
                             mine.st_dev == named.st_dev && mine.st_ino == named.st_ino &&
                             ::unlink(path.constData()) == 0;
        ::close(fd);
        return removed;
    }
    return false;
}

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent)
{
    // A new board's first start may come before its folder: the folder is
    // made first, so that the lock and the socket name are the ones every
    // later start finds.
    QDir().mkpath(programFolder);
    folder_ = QFileInfo(programFolder).canonicalFilePath();
    if (folder_.isEmpty())
        folder_ = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    lockPath_ = paths::join(folder_, QStringLiteral("ZQOrvane.lock"));
    const QByteArray hash = QCryptographicHash::hash(folder_.toUtf8(), QCryptographicHash::Sha1).toHex();
    serverName_ = QStringLiteral("ZQOrvane-") + QString::fromLatin1(hash.left(20));
}

SingleInstance::~SingleInstance()
{
    if (server_)
        server_->close();
    if (lock_)
        lock_->unlock();
}

bool SingleInstance::acquire()
{
    if (server_)
        return true;
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // The lock lasts as long as the program runs: never stale by age, only
    // when the process that wrote it is gone.
    lock_->setStaleLockTime(0);
    bool locked = lock_->tryLock(0);
    // A lock file that no running copy holds (none answers on the socket,
    // and no live process holds the file) is stale, whatever it says.
    if (!locked && lock_->error() == QLockFile::LockFailedError && !answers() &&
        removeStaleLock(QFile::encodeName(lockPath_)))
        locked = lock_->tryLock(0);
    if (!locked && lock_->error() == QLockFile::LockFailedError) {
        lock_.reset();
        return false;
    }
    // Without the lock (a folder that takes no lock file, read-only for
    // example) the socket alone guards the folder; with it, a copy that
    // runs on the socket alone still counts.
    if (answers()) {
        lock_.reset();
        return false;
    }
    if (!locked)
        lock_.reset();
    listen();
    return true;
}

bool SingleInstance::answers() const
{
    QLocalSocket probe;
    probe.connectToServer(serverName_);
    if (!probe.waitForConnected(500))
        return false;
    probe.disconnectFromServer();
    return true;
}

void SingleInstance::listen()
{
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We own the folder now, so a socket left over from a crashed copy goes.
    QLocalServer::removeServer(serverName_);
    server_->listen(serverName_);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto handle = [this, socket] {
            if (socket->property("handled").toBool())
                return;
            if (socket->bytesAvailable() < kActivate.size())
                return;
            const QByteArray data = socket->readAll();
            socket->setProperty("handled", true);
            if (data.startsWith(kActivate))
                Q_EMIT activationRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        connect(socket, &QLocalSocket::disconnected, this, handle);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        handle(); // the request may have arrived with the connection
    }
}

bool SingleInstance::activateRunning(int timeoutMs)
{
    // A copy that has just taken the lock listens a moment later.
    QLocalSocket socket;
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(quint64(std::clamp<qint64>(deadline.remainingTime(), 0, 100)));
    }
    socket.write(kActivate);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return sent;
}
