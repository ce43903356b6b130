#include "shell/singleinstance.h"

#include "platform/paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace {
const QByteArray kActivate = QByteArrayLiteral("activate\n");
}

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent)
{
    // A new board's first start may come before its folder: the folder is
    // made first, so that the lock and the socket name are the ones every
    // later start finds.
    QDir().mkpath(programFolder);
    QString folder = QFileInfo(programFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    lockPath_ = paths::join(folder, QStringLiteral("ZQOrvane.lock"));
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex();
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
    const bool locked = lock_->tryLock(0);
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
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kActivate);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return sent;
}
