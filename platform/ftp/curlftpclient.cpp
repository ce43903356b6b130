#include "platform/ftp/curlftpclient.h"

#include "platform/atomicfile.h"
#include "platform/ftp/curlftpdetail.h"
#include "platform/ftp/listing.h"
#include "platform/ftp/replies.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <curl/curl.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <utility>

namespace ftp {

QString normalisePath(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString out;
    out.reserve(p.size());
    for (const QChar ch : p) {
        if (ch == QLatin1Char('/') && out.endsWith(QLatin1Char('/')))
            continue;
        out += ch;
    }
    if (out.size() > 1 && out.endsWith(QLatin1Char('/')))
        out.chop(1);
    return out;
}

namespace {

using SteadyClock = std::chrono::steady_clock;

qint64 msSince(SteadyClock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - t).count();
}

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The URL path of a remote path: every name percent-encoded; an absolute
// path starts with "%2F" so that the server's root is meant, not the login
// folder.
QString urlPath(const QString& remotePath, bool folder)
{
    const QString p = normalisePath(remotePath);
    const bool absolute = p.startsWith(QLatin1Char('/'));
    QStringList parts;
    for (const QString& name : p.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        parts << QString::fromLatin1(QUrl::toPercentEncoding(name));
    QString out = QStringLiteral("/");
    if (absolute)
        out += QStringLiteral("%2F");
    out += parts.join(QLatin1Char('/'));
    if (folder && !out.endsWith(QLatin1Char('/')))
        out += QLatin1Char('/');
    return out;
}

// Opens a local file for an upload, refusing anything but a regular file
// (a device, a named pipe, a folder) without reading it. The open itself
// does not wait: a pipe put in the file's place after the check would
// otherwise wait for a writer.
bool openRegularFile(const QString& path, QFile& file, QString& error)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = path.isEmpty() ? -1 : ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = QStringLiteral("Cannot read \"%1\".").arg(path);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = QStringLiteral("\"%1\" is not a regular file (a device or a named pipe): it was not sent.").arg(path);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = QStringLiteral("Cannot read \"%1\".").arg(path);
        return false;
    }
    return true;
}

} // namespace

namespace detail {

// One operation: what to set up on the handle, and what came back.
struct CurlJob {
    QString url;
    std::function<void(CURL*)> configure;
    // The worker's work; transfer() fills it with one libcurl transfer.
    std::function<Result()> work;
    // Filled on the worker thread.
    QByteArray body;
    qint64 bodyLimit = textfile::kMaxInputBytes;
    bool bodyTooLarge = false;
    QStringList replies;
    QFile* source = nullptr;
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{-1};
    // What the library sent of an upload (not all that it read may have
    // left before a failure).
    qint64 sent = 0;
    std::atomic<qint64> lastActivityMs{0};
    SteadyClock::time_point start = SteadyClock::now();
    // For a goodbye: after this many milliseconds the closing session's
    // sockets are cut (0: never).
    qint64 cutClosingAfterMs = 0;

    void touch() { lastActivityMs = msSince(start); }
};

} // namespace detail

namespace {

using detail::CurlJob;
using detail::CurlSession;

size_t onHeader(char* data, size_t size, size_t count, void* user)
{
    auto* job = static_cast<CurlJob*>(user);
    job->touch();
    const QString line = replyLine(QByteArrayView(data, qsizetype(size * count)));
    if (!line.isEmpty())
        job->replies << line;
    return size * count;
}

size_t onWrite(char* data, size_t size, size_t count, void* user)
{
    auto* job = static_cast<CurlJob*>(user);
    job->touch();
    const qint64 n = qint64(size * count);
    if (job->body.size() + n > job->bodyLimit) {
        job->bodyTooLarge = true;
        return 0;
    }
    job->body.append(data, n);
    job->done = job->body.size();
    return size * count;
}

size_t onRead(char* buffer, size_t size, size_t count, void* user)
{
    auto* job = static_cast<CurlJob*>(user);
    job->touch();
    if (!job->source)
        return 0;
    const qint64 n = job->source->read(buffer, qint64(size * count));
    if (n < 0)
        return CURL_READFUNC_ABORT;
    job->done += n;
    return size_t(n);
}

const QString kBusy = QStringLiteral("Another FTP operation is still running.");

// True for a reply line that refuses (code 400 or above).
bool refusal(const QString& reply)
{
    return replyCode(reply) >= 400;
}

} // namespace

using detail::breaksSession;
using detail::makeResult;
using detail::plainWords;
using detail::statusOf;

CurlFtpClient::CurlFtpClient(Timeouts timeouts)
    : timeouts_(timeouts)
{
    initCurlOnce();
}

CurlFtpClient::~CurlFtpClient()
{
    abortRequested_ = true;
    dropSession();
}

QString CurlFtpClient::baseUrl(const QString& hostText)
{
    QString host = hostText.trimmed();
    if (host.startsWith(QStringLiteral("ftp://"), Qt::CaseInsensitive))
        host = host.mid(6);
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    static const QRegularExpression plain(QStringLiteral("^([A-Za-z0-9_.-]+|\\[[0-9A-Fa-f:.]+\\])(:\\d{1,5})?$"));
    if (!plain.match(host).hasMatch())
        return QString();
    return QStringLiteral("ftp://") + host;
}

Result CurlFtpClient::checkReady(const QString& path) const
{
    if (busy_)
        return makeResult(Status::Busy, kBusy);
    if (!session_ || !connected_)
        return makeResult(Status::NotConnected, QStringLiteral("Not connected to an FTP server."));
    for (const QChar ch : path) {
        if (ch.unicode() < 32 || ch.unicode() == 127)
            return makeResult(Status::BadArgument, QStringLiteral("The remote name holds a control character."));
    }
    return makeResult(Status::Ok, QString());
}

void CurlFtpClient::dropSession()
{
    connected_ = false;
    if (!session_)
        return;
    // With its sockets shut down the session ends without waiting for replies.
    session_->cutSockets();
    session_.reset();
}

Result CurlFtpClient::run(Job& job)
{
    busy_ = true;
    abortRequested_ = false;
    Result result;
    if (!QCoreApplication::instance()) {
        result = job.work();
        busy_ = false;
        return result;
    }
    QThread* worker = QThread::create([&result, &job] { result = job.work(); });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer poll;
    poll.setInterval(40);
    qint64 lastDone = 0;
    const SteadyClock::time_point started = SteadyClock::now();
    bool goodbyeCut = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (cancelCheck_ && !abortRequested_ && cancelCheck_()) {
            abortRequested_ = true;
            // A goodbye does not look at the flag.
            if (closing_)
                closing_->cutSockets();
        }
        if (closing_ && !goodbyeCut && job.cutClosingAfterMs > 0 && msSince(started) >= job.cutClosingAfterMs) {
            goodbyeCut = true;
            closing_->cutSockets();
        }
        if (progress_ && job.done != lastDone) {
            lastDone = job.done;
            progress_(lastDone, job.total);
        }
    });
    worker->start();
    poll.start();
    loop.exec();
    worker->wait();
    delete worker;
    if (progress_ && job.done != lastDone)
        progress_(job.done, job.total);
    busy_ = false;
    return result;
}

Result CurlFtpClient::perform(Job& job)
{
    CURL* e = session_->easy;
    CURLM* m = session_->multi;
    curl_easy_reset(e);
    char errorText[CURL_ERROR_SIZE] = {0};
    const QByteArray url = job.url.toUtf8();
    const QByteArray user = account_.user.toUtf8();
    const QByteArray password = account_.password.toUtf8();
    const long responseSeconds = std::max(1L, long((std::max(timeouts_.stallMs, 1) + 999) / 1000));
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(e, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(std::max(timeouts_.connectMs, 1)));
    curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, responseSeconds);
    if (timeouts_.minBytesPerSecond > 0 && timeouts_.lowSpeedMs > 0) {
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, long(timeouts_.minBytesPerSecond));
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, std::max(1L, long((timeouts_.lowSpeedMs + 999) / 1000)));
    }
    curl_easy_setopt(e, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(e, CURLOPT_FTP_USE_EPSV, 1L);
    curl_easy_setopt(e, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &job);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &job);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETFUNCTION, detail::onOpenSocket);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, session_.get());
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, detail::onCloseSocket);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, session_.get());
    if (job.configure)
        job.configure(e);

    // An upload that breaks off may still be told why on the control
    // connection, after the library has given it up.
    {
        std::lock_guard<std::mutex> lock(session_->socketsLock);
        session_->holdControl = job.source != nullptr;
    }
    job.start = SteadyClock::now();
    job.touch();
    bool cancelled = false;
    bool stalled = false;
    bool finished = false;
    CURLcode code = CURLE_OK;
    curl_multi_add_handle(m, e);
    for (;;) {
        int running = 0;
        if (curl_multi_perform(m, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(m, &left)) {
            if (msg->msg == CURLMSG_DONE) {
                code = msg->data.result;
                finished = true;
            }
        }
        if (finished || running == 0)
            break;
        if (abortRequested_) {
            cancelled = true;
            break;
        }
        // Until the server first speaks the connect time-out applies.
        const qint64 limit =
            job.replies.isEmpty() ? std::max(timeouts_.connectMs, timeouts_.stallMs) : timeouts_.stallMs;
        if (msSince(job.start) - job.lastActivityMs > limit) {
            stalled = true;
            break;
        }
        curl_multi_poll(m, nullptr, 0, 40, nullptr);
    }
    curl_multi_remove_handle(m, e);

    Result r;
    long serverCode = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &serverCode);
    // A server whose disk is full closes the data connection and says so a
    // moment later; the library meets the closed connection first.
    const bool brokeOff =
        code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING || code == CURLE_PARTIAL_FILE;
    bool toldLate = false;
    if (job.source && brokeOff && !cancelled && !stalled && !abortRequested_ &&
        std::none_of(job.replies.cbegin(), job.replies.cend(), refusal)) {
        const QString late = detail::lateReply(session_->controlSocket(),
                                               std::min(2000, std::max(timeouts_.stallMs, 1)), abortRequested_);
        if (refusal(late)) {
            job.replies << late;
            serverCode = replyCode(late);
            toldLate = true;
        }
    }
    session_->releaseControl();
    curl_off_t sent = 0;
    if (curl_easy_getinfo(e, CURLINFO_SIZE_UPLOAD_T, &sent) == CURLE_OK)
        job.sent = qint64(sent);
    r.serverCode = serverCode;
    r.code = int(code);
    if (cancelled || abortRequested_) {
        r.status = Status::Cancelled;
        r.message = QStringLiteral("The FTP operation was cancelled.");
    } else if (stalled) {
        r.status = Status::TimedOut;
        r.message = QStringLiteral("The FTP server stopped answering.");
    } else if (job.bodyTooLarge) {
        r.status = Status::LocalError;
        r.message = QStringLiteral("The remote file is too large.");
    } else {
        r.status = statusOf(code);
        if (code != CURLE_OK) {
            r.message = plainWords(code);
            if (r.message.isEmpty())
                r.message = QString::fromUtf8(errorText).trimmed();
            if (r.message.isEmpty())
                r.message = QString::fromUtf8(curl_easy_strerror(code));
        }
        if (toldLate) {
            r.status = Status::Incomplete;
            r.message = QStringLiteral("The server broke the upload off.");
        }
    }
    if (!job.replies.isEmpty())
        r.serverText = job.replies.last().mid(3).trimmed();
    if (!account_.password.isEmpty()) {
        r.message.replace(account_.password, QStringLiteral("***"));
        r.serverText.replace(account_.password, QStringLiteral("***"));
    }
    return r;
}

Result CurlFtpClient::transfer(Job& job)
{
    job.work = [this, &job] { return perform(job); };
    Result r = run(job);
    if (abortRequested_ && r.status != Status::Cancelled) {
        r.status = Status::Cancelled;
        r.message = QStringLiteral("The FTP operation was cancelled.");
    }
    if (breaksSession(r.status))
        dropSession();
    return r;
}

Result CurlFtpClient::login(const Account& account)
{
    if (busy_)
        return makeResult(Status::Busy, kBusy);
    disconnect();
    const QString base = baseUrl(account.host);
    if (base.isEmpty())
        return makeResult(Status::BadArgument, QStringLiteral("The FTP server name is not usable."));
    account_ = account;
    base_ = base;
    session_ = std::make_unique<Session>();
    if (!session_->multi || !session_->easy) {
        session_.reset();
        return makeResult(Status::Failed, QStringLiteral("The FTP library could not start."));
    }
    Job job;
    job.url = base_ + QLatin1Char('/');
    job.configure = [](CURL* e) { curl_easy_setopt(e, CURLOPT_NOBODY, 1L); };
    const Result r = transfer(job);
    connected_ = r.ok();
    if (!r.ok())
        dropSession();
    return r;
}

void CurlFtpClient::disconnect()
{
    if (busy_) {
        abort();
        return;
    }
    connected_ = false;
    if (!session_)
        return;
    // Saying goodbye may wait for the server, so it happens on the worker
    // too, and an abort cuts it short. Nothing depends on its answer: a
    // server that does not give it within the short session's time-out is
    // cut off.
    closing_ = std::move(session_);
    Job job;
    job.cutClosingAfterMs = std::max(timeouts_.brief().stallMs, 1);
    job.work = [closing = closing_.get()] {
        closing->close();
        return makeResult(Status::Ok, QString());
    };
    run(job);
    closing_.reset();
}

void CurlFtpClient::abort()
{
    abortRequested_ = true;
    if (busy_ && closing_)
        closing_->cutSockets();
    if (!session_)
        return;
    if (busy_) {
        // The running operation sees the flag within a few milliseconds;
        // cutting the sockets also ends a wait inside the library.
        session_->cutSockets();
        return;
    }
    dropSession();
}

Result CurlFtpClient::list(const QString& folder, QList<Entry>& entries)
{
    entries.clear();
    Result r = checkReady(folder);
    if (!r.ok())
        return r;
    Job job;
    job.url = base_ + urlPath(folder, true);
    r = transfer(job);
    if (r.ok())
        entries = parseListing(job.body);
    return r;
}

Result CurlFtpClient::download(const QString& remotePath, const QString& localPath, qint64 expectedSize)
{
    Result r = checkReady(remotePath);
    if (!r.ok())
        return r;
    if (localPath.isEmpty() || QFileInfo(localPath).isDir())
        return makeResult(Status::BadArgument, QStringLiteral("No usable local file name."));
    if (normalisePath(remotePath).section(QLatin1Char('/'), -1).isEmpty())
        return makeResult(Status::BadArgument, QStringLiteral("No remote file name."));
    Job job;
    job.url = base_ + urlPath(remotePath, false);
    job.total = expectedSize;
    r = transfer(job);
    if (!r.ok())
        return r;
    curl_off_t announced = -1;
    if (session_)
        curl_easy_getinfo(session_->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    const qint64 got = job.body.size();
    if ((announced >= 0 && qint64(announced) != got) || (expectedSize >= 0 && expectedSize != got)) {
        r.status = Status::Incomplete;
        r.message = QStringLiteral("The file arrived with %1 bytes instead of %2.")
                        .arg(got)
                        .arg(expectedSize >= 0 ? expectedSize : qint64(announced));
        dropSession();
        return r;
    }
    QString error;
    if (!atomicfile::write(localPath, job.body, &error))
        return makeResult(Status::LocalError, error);
    return r;
}

Result CurlFtpClient::upload(const QString& localPath, const QString& remotePath)
{
    QString temporary;
    Result r = stage(localPath, remotePath, temporary);
    if (!r.ok())
        return r;
    r = replace(temporary, remotePath, QFileInfo(localPath).size(), r.modified);
    // Best effort; after a cancel the temporary stays for the board's
    // start-up clean-up (or the caller's own clean-up).
    if (!r.ok() && r.status != Status::Cancelled)
        onSession({QStringLiteral("*DELE ") + temporary});
    return r;
}

Result CurlFtpClient::stage(const QString& localPath, const QString& remotePath, QString& temporary)
{
    temporary.clear();
    Result r = checkReady(remotePath);
    if (!r.ok())
        return r;
    QFile source;
    QString error;
    if (!openRegularFile(localPath, source, error))
        return makeResult(Status::LocalError, error);
    const QString target = normalisePath(remotePath);
    const QString name = target.section(QLatin1Char('/'), -1);
    if (name.isEmpty())
        return makeResult(Status::BadArgument, QStringLiteral("No remote file name."));
    const QString staged = target.chopped(name.size()) + atomicfile::temporaryName(name);
    r = store(source, staged);
    if (r.ok())
        r = checkStoredSize(staged, source.size());
    if (r.ok() || r.status == Status::Cancelled) {
        // A cancel dropped the session: the caller cleans up on a new one.
        temporary = staged;
        return r;
    }
    // A refused DELE (no such file: the STOR was refused) is not worth a
    // second try; a DELE that never got through is.
    const Result removed = onSession({QStringLiteral("DELE ") + staged});
    if (!removed.ok() && breaksSession(removed.status))
        temporary = staged;
    return r;
}

Result CurlFtpClient::store(QFile& source, const QString& remotePath)
{
    Job job;
    job.url = base_ + urlPath(remotePath, false);
    job.source = &source;
    job.total = source.size();
    job.configure = [&job](CURL* e) {
        curl_easy_setopt(e, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(e, CURLOPT_READFUNCTION, onRead);
        curl_easy_setopt(e, CURLOPT_READDATA, &job);
        curl_easy_setopt(e, CURLOPT_INFILESIZE_LARGE, curl_off_t(job.total));
    };
    Result r = transfer(job);
    r.bytesDone = r.ok() ? job.done.load() : std::min(job.sent, job.done.load());
    r.bytesTotal = job.total;
    if (r.ok() && job.done != job.total) {
        r.status = Status::Incomplete;
        r.message = QStringLiteral("%1 of %2 bytes were sent.").arg(job.done).arg(job.total);
    }
    return r;
}

Result CurlFtpClient::checkStoredSize(const QString& remotePath, qint64 size)
{
    QStringList replies;
    // SIZE counts bytes only in binary mode; a server without SIZE leaves
    // the byte count of the transfer as the check. The file's time, where
    // the server tells it, comes along.
    Result r =
        quote({QStringLiteral("TYPE I"), QStringLiteral("*SIZE ") + remotePath, QStringLiteral("*MDTM ") + remotePath},
              &replies);
    if (!r.ok())
        return r;
    // The last two replies are those of SIZE and MDTM.
    r.modified = timeOfReply(replies.value(replies.size() - 1));
    const qint64 stored = sizeOfReply(replies.value(replies.size() - 2));
    if (stored >= 0 && stored != size) {
        r.status = Status::Incomplete;
        r.bytesDone = stored;
        r.bytesTotal = size;
        r.message = QStringLiteral("The server holds %1 of the %2 bytes sent.").arg(stored).arg(size);
    }
    return r;
}

Result CurlFtpClient::modifiedTime(const QString& remotePath, QString& stamp)
{
    stamp.clear();
    Result r = checkReady(remotePath);
    if (!r.ok())
        return r;
    Job job;
    job.url = base_ + urlPath(remotePath, false);
    job.configure = [](CURL* e) {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(e, CURLOPT_FILETIME, 1L);
    };
    r = transfer(job);
    if (!r.ok())
        return r;
    curl_off_t seconds = -1;
    if (session_)
        curl_easy_getinfo(session_->easy, CURLINFO_FILETIME_T, &seconds);
    if (seconds < 0)
        return makeResult(Status::Failed, QStringLiteral("The server did not tell the file's time."));
    stamp = QDateTime::fromSecsSinceEpoch(qint64(seconds), Qt::UTC).toString(QStringLiteral("yyyyMMddHHmmss"));
    return r;
}

Result CurlFtpClient::command(const QString& line, QString* reply)
{
    if (reply)
        reply->clear();
    Result r = checkReady(line);
    if (!r.ok())
        return r;
    if (line.trimmed().isEmpty())
        return makeResult(Status::BadArgument, QStringLiteral("No command given."));
    QStringList replies;
    r = quote({line}, &replies);
    if (reply && !replies.isEmpty())
        *reply = replies.last();
    return r;
}

Result CurlFtpClient::quote(const QStringList& lines, QStringList* replies)
{
    Job job;
    job.url = base_ + QLatin1Char('/');
    struct curl_slist* commands = nullptr;
    for (const QString& line : lines)
        commands = curl_slist_append(commands, line.toUtf8().constData());
    // A "pre-transfer" line goes out after the library has changed back to
    // the login folder (it stays in the folder of the last transfer between
    // operations); a plain quote line would run before that change.
    job.configure = [commands](CURL* e) {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(e, CURLOPT_PREQUOTE, commands);
    };
    const Result r = transfer(job);
    curl_slist_free_all(commands);
    if (replies)
        *replies = job.replies;
    return r;
}

} // namespace ftp
