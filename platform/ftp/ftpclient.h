#pragma once
// A small FTP client: one session with one server, one operation at a time.
//
// Every operation blocks its caller until it ends, but the network work runs
// on a worker thread while the calling thread keeps its event loop turning,
// so a window stays painted and its timers and menus keep working. Code that
// runs during such a wait must not start a second operation on the same
// client (it gets Status::Busy).
//
// Remote paths use "/" (a "\" counts as "/" too, and repeated separators
// count as one). A path that begins with a separator starts at the server's
// root folder; any other path starts at the folder the login lands in. On
// servers that keep an account inside its own folder the two are the same;
// on others (local accounts without such a lock) they are not, so the
// program's own paths are all relative: the source files it fetches and
// watches and the folders it uploads into count from the login folder.
#include <QDateTime>
#include <QList>
#include <QString>

#include <algorithm>
#include <functional>

namespace ftp {

struct Account {
    // "name", "name:port" or "ftp://name[:port]"; port 21 when not given.
    QString host;
    QString user;
    QString password;
};

// One entry of a folder listing.
struct Entry {
    QString name;
    bool isFolder = false;
    qint64 size = -1; // -1 when the listing did not say
    bool operator==(const Entry&) const = default;
};

enum class Status {
    Ok,
    Busy,            // another operation of this client is still running
    NotConnected,    // no session: call login first
    BadArgument,     // unusable host, path or local file
    ConnectFailed,   // the server could not be reached or did not greet
    LoginFailed,     // the server refused the user name or password
    NotFound,        // the remote file or folder does not exist
    Refused,         // the server refused the command (e.g. a file in use)
    TimedOut,        // no progress within the time-out
    Cancelled,       // abort() or the cancel check stopped it
    Incomplete,      // the transfer ended early or its size is wrong
    ConnectionReset, // the connection broke
    LocalError,      // the local file could not be read or written
    Failed,          // any other failure
};

// A file as the server shows it: its modified time (as text, in whatever
// form its user keeps it; "" when not known) and its size in bytes (-1 when
// not known). A time alone makes one of unknown size, only when asked for:
// a text is never taken for a file by itself.
struct FileState {
    FileState() = default;
    explicit FileState(const QString& t, qint64 s = -1)
        : time(t)
        , size(s)
    {
    }
    // The same copy of the file: the same time, and the same size where
    // both sizes are known.
    bool same(const FileState& other) const
    {
        return time == other.time && (size < 0 || other.size < 0 || size == other.size);
    }
    bool operator==(const FileState&) const = default;
    QString time;
    qint64 size = -1;
};

// A file's time as a fetch shows it, "yyyy/mm/dd hh:mm:ss" on the server's
// clock (UTC, as servers tell it), read as the moment it names whatever the
// local time zone: an hour that a local clock skips is no gap here. Invalid
// for any other text.
inline QDateTime serverTime(const QString& text)
{
    if (text.size() != 19 || text.at(10) != QLatin1Char(' '))
        return QDateTime();
    const QDate day = QDate::fromString(text.left(10), QStringLiteral("yyyy/MM/dd"));
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
    return day.isValid() && time.isValid() ? QDateTime(day, time, Qt::UTC) : QDateTime();
}

struct Result {
    Status status = Status::Failed;
    int code = 0;        // the transfer library's error code, 0 when none
    long serverCode = 0; // the server's last reply code, 0 when none
    QString message;     // readable reason; never holds the password
    // The text of the server's last reply line, without its code (e.g. why
    // it refused a file); never holds the password.
    QString serverText = {};
    // For an upload: how many bytes were sent before it ended (handed to
    // the network, which is not to say they arrived), or as the server's
    // SIZE reply counts them, of how many (-1 when no upload ran).
    qint64 bytesDone = -1;
    qint64 bytesTotal = -1;
    // For replace() and upload() on a server that will not rename over a
    // file: the old remote file was moved aside to make room (or may have
    // been: the session broke in between), the new one could not be renamed
    // into its place, and the old one could not be moved back either. It
    // waits under this name (a remote path; see atomicfile::asideName),
    // which the board's start-up puts back. "" otherwise: the real name
    // holds the old file or the new one.
    QString movedAside = {};
    // For replace() and upload(): the connection broke before the server
    // answered the rename, and asking it afterwards (on a new session) could
    // not tell whether the new file took the real name: the server may hold
    // either copy there.
    bool outcomeUnknown = false;
    // For stage(): the temporary's modified time as the server tells it
    // ("yyyymmddhhmmss"), which a file renamed from it keeps; "" when the
    // server did not tell.
    QString modified = {};
    bool ok() const { return status == Status::Ok; }
};

struct Timeouts {
    int connectMs = 15000; // reaching the server and logging in
    int stallMs = 30000;   // longest time without any reply or data
    // A transfer slower than minBytesPerSecond for the whole of
    // lowSpeedMs fails as timed out (a server that sends a byte now and
    // then would otherwise keep it going for ever). 0 turns it off.
    int minBytesPerSecond = 1024;
    int lowSpeedMs = 60000;

    // The same for a short session (a clean-up, a retry): a server that
    // stops answering gets the connect time-out only.
    Timeouts brief() const
    {
        Timeouts t = *this;
        t.stallMs = std::min(stallMs, connectMs);
        return t;
    }
};

class FtpClient {
public:
    virtual ~FtpClient() = default;

    // Opens a session (closing any open one first) and logs in.
    virtual Result login(const Account& account) = 0;
    // True from a successful login until disconnect(), abort() or a failure
    // that broke the connection.
    virtual bool connected() const = 0;
    // Logs off. Harmless without a session. Nothing waits on the goodbye's
    // answer: a server that does not give it within the connect time-out
    // (or the stall time-out, when shorter) is cut off.
    virtual void disconnect() = 0;
    // Stops the running operation at once (it ends with Status::Cancelled)
    // and drops the session. May be called from code that runs during a
    // wait; without a running operation it only drops the session.
    virtual void abort() = 0;

    // Lists a folder (the server's LIST reply, Unix or DOS style); "." and
    // ".." are left out.
    virtual Result list(const QString& folder, QList<Entry>& entries) = 0;
    // Downloads a file. The local file is replaced only when the whole file
    // arrived (and, when expectedSize >= 0, had that size); on any failure
    // the previous local file is left as it was.
    virtual Result download(const QString& remotePath, const QString& localPath, qint64 expectedSize = -1) = 0;
    // Uploads a local file under the remote path. The remote file is
    // replaced only when the whole file arrived (it goes to a temporary name
    // first), and the old one is never deleted before the new one is in its
    // place: a failure leaves the previous remote file as it was, or, when
    // it had to be moved aside and could not be moved back, under the name
    // in Result::movedAside. A failed upload's temporary is deleted (unless
    // a cancel dropped the session).
    // The server must allow STOR, RNFR/RNTO and DELE (SIZE when it has it).
    // Only a regular file is sent: a device, a named pipe or a folder is
    // refused (LocalError) without being read.
    virtual Result upload(const QString& localPath, const QString& remotePath) = 0;
    // The two halves of upload(), for callers that put several files in
    // place together. stage() sends the file to a hidden temporary beside
    // the remote path and checks its size; the real file is not touched.
    // `temporary` names the temporary (a remote path) when it is on the
    // server: after success, and after a failure when it could not be
    // deleted again (always after a cancel, which drops the session).
    virtual Result stage(const QString& localPath, const QString& remotePath, QString& temporary) = 0;
    // Renames a staged temporary over the remote path, as upload() does
    // (moving the old file aside where the server will not rename over it).
    // The temporary stays on failure; see Result::movedAside. A session that
    // broke since the last operation (a lost answer to a step nobody
    // needed) is opened again first, with the connect time-out only. With
    // the temporary's `size`, a rename whose session broke (or a cancel cut
    // it) before the server answered is asked after on a new session, which
    // the cancel check does not stop: it counts as done when the temporary
    // is gone (SIZE or RNFR of it refused) and the remote path holds that
    // many bytes (SIZE, or the folder's listing) and, when the server tells
    // it, the temporary's `modified` time (stage()'s Result::modified); as
    // not done when the temporary is still there, or the remote path holds
    // another file (one the temporary's deletion, as by the board's
    // start-up, left in place) or none (SIZE refused with 550, or no such
    // file in the folder's listing); and as unknown only when the server
    // could not be asked (Result::outcomeUnknown). A rename not done whose
    // temporary is still there, with nothing moved aside, left the server
    // as it was: it is tried once more on the new session (not after a
    // cancel), and only that try's failure is the result.
    virtual Result replace(const QString& temporary, const QString& remotePath, qint64 size = -1,
                           const QString& modified = QString()) = 0;
    // The remote file's modified time as "yyyymmddhhmmss" (UTC, as servers
    // report it); on failure `stamp` is "".
    virtual Result modifiedTime(const QString& remotePath, QString& stamp) = 0;
    // Sends one command line (e.g. "MKD Orvane" or "MDTM 20240101120000 x")
    // and gives the server's reply line. The line runs in the folder the
    // login landed in, whatever folder an earlier operation of the session
    // went to, so a relative path in it means what it means to upload().
    // A reply code of 400 or above fails with Status::Refused.
    virtual Result command(const QString& line, QString* reply = nullptr) = 0;

    // Asked on the calling thread every few milliseconds while an operation
    // runs; true stops the operation as abort() does.
    void setCancelCheck(std::function<bool()> check) { cancelCheck_ = std::move(check); }
    // Told on the calling thread how many bytes moved so far of how many
    // (total -1 when unknown), while a transfer runs.
    void setProgress(std::function<void(qint64 done, qint64 total)> progress) { progress_ = std::move(progress); }

protected:
    std::function<bool()> cancelCheck_;
    std::function<void(qint64, qint64)> progress_;
};

// Normalises a remote path: "\" becomes "/", repeated separators become one.
// A leading separator is kept; a trailing one is dropped (except for "/").
QString normalisePath(const QString& path);

} // namespace ftp
