#include "tests/testsupport.h"

#include "platform/statuslog.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QThread>

#include <ctime>

namespace testsupport {

QString dataDir()
{
    const QString env = qEnvironmentVariable("ORV_TEST_DATA");
    if (!env.isEmpty())
        return env;
    return QStringLiteral(ORV_SOURCE_DIR "/tests/data");
}

QStringList fuzzCorpus(const QString& name)
{
    QStringList files;
    QDirIterator it(dataDir() + "/fuzz/" + name, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

RecordedMessages::RecordedMessages(MsgAnswer a)
    : answer(a)
{
    services::setMessages(this);
}

RecordedMessages::~RecordedMessages()
{
    if (&services::messages() == this)
        services::setMessages(nullptr);
}

MsgAnswer RecordedMessages::show(const QString& title, const QString& text, MsgIcon icon, MsgButtons)
{
    texts << text;
    titles << title;
    icons.push_back(icon);
    return answer;
}

QStringList RecordedMessages::marked() const
{
    QStringList out;
    for (qsizetype i = 0; i < texts.size(); ++i)
        out << texts[i] + (icons[size_t(i)] == MsgIcon::Exclamation ? QStringLiteral(" (!)") : QString());
    return out;
}

void RecordedMessages::clear()
{
    texts.clear();
    titles.clear();
    icons.clear();
}

ScriptedFiles::ScriptedFiles()
{
    services::setFiles(this);
}

ScriptedFiles::~ScriptedFiles()
{
    if (&services::files() == this)
        services::setFiles(nullptr);
}

bool ScriptedFiles::chooseOpen(const QString& title, const QString& folder, const QString& filter, QString& path)
{
    ++opened;
    return answerWith(title, folder, filter, path);
}

bool ScriptedFiles::chooseSave(const QString& title, const QString& folder, const QString& filter,
                               const QString& suggested, bool confirmOverwrite, QString& path)
{
    lastSuggested = suggested;
    lastConfirm = confirmOverwrite;
    return answerWith(title, folder, filter, path);
}

bool ScriptedFiles::answerWith(const QString& title, const QString& folder, const QString& filter, QString& path)
{
    ++asked;
    lastTitle = title;
    lastFolder = folder;
    lastFilter = filter;
    if (answer.isEmpty())
        return false;
    path = answer;
    return true;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

void pump(int ms)
{
    waitFor([] { return false; }, ms);
}

bool FakeVideo::load(const QString& f)
{
    calls << QStringLiteral("load ") + f;
    file = (playable.contains(f) || audioOnly.contains(f)) ? f : QString();
    at = 0;
    playState = State::Stopped;
    return !file.isEmpty();
}

void FakeVideo::unload()
{
    calls << QStringLiteral("unload");
    file.clear();
    visible = false;
    playState = State::Stopped;
}

void FakeVideo::setPosition(double seconds)
{
    calls << QStringLiteral("seek ") + QString::number(seconds);
    at = seconds;
}

void FakeVideo::play()
{
    calls << QStringLiteral("play");
    playState = State::Playing;
}

void FakeVideo::pause()
{
    calls << QStringLiteral("pause");
    playState = State::Paused;
}

void FakeVideo::stop()
{
    calls << QStringLiteral("stop");
    playState = State::Stopped;
}

LocalZone::LocalZone(const char* zone)
    : had_(qEnvironmentVariableIsSet("TZ"))
    , before_(qgetenv("TZ"))
{
    qputenv("TZ", zone);
    tzset();
}

LocalZone::~LocalZone()
{
    if (had_)
        qputenv("TZ", before_);
    else
        qunsetenv("TZ");
    tzset();
}

FixedClock::FixedClock()
{
    services::setClock(this);
}

FixedClock::FixedClock(const QDateTime& when)
    : at(when)
{
    services::setClock(this);
}

FixedClock::~FixedClock()
{
    services::setClock(nullptr);
}

FakeNotificationArea::FakeNotificationArea(bool there)
    : present(there)
{
    services::setNotificationArea(this);
}

FakeNotificationArea::~FakeNotificationArea()
{
    services::setNotificationArea(nullptr);
}

ChosenColors::ChosenColors()
{
    services::setColors(this);
}

ChosenColors::~ChosenColors()
{
    services::setColors(nullptr);
}

bool ChosenColors::choose(const QColor&, QColor& chosen)
{
    if (!answer.isValid())
        return false;
    chosen = answer;
    return true;
}

QStringList logTexts()
{
    QStringList out;
    for (const QString& line : StatusLog::instance().lines())
        out << line.mid(line.indexOf(QStringLiteral(" - ")) + 3);
    return out;
}

HeldKeys::HeldKeys()
{
    services::setKeys(this);
}

HeldKeys::~HeldKeys()
{
    services::setKeys(nullptr);
}

bool HeldKeys::escapeDown()
{
    ++reads;
    if (pressAfter > 0 && reads >= pressAfter)
        escape = true;
    return escape;
}

bool HeldKeys::rightButtonDown()
{
    ++reads;
    return right;
}

} // namespace testsupport
