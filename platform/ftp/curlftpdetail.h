#pragma once
// What the parts of the libcurl FTP client share: the handles and sockets
// of one session, the library's codes in the client's terms, and results
// made from a status and a message. Only the client's own source files
// include this.
#include "platform/ftp/ftpclient.h"

#include <curl/curl.h>

#include <atomic>
#include <mutex>
#include <set>

namespace ftp::detail {

// The libcurl handles of one session and the sockets they opened (so that an
// abort can cut them off without waiting for the server). The control
// connection's socket is the one opened while no other socket of the
// session is open (a data connection always opens beside it). While
// `holdControl` is set, the library's close of the control socket only
// hands it over to `heldControl`, so that what the server still says on it
// can be read.
struct CurlSession {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    std::mutex socketsLock;
    std::set<curl_socket_t> sockets;
    curl_socket_t control = CURL_SOCKET_BAD;
    bool holdControl = false;
    curl_socket_t heldControl = CURL_SOCKET_BAD;

    CurlSession();
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    // Ends the session (saying goodbye to the server, which may wait for
    // its reply); the sockets can still be cut meanwhile.
    void close();
    // Shuts every socket down, so a wait inside the library ends at once.
    void cutSockets();

    // The control socket the library gave up while it was held, or the one
    // still open; CURL_SOCKET_BAD when neither.
    curl_socket_t controlSocket();

    // Ends the hold and closes a control socket kept by it.
    void releaseControl();
};

// The session's socket callbacks (their user data is the CurlSession).
curl_socket_t onOpenSocket(void* user, curlsocktype, struct curl_sockaddr* address);
int onCloseSocket(void* user, curl_socket_t s);

// For an upload that broke off: the first final reply line ("ddd text")
// the server still sends on control socket `s` within `limitMs`, e.g. why
// it closed the data connection; "" when none came, the connection ended
// or `stop` was set.
QString lateReply(curl_socket_t s, int limitMs, const std::atomic<bool>& stop);

Status statusOf(CURLcode code);
// The reason for a failed transfer, in the program's own words (the
// library's texts speak of its internals: "response reading failed"); ""
// for codes without one.
QString plainWords(CURLcode code);

Result makeResult(Status status, const QString& message);

// Failures after which the control connection can't be trusted any more.
bool breaksSession(Status s);

} // namespace ftp::detail
