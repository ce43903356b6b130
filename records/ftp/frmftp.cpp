#include "records/ftp/frmftp.h"

#include "core/globals.h"
#include "platform/ftp/curlftpclient.h"
#include "platform/paths.h"
#include "platform/statuslog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>

namespace {

const QString kDirPrefix = QStringLiteral("<Dir> ");

void yieldEvents(int times)
{
    for (int i = 0; i < times; ++i)
        QCoreApplication::processEvents();
}

ftp::Account accountOf(const QString& host, const QString& user, const QString& password)
{
    return {host, user, password};
}

// "!!!Error: " line of a failed time query; the password never shows.
QString errorLine(const ftp::Result& r, const QString& password)
{
    QString text = r.message;
    if (!password.isEmpty())
        text.replace(password, QStringLiteral("***"));
    return QStringLiteral("!!!Error: ") + QString::number(r.code) + QLatin1Char(' ') + text;
}

// Every remote path of the fetch and the time query counts from the folder
// the login lands in, never from the server's root: "\" or "/" between
// names, leading and repeated separators dropped ("" is the login folder).
QString fromLoginFolder(const QString& path)
{
    QString p = ftp::normalisePath(path);
    if (p.startsWith(QLatin1Char('/')))
        p.remove(0, 1);
    return p;
}

const QString kBusy = QStringLiteral("Another FTP operation is still running.");

} // namespace

FrmFTP::FrmFTP(std::unique_ptr<ftp::FtpClient> client)
    : iFTP_(client ? std::move(client) : std::make_unique<ftp::CurlFtpClient>())
{
    iFTP_->setCancelCheck([] { return gblnStop; });
}

FrmFTP::~FrmFTP()
{
    Form_Unload();
}

QString FrmFTP::FormatFileTime(const QString& stamp)
{
    if (stamp.size() < 14)
        return QString();
    for (int i = 0; i < 14; ++i) {
        if (!stamp.at(i).isDigit() || stamp.at(i).unicode() > 127)
            return QString();
    }
    return stamp.mid(0, 4) + QLatin1Char('/') + stamp.mid(4, 2) + QLatin1Char('/') + stamp.mid(6, 2) +
           QLatin1Char(' ') + stamp.mid(8, 2) + QLatin1Char(':') + stamp.mid(10, 2) + QLatin1Char(':') +
           stamp.mid(12, 2);
}

bool FrmFTP::isFolderEntry(const QString& entry)
{
    return entry.left(5) == QStringLiteral("<Dir>");
}

bool FrmFTP::blnLogin(const QString& host, const QString& user, const QString& password)
{
    if (iFTP_->connected()) {
        iFTP_->disconnect();
        yieldEvents(6);
    }
    remoteFolder_.clear();
    return iFTP_->login(accountOf(host, user, password)).ok();
}

void FrmFTP::SelectOrAddItem(QStringList& list, const QString& text)
{
    const qsizetype at = list.lastIndexOf(text);
    if (at >= 0)
        list.removeAt(at);
    list.prepend(text); // the first entry is the selected one
}

void FrmFTP::iFTP_ListItem(const ftp::Entry& entry)
{
    lstRemote_ << (entry.isFolder ? kDirPrefix + entry.name : entry.name);
    lstRemoteSizes_ << (entry.isFolder ? -1 : entry.size);
}

void FrmFTP::cmdRemoteRefresh_Click()
{
    lstRemote_.clear();
    lstRemoteSizes_.clear();
    if (!remoteFolder_.isEmpty()) {
        lstRemote_ << kDirPrefix + QStringLiteral("..");
        lstRemoteSizes_ << -1;
    }
    QList<ftp::Entry> entries;
    const ftp::Result r = iFTP_->list(remoteFolder_, entries);
    for (const ftp::Entry& e : entries)
        iFTP_ListItem(e);
    // A listing that broke the connection drops it; other failures (a
    // missing folder) only end the refresh.
    switch (r.status) {
    case ftp::Status::ConnectionReset:
    case ftp::Status::TimedOut:
    case ftp::Status::Incomplete:
    case ftp::Status::Failed:
        CmdCancel_Click();
        break;
    default:
        break;
    }
}

void FrmFTP::ChangeFolder(const QString& folder)
{
    const QString rest = folder.left(folder.size() - 1);
    remoteFolder_ = fromLoginFolder(remoteFolder_ + QLatin1Char('/') + rest);
    SelectOrAddItem(cboRemote_, remoteFolder_);
    cmdRemoteRefresh_Click();
}

bool FrmFTP::cancelExit()
{
    iFTP_->disconnect();
    yieldEvents(3);
    statusMessage(QStringLiteral("Cancel process"));
    return false;
}

void FrmFTP::removeOtherSpellings(const QString& localFolder, const QString& name)
{
    // An older copy spelt differently would otherwise be found first by the
    // loaders, which look for the settings' spelling before any other.
    const QStringList present = QDir(localFolder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& other : present) {
        if (other != name && other.compare(name, Qt::CaseInsensitive) == 0)
            QFile::remove(paths::join(localFolder, other));
    }
}

bool FrmFTP::GetFile(const QString& host, const QString& user, const QString& password, const QString& remoteFolder,
                     const QString& localFolder, const QString& fileName)
{
    // Until this fetch has taken the file, it counts as not fetched.
    fetchedTimes_.remove(fileName);
    if (busy_) {
        statusMessage(QStringLiteral("Error connecting to ftp site"));
        return false;
    }
    if (gblnStop)
        return cancelExit();
    const QScopedValueRollback<bool> busy(busy_, true);
    bool result = false;
    cboRemote_.clear();

    if (!blnLogin(host, user, password)) {
        statusMessage(QStringLiteral("Can't login to ftp site. Try again."));
        return false;
    }

    const QStringList steps = remoteFolder.split(QLatin1Char('\\'));
    for (const QString& step : steps) {
        if (gblnStop)
            return cancelExit();
        ChangeFolder(step + QLatin1Char('\\'));
        yieldEvents(3);
    }

    // The name as spelt wins; only without it does a name in another
    // letter case count (the first one listed).
    int match = -1;
    if (!lstRemote_.isEmpty()) {
        if (gblnStop)
            return cancelExit();
        int other = -1;
        for (int i = 0; i < lstRemote_.size(); ++i) {
            if (gblnStop)
                return cancelExit();
            const QString& entry = lstRemote_.at(i);
            if (!isFolderEntry(entry) && paths::isPlainFileName(entry)) {
                if (entry == fileName) {
                    match = i;
                    break;
                }
                if (other < 0 && entry.compare(fileName, Qt::CaseInsensitive) == 0)
                    other = i;
            }
            yieldEvents(1);
        }
        if (match < 0)
            match = other;
    }

    if (match >= 0) {
        const QString name = lstRemote_.at(match);
        const QString remotePath = fromLoginFolder(remoteFolder_ + QLatin1Char('/') + name);
        mblnTransferDone_ = false;
        const QString local = paths::join(localFolder, name);
        const QString target = fetchedCopyPath(local);
        // Taken before the transfer: a file that changes during or after it
        // has a later time, which the change watch sees.
        QString stamp;
        if (!iFTP_->modifiedTime(remotePath, stamp).ok())
            stamp.clear();
        const ftp::Result r = iFTP_->download(remotePath, target, lstRemoteSizes_.at(match));
        mblnTransferDone_ = true;
        if (r.status == ftp::Status::Cancelled)
            return cancelExit();
        if (!r.ok()) {
            statusMessage(QStringLiteral("Error connecting to ftp site"));
            return false;
        }
        // Beside the working record file, its other spellings are that file.
        if (target == local)
            removeOtherSpellings(localFolder, name);
        fetchedTimes_.insert(fileName, FormatFileTime(stamp));
        result = true;
    }

    iFTP_->disconnect();
    yieldEvents(3);
    return result;
}

QString FrmFTP::otherSpelling(const QString& path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = cut < 0 ? QString() : path.left(cut);
    const QString name = path.mid(cut + 1);
    QList<ftp::Entry> entries;
    if (name.isEmpty() || !iFTP_->list(folder, entries).ok())
        return QString();
    for (const ftp::Entry& e : entries) {
        if (!e.isFolder && paths::isPlainFileName(e.name) && e.name != name &&
            e.name.compare(name, Qt::CaseInsensitive) == 0)
            return folder.isEmpty() ? e.name : folder + QLatin1Char('/') + e.name;
    }
    return QString();
}

std::optional<QString> FrmFTP::fetchedTime(const QString& fileName) const
{
    const auto it = fetchedTimes_.constFind(fileName);
    if (it == fetchedTimes_.constEnd())
        return std::nullopt;
    return *it;
}

QString FrmFTP::FTPFileTime(const QString& host, const QString& user, const QString& password, const QString& fileName)
{
    if (busy_) {
        statusMessage(QStringLiteral("!!!Error: 0 ") + kBusy);
        return QString();
    }
    const QScopedValueRollback<bool> busy(busy_, true);
    remoteFolder_.clear();
    const ftp::Result login = iFTP_->login(accountOf(host, user, password));
    if (!login.ok() || !iFTP_->connected()) {
        statusMessage(errorLine(login, password));
        return QString();
    }
    QString stamp;
    const QString path = fromLoginFolder(fileName);
    ftp::Result r = iFTP_->modifiedTime(path, stamp);
    // The file a fetch of the name takes: without the name as spelt, the one
    // in another letter case.
    if (!r.ok()) {
        if (const QString other = otherSpelling(path); !other.isEmpty()) {
            QString otherStamp;
            if (const ftp::Result o = iFTP_->modifiedTime(other, otherStamp); o.ok()) {
                r = o;
                stamp = otherStamp;
            }
        }
    }
    iFTP_->disconnect();
    yieldEvents(3);
    const QString result = FormatFileTime(stamp);
    if (!r.ok() || result.isEmpty()) {
        if (r.ok()) {
            r.code = 0;
            r.message = QStringLiteral("The server gave no usable time: \"%1\"").arg(stamp);
        }
        statusMessage(errorLine(r, password));
        return QString();
    }
    statusMessage(QStringLiteral("@@@ ") + fileName + QStringLiteral(" - ") + result);
    return result;
}

void FrmFTP::CmdCancel_Click()
{
    iFTP_->abort();
}

void FrmFTP::Form_Unload()
{
    if (iFTP_)
        iFTP_->abort();
}

QString fetchedCopyPath(const QString& localPath)
{
    const QFileInfo local(localPath);
    const QFileInfo working(gstrWorkingDataFile);
    if (gstrWorkingDataFile.isEmpty() || local.fileName().compare(working.fileName(), Qt::CaseInsensitive) != 0)
        return localPath;
    const auto folderOf = [](const QFileInfo& f) {
        const QString canonical = QFileInfo(f.absolutePath()).canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(f.absolutePath()) : canonical;
    };
    if (folderOf(local) != folderOf(working))
        return localPath;
    const QString suffix = working.suffix();
    return paths::join(local.path(), working.completeBaseName() + QStringLiteral(".fetched") +
                                         (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
}

namespace {

bool retrieveFTPFile(FrmFTP& frmFTP, const QString& fileName)
{
    if (fileName.isEmpty() || gstrFTPServer.isEmpty() || gstrFTPUsername.isEmpty() || gstrFTPPassword.isEmpty()) {
        statusMessage(QStringLiteral("The FTP Settings is not correct."));
        return false;
    }
    statusMessage(QStringLiteral("Start retrieve ") + fileName);
    const bool ok =
        frmFTP.GetFile(gstrFTPServer, gstrFTPUsername, gstrFTPPassword, QStringLiteral("\\"), gstrDataFolder, fileName);
    if (ok)
        statusMessage(QStringLiteral("Successfully retrieved ") + fileName);
    else
        statusMessage(QStringLiteral("Error retrieving ") + fileName + QStringLiteral(" from FTP Server."));
    yieldEvents(3);
    return ok;
}

} // namespace

bool retrieveFTPDataFile(FrmFTP& frmFTP)
{
    return retrieveFTPFile(frmFTP, gstrFTPFilename);
}

bool retrieveFTPBookingFile(FrmFTP& frmFTP)
{
    return retrieveFTPFile(frmFTP, gstrFTPBookingFilename);
}
