#pragma once
// Fetching the source files (data file, booking file) from the FTP server
// named in the settings, and asking it for their modified times.
//
// FrmFTP is the window-less FTP worker the main window owns; it logs to the
// status list. Its operations wait for the server without freezing the
// window (events keep being handled meanwhile), and a set stop flag
// (gblnStop) aborts a fetch, also in the middle of a transfer.
#include "platform/ftp/ftpclient.h"
#include "records/ftp/fetchrule.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class FrmFTP {
public:
    // Uses `client` for the server work; without one it uses the libcurl client.
    explicit FrmFTP(std::unique_ptr<ftp::FtpClient> client = nullptr);
    ~FrmFTP();
    FrmFTP(const FrmFTP&) = delete;
    FrmFTP& operator=(const FrmFTP&) = delete;

    // One fetch or time query at a time: one asked for while another waits
    // for the server fails at once.
    //
    // Downloads `fileName` from `remoteFolder` into `localFolder`. The folder
    // counts from the one the login lands in, never from the server's root:
    // "\" between folder names, "\" alone for the login folder itself, and a
    // leading "\" changes nothing. The name may lead through folders of its
    // own ("Exports\data.txt", "\" or "/" between them); its last part is
    // matched without regard to case, folders never match, and the local
    // copy takes the server's spelling (or the name fetchedCopyPath gives),
    // or `localName` when one is given. A name whose last part is no plain
    // file name ("book.txt/") names no file: the fetch fails without
    // contacting the server (paths::namedFile is the rule; FTPFileTime finds
    // a file by the same one).
    //
    // Which copy it takes is chooseFetch's business (see fetchrule.h): the
    // board's own copy is not fetched again (true, nothing transferred), and
    // a copy that setMayTake's rule did not decide to take is left on the
    // server (false). The file's time and size are asked before the
    // transfer and again after it: a file that changed meanwhile (its
    // exporter still writing it) fails the fetch. The local copy is
    // replaced only by a whole file that did not change while it was
    // fetched; a failed fetch leaves the previous copy. Beside a fetched
    // copy the server's time and size of what it took are kept, with what
    // the local file was then. report() says how the fetch ended,
    // lastCause() why it failed.
    bool GetFile(const QString& host, const QString& user, const QString& password, const QString& remoteFolder,
                 const QString& localFolder, const QString& fileName, const QString& localName = QString());
    // Whether a fetch of `fileName` may take the copy `found` it found on
    // the server (time "yyyy/mm/dd hh:mm:ss" and size, both known, and not
    // the board's copy). Unset: any copy may be taken.
    using MayTake = std::function<bool(const QString& fileName, const ftp::FileState& found)>;
    void setMayTake(MayTake rule) { mayTake_ = std::move(rule); }
    // How the last GetFile of `fileName` ended; nothing before the first,
    // nor since forgetReports.
    std::optional<FetchReport> report(const QString& fileName) const;
    // Forgets how earlier fetches ended: a settings load starts with none,
    // so that what a run learns of its fetches is that load's alone.
    void forgetReports() { fetches_.clear(); }
    // Why the last GetFile failed, in plain words for a "!!!Cause: " line
    // ("the server replied 550 ...", "no file data.txt on the server"); ""
    // after a fetch that worked or was cancelled. Never the password.
    const QString& lastCause() const { return cause_; }
    // Connects and logs in (closing an open connection first).
    bool blnLogin(const QString& host, const QString& user, const QString& password);
    // The file's modified time on the server as "yyyy/mm/dd hh:mm:ss", or ""
    // when it cannot be had (logged as "@@@ name - time" or "!!!Error: ...").
    // The file is the one GetFile would take from the login folder, found
    // the same way in its folder's listing: the name as spelt, else the
    // first one listed in another letter case; a folder never counts. A
    // name that names no file is not asked for ("!!!Error: 0 ...").
    QString FTPFileTime(const QString& host, const QString& user, const QString& password, const QString& fileName);
    // The same, with the file's size from that listing (the time "" when it
    // cannot be had).
    ftp::FileState FTPFileTimeAndSize(const QString& host, const QString& user, const QString& password,
                                      const QString& fileName);
    // Ends the connection at once, also in the middle of a transfer.
    void CmdCancel_Click();
    // At shut-down: the same as CmdCancel_Click.
    void Form_Unload();

    // "yyyy/mm/dd hh:mm:ss" of a server time whose first 14 characters are
    // the digits yyyymmddhhmmss; "" for anything else.
    static QString FormatFileTime(const QString& stamp);

    // Working state, for the curious (never shown): the entries of the folder
    // listed last (folders as "<Dir> name") and the folders visited by the
    // last GetFile, the newest first.
    const QStringList& lstRemote() const { return lstRemote_; }
    const QStringList& cboRemote() const { return cboRemote_; }
    bool transferDone() const { return mblnTransferDone_; }
    ftp::FtpClient& iFTP() { return *iFTP_; }

private:
    // A file looked for in a folder's listing.
    struct Found {
        ftp::Result listed;      // the listing
        ftp::Result timed;       // the time query (not asked: failed)
        QString name;            // the server's spelling; "" when not found
        bool folderOnly = false; // not found, but a folder carries the name
        QString stamp;           // the time as the server gave it
        ftp::FileState state;
    };
    // The file a fetch of `name` takes among `entries` (the listing of
    // `folder`), with its time.
    Found timeOf(const QString& folder, const QList<ftp::Entry>& entries, const QString& name);
    // Lists `folder` (from the login folder) and does the same.
    Found look(const QString& folder, const QString& name);
    enum class After { Unchanged, Changed, Unknown };
    // Whether the file `name` of the fetch's folder still shows the time
    // and size it had `before` the transfer, and the size of the `bytes`
    // that came (-1: none came). A connection the transfer broke is opened
    // again with `account`. Unknown (with the reason in `why`) when the
    // server could not be asked.
    After checkAfter(const ftp::Account& account, const QString& name, const ftp::FileState& before, qint64 bytes,
                     ftp::Result& why);
    // Ends a fetch that failed with `cause` (see lastCause).
    bool fail(const QString& cause);
    void ChangeFolder(const QString& folder);
    static void SelectOrAddItem(QStringList& list, const QString& text);
    void cmdRemoteRefresh_Click();
    void iFTP_ListItem(const ftp::Entry& entry);
    bool cancelExit();
    void removeOtherSpellings(const QString& localFolder, const QString& name);

    std::unique_ptr<ftp::FtpClient> iFTP_;
    QString remoteFolder_;
    QStringList lstRemote_;
    QList<ftp::Entry> entries_; // the listing behind lstRemote_
    ftp::Result listed_;        // how that listing went
    QStringList cboRemote_;
    bool mblnTransferDone_ = false;
    // A fetch or time query is running (code run while it waits may not
    // start another one on the same connection).
    bool busy_ = false;
    ftp::Result login_; // how the last blnLogin went
    QString cause_;
    // By file name, how its last GetFile went.
    QHash<QString, FetchReport> fetches_;
    MayTake mayTake_;
};

// Where a fetch meant for `localPath` lands: `localPath` itself, unless it
// names the working record file (gstrWorkingDataFile, letter case aside),
// which only a conversion may replace, so that a fetched file without
// records (or half uploaded) never takes the kept records' place: then
// "<name>.fetched.<ext>" beside it, of the same kind for the readers.
QString fetchedCopyPath(const QString& localPath);

// Fetch the settings' FTP data file (gstrFTPFilename) or booking file
// (gstrFTPBookingFilename) from the FTP account's login folder into the Data
// folder (the booking file under the name ftpcopies::bookingCopyName gives,
// when it gives one), logging the outcome: "Successfully retrieved <name>",
// a line that the board's copy is the server's, one that a new copy is left
// until it has stopped changing, or "Error retrieving ..." and a
// "!!!Cause: " line that says why. True when the board holds the server's
// copy now. False (after "The FTP Settings is not correct.") when the file
// name, server, user name or password is empty.
//
// Before the data file's fetch (a load fetches it first), a copy of the
// booking file that an earlier version kept under the data file's name (the
// two names end in one file name) is moved to the booking file's own name,
// with what the board knows of it: it is not converted as the records, nor
// fetched again while it is the server's copy.
bool retrieveFTPDataFile(FrmFTP& frmFTP);
bool retrieveFTPBookingFile(FrmFTP& frmFTP);
