#pragma once
// Sending files to a board over FTP, and probing a board for a login.
//
// Every call opens its own session and closes it again, failed or not. It
// never waits for ever: a board that does not answer within the connect
// time-out, or a transfer that makes no progress within the stall time-out,
// is a failed transfer. A set cancel flag aborts the transfer in progress,
// and the upload's temporary is deleted on one short extra session; a
// rename the flag cut off is asked after on a short session first, so a
// file that went into place counts as sent.
// A file is sent to a hidden temporary beside its real name first and is
// renamed over it only when it arrived whole, either at once (put) or,
// for an update that must land all at once, later (stage, then replace or
// discard). The account's password never reaches a message or a cause.
#include "platform/ftp/ftpclient.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

namespace ftp {
class CurlFtpClient;
}

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

// A file staged on a board: its temporary and the real name it replaces
// (remote paths, relative to the login folder).
struct StagedFile {
    QString temporary;
    QString target;
    // When the board holds the real file open (a media file it plays): keep
    // the board's copy and go on with the next file, rather than stop.
    bool keepInUse = false;
};

// What the update run needs of the upload layer.
class Uploader {
public:
    virtual ~Uploader() = default;
    // True when the board accepts the login; the session is closed again.
    // When false, lastCause() says why (the board refused the login, with
    // its reply; it could not be reached; it did not answer in time; the
    // address is not usable).
    virtual bool probe(const QString& address) = 0;
    // Sends `localFile` under `remotePath` (relative to the login folder,
    // "/" separated); the board's file is replaced only by a whole one.
    // After a complete upload sends "MDTM <local time> <remotePath>" and
    // ignores the reply.
    virtual TransferStatus put(const QString& address, const QString& localFile, const QString& remotePath) = 0;

    // Why the last call that failed failed (probe() too), in a few words
    // for the message list: the board's reply code and text whenever it
    // sent one (and the folder it would not change into, which its reply
    // does not name), a refused login with the board's reply, a board that
    // could not be reached, a lost connection with the bytes sent or the
    // step whose answer it took, a time-out, a local file that may not be
    // sent; "" when not known. In the program's own words, never the transfer
    // library's; never holds the password.
    virtual QString lastCause() const { return QString(); }

    // Sends `localFile` to a temporary beside `remotePath` without touching
    // the board's file. Completed leaves the temporary's name in
    // `temporary`; a failure leaves it there too when the temporary may
    // still be on the board (a cancelled upload). An upload layer that
    // cannot stage puts the file in place at once and leaves `temporary`
    // empty.
    virtual TransferStatus stage(const QString& address, const QString& localFile, const QString& remotePath,
                                 QString& temporary)
    {
        temporary.clear();
        return put(address, localFile, remotePath);
    }
    // put() for the command that follows a board's renames: once files
    // went into place the board must get its command, so the cancel flag
    // does not stop it; with the flag set it runs on a short session
    // (connect time-out only) that ends without a goodbye.
    virtual TransferStatus putCommand(const QString& address, const QString& localFile, const QString& remotePath)
    {
        return put(address, localFile, remotePath);
    }
    // Renames staged files over their real names in the given order, on one
    // session, and stamps each with MDTM. A connection lost at a step whose
    // answer is not needed (the time stamp, the deletion of an old copy
    // moved aside) does not end the list: the next rename logs in again.
    // The cancel flag stops it only
    // before the first rename (one Abort, nothing renamed), never part way;
    // it cuts short the goodbye after the last one.
    // Gives one status per file tried: Completed (replaced; also
    // for an empty temporary, put in place already), FileInUsed (the board
    // holds the real file open and keeps it; for a keepInUse file the
    // temporary is deleted and the list goes on), or any other status for
    // the rename that failed, which ends the list: that file's temporary
    // and those of the files after it (not tried) stay.
    virtual QList<TransferStatus> replace(const QString& address, const QList<StagedFile>& files)
    {
        Q_UNUSED(address);
        return QList<TransferStatus>(files.size(), TransferStatus::Completed);
    }
    // After replace() ended at a failed rename: the name (a remote path)
    // under which the board's old copy of that file waits, when it was moved
    // aside to make room and could not be moved back; the board puts it back
    // when its program starts. "" when the real name still holds it.
    virtual QString oldCopyAside() const { return QString(); }
    // After replace() ended at a failed rename: true when the board's answer
    // to that rename was lost and asking the board afterwards could not tell
    // whether the new file took the real name (it may hold either copy).
    virtual bool renameOutcomeUnknown() const { return false; }
    // Deletes temporaries from the board, best effort, on one short session
    // (connect time-out only) that the cancel flag does not stop, but whose
    // goodbye it cuts short. True when the board was asked to delete every
    // one of them (a refusal, as of one that is gone already, counts);
    // false when the session gave up before (the board did not answer in
    // time, could not be reached, refused the login, or the connection
    // broke): lastCause() says why, and the temporaries not asked about
    // stay until the program starts on the board.
    virtual bool discard(const QString& address, const QStringList& temporaries)
    {
        Q_UNUSED(address);
        Q_UNUSED(temporaries);
        return true;
    }
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
    QString lastCause() const override { return cause_; }
    TransferStatus stage(const QString& address, const QString& localFile, const QString& remotePath,
                         QString& temporary) override;
    TransferStatus putCommand(const QString& address, const QString& localFile, const QString& remotePath) override;
    QList<TransferStatus> replace(const QString& address, const QList<StagedFile>& files) override;
    QString oldCopyAside() const override { return oldCopyAside_; }
    bool renameOutcomeUnknown() const override { return renameOutcomeUnknown_; }
    bool discard(const QString& address, const QStringList& temporaries) override;

    // "address:port", with an IPv6 address in brackets; "" when the address
    // is not a usable board address.
    QString hostOf(const QString& address) const;

private:
    // Logs in and stages the file on `client`; the common part of put and
    // stage. Sets cause_ on failure. With `cancellable` false the cancel
    // flag does not stop it.
    TransferStatus send(ftp::CurlFtpClient& client, const QString& address, const QString& localFile,
                        const QString& remotePath, QString& temporary, bool cancellable = true);
    // Stages the file and renames it into place on `client`; deletes the
    // temporary again on failure.
    TransferStatus sendInPlace(ftp::CurlFtpClient& client, const QString& address, const QString& localFile,
                               const QString& remotePath, bool cancellable);
    // Ends a session: with the cancel flag set at once, otherwise with a
    // goodbye that the flag cuts short.
    void close(ftp::CurlFtpClient& client);
    // The board's words (or ours) for a failed step, without the password.
    // `step` names what the board was asked when a connection broke without
    // an answer (e.g. "the rename of back.jpg"); "" for a transfer.
    QString causeOf(const ftp::Result& r, const QString& step = QString()) const;
    // causeOf() for a failed rename of `target`, which says also when
    // whether it went through could not be found out.
    QString renameCause(const ftp::Result& r, const QString& target) const;
    // Stamps a file just put in place with its local file's time.
    void stamp(ftp::CurlFtpClient& client, const QString& remotePath, const QString& temporary);

    const std::atomic<bool>& cancel_;
    int port_;
    BoardLogin login_;
    ftp::Timeouts timeouts_;
    TransferDisplay* display_ = nullptr;
    QString cause_;
    QString oldCopyAside_;
    bool renameOutcomeUnknown_ = false;
    // What each staged temporary holds: its local file's time, for its
    // MDTM line, and its size and the board's time of it, by which a rename
    // whose session broke is found done.
    struct Staged {
        QString time;
        qint64 size = -1;
        QString modified;
    };
    QHash<QString, Staged> stamps_;
};

} // namespace remote
