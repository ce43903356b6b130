#pragma once
// A board's program folder for the benches that run a whole board: its
// record file and the settings every such board shares. Each bench adds its
// own keys before saving.
#include "platform/inifile.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QList>

namespace boardsetup {

// Writes the record file: each row's fields, padded to the 20 record lines,
// and a validity cell that holds every day.
inline bool writeRecords(const QString& path, const QList<QByteArrayList>& rows)
{
    QByteArray records;
    for (QByteArrayList fields : rows) {
        while (fields.size() < 20)
            fields << QByteArray();
        records += fields.join('\t') + "\t00:00|00:00|0|0\r\n";
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(records) == records.size();
}

// Player mode on the program's own record file `dataFile`, pages saved as
// "Page.png" of `width` x `height`.
inline IniDocument playerSettings(const QString& dataFile, bool standAlone, int width, int height)
{
    IniDocument settings;
    const auto put = [&settings](const char* section, const char* key, const QString& value) {
        settings.set(QLatin1String(section), QLatin1String(key), value);
    };
    put("SETTINGS", "Status", QStringLiteral("1"));
    put("SETTINGS", "Data Type", QStringLiteral("3"));
    put("SETTINGS", "Data File", dataFile);
    put("SETTINGS", "Stand Alone", QLatin1String(standAlone ? "1" : "0"));
    put("SETTINGS", "Image File", QStringLiteral("Page.png"));
    put("TEMPLATES", "Width", QString::number(width));
    put("TEMPLATES", "Height", QString::number(height));
    return settings;
}

} // namespace boardsetup
