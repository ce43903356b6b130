#pragma once
// Small helpers shared by the tests.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// Folder of checked-in test data (tests/data).
QString dataDir();

// Every file below tests/data/fuzz/<name>, for corpus replay tests.
QStringList fuzzCorpus(const QString& name);

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

} // namespace testsupport
