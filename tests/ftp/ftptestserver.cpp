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
        for (const QString& candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
            QProcess p;
            p.start(candidate, {QStringLiteral("-c"), QStringLiteral("import pyftpdlib")});
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
    const QString py = python();
    if (py.isEmpty()) {
        if (error)
            *error = QStringLiteral("no Python with pyftpdlib");
        return false;
    }
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start(py,
                   {QStringLiteral(FTP_SERVER_SCRIPT), QStringLiteral("--root"), root_.path(), QStringLiteral("--user"),
                    QString::fromLatin1(kUser), QStringLiteral("--password"), QString::fromLatin1(kPassword),
                    QStringLiteral("--mode"), mode_, QStringLiteral("--lifetime"), QStringLiteral("100"),
                    QStringLiteral("--log"), logDir_.filePath(QStringLiteral("commands.log"))});
    if (!process_.waitForStarted(10000)) {
        if (error)
            *error = QStringLiteral("server did not start");
        return false;
    }
    QByteArray out;
    while (!out.contains('\n') && process_.waitForReadyRead(10000))
        out += process_.readAllStandardOutput();
    const QByteArray line = out.left(out.indexOf('\n')).trimmed();
    if (!line.startsWith("PORT ")) {
        if (error)
            *error = QStringLiteral("server gave no port");
        stop();
        return false;
    }
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
