#pragma once
// The FTP client over libcurl. Passive mode, binary transfers. The session
// keeps its control connection open between operations.
//
// An upload goes to a temporary name in the target's folder
// (".<name>.orvtmp.<6 letters or digits>", the pattern the program clears
// at start-up), its size is checked (the bytes sent, and SIZE where the
// server has it), then it is renamed over the real name (RNFR/RNTO). A server
// that will not rename over an existing file gets the old file moved aside
// (".<name>.orvold.<6 letters or digits>", which the program puts back at
// start-up while the real name is missing), the new one renamed into its
// place and the old one deleted; when the new one can't go into place the
// old one is moved back. The old file is never deleted before the new one
// holds its name, so the server keeps a copy under the real name or the
// aside name at every step; a session that breaks on the way is opened
// again for the rest. The renames and their checks live in
// curlftprename.cpp, the session's handles and sockets in curlftpsession.cpp.
// stage() and replace() are the two halves, for callers that send several
// files first and rename them together.
// A server that closes the data connection of an upload and then says why
// on the control connection (a full disk's 451, a few milliseconds later)
// is listened to for up to two seconds before the upload counts as broken
// off, so its reply is the result's reply.
#include "platform/ftp/ftpclient.h"

#include <atomic>
#include <memory>

class QFile;

namespace ftp {

namespace detail {
struct CurlSession;
struct CurlJob;
} // namespace detail

class CurlFtpClient : public FtpClient {
public:
    explicit CurlFtpClient(Timeouts timeouts = {});
    ~CurlFtpClient() override;
    CurlFtpClient(const CurlFtpClient&) = delete;
    CurlFtpClient& operator=(const CurlFtpClient&) = delete;

    void setTimeouts(Timeouts timeouts) { timeouts_ = timeouts; }
    Timeouts timeouts() const { return timeouts_; }

    Result login(const Account& account) override;
    bool connected() const override { return connected_; }
    void disconnect() override;
    void abort() override;

    Result list(const QString& folder, QList<Entry>& entries) override;
    Result download(const QString& remotePath, const QString& localPath, qint64 expectedSize = -1) override;
    Result upload(const QString& localPath, const QString& remotePath) override;
    Result stage(const QString& localPath, const QString& remotePath, QString& temporary) override;
    Result replace(const QString& temporary, const QString& remotePath, qint64 size = -1,
                   const QString& modified = QString()) override;
    Result modifiedTime(const QString& remotePath, QString& stamp) override;
    Result command(const QString& line, QString* reply = nullptr) override;

    // After login: opens the session again with the last account when a
    // failure broke it (connect time-out only, for a server that stopped
    // answering); Ok at once while connected, NotConnected before any login.
    Result reconnect();

    // Where the next operations go, e.g. "ftp://127.0.0.1:2121"; "" when the
    // host text is unusable.
    static QString baseUrl(const QString& host);

private:
    using Session = detail::CurlSession;
    using Job = detail::CurlJob;

    // Runs `job` on a worker thread and waits for it, keeping the caller's
    // event loop turning and watching the cancel check.
    Result run(Job& job);
    // One libcurl transfer on the worker, then the session bookkeeping.
    Result transfer(Job& job);
    Result perform(Job& job);
    Result checkReady(const QString& path) const;
    // Sends the lines one after another on the control connection, from the
    // login folder; a line starting with "*" may fail without ending the
    // list. `replies` gets every reply line the server gave.
    Result quote(const QStringList& lines, QStringList* replies = nullptr);
    // The steps of an upload.
    Result store(QFile& source, const QString& remotePath);
    Result checkStoredSize(const QString& remotePath, qint64 size);
    // One rename of the temporary over the target. `again` is set when the
    // session broke before the server carried it out and the server is as
    // it was before (the temporary still there, nothing moved aside), so
    // that it can go once more on a new session.
    Result renameOver(const QString& temporary, const QString& target, qint64 size, const QString& modified,
                      bool& again);
    // Pending: not done, and the temporary still waits under its name.
    enum class Outcome { Done, NotDone, Pending, Unknown };
    // After rename `r` failed: when its session broke (or a cancel cut it)
    // before the server answered, asks on a new session, which the cancel
    // check does not stop, whether it went through (the temporary gone and
    // the target holding `size` bytes, and the time `modified` when both
    // are told: Done; the temporary still there: Pending; the temporary
    // gone and the target another file or none: NotDone; gone without a
    // size, or a target that can't be asked about: Unknown). A refused
    // rename is NotDone.
    Outcome renameOutcome(const Result& r, const QString& temporary, const QString& target, qint64 size,
                          const QString& modified);
    // Whether `path` is on the server: SIZE, or RNFR where SIZE is not
    // known. Unknown when neither tells.
    Outcome present(const QString& path);
    // Whether the target holds a file of `size` bytes: SIZE, or the
    // folder's listing where SIZE is not known. NotDone also when it holds
    // none (SIZE refused with 550, or no such file in the listing); Unknown
    // when neither tells.
    Outcome holdsSize(const QString& target, qint64 size);
    // quote() on this session or, when a failure broke it, on a new one
    // (which stays open).
    Result onSession(const QStringList& lines, QStringList* replies = nullptr);
    // Drops the session at once, without a goodbye to the server.
    void dropSession();

    Timeouts timeouts_;
    Account account_;
    QString base_;
    std::unique_ptr<Session> session_;
    // The session disconnect() is closing, while it waits for the goodbye.
    std::unique_ptr<Session> closing_;
    bool connected_ = false;
    bool busy_ = false;
    std::atomic<bool> abortRequested_{false};
};

} // namespace ftp
