#include "tests/testsupport.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QThread>

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

} // namespace testsupport
