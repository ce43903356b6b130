// The libcurl session plumbing of the FTP client: the sockets each session
// opens (cut off by an abort, the control socket held when an upload breaks
// off so the server's late reply can be read), and the library's codes in
// the client's own terms.
#include "platform/ftp/curlftpdetail.h"
#include "platform/ftp/replies.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ftp::detail {

CurlSession::CurlSession()
    : multi(curl_multi_init())
    , easy(curl_easy_init())
{
}

CurlSession::~CurlSession()
{
    close();
    releaseControl();
}

void CurlSession::close()
{
    if (easy)
        curl_easy_cleanup(std::exchange(easy, nullptr));
    if (multi)
        curl_multi_cleanup(std::exchange(multi, nullptr));
}

void CurlSession::cutSockets()
{
    std::lock_guard<std::mutex> lock(socketsLock);
    for (const curl_socket_t s : sockets)
        ::shutdown(s, SHUT_RDWR);
    if (heldControl != CURL_SOCKET_BAD)
        ::shutdown(heldControl, SHUT_RDWR);
}

curl_socket_t CurlSession::controlSocket()
{
    std::lock_guard<std::mutex> lock(socketsLock);
    return heldControl != CURL_SOCKET_BAD ? heldControl : control;
}

void CurlSession::releaseControl()
{
    std::lock_guard<std::mutex> lock(socketsLock);
    holdControl = false;
    if (heldControl != CURL_SOCKET_BAD)
        ::close(std::exchange(heldControl, CURL_SOCKET_BAD));
}

curl_socket_t onOpenSocket(void* user, curlsocktype, struct curl_sockaddr* address)
{
    auto* session = static_cast<CurlSession*>(user);
    const curl_socket_t s = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (s != CURL_SOCKET_BAD) {
        std::lock_guard<std::mutex> lock(session->socketsLock);
        if (session->sockets.empty()) {
            session->control = s;
            // A held socket is of a connection the library found dead and
            // replaced by this one: the late reply comes on the new one.
            if (session->heldControl != CURL_SOCKET_BAD)
                ::close(std::exchange(session->heldControl, CURL_SOCKET_BAD));
        }
        session->sockets.insert(s);
    }
    return s;
}

int onCloseSocket(void* user, curl_socket_t s)
{
    auto* session = static_cast<CurlSession*>(user);
    {
        std::lock_guard<std::mutex> lock(session->socketsLock);
        session->sockets.erase(s);
        if (s == session->control) {
            session->control = CURL_SOCKET_BAD;
            if (session->holdControl && session->heldControl == CURL_SOCKET_BAD) {
                session->heldControl = s;
                return 0;
            }
        }
    }
    return ::close(s);
}

namespace {

qint64 elapsedMs(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

QString lateReply(curl_socket_t s, int limitMs, const std::atomic<bool>& stop)
{
    if (s == CURL_SOCKET_BAD)
        return QString();
    const qint64 limit = limitMs;
    const auto start = std::chrono::steady_clock::now();
    QByteArray pending;
    while (!stop && elapsedMs(start) < limit) {
        pollfd ready{s, POLLIN, 0};
        const int n = ::poll(&ready, 1, int(std::clamp<qint64>(limit - elapsedMs(start), 1, 40)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        if (n == 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::recv(s, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        pending.append(buffer, qsizetype(got));
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QString line = replyLine(pending.left(end));
            pending.remove(0, end + 1);
            if (!line.isEmpty())
                return line;
        }
    }
    return QString();
}

Status statusOf(CURLcode code)
{
    switch (code) {
    case CURLE_OK:
        return Status::Ok;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
        return Status::ConnectFailed;
    case CURLE_LOGIN_DENIED:
        return Status::LoginFailed;
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_ACCESS_DENIED:
        return Status::NotFound;
    case CURLE_UPLOAD_FAILED:
    case CURLE_QUOTE_ERROR:
    case CURLE_FTP_COULDNT_RETR_FILE:
        return Status::Refused;
    case CURLE_OPERATION_TIMEDOUT:
        return Status::TimedOut;
    case CURLE_PARTIAL_FILE:
        return Status::Incomplete;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return Status::ConnectionReset;
    case CURLE_READ_ERROR:
    case CURLE_WRITE_ERROR:
        return Status::LocalError;
    default:
        return Status::Failed;
    }
}

QString plainWords(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("The server's name could not be resolved.");
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("The server did not accept a connection.");
    case CURLE_FTP_WEIRD_SERVER_REPLY:
        return QStringLiteral("The server did not greet as an FTP server does.");
    case CURLE_LOGIN_DENIED:
        return QStringLiteral("The server refused the login.");
    case CURLE_REMOTE_FILE_NOT_FOUND:
        return QStringLiteral("The remote file or folder does not exist.");
    case CURLE_REMOTE_ACCESS_DENIED:
        return QStringLiteral("The server refused access to the remote file or folder.");
    case CURLE_UPLOAD_FAILED:
        return QStringLiteral("The server refused the upload.");
    case CURLE_QUOTE_ERROR:
        return QStringLiteral("The server refused the command.");
    case CURLE_FTP_COULDNT_RETR_FILE:
        return QStringLiteral("The server refused the download.");
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("The FTP server stopped answering.");
    case CURLE_PARTIAL_FILE:
        return QStringLiteral("The transfer ended early.");
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return QStringLiteral("The connection to the FTP server broke.");
    case CURLE_READ_ERROR:
        return QStringLiteral("The local file could not be read.");
    case CURLE_WRITE_ERROR:
        return QStringLiteral("The downloaded data could not be kept.");
    default:
        return QString();
    }
}

Result makeResult(Status status, const QString& message)
{
    Result r;
    r.status = status;
    r.message = message;
    return r;
}

bool breaksSession(Status s)
{
    switch (s) {
    case Status::Ok:
    case Status::Busy:
    case Status::NotConnected:
    case Status::BadArgument:
    case Status::NotFound:
    case Status::Refused:
    case Status::LocalError:
        return false;
    default:
        return true;
    }
}

} // namespace ftp::detail
