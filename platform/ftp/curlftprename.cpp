// The renames of the libcurl FTP client: a staged temporary renamed over its
// real name (the old file moved aside first on servers that will not rename
// over a file), and what the client finds out on a new session when the
// connection broke before the server answered a rename, so a rename is
// never counted done or failed on a guess.
#include "platform/atomicfile.h"
#include "platform/ftp/curlftpclient.h"
#include "platform/ftp/curlftpdetail.h"
#include "platform/ftp/replies.h"

#include <QStringList>

#include <algorithm>
#include <utility>

namespace ftp {

using detail::breaksSession;
using detail::makeResult;

namespace {

// True when the server took an RNFR among `replies` (it waits for the RNTO).
bool renameTaken(const QStringList& replies)
{
    return std::any_of(replies.cbegin(), replies.cend(),
                       [](const QString& reply) { return reply.startsWith(QLatin1String("350")); });
}

QStringList renameLines(const QString& from, const QString& to)
{
    return {QStringLiteral("RNFR ") + from, QStringLiteral("RNTO ") + to};
}

// The reply code of the last line in `replies`, 0 when there is none.
int lastCode(const QStringList& replies)
{
    return replies.isEmpty() ? 0 : replyCode(replies.last());
}

} // namespace

Result CurlFtpClient::reconnect()
{
    if (busy_)
        return makeResult(Status::Busy, QStringLiteral("Another FTP operation is still running."));
    if (connected_ && session_)
        return makeResult(Status::Ok, QString());
    if (base_.isEmpty())
        return makeResult(Status::NotConnected, QStringLiteral("Not connected to an FTP server."));
    const Timeouts timeouts = std::exchange(timeouts_, timeouts_.brief());
    const Account account = account_;
    Result r = login(account);
    timeouts_ = timeouts;
    return r;
}

Result CurlFtpClient::replace(const QString& temporary, const QString& remotePath, qint64 size, const QString& modified)
{
    // A step whose answer nobody needed (a time stamp, the deletion of an
    // old copy) may have lost the session: the rename goes on a new one.
    Result r = reconnect();
    if (r.ok())
        r = checkReady(remotePath);
    if (r.ok())
        r = checkReady(temporary);
    if (!r.ok())
        return r;
    const QString from = normalisePath(temporary);
    const QString to = normalisePath(remotePath);
    if (from.isEmpty() || to.section(QLatin1Char('/'), -1).isEmpty())
        return makeResult(Status::BadArgument, QStringLiteral("No remote file name."));
    // A session that broke before the server carried out the rename left
    // the server as it was: the rename goes once more, on a new session.
    bool again = false;
    r = renameOver(from, to, size, modified, again);
    if (again && reconnect().ok())
        r = renameOver(from, to, size, modified, again);
    return r;
}

CurlFtpClient::Outcome CurlFtpClient::present(const QString& path)
{
    // SIZE counts bytes only in binary mode; a line with "*" may be refused
    // without failing the rest.
    QStringList replies;
    Result r = onSession({QStringLiteral("TYPE I"), QStringLiteral("*SIZE ") + path}, &replies);
    if (!r.ok())
        return Outcome::Unknown;
    const int size = lastCode(replies);
    if (size == 213)
        return Outcome::Done;
    if (size == 550)
        return Outcome::NotDone;
    // No SIZE (500, 502): RNFR is taken (350) only for a name that exists.
    // The rename it starts is never finished; the server forgets it at the
    // next command.
    replies.clear();
    r = onSession({QStringLiteral("*RNFR ") + path}, &replies);
    if (!r.ok())
        return Outcome::Unknown;
    switch (lastCode(replies)) {
    case 350:
        return Outcome::Done;
    case 550:
        return Outcome::NotDone;
    default:
        return Outcome::Unknown;
    }
}

CurlFtpClient::Outcome CurlFtpClient::holdsSize(const QString& target, qint64 size)
{
    QStringList replies;
    const Result r = onSession({QStringLiteral("TYPE I"), QStringLiteral("*SIZE ") + target}, &replies);
    if (!r.ok())
        return Outcome::Unknown;
    switch (lastCode(replies)) {
    case 213: {
        const qint64 stored = sizeOfReply(replies.last());
        if (stored < 0)
            return Outcome::Unknown;
        return stored == size ? Outcome::Done : Outcome::NotDone;
    }
    case 550:
        // The server has SIZE and says that the name holds no file.
        return Outcome::NotDone;
    default:
        break;
    }
    // No SIZE: the folder's listing. The real name is no hidden one, so
    // even servers that leave dot files out list it; a listing without it
    // says that it holds no file.
    const QString name = target.section(QLatin1Char('/'), -1);
    QList<Entry> entries;
    if (!list(target.chopped(name.size()), entries).ok())
        return Outcome::Unknown;
    for (const Entry& e : entries) {
        if (e.name != name)
            continue;
        if (e.isFolder)
            return Outcome::NotDone;
        return e.size < 0 ? Outcome::Unknown : e.size == size ? Outcome::Done : Outcome::NotDone;
    }
    return Outcome::NotDone;
}

CurlFtpClient::Outcome CurlFtpClient::renameOutcome(const Result& r, const QString& temporary, const QString& target,
                                                    qint64 size, const QString& modified)
{
    if (r.ok())
        return Outcome::Done;
    if (!breaksSession(r.status))
        return Outcome::NotDone;
    // A cancel cuts the connection as a lost one does, maybe after the
    // server renamed; the asking itself is not cancelled (a short session).
    const auto cancelCheck = std::exchange(cancelCheck_, nullptr);
    Outcome outcome = present(temporary);
    switch (outcome) {
    case Outcome::Done:
        // Still there under its own name: the rename did not happen.
        outcome = Outcome::Pending;
        break;
    case Outcome::Unknown:
    case Outcome::Pending:
        break;
    case Outcome::NotDone:
        // Gone; but the board's start-up clears temporaries too, so only
        // the real name holding the new file's size says that the rename
        // took it, and its time, which a renamed file keeps, where the
        // server tells it: the old file may have the same size.
        outcome = size < 0 ? Outcome::Unknown : holdsSize(target, size);
        if (outcome == Outcome::Done && !modified.isEmpty()) {
            QStringList replies;
            if (onSession({QStringLiteral("*MDTM ") + target}, &replies).ok() && lastCode(replies) == 213 &&
                timeOfReply(replies.last()) != modified)
                outcome = Outcome::NotDone;
        }
        break;
    }
    cancelCheck_ = cancelCheck;
    return outcome;
}

Result CurlFtpClient::renameOver(const QString& temporary, const QString& target, qint64 size, const QString& modified,
                                 bool& again)
{
    again = false;
    // The result of a rename, once it is known whether it went through.
    Outcome outcome = Outcome::NotDone;
    const auto settled = [&](Result r) {
        outcome = renameOutcome(r, temporary, target, size, modified);
        switch (outcome) {
        case Outcome::Done:
            return makeResult(Status::Ok, QString());
        case Outcome::Unknown:
            r.outcomeUnknown = true;
            break;
        case Outcome::NotDone:
        case Outcome::Pending:
            break;
        }
        return r;
    };
    QStringList replies;
    const Result refused = quote(renameLines(temporary, target), &replies);
    if (refused.status != Status::Refused || !renameTaken(replies)) {
        const Result r = settled(refused);
        // Not after a cancel, which asked for the rename to stop.
        again = outcome == Outcome::Pending && r.status != Status::Cancelled;
        return r;
    }
    // A server that will not rename over a file takes the rename once the
    // old one is out of the way. It is moved aside, not deleted, so the
    // server holds a copy under the real name or the aside name at every
    // step. From here on the steps run to their end: a cancel request waits
    // for them.
    const auto cancelCheck = std::exchange(cancelCheck_, nullptr);
    const QString name = target.section(QLatin1Char('/'), -1);
    const QString aside = target.chopped(name.size()) + atomicfile::asideName(name);
    replies.clear();
    const Result out = quote(renameLines(target, aside), &replies);
    Result r = refused;
    if (out.status == Status::Refused) {
        // Nothing changed. A refusal to move the old file (one held open
        // there) says more than the first one.
        if (renameTaken(replies))
            r = out;
    } else {
        // Moved aside, or the session broke on the way (moved or not). A
        // session that breaks under the rename in gets one more try too, so
        // the old file is moved back only when the new one can't go in. Only
        // a rename whose temporary is still there: one whose outcome could
        // not be found out may have taken the real name, and a second try
        // refused for that would count it as not done; one whose temporary
        // is gone otherwise (the board's start-up deletes it) can't go in.
        QStringList in;
        for (int attempt = 0; attempt < 2; ++attempt) {
            in.clear();
            r = settled(onSession(renameLines(temporary, target), &in));
            if (outcome != Outcome::Pending)
                break;
        }
        if (r.ok()) {
            // Its answer is not needed: a copy left over (the session broke)
            // is deleted by the board's start-up, for its real file is there.
            onSession({QStringLiteral("*DELE ") + aside});
        } else {
            // The old file goes back; a session that breaks gets one more
            // try. A refused RNFR means nothing waits under the aside name.
            // Where the new file may have taken the real name after all,
            // such a server refuses to move the old one over it.
            Result back;
            for (int attempt = 0; attempt < 2; ++attempt) {
                replies.clear();
                back = onSession(renameLines(aside, target), &replies);
                if (back.ok() || back.status == Status::Refused)
                    break;
            }
            if (!back.ok() && (back.status != Status::Refused || renameTaken(replies)))
                r.movedAside = aside;
            else if (!back.ok() && breaksSession(out.status) && r.status == Status::Refused && !r.outcomeUnknown) {
                // Nothing waits aside: the old file never left, so the new
                // one was refused for it. The break is why; and when the
                // temporary was there (its RNFR was taken), nothing on the
                // server changed, so the whole rename can go once more.
                again = renameTaken(in);
                r = out;
            }
        }
    }
    cancelCheck_ = cancelCheck;
    return r;
}

Result CurlFtpClient::onSession(const QStringList& lines, QStringList* replies)
{
    if (connected_)
        return quote(lines, replies);
    // On the new session the lines too get the connect time-out only.
    const Timeouts timeouts = std::exchange(timeouts_, timeouts_.brief());
    Result r = reconnect();
    if (r.ok())
        r = quote(lines, replies);
    timeouts_ = timeouts;
    return r;
}

} // namespace ftp
