#pragma once
// Starts ftpserver.py (next to this file) on 127.0.0.1 with a fresh root
// folder, for the FTP tests. The server ends with this object.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class FtpTestServer {
public:
    static constexpr const char* kUser = "tester";
    static constexpr const char* kPassword = "Pa55-word!";

    // mode "serve" (with the misbehaving file names of ftpserver.py),
    // "silent" (accepts connections, never answers), or fault modes of
    // ftpserver.py joined by "," (logins: "badlogin", "toomany"; uploads: "cut",
    // "stall", "cut-media", "die", "full", "full-close", "drop426",
    // "busy-media", "denystor", "denyconfirm"; renames: "norename", "norename-drop",
    // "norename-back", "norename-lost", "norename-any", "lockdata",
    // "lostrename", "lostrename-die", "lostrename-busy", "slowrename", "nosize";
    // folders: "vsftpd-cwd" (a missing folder's CWD gets vsftpd's 550);
    // answers lost: "drop-mdtm", "drop-dele"; goodbyes: "noquit",
    // "noquit-renamed"; downloads: "writing" (a file grows by a line once
    // sent, as an export still being written), "retrlock" (RETR refused with
    // the 550 of a file in use while "<name>.lock" lies beside it);
    // "dirtimes" (MDTM and SIZE answer for a folder too); a connection
    // dropped at the Nth line of a command:
    // "drop@RNTO:2", or closed right after answering it: "hangup@NOOP:1",
    // or dropped as the board's program starts again, which deletes the
    // upload temporaries: "restart@RNTO:1").
    explicit FtpTestServer(const QString& mode = QStringLiteral("serve"));
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // The Python interpreter that has pyftpdlib, or "" when none does.
    static QString python();

    // Before start(): the login lands in this folder below the root (made
    // when missing) instead of the root, which stays reachable by absolute
    // paths.
    void setLoginFolder(const QString& relativePath) { loginFolder_ = relativePath; }
    bool start(QString* error = nullptr);
    void stop();

    QString root() const { return root_.path(); }
    // "127.0.0.1:<port>"
    QString host() const;
    int port() const { return port_; }
    // Puts a file into the served folder (sub-folders are made as needed).
    void putFile(const QString& relativePath, const QByteArray& bytes) const;
    // Every command line the server received so far (the password hidden).
    QStringList commands() const;

private:
    QString mode_;
    QString loginFolder_;
    QTemporaryDir root_;
    QTemporaryDir logDir_;
    QProcess process_;
    int port_ = 0;
};

// Starts `server`, or skips the test when pyftpdlib is missing; a server that
// does not start fails the test.
#define START_SERVER(server)                                                                                           \
    do {                                                                                                               \
        QString why;                                                                                                   \
        if (FtpTestServer::python().isEmpty())                                                                         \
            GTEST_SKIP() << "python3-pyftpdlib is not installed";                                                      \
        ASSERT_TRUE((server).start(&why)) << why.toStdString();                                                        \
    } while (0)
