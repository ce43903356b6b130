#pragma once
// Small helpers shared by the tests.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

#include "platform/services.h"
#include "platform/videoplayer.h"

#include <vector>

#include <functional>

namespace testsupport {

// Folder of checked-in test data (tests/data).
QString dataDir();

// Every file below tests/data/fuzz/<name>, for corpus replay tests.
QStringList fuzzCorpus(const QString& name);

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

// Answers every message box with `answer` and records what was shown. It
// installs itself while it lives.
class RecordedMessages final : public MessageSink {
public:
    explicit RecordedMessages(MsgAnswer answer = MsgAnswer::Ok);
    ~RecordedMessages() override;
    MsgAnswer show(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons) override;
    // The texts, each followed by " (!)" when it had the exclamation icon.
    QStringList marked() const;
    void clear();

    MsgAnswer answer;
    QStringList texts;
    QStringList titles;
    std::vector<MsgIcon> icons;
};

// Answers every open and save dialog with `answer` (empty: the user
// cancels) and keeps what the last dialog was asked to show. It installs
// itself while it lives.
class ScriptedFiles final : public FileChooser {
public:
    ScriptedFiles();
    ~ScriptedFiles() override;
    bool chooseOpen(const QString& title, const QString& folder, const QString& filter, QString& path) override;
    bool chooseSave(const QString& title, const QString& folder, const QString& filter, const QString& suggested,
                    bool confirmOverwrite, QString& path) override;

    QString answer;
    int asked = 0;  // dialogs of either kind
    int opened = 0; // open dialogs
    QString lastTitle, lastFolder, lastFilter, lastSuggested;
    bool lastConfirm = false;

private:
    bool answerWith(const QString& title, const QString& folder, const QString& filter, QString& path);
};

// A video player without a media framework. A file in `playable` opens
// with a video stream (one in `audioOnly` without), any other fails; play,
// pause, stop and seeks take effect at once, and `calls` records them
// ("load <file>", "unload", "play", "pause", "stop", "seek <s>").
class FakeVideo final : public VideoPlayer {
public:
    bool load(const QString& file) override;
    void unload() override;
    bool hasVideo() const override { return !file.isEmpty() && !audioOnly.contains(file); }
    bool hasAudio() const override { return !file.isEmpty(); }
    QSize videoSize() const override { return hasVideo() ? QSize(320, 240) : QSize(); }
    double duration() const override { return file.isEmpty() ? 0 : length; }
    double position() const override { return file.isEmpty() ? 0 : at; }
    void setPosition(double seconds) override;
    void play() override;
    void pause() override;
    void stop() override;
    State state() const override { return playState; }
    double rate() const override { return speed; }
    void setRate(double r) override { speed = r; }
    void setVolume(double linear) override { volume = linear; }
    void setVisible(bool v) override { visible = v && !file.isEmpty(); }
    void passInputToHost() override {}

    QStringList playable, audioOnly;
    double length = 10;
    QString file; // the open file, "" for none
    double at = 0;
    double speed = 1;
    double volume = 1;
    bool visible = false;
    State playState = State::Stopped;
    QStringList calls;
};

// A clock that stands still at `at` until a test moves it. It installs
// itself while it lives.
class FixedClock final : public Clock {
public:
    FixedClock();
    explicit FixedClock(const QDateTime& at);
    ~FixedClock() override;
    QDateTime now() const override { return at; }
    QDateTime at{QDate(2024, 3, 7), QTime(14, 5, 9)};
};

// The local time zone, while it lives, is `zone` (a name such as
// "Europe/Berlin"), as on a board set up there; the zone before comes back
// after.
class LocalZone {
public:
    explicit LocalZone(const char* zone);
    ~LocalZone();
    LocalZone(const LocalZone&) = delete;
    LocalZone& operator=(const LocalZone&) = delete;

private:
    bool had_;
    QByteArray before_;
};

// Esc and the right mouse button as a test holds them; `pressAfter` > 0
// makes Esc go down on that read (counting reads of either key). It
// installs itself while it lives.
class HeldKeys final : public KeyState {
public:
    HeldKeys();
    ~HeldKeys() override;
    bool escapeDown() override;
    bool rightButtonDown() override;

    bool escape = false;
    bool right = false;
    int pressAfter = 0;
    int reads = 0;
};

// A notification area that is there when `present` says so. It installs
// itself while it lives.
class FakeNotificationArea final : public NotificationArea {
public:
    explicit FakeNotificationArea(bool there = false);
    ~FakeNotificationArea() override;
    bool available() override { return present; }

    bool present;
};

// Picks `answer` in every colour dialog; an invalid colour cancels the
// dialog. It installs itself while it lives.
class ChosenColors final : public ColorChooser {
public:
    ChosenColors();
    ~ChosenColors() override;
    bool choose(const QColor& start, QColor& chosen) override;

    QColor answer;
};

// The status log's texts without their date and time.
QStringList logTexts();

// Runs the event loop until `done` holds or `timeoutMs` has passed; false on time-out.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 3000);
// Runs the event loop for `ms` milliseconds.
void pump(int ms);

} // namespace testsupport

// Test failures print texts as texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
