#pragma once
// Fetching the source files (data file, booking file) from the FTP server
// named in the settings, and asking it for their modified times.
//
// FrmFTP is the window-less FTP worker the main window owns; it logs to the
// status list. Its operations wait for the server without freezing the
// window (events keep being handled meanwhile), and a set stop flag
// (gblnStop) aborts a fetch, also in the middle of a transfer.
#include "platform/ftp/ftpclient.h"

#include <QHash>
#include <QList>
#include <QStringList>

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
    // leading "\" changes nothing (the same holds for FTPFileTime's file
    // name). The name is matched without regard to case, folders never
    // match, and the local copy takes the server's spelling (or the name
    // fetchedCopyPath gives). A broken transfer leaves the previous copy.
    bool GetFile(const QString& host, const QString& user, const QString& password, const QString& remoteFolder,
                 const QString& localFolder, const QString& fileName);
    // The server's time ("yyyy/mm/dd hh:mm:ss") of the file the last
    // GetFile of `fileName` fetched, asked for on the same connection just
    // before the transfer; "" when the server gave no time. Nothing when no
    // GetFile of that name has fetched it yet or the last one failed
    // (refused, cancelled, broken off, not found).
    std::optional<QString> fetchedTime(const QString& fileName) const;
    // Connects and logs in (closing an open connection first).
    bool blnLogin(const QString& host, const QString& user, const QString& password);
    // The file's modified time on the server as "yyyy/mm/dd hh:mm:ss", or ""
    // when it cannot be had (logged as "@@@ name - time" or "!!!Error: ...").
    // The file is the one GetFile would take: the name as spelt, else the
    // first one listed in another letter case.
    QString FTPFileTime(const QString& host, const QString& user, const QString& password, const QString& fileName);
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
    void ChangeFolder(const QString& folder);
    static void SelectOrAddItem(QStringList& list, const QString& text);
    void cmdRemoteRefresh_Click();
    void iFTP_ListItem(const ftp::Entry& entry);
    // The path of the first file listed beside `path` (in its folder) whose
    // name differs from its name in letter case only; "" when none.
    QString otherSpelling(const QString& path);
    static bool isFolderEntry(const QString& entry);
    bool cancelExit();
    void removeOtherSpellings(const QString& localFolder, const QString& name);

    std::unique_ptr<ftp::FtpClient> iFTP_;
    QString remoteFolder_;
    QStringList lstRemote_;
    QList<qint64> lstRemoteSizes_;
    QStringList cboRemote_;
    bool mblnTransferDone_ = false;
    // A fetch or time query is running (code run while it waits may not
    // start another one on the same connection).
    bool busy_ = false;
    // The file names fetched by their last GetFile, with the server's time.
    QHash<QString, QString> fetchedTimes_;
};

// Where a fetch meant for `localPath` lands: `localPath` itself, unless it
// names the working record file (gstrWorkingDataFile, letter case aside),
// which only a conversion may replace, so that a fetched file without
// records (or half uploaded) never takes the kept records' place: then
// "<name>.fetched.<ext>" beside it, of the same kind for the readers.
QString fetchedCopyPath(const QString& localPath);

// Fetch the settings' FTP data file (gstrFTPFilename) or booking file
// (gstrFTPBookingFilename) from the FTP account's login folder into the Data
// folder, logging the outcome. False (after "The FTP Settings is not
// correct.") when the file name, server, user name or password is empty.
bool retrieveFTPDataFile(FrmFTP& frmFTP);
bool retrieveFTPBookingFile(FrmFTP& frmFTP);
