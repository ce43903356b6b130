#pragma once
// Sending one file to a board over FTP, and probing a board for a login.
//
// Every transfer opens its own session and closes it again, failed or not.
// It never waits for ever: a board that does not answer within the connect
// time-out, or a transfer that makes no progress within the stall time-out,
// is a failed transfer. A set cancel flag aborts the transfer in progress.
// The account's password never reaches a message.
#include "platform/ftp/ftpclient.h"

#include <QString>

#include <atomic>

namespace remote {

// The outcome of one transfer; only Completed is a success.
enum class TransferStatus {
    Ready,           // not sent: missing or empty local file, no login, refused, broken off
    Completed,       // the whole file arrived
    Abort,           // the cancel flag stopped it
    FileInUsed,      // the board refused the file because it is open there
    ConnectionReset, // the connection broke during the transfer
};

// The account every board keeps for its administrator.
struct BoardLogin {
    QString user = QStringLiteral("kv8ruler");
    QString password = QStringLiteral("kv8ruler");
};

// What the update run needs of the upload layer.
class Uploader {
public:
    virtual ~Uploader() = default;
    // True when the board accepts the login; the session is closed again.
    virtual bool probe(const QString& address) = 0;
    // Sends `localFile` under `remotePath` (relative to the login folder,
    // "/" separated); the board's file is replaced only by a whole one.
    // After a complete upload sends "MDTM <local time> <remotePath>" and
    // ignores the reply.
    virtual TransferStatus put(const QString& address, const QString& localFile, const QString& remotePath) = 0;
};

// The transfer display, told on the thread that runs the transfer.
class TransferDisplay {
public:
    virtual ~TransferDisplay() = default;
    virtual void started(qint64 length) = 0;
    // Bytes so far, percent done (0 to 100) and the time-left text ("" while
    // there is no estimate yet: the display keeps its last text).
    virtual void progress(qint64 bytes, int percent, const QString& timeLeft) = 0;
    // After a complete transfer: the display is emptied.
    virtual void cleared() = 0;
};

// "HH:MM:SS" of a number of seconds (its absolute value); the hours take as
// many digits as they need.
QString FormatTimeLeft(qint64 seconds);

// The estimate of a running transfer. Each new speed is averaged with the
// previous average (so the first estimate is half the measured speed).
class TransferMeter {
public:
    explicit TransferMeter(qint64 length)
        : length_(length)
    {
    }
    void update(qint64 bytes, qint64 elapsedMs);
    int percent() const;
    // "" while the speed is still 0.
    QString timeLeft() const;

private:
    qint64 length_;
    qint64 bytes_ = 0;
    double rate_ = 0; // thousands of bytes per second
};

// The upload layer over the program's FTP client.
class BoardFtp final : public Uploader {
public:
    // Connect within 15 s; a transfer without progress for 60 s fails.
    static constexpr ftp::Timeouts kTimeouts{15000, 60000};

    explicit BoardFtp(const std::atomic<bool>& cancel, int port = 21, BoardLogin login = {},
                      ftp::Timeouts timeouts = kTimeouts);
    void setDisplay(TransferDisplay* display) { display_ = display; }

    bool probe(const QString& address) override;
    TransferStatus put(const QString& address, const QString& localFile, const QString& remotePath) override;

    // "address:port", with an IPv6 address in brackets; "" when the address
    // is not a usable board address.
    QString hostOf(const QString& address) const;

private:
    const std::atomic<bool>& cancel_;
    int port_;
    BoardLogin login_;
    ftp::Timeouts timeouts_;
    TransferDisplay* display_ = nullptr;
};

} // namespace remote
