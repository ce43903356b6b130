#include "records/ftp/frmftp.h"

#include "core/ftpcopies.h"
#include "core/globals.h"
#include "core/modmain.h"
#include "platform/atomicfile.h"
#include "platform/filestamp.h"
#include "platform/ftp/curlftpclient.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/statuslog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QScopedValueRollback>

#include <algorithm>

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

// The file a name of a file on the server names: its plain name, and the
// folders the name itself leads through first ("Exports\data.txt": the
// folder "Exports"). The fetch and the time query find a file by this one
// rule (ftpcopies::remotePath, which also tells whether the data file and
// the booking file are one), so the change watch never asks for a file the
// fetch would not take. Name "": it names no file ("book.txt/", "..", "").
struct RemoteName {
    QStringList folders;
    QString name;
};

RemoteName remoteNameOf(const QString& fileName)
{
    QStringList folders = ftpcopies::remotePath(fileName).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString name = folders.isEmpty() ? QString() : folders.takeLast();
    return {folders, name};
}

QString namesNoFile(const QString& fileName)
{
    return QStringLiteral("\"%1\" names no file").arg(fileName);
}

const QString kBusy = QStringLiteral("Another FTP operation is still running.");

ftp::Result resultOf(ftp::Status status)
{
    ftp::Result r;
    r.status = status;
    return r;
}

// The entry a fetch of `name` takes from a folder's listing: the file of
// that name as spelt, else the first file listed in another letter case.
// Folders never count, nor names that are no plain file name. -1: none.
qsizetype chooseFile(const QList<ftp::Entry>& entries, const QString& name)
{
    qsizetype other = -1;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const ftp::Entry& e = entries.at(i);
        if (e.isFolder || !paths::isPlainFileName(e.name))
            continue;
        if (e.name == name)
            return i;
        if (other < 0 && e.name.compare(name, Qt::CaseInsensitive) == 0)
            other = i;
    }
    return other;
}

// Why a step of a fetch failed, in plain words: the server's own reply
// where it refused with one, else what happened. "" for a cancel.
QString causeOf(const ftp::Result& r)
{
    const QString reply = r.serverCode >= 400
                              ? QStringLiteral("the server replied %1 %2").arg(r.serverCode).arg(r.serverText.trimmed())
                              : QString();
    const auto orReply = [&reply](const char* words) { return reply.isEmpty() ? QString::fromLatin1(words) : reply; };
    switch (r.status) {
    case ftp::Status::Ok:
    case ftp::Status::Cancelled:
        return QString();
    case ftp::Status::Busy:
        return QStringLiteral("another FTP operation was still running");
    case ftp::Status::BadArgument:
        return modMain::inSentence(r.message);
    case ftp::Status::LocalError:
        return QStringLiteral("the fetched file could not be saved: ") + modMain::inSentence(r.message);
    case ftp::Status::ConnectFailed:
        return orReply("the server could not be reached");
    case ftp::Status::LoginFailed:
        return reply.isEmpty() ? QStringLiteral("the server refused the login")
                               : QStringLiteral("the server refused the login: %1 %2")
                                     .arg(r.serverCode)
                                     .arg(r.serverText.trimmed());
    case ftp::Status::NotFound:
        return orReply("no such file on the server");
    case ftp::Status::Refused:
        return orReply("the server refused the download");
    case ftp::Status::TimedOut:
        // A server that closes the connection says why with 421 (no more
        // connections, shutting down), which counts as a time-out.
        return r.serverCode == 421 ? reply : QStringLiteral("a time-out: the server stopped answering");
    case ftp::Status::Incomplete:
        return orReply("the connection broke before the whole file arrived");
    case ftp::Status::NotConnected:
    case ftp::Status::ConnectionReset:
        return orReply("the connection to the server broke");
    case ftp::Status::Failed:
        break;
    }
    return orReply("the server did not say why");
}

// The board's copy of a fetched file: the server's time and size of the
// copy a fetch took, kept beside the local file as ".<name>.orvcopy", with
// the server, the account and the remote name it came from, and what the
// local file was once it was in place. A local file changed or replaced
// since, or a copy from another server, account or file, is no copy the
// board knows. The password is never kept.
const QString kCopySection = QStringLiteral("COPY");

struct CopySource {
    QString server, user, path;
};

QString boardCopyPath(const QString& localPath)
{
    const QFileInfo local(localPath);
    return paths::join(local.path(), QLatin1Char('.') + local.fileName() + QStringLiteral(".orvcopy"));
}

// `names`: how the remote name must match the one kept (a fetch that
// could not list the folder knows only the name it was asked for).
ftp::FileState readBoardCopy(const QString& localPath, const CopySource& source, Qt::CaseSensitivity names)
{
    IniDocument doc;
    if (!IniFile(boardCopyPath(localPath)).loadChecked(doc))
        return {};
    const auto text = [&doc](const char* key) {
        return doc.value(kCopySection, QLatin1String(key)).value_or(QString());
    };
    const auto number = [&text](const char* key) {
        bool ok = false;
        const qint64 n = text(key).toLongLong(&ok);
        return ok ? n : qint64(-1);
    };
    const FileStamp local = FileStamp::of(localPath);
    const bool same = local.exists && text("Server") == source.server && text("User") == source.user &&
                      text("File").compare(source.path, names) == 0 && number("Device") == qint64(local.device) &&
                      number("Inode") == qint64(local.inode) && number("LocalSize") == local.size &&
                      number("Modified") == local.modifiedNs;
    const ftp::FileState copy(text("Time"), number("Size"));
    if (!same || !ftp::serverTime(copy.time).isValid() || copy.size < 0)
        return {};
    return copy;
}

// After the copy is in place; a copy that can't be kept is only fetched
// again once it has settled.
void writeBoardCopy(const QString& localPath, const CopySource& source, const ftp::FileState& copy)
{
    const FileStamp local = FileStamp::of(localPath);
    IniDocument doc;
    const std::pair<const char*, QString> values[] = {
        {"Server", source.server},
        {"User", source.user},
        {"File", source.path},
        {"Time", copy.time},
        {"Size", QString::number(copy.size)},
        {"Device", QString::number(local.device)},
        {"Inode", QString::number(local.inode)},
        {"LocalSize", QString::number(local.size)},
        {"Modified", QString::number(local.modifiedNs)},
    };
    for (const auto& [key, value] : values)
        doc.set(kCopySection, QLatin1String(key), value);
    if (!local.exists || copy.time.isEmpty() || copy.size < 0 || !IniFile(boardCopyPath(localPath)).save(doc))
        QFile::remove(boardCopyPath(localPath));
}

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

bool FrmFTP::blnLogin(const QString& host, const QString& user, const QString& password)
{
    if (iFTP_->connected()) {
        iFTP_->disconnect();
        yieldEvents(6);
    }
    remoteFolder_.clear();
    login_ = iFTP_->login(accountOf(host, user, password));
    return login_.ok();
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
    entries_ << entry;
}

void FrmFTP::cmdRemoteRefresh_Click()
{
    lstRemote_.clear();
    entries_.clear();
    if (!remoteFolder_.isEmpty())
        lstRemote_ << kDirPrefix + QStringLiteral("..");
    QList<ftp::Entry> entries;
    listed_ = iFTP_->list(remoteFolder_, entries);
    for (const ftp::Entry& e : entries)
        iFTP_ListItem(e);
    // A listing that broke the connection drops it; other failures (a
    // missing folder) only end the refresh.
    switch (listed_.status) {
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
    cause_.clear(); // "Cancel process" says it
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
        if (other != name && other.compare(name, Qt::CaseInsensitive) == 0) {
            QFile::remove(paths::join(localFolder, other));
            QFile::remove(boardCopyPath(paths::join(localFolder, other)));
        }
    }
}

bool FrmFTP::fail(const QString& cause)
{
    cause_ = cause;
    return false;
}

bool FrmFTP::GetFile(const QString& host, const QString& user, const QString& password, const QString& remoteFolder,
                     const QString& localFolder, const QString& fileName, const QString& localName)
{
    // Code run while this fetch waits may look at the reports: this one
    // goes in when the fetch ends. Until this fetch has taken another copy,
    // the board holds the one its local file says: read with the server's
    // spelling once the listing gave it, else (a fetch that ended before)
    // with the name asked for, in any letter case.
    const RemoteName named = remoteNameOf(fileName);
    const auto kept = [&localName](const QString& name) { return localName.isEmpty() ? name : localName; };
    QStringList steps = remoteFolder.split(QLatin1Char('\\'));
    steps << named.folders;
    FetchReport report;
    bool listed = false;
    const auto keepReport = qScopeGuard([&] {
        if (!listed && !named.name.isEmpty())
            report.board = readBoardCopy(fetchedCopyPath(paths::resolve(localFolder, kept(named.name))),
                                         {host, user, fromLoginFolder((steps + QStringList{named.name}).join('/'))},
                                         Qt::CaseInsensitive);
        fetches_.insert(fileName, report);
    });
    cause_.clear();
    if (busy_) {
        statusMessage(QStringLiteral("Error connecting to ftp site"));
        return fail(causeOf(resultOf(ftp::Status::Busy)));
    }
    if (gblnStop)
        return cancelExit();
    if (named.name.isEmpty())
        return fail(namesNoFile(fileName));
    const QScopedValueRollback<bool> busy(busy_, true);
    cboRemote_.clear();

    if (!blnLogin(host, user, password)) {
        statusMessage(QStringLiteral("Can't login to ftp site. Try again."));
        return fail(causeOf(login_));
    }

    for (const QString& step : steps) {
        if (gblnStop)
            return cancelExit();
        ChangeFolder(step + QLatin1Char('\\'));
        yieldEvents(3);
    }
    if (gblnStop)
        return cancelExit();

    // The file as the change watch finds it, with its time and size before
    // the transfer.
    const Found before = timeOf(remoteFolder_, entries_, named.name);
    if (before.name.isEmpty()) {
        iFTP_->disconnect();
        yieldEvents(3);
        if (!listed_.ok())
            return fail(causeOf(listed_));
        return fail(before.folderOnly ? QStringLiteral("%1 is a folder on the server").arg(fileName)
                                      : QStringLiteral("no file %1 on the server").arg(fileName));
    }
    if (before.timed.status == ftp::Status::Cancelled)
        return cancelExit();
    const QString name = before.name;
    const QString remotePath = fromLoginFolder(remoteFolder_ + QLatin1Char('/') + name);
    const QString local = paths::join(localFolder, kept(name));
    const QString target = fetchedCopyPath(local);
    const CopySource source{host, user, remotePath};
    report.found = before.state;
    report.board = readBoardCopy(target, source, Qt::CaseSensitive);
    listed = true;

    // Only a copy the board decided to take is fetched, and never the one
    // it holds.
    const FetchChoice choice =
        chooseFetch(before.state, report.board, [&] { return !mayTake_ || mayTake_(fileName, before.state); });
    if (choice != FetchChoice::Transfer) {
        iFTP_->disconnect();
        yieldEvents(3);
        report.outcome =
            choice == FetchChoice::Unchanged ? FetchReport::Outcome::Unchanged : FetchReport::Outcome::NotSettled;
        return choice == FetchChoice::Unchanged;
    }

    // The transfer goes to a temporary beside the target, which takes its
    // place only once the file is known to be whole.
    const QFileInfo targetInfo(target);
    const QString staged = paths::join(targetInfo.path(), atomicfile::temporaryName(targetInfo.fileName()));
    const auto dropStaged = [&staged] { QFile::remove(staged); };
    mblnTransferDone_ = false;
    const ftp::Result r = iFTP_->download(remotePath, staged, before.state.size);
    mblnTransferDone_ = true;
    if (r.status == ftp::Status::Cancelled) {
        dropStaged();
        return cancelExit();
    }
    if (!r.ok() && r.status != ftp::Status::Incomplete) {
        dropStaged();
        statusMessage(QStringLiteral("Error connecting to ftp site"));
        return fail(causeOf(r));
    }

    // A file its exporter is still writing shows another time or size now
    // (and, when it grew during the transfer, arrived incomplete).
    ftp::Result why;
    const After after =
        checkAfter(accountOf(host, user, password), name, before.state, r.ok() ? QFileInfo(staged).size() : -1, why);
    if (after != After::Unchanged || !r.ok())
        dropStaged();
    if (why.status == ftp::Status::Cancelled)
        return cancelExit();
    if (after == After::Changed) {
        iFTP_->disconnect();
        yieldEvents(3);
        return fail(QStringLiteral("%1 changed on the server while it was fetched").arg(name));
    }
    if (after == After::Unknown || !r.ok()) {
        statusMessage(QStringLiteral("Error connecting to ftp site"));
        return fail(causeOf(r.ok() ? why : r));
    }
    QString error;
    const bool placed = atomicfile::moveOver(staged, target, &error);
    if (!placed) {
        dropStaged();
        statusMessage(QStringLiteral("Error connecting to ftp site"));
        return fail(QStringLiteral("the fetched file could not be saved: ") + modMain::inSentence(error));
    }
    // Beside the working record file, its other spellings are that file.
    if (target == local)
        removeOtherSpellings(localFolder, kept(name));
    writeBoardCopy(target, source, before.state);
    report = {FetchReport::Outcome::Took, before.state, before.state};

    iFTP_->disconnect();
    yieldEvents(3);
    return true;
}

FrmFTP::Found FrmFTP::timeOf(const QString& folder, const QList<ftp::Entry>& entries, const QString& name)
{
    Found f;
    f.listed = resultOf(ftp::Status::Ok);
    const qsizetype at = chooseFile(entries, name);
    if (at < 0) {
        f.folderOnly = std::any_of(entries.cbegin(), entries.cend(), [&name](const ftp::Entry& e) {
            return e.isFolder && e.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        return f;
    }
    f.name = entries.at(at).name;
    f.state.size = entries.at(at).size;
    f.timed = iFTP_->modifiedTime(fromLoginFolder(folder + QLatin1Char('/') + f.name), f.stamp);
    if (f.timed.ok())
        f.state.time = FormatFileTime(f.stamp);
    return f;
}

FrmFTP::Found FrmFTP::look(const QString& folder, const QString& name)
{
    QList<ftp::Entry> entries;
    const ftp::Result listed = iFTP_->list(folder, entries);
    if (!listed.ok()) {
        Found f;
        f.listed = listed;
        return f;
    }
    return timeOf(folder, entries, name);
}

FrmFTP::After FrmFTP::checkAfter(const ftp::Account& account, const QString& name, const ftp::FileState& before,
                                 qint64 bytes, ftp::Result& why)
{
    why = resultOf(ftp::Status::Ok);
    // A transfer that arrived short drops the session.
    if (!iFTP_->connected()) {
        why = iFTP_->login(account);
        if (!why.ok())
            return After::Unknown;
    }
    const Found now = look(remoteFolder_, name);
    if (!now.listed.ok() || now.timed.status == ftp::Status::Cancelled) {
        why = now.listed.ok() ? now.timed : now.listed;
        return After::Unknown;
    }
    // Gone, or only in another spelling now: rewritten under way.
    if (now.name != name)
        return After::Changed;
    if (!now.state.time.isEmpty() && !before.time.isEmpty() && now.state.time != before.time)
        return After::Changed;
    if (now.state.size >= 0 &&
        ((before.size >= 0 && now.state.size != before.size) || (bytes >= 0 && now.state.size != bytes)))
        return After::Changed;
    // The time the transfer was made for can't be checked.
    if (now.state.time.isEmpty() && !before.time.isEmpty()) {
        why = now.timed;
        return After::Unknown;
    }
    return After::Unchanged;
}

std::optional<FetchReport> FrmFTP::report(const QString& fileName) const
{
    const auto it = fetches_.constFind(fileName);
    return it == fetches_.constEnd() ? std::nullopt : std::optional(*it);
}

QString FrmFTP::FTPFileTime(const QString& host, const QString& user, const QString& password, const QString& fileName)
{
    return FTPFileTimeAndSize(host, user, password, fileName).time;
}

ftp::FileState FrmFTP::FTPFileTimeAndSize(const QString& host, const QString& user, const QString& password,
                                          const QString& fileName)
{
    if (busy_) {
        statusMessage(QStringLiteral("!!!Error: 0 ") + kBusy);
        return {};
    }
    const RemoteName named = remoteNameOf(fileName);
    if (named.name.isEmpty()) {
        statusMessage(QStringLiteral("!!!Error: 0 ") + namesNoFile(fileName) + QLatin1Char('.'));
        return {};
    }
    const QScopedValueRollback<bool> busy(busy_, true);
    remoteFolder_.clear();
    const ftp::Result login = iFTP_->login(accountOf(host, user, password));
    if (!login.ok() || !iFTP_->connected()) {
        statusMessage(errorLine(login, password));
        return {};
    }
    // The file a fetch of the name takes, found as the fetch finds it.
    const QString& name = named.name;
    const Found f = look(named.folders.join(QLatin1Char('/')), name);
    iFTP_->disconnect();
    yieldEvents(3);
    ftp::Result r = !f.listed.ok() ? f.listed : f.timed;
    if (f.listed.ok() && f.name.isEmpty()) {
        r.code = 0;
        r.message = f.folderOnly ? QStringLiteral("%1 is a folder on the server.").arg(name)
                                 : QStringLiteral("There is no file %1 on the server.").arg(name);
    } else if (r.ok() && f.state.time.isEmpty()) {
        r.status = ftp::Status::Failed;
        r.code = 0;
        r.message = QStringLiteral("The server gave no usable time: \"%1\"").arg(f.stamp);
    }
    if (!r.ok() || f.name.isEmpty()) {
        statusMessage(errorLine(r, password));
        return {};
    }
    statusMessage(QStringLiteral("@@@ ") + fileName + QStringLiteral(" - ") + f.state.time);
    return f.state;
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

// The booking file's copy that an earlier version kept where the data
// file's copy belongs, when both names end in one file name: it goes to
// the booking file's own name, with its board copy file (the move keeps
// what that file checks of the local file). Only the booking file's copy
// moves, never the data file's: where the two names differ only in letter
// case, a copy is the booking file's when the server's spelling it was
// fetched under is the booking file's as the settings spell it.
void moveBookingCopyApart()
{
    const QString own = ftpcopies::bookingCopyName(gstrFTPFilename, gstrFTPBookingFilename);
    if (own.isEmpty())
        return;
    const QString shared = fetchedCopyPath(paths::resolve(gstrDataFolder, paths::namedFile(gstrFTPFilename)));
    const QString bookingPath = ftpcopies::remotePath(gstrFTPBookingFilename);
    const Qt::CaseSensitivity cs = bookingPath.compare(ftpcopies::remotePath(gstrFTPFilename), Qt::CaseInsensitive) == 0
                                       ? Qt::CaseSensitive
                                       : Qt::CaseInsensitive;
    if (readBoardCopy(shared, {gstrFTPServer, gstrFTPUsername, bookingPath}, cs).time.isEmpty())
        return;
    const QString target = paths::join(gstrDataFolder, own);
    if (!atomicfile::moveOver(shared, target))
        return;
    if (!atomicfile::moveOver(boardCopyPath(shared), boardCopyPath(target)))
        QFile::remove(boardCopyPath(shared));
}

bool retrieveFTPFile(FrmFTP& frmFTP, const QString& fileName, const QString& localName = QString())
{
    if (fileName.isEmpty() || gstrFTPServer.isEmpty() || gstrFTPUsername.isEmpty() || gstrFTPPassword.isEmpty()) {
        statusMessage(QStringLiteral("The FTP Settings is not correct."));
        return false;
    }
    statusMessage(QStringLiteral("Start retrieve ") + fileName);
    const bool ok = frmFTP.GetFile(gstrFTPServer, gstrFTPUsername, gstrFTPPassword, QStringLiteral("\\"),
                                   gstrDataFolder, fileName, localName);
    const FetchReport::Outcome outcome = frmFTP.report(fileName).value_or(FetchReport()).outcome;
    if (outcome == FetchReport::Outcome::Unchanged) {
        statusMessage(fileName + QStringLiteral(" has not changed on FTP Server since it was retrieved."));
    } else if (outcome == FetchReport::Outcome::NotSettled) {
        statusMessage(fileName +
                      QStringLiteral(" is new on FTP Server: it is retrieved once it has stopped changing."));
    } else if (ok) {
        statusMessage(QStringLiteral("Successfully retrieved ") + fileName);
    } else {
        statusMessage(QStringLiteral("Error retrieving ") + fileName + QStringLiteral(" from FTP Server."));
        QString cause = frmFTP.lastCause();
        if (!gstrFTPPassword.isEmpty())
            cause.replace(gstrFTPPassword, QStringLiteral("***"));
        while (cause.endsWith(QLatin1Char('.')))
            cause.chop(1);
        if (!cause.isEmpty())
            statusMessage(QStringLiteral("!!!Cause: ") + cause + QLatin1Char('.'));
    }
    yieldEvents(3);
    return ok;
}

} // namespace

bool retrieveFTPDataFile(FrmFTP& frmFTP)
{
    moveBookingCopyApart();
    return retrieveFTPFile(frmFTP, gstrFTPFilename);
}

bool retrieveFTPBookingFile(FrmFTP& frmFTP)
{
    return retrieveFTPFile(frmFTP, gstrFTPBookingFilename,
                           ftpcopies::bookingCopyName(gstrFTPFilename, gstrFTPBookingFilename));
}
