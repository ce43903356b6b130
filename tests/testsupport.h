#pragma once
// Small helpers shared by the tests.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace testsupport {

// Folder of checked-in test data (tests/data).
QString dataDir();

// Every file below tests/data/fuzz/<name>, for corpus replay tests.
QStringList fuzzCorpus(const QString& name);

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

// Runs the event loop until `done` holds or `timeoutMs` has passed; false on time-out.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 3000);
// Runs the event loop for `ms` milliseconds.
void pump(int ms);

} // namespace testsupport
