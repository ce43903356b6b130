#pragma once
// One running copy per program folder. The first copy makes the folder when
// it is missing, holds a lock file in it and listens on a local socket named
// after the folder; a later copy finds the lock taken (or a copy answering on
// the socket), asks the running copy to bring its window to the front, and
// ends. A lock that no running copy holds (none answers on the socket, and
// no live process holds the lock file) is taken over, whatever the file
// says: left empty by a crash, with garbage, naming another host or a
// process number that is now another process's.
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Makes `programFolder` when it is missing.
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this copy is the one that runs (it now holds the lock and
    // listens); false when another copy already runs in the folder.
    bool acquire();
    // Asks the running copy to show its window, waiting up to `timeoutMs`
    // for it to listen (a copy that has just started). True when the
    // request was delivered.
    bool activateRunning(int timeoutMs = 3000);

    QString lockPath() const { return lockPath_; }
    // The program folder as the lock and the socket name know it.
    QString folder() const { return folder_; }
    QString serverName() const { return serverName_; }

Q_SIGNALS:
    // Another copy was started and asks for this copy's window.
    void activationRequested();

private:
    void listen();
    // A running copy answers on the folder's socket.
    bool answers() const;
    void onNewConnection();

    QString folder_;
    QString lockPath_;
    QString serverName_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};
