#include "records/convert.h"

#include "core/globals.h"
#include "core/modmain.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "records/readers.h"

#include <QFileInfo>

namespace records {
namespace {

class FileSource final : public Source {
public:
    explicit FileSource(textfile::InputFile& file)
        : file_(file)
    {
    }
    qint64 read(char* to, qint64 size, QString* error) override { return file_.read(to, size, error); }
    bool seek(qint64 pos, QString* error) override { return file_.seek(pos, error); }

private:
    textfile::InputFile& file_;
};

// Reads the rest of a file and drops it: a source that cannot be read fails
// whether or not a reader takes it.
bool readThrough(textfile::InputFile& file, QString* error)
{
    QByteArray piece(kBlockBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(piece.data(), piece.size(), error);
        if (got <= 0)
            return got == 0;
    }
}

// True when the record file at `path` holds at least one record line: any
// character but line ends (and a BOM). A file that cannot be read counts as
// holding records, so that nothing replaces what may still be there.
bool holdsRecords(const QString& path)
{
    if (!QFileInfo::exists(path))
        return false;
    textfile::InputFile file;
    if (!file.open(path))
        return true;
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    bool first = true;
    for (;;) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got < 0)
            return true;
        if (got == 0)
            return false;
        QByteArrayView bytes(piece.constData(), qsizetype(got));
        if (first && bytes.startsWith("\xEF\xBB\xBF"))
            bytes = bytes.sliced(3);
        first = false;
        for (const char c : bytes)
            if (c != '\r' && c != '\n')
                return true;
    }
}

} // namespace

ConvertStatus convertFile(const QString& sourcePath, const QString& dataType, const QString& target, QString* error)
{
    // A file fetched from a server keeps the server's spelling of its name,
    // which may differ in letter case from the name in the settings.
    QString source = sourcePath;
    if (!source.isEmpty() && !modMain::blnFileExists(source)) {
        const QFileInfo info(source);
        source = paths::resolve(info.path(), info.fileName());
    }
    if (!modMain::blnFileExists(source))
        return ConvertStatus::Missing;
    textfile::InputFile file;
    if (!file.open(source, error))
        return ConvertStatus::Failed;
    const Reader reader = selectReader(dataType, source);
    if (reader == Reader::None)
        return readThrough(file, error) ? ConvertStatus::NoReader : ConvertStatus::Failed;
    FileSource in(file);
    bool noRecords = false;
    const auto output = [&](const atomicfile::Produce& produce) {
        return atomicfile::writeStream(
            target,
            [&](const atomicfile::Put& put) {
                qint64 written = 0;
                const bool produced = produce([&](const char* data, qsizetype size) {
                    written += size;
                    return put(data, size);
                });
                // Every record line ends in CRLF: no byte, no record.
                noRecords = produced && written == 0 && holdsRecords(target);
                return produced && !noRecords;
            },
            error);
    };
    if (convertSource(reader, in, output, error))
        return ConvertStatus::Converted;
    return noRecords ? ConvertStatus::NoRecords : ConvertStatus::Failed;
}

} // namespace records

void ConvertDataFile(const QString& source, bool& ok)
{
    QString error;
    switch (records::convertFile(source, gstrDataType, gstrWorkingDataFile, &error)) {
    case records::ConvertStatus::Converted:
        ok = true;
        return;
    case records::ConvertStatus::NoReader:
        statusMessage(QStringLiteral("!!! No converter matches Data Type \"%1\" and the file \"%2\"; "
                                     "the working record file was left as it was.")
                          .arg(gstrDataType, source));
        ok = true;
        return;
    case records::ConvertStatus::Missing:
        statusMessage(QStringLiteral("No data file to convert."));
        ok = false;
        return;
    case records::ConvertStatus::NoRecords:
        modMain::reportProblem(QStringLiteral("\"%1\" holds no record that Data Type \"%2\" can read; the records "
                                              "kept before were left as they were.")
                                   .arg(source, gstrDataType),
                               MsgIcon::Exclamation);
        ok = false;
        return;
    case records::ConvertStatus::Failed:
        modMain::reportProblem(error, MsgIcon::None);
        ok = false;
        return;
    }
}
