#include "remote/boardftp.h"

#include "core/modmain.h"
#include "platform/ftp/curlftpclient.h"
#include "remote/boardlist.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

#include <cmath>

namespace remote {

QString FormatTimeLeft(qint64 seconds)
{
    qint64 s = seconds < 0 ? -seconds : seconds;
    const qint64 hours = s / 3600;
    s %= 3600;
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(s / 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void TransferMeter::update(qint64 bytes, qint64 elapsedMs)
{
    bytes_ = bytes;
    const double elapsed = elapsedMs > 0 ? double(elapsedMs) : 1.0;
    rate_ = ((double(bytes) / 1000.0) / (elapsed / 1000.0) + rate_) / 2.0;
}

int TransferMeter::percent() const
{
    if (length_ <= 0)
        return 0;
    const double p = std::nearbyint(double(bytes_) / double(length_) * 100.0);
    return int(std::clamp(p, 0.0, 100.0));
}

QString TransferMeter::timeLeft() const
{
    if (rate_ <= 0)
        return QString();
    const double left = std::floor((double(length_ - bytes_) / 1000.0) / rate_);
    return FormatTimeLeft(qint64(std::max(left, 0.0)));
}

BoardFtp::BoardFtp(const std::atomic<bool>& cancel, int port, BoardLogin login, ftp::Timeouts timeouts)
    : cancel_(cancel)
    , port_(port)
    , login_(std::move(login))
    , timeouts_(timeouts)
{
}

QString BoardFtp::hostOf(const QString& address) const
{
    const QString a = address.trimmed();
    if (!isBoardAddress(a))
        return QString();
    const QString host = a.contains(QLatin1Char(':')) ? QLatin1Char('[') + a + QLatin1Char(']') : a;
    return host + QLatin1Char(':') + QString::number(port_);
}

namespace {

// A board refuses a file that is open there with reply 450, or (servers on
// Windows) with reply 550 and the system's sharing-violation text.
bool fileInUse(const ftp::Result& r)
{
    return r.serverCode == 450 ||
           (r.serverCode == 550 &&
            r.serverText.contains(QLatin1String("used by another process"), Qt::CaseInsensitive));
}

TransferStatus statusOf(const ftp::Result& r)
{
    switch (r.status) {
    case ftp::Status::Ok:
        return TransferStatus::Completed;
    case ftp::Status::Cancelled:
        return TransferStatus::Abort;
    case ftp::Status::ConnectionReset:
        return TransferStatus::ConnectionReset;
    case ftp::Status::Refused:
        return fileInUse(r) ? TransferStatus::FileInUsed : TransferStatus::Ready;
    default:
        return TransferStatus::Ready;
    }
}

// The cancel flag stops the client's operation at once: aborting also cuts
// the sockets, so a wait inside the transfer library (a board that never
// confirms an upload) ends too, not only at the stall time-out.
void watchCancel(ftp::CurlFtpClient& client, const std::atomic<bool>& cancel)
{
    client.setCancelCheck([&client, &cancel] {
        if (!cancel)
            return false;
        client.abort();
        return true;
    });
}

} // namespace

bool BoardFtp::probe(const QString& address)
{
    cause_.clear();
    const QString host = hostOf(address);
    if (host.isEmpty()) {
        cause_ = unusableAddressCause();
        return false;
    }
    if (cancel_) {
        cause_ = QStringLiteral("cancelled");
        return false;
    }
    ftp::CurlFtpClient client(timeouts_);
    watchCancel(client, cancel_);
    const ftp::Result r = client.login({host, login_.user, login_.password});
    if (!r.ok())
        cause_ = causeOf(r, QStringLiteral("the login"));
    close(client);
    return r.ok();
}

QString BoardFtp::renameCause(const ftp::Result& r, const QString& target) const
{
    const QString step = QStringLiteral("the rename of %1").arg(target.section(QLatin1Char('/'), -1));
    QString cause = causeOf(r, step);
    if (r.outcomeUnknown)
        cause += QStringLiteral(", and the board could not be asked again whether the new file took its place");
    return cause;
}

QString BoardFtp::causeOf(const ftp::Result& r, const QString& step) const
{
    const QString bytes = r.bytesTotal >= 0 && r.bytesDone >= 0
                              ? QStringLiteral(" after %1 of %2 bytes sent").arg(r.bytesDone).arg(r.bytesTotal)
                              : QString();
    const QString reply =
        r.serverCode >= 400 ? QStringLiteral("the board replied %1 %2").arg(r.serverCode).arg(r.serverText) : QString();
    QString cause;
    switch (r.status) {
    case ftp::Status::Ok:
        return QString();
    case ftp::Status::ConnectFailed: {
        // The client's reason, as part of our sentence.
        const QString why = modMain::inSentence(r.message);
        cause = why.isEmpty() ? QStringLiteral("the board could not be reached")
                              : QStringLiteral("the board could not be reached: %1").arg(why);
        break;
    }
    case ftp::Status::LoginFailed:
        cause = r.serverCode >= 400
                    ? QStringLiteral("the board refused the login: %1 %2").arg(r.serverCode).arg(r.serverText)
                    : QStringLiteral("the board refused the login");
        break;
    case ftp::Status::TimedOut:
        // A board that closes the connection says why with 421 (it takes no
        // more connections, it shuts down), which the transfer library
        // counts as a time-out.
        cause = r.serverCode == 421 ? reply : QStringLiteral("a time-out: the board stopped answering") + bytes;
        break;
    case ftp::Status::NotConnected:
    case ftp::Status::ConnectionReset:
        // The server may still have said why before the connection went.
        if (!reply.isEmpty())
            cause = reply;
        else if (!bytes.isEmpty())
            cause = QStringLiteral("the connection was lost%1").arg(bytes);
        else if (!step.isEmpty())
            cause = QStringLiteral("the connection broke before the board answered %1").arg(step);
        else
            cause = QStringLiteral("the connection to the board broke");
        break;
    case ftp::Status::Incomplete:
        // A server that took the data and then refused it (a full disk)
        // says so; one whose SIZE reply counts less than was sent did not
        // get it all.
        if (!reply.isEmpty())
            cause = reply;
        else if (r.serverCode == 213 && r.bytesDone >= 0)
            cause = QStringLiteral("the board holds %1 of the %2 bytes sent").arg(r.bytesDone).arg(r.bytesTotal);
        else
            cause = r.message;
        break;
    case ftp::Status::Cancelled:
        cause = QStringLiteral("cancelled");
        break;
    default:
        cause = reply.isEmpty() ? r.message : reply;
        break;
    }
    cause = cause.trimmed();
    while (cause.endsWith(QLatin1Char('.')))
        cause.chop(1);
    // Neither the password nor an address that carries one.
    static const QRegularExpression credentials(QStringLiteral("[A-Za-z][A-Za-z0-9+.-]*://[^/@\\s]*@"));
    cause.replace(credentials, QStringLiteral("ftp://"));
    if (!login_.password.isEmpty())
        cause.replace(login_.password, QStringLiteral("***"));
    return cause;
}

TransferStatus BoardFtp::send(ftp::CurlFtpClient& client, const QString& address, const QString& localFile,
                              const QString& remotePath, QString& temporary, bool cancellable)
{
    temporary.clear();
    cause_.clear();
    const QFileInfo info(localFile);
    const QString host = hostOf(address);
    if (host.isEmpty()) {
        cause_ = unusableAddressCause();
        return TransferStatus::Ready;
    }
    // Checked before anything is opened: reading a named pipe would wait
    // for a writer, and a device never ends.
    if (!info.exists()) {
        cause_ = QStringLiteral("the local file %1 is missing").arg(info.fileName());
        return TransferStatus::Ready;
    }
    if (!info.isFile()) {
        cause_ = info.isDir()
                     ? QStringLiteral("%1 is a folder, not a file").arg(info.fileName())
                     : QStringLiteral("%1 is not a regular file (a device or a named pipe)").arg(info.fileName());
        return TransferStatus::Ready;
    }
    // An empty file is never sent: on a board it would replace a good one.
    if (info.size() <= 0) {
        cause_ = QStringLiteral("the local file %1 is empty").arg(info.fileName());
        return TransferStatus::Ready;
    }
    if (cancellable && cancel_)
        return TransferStatus::Abort;

    if (cancellable)
        watchCancel(client, cancel_);
    else
        client.setCancelCheck(nullptr);
    ftp::Result r = client.login({host, login_.user, login_.password});
    if (!r.ok()) {
        cause_ = causeOf(r, QStringLiteral("the login"));
        return statusOf(r) == TransferStatus::Abort ? TransferStatus::Abort : TransferStatus::Ready;
    }

    const qint64 length = info.size();
    if (display_)
        display_->started(length);
    TransferMeter meter(length);
    QElapsedTimer clock;
    clock.start();
    client.setProgress([&](qint64 done, qint64) {
        meter.update(done, clock.elapsed());
        if (display_)
            display_->progress(done, meter.percent(), meter.timeLeft());
    });
    r = client.stage(localFile, remotePath, temporary);
    client.setProgress(nullptr);
    TransferStatus status = cancellable && cancel_ && !r.ok() ? TransferStatus::Abort : statusOf(r);
    // No temporary name is ever open on the board: a refusal of one (450
    // "try again" from a busy server, too) is a failed transfer. A file in
    // use counts only at the rename over the real name.
    if (status == TransferStatus::FileInUsed)
        status = TransferStatus::Ready;
    if (status == TransferStatus::Completed) {
        stamps_.insert(temporary, {info.lastModified().toLocalTime().toString(QStringLiteral("yyyyMMddHHmmss")),
                                   info.size(), r.modified});
        if (display_)
            display_->cleared();
    } else {
        cause_ = causeOf(r);
        // The board would not change into the file's folder: its reply
        // (vsftpd's "550 Failed to change directory.") does not say which.
        const QString folder = ftp::normalisePath(remotePath).section(QLatin1Char('/'), 0, -2);
        if (r.status == ftp::Status::NotFound && !folder.isEmpty()) {
            const QString which =
                QStringLiteral("has no folder \"%1\", or does not let the account into it").arg(folder);
            cause_ =
                r.serverCode >= 400 ? cause_ + QStringLiteral(": it ") + which : QStringLiteral("the board ") + which;
        }
    }
    return status;
}

void BoardFtp::stamp(ftp::CurlFtpClient& client, const QString& remotePath, const QString& temporary)
{
    // Its answer is not needed: a session that breaks here is opened again
    // by the next rename.
    const QString time = stamps_.take(temporary).time;
    if (!time.isEmpty() && client.reconnect().ok())
        client.command(QStringLiteral("MDTM ") + time + QLatin1Char(' ') + remotePath);
}

void BoardFtp::close(ftp::CurlFtpClient& client)
{
    watchCancel(client, cancel_);
    if (cancel_)
        client.abort();
    else
        client.disconnect();
}

TransferStatus BoardFtp::sendInPlace(ftp::CurlFtpClient& client, const QString& address, const QString& localFile,
                                     const QString& remotePath, bool cancellable)
{
    QString temporary;
    TransferStatus status = send(client, address, localFile, remotePath, temporary, cancellable);
    if (status == TransferStatus::Completed) {
        const Staged staged = stamps_.value(temporary);
        const ftp::Result r = client.replace(temporary, remotePath, staged.size, staged.modified);
        status = statusOf(r);
        if (status == TransferStatus::Completed) {
            stamp(client, remotePath, temporary);
            temporary.clear();
        } else {
            cause_ = renameCause(r, remotePath);
            stamps_.remove(temporary);
            if (!r.movedAside.isEmpty())
                cause_ += QStringLiteral("; the board's old copy could not be moved back and waits as %1 until its "
                                         "program starts")
                              .arg(r.movedAside.section(QLatin1Char('/'), -1));
            if (client.connected() && client.command(QStringLiteral("DELE ") + temporary).ok())
                temporary.clear();
        }
    }
    if (cancellable && cancel_ && status != TransferStatus::Completed)
        status = TransferStatus::Abort;
    close(client);
    // A cancelled upload leaves its temporary (a big file, maybe) on the
    // board, and so does a session that broke: delete it now rather than at
    // the board's next start.
    if (status != TransferStatus::Completed && !temporary.isEmpty()) {
        // The transfer's cause is the one the caller reports.
        const QString why = cause_;
        discard(address, {temporary});
        cause_ = why;
    }
    return status;
}

TransferStatus BoardFtp::put(const QString& address, const QString& localFile, const QString& remotePath)
{
    ftp::CurlFtpClient client(timeouts_);
    return sendInPlace(client, address, localFile, remotePath, true);
}

TransferStatus BoardFtp::putCommand(const QString& address, const QString& localFile, const QString& remotePath)
{
    ftp::CurlFtpClient client(cancel_ ? timeouts_.brief() : timeouts_);
    return sendInPlace(client, address, localFile, remotePath, false);
}

TransferStatus BoardFtp::stage(const QString& address, const QString& localFile, const QString& remotePath,
                               QString& temporary)
{
    ftp::CurlFtpClient client(timeouts_);
    const TransferStatus status = send(client, address, localFile, remotePath, temporary);
    close(client);
    return status;
}

QList<TransferStatus> BoardFtp::replace(const QString& address, const QList<StagedFile>& files)
{
    cause_.clear();
    oldCopyAside_.clear();
    renameOutcomeUnknown_ = false;
    QList<TransferStatus> out;
    if (files.isEmpty())
        return out;
    const QString host = hostOf(address);
    ftp::CurlFtpClient client(timeouts_);
    const bool needed =
        std::any_of(files.cbegin(), files.cend(), [](const StagedFile& f) { return !f.temporary.isEmpty(); });
    if (needed) {
        // Until the first rename nothing on the board has changed, so a
        // cancel may stop the login; once the files go into place they all
        // go.
        watchCancel(client, cancel_);
        const ftp::Result r = host.isEmpty() ? ftp::Result{} : client.login({host, login_.user, login_.password});
        client.setCancelCheck(nullptr);
        if (cancel_) {
            client.abort();
            out << TransferStatus::Abort;
            return out;
        }
        if (!r.ok()) {
            cause_ = host.isEmpty() ? unusableAddressCause() : causeOf(r, QStringLiteral("the login"));
            out << TransferStatus::Ready;
            return out;
        }
    }
    for (const StagedFile& f : files) {
        if (f.temporary.isEmpty()) {
            out << TransferStatus::Completed;
            continue;
        }
        // A session lost at a step whose answer nobody needed opens again
        // first; when that login fails, the rename was never asked.
        const ftp::Result login = client.reconnect();
        const Staged staged = stamps_.value(f.temporary);
        const ftp::Result r = login.ok() ? client.replace(f.temporary, f.target, staged.size, staged.modified) : login;
        if (r.ok()) {
            stamp(client, f.target, f.temporary);
            out << TransferStatus::Completed;
            continue;
        }
        stamps_.remove(f.temporary);
        if (r.status == ftp::Status::Refused && fileInUse(r)) {
            cause_ = causeOf(r);
            out << TransferStatus::FileInUsed;
            if (!f.keepInUse)
                break;
            // The board keeps the file it has open; ours is not needed.
            if (client.connected())
                client.command(QStringLiteral("DELE ") + f.temporary);
            continue;
        }
        cause_ = login.ok() ? renameCause(r, f.target) : causeOf(r, QStringLiteral("the login"));
        oldCopyAside_ = r.movedAside;
        renameOutcomeUnknown_ = r.outcomeUnknown;
        const TransferStatus status = statusOf(r);
        out << (status == TransferStatus::Completed || status == TransferStatus::FileInUsed ? TransferStatus::Ready
                                                                                            : status);
        break;
    }
    // A board that never answers the goodbye holds no cancel.
    close(client);
    return out;
}

bool BoardFtp::discard(const QString& address, const QStringList& temporaries)
{
    QStringList names;
    for (const QString& t : temporaries) {
        stamps_.remove(t);
        if (!t.isEmpty())
            names << t;
    }
    const QString host = hostOf(address);
    if (names.isEmpty() || host.isEmpty())
        return true;
    // A short session: a board that does not answer gets the connect
    // time-out only. Leftovers go at the board's next start anyway.
    ftp::CurlFtpClient client(timeouts_.brief());
    const ftp::Result login = client.login({host, login_.user, login_.password});
    if (!login.ok()) {
        cause_ = causeOf(login, QStringLiteral("the login"));
        return false;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const ftp::Result r = client.command(QStringLiteral("DELE ") + names[i]);
        // A connection that went after the last answer left nothing behind.
        if (!client.connected() && (!r.ok() || i + 1 < names.size())) {
            cause_ = r.ok() ? QStringLiteral("the connection to the board broke")
                            : causeOf(r, QStringLiteral("the deletion of ") + names[i].section(QLatin1Char('/'), -1));
            return false;
        }
    }
    close(client);
    return true;
}

} // namespace remote
