#include "remote/boardftp.h"

#include "platform/ftp/curlftpclient.h"
#include "remote/boardlist.h"

#include <QElapsedTimer>
#include <QFileInfo>

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
    const QString host = hostOf(address);
    if (host.isEmpty() || cancel_)
        return false;
    ftp::CurlFtpClient client(timeouts_);
    watchCancel(client, cancel_);
    const bool ok = client.login({host, login_.user, login_.password}).ok();
    client.disconnect();
    return ok;
}

TransferStatus BoardFtp::put(const QString& address, const QString& localFile, const QString& remotePath)
{
    const QFileInfo info(localFile);
    const QString host = hostOf(address);
    // An empty file is never sent: on a board it would replace a good one.
    if (!info.isFile() || info.size() <= 0 || host.isEmpty())
        return TransferStatus::Ready;
    if (cancel_)
        return TransferStatus::Abort;

    ftp::CurlFtpClient client(timeouts_);
    watchCancel(client, cancel_);
    ftp::Result r = client.login({host, login_.user, login_.password});
    if (!r.ok())
        return statusOf(r) == TransferStatus::Abort ? TransferStatus::Abort : TransferStatus::Ready;

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
    r = client.upload(localFile, remotePath);
    client.setProgress(nullptr);
    TransferStatus status = statusOf(r);
    if (status == TransferStatus::Completed) {
        const QString stamp = info.lastModified().toLocalTime().toString(QStringLiteral("yyyyMMddHHmmss"));
        client.command(QStringLiteral("MDTM ") + stamp + QLatin1Char(' ') + remotePath);
        if (display_)
            display_->cleared();
    }
    if (cancel_) {
        client.abort();
        if (status != TransferStatus::Completed)
            status = TransferStatus::Abort;
    } else {
        client.disconnect();
    }
    return status;
}

} // namespace remote
