#include "tests/ftp/ftptestserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef FTP_SERVER_SCRIPT
#error FTP_SERVER_SCRIPT must name ftpserver.py
#endif

QString FtpTestServer::python()
{
    static const QString found = [] {
        for (const QString candidate : {"/usr/bin/python3", "python3"}) {
            QProcess p;
            p.start(candidate, {"-c", "import pyftpdlib"});
            if (p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
                return candidate;
        }
        return QString();
    }();
    return found;
}

FtpTestServer::FtpTestServer(const QString& mode)
    : mode_(mode)
{
}

FtpTestServer::~FtpTestServer()
{
    stop();
}

bool FtpTestServer::start(QString* error)
{
    const auto fail = [&](const char* why) {
        if (error)
            *error = QString::fromLatin1(why);
        stop();
        return false;
    };
    if (python().isEmpty())
        return fail("no Python with pyftpdlib");
    QStringList home;
    if (!loginFolder_.isEmpty()) {
        QDir(root_.path()).mkpath(loginFolder_);
        home << "--home" << loginFolder_;
    }
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start(python(),
                   QStringList{FTP_SERVER_SCRIPT, "--root", root_.path(), "--user", kUser, "--password", kPassword,
                               "--mode", mode_, "--lifetime", "100", "--log", logDir_.filePath("commands.log")} +
                       home);
    if (!process_.waitForStarted(10000))
        return fail("server did not start");
    QByteArray out;
    while (!out.contains('\n') && process_.waitForReadyRead(10000))
        out += process_.readAllStandardOutput();
    const QByteArray line = out.left(out.indexOf('\n')).trimmed();
    if (!line.startsWith("PORT "))
        return fail("server gave no port");
    port_ = line.mid(5).toInt();
    return port_ > 0;
}

void FtpTestServer::stop()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString FtpTestServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

void FtpTestServer::putFile(const QString& relativePath, const QByteArray& bytes) const
{
    const QString path = root_.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QStringList FtpTestServer::commands() const
{
    QFile f(logDir_.filePath(QStringLiteral("commands.log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
