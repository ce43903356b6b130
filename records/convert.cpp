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
    QByteArray bytes;
    if (!textfile::readBytes(source, bytes, error))
        return ConvertStatus::Failed;
    const Reader reader = selectReader(dataType, source);
    if (reader == Reader::None)
        return ConvertStatus::NoReader;
    QByteArray out;
    if (!convertBytes(reader, bytes, out, error))
        return ConvertStatus::Failed;
    bytes.clear();
    if (!atomicfile::write(target, out, error))
        return ConvertStatus::Failed;
    return ConvertStatus::Converted;
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
    case records::ConvertStatus::Failed:
        services::message(error, MsgIcon::None, MsgButtons::Ok);
        ok = false;
        return;
    }
}
