#include "shell/settings/settingsfile.h"

#include "platform/statuslog.h"
#include "platform/textfile.h"

#include <QFileInfo>

namespace settingsfile {

Value Value::set(const QString& text)
{
    if (text.isEmpty())
        return empty();
    return {KeyState::Set, text};
}

const std::vector<KeyInfo>& keyTable()
{
    using S = SettingsValues;
    static const std::vector<KeyInfo> table = {
        {kSettings, QStringLiteral("Status"), &S::status, QStringLiteral("0")},
        {kSettings, QStringLiteral("Data Type"), &S::dataType, QStringLiteral("0")},
        {kSettings, QStringLiteral("Retrieve Type"), &S::retrieveType, QStringLiteral("0")},
        {kSettings, QStringLiteral("Data File"), &S::dataFile, QString()},
        {kSettings, QStringLiteral("Booking Data File"), &S::bookingDataFile, QString()},
        {kSettings, QStringLiteral("FTP Filename"), &S::ftpFilename, QString(), true},
        {kSettings, QStringLiteral("FTP Server"), &S::ftpServer, QString(), true},
        {kSettings, QStringLiteral("FTP Username"), &S::ftpUsername, QString(), true},
        {kSettings, QStringLiteral("FTP Password"), &S::ftpPassword, QString(), true},
        {kSettings, QStringLiteral("FTP Booking Filename"), &S::ftpBookingFilename, QString(), true},
        {kSettings, QStringLiteral("ID Lookup Data File"), &S::idLookupDataFile, QString()},
        {kSettings, QStringLiteral("Stand Alone"), &S::standAlone, QStringLiteral("0")},
        {kSettings, QStringLiteral("Dwell Time"), &S::dwellTime, QStringLiteral("10")},
        {kSettings, QStringLiteral("Image File"), &S::imageFile, QString()},
        {kDayTimeValidation, QStringLiteral("Day Time Validity"), &S::dayTimeValidity, QStringLiteral("0")},
        {kDayTimeValidation, QStringLiteral("Valid Start Time"), &S::validStartTime, QString()},
        {kDayTimeValidation, QStringLiteral("Valid End Time"), &S::validEndTime, QString()},
        {kDayTimeValidation, QStringLiteral("Valid Start Days"), &S::validStartDays, QString()},
        {kDayTimeValidation, QStringLiteral("Valid End Days"), &S::validEndDays, QString()},
        {kAssignedSettings, QStringLiteral("Assigned Field"), &S::assignedField, QString()},
        {kAssignedSettings, QStringLiteral("Assigned Location"), &S::assignedLocation, QString()},
        {kSortSettings, QStringLiteral("Type"), &S::sortType, QStringLiteral("None")},
        {kSortSettings, QStringLiteral("Group"), &S::sortGroup, QString()},
        {kSortSettings, QStringLiteral("Line"), &S::sortLine, QString()},
        {kTemplates, QStringLiteral("Mode"), &S::layoutMode, QString()},
        {kTemplates, QStringLiteral("Width"), &S::width, QStringLiteral("768")},
        {kTemplates, QStringLiteral("Height"), &S::height, QStringLiteral("1024")},
        {kTemplates, QStringLiteral("Rotation"), &S::rotation, QStringLiteral("0")},
        {kTemplates, QStringLiteral("List Number"), &S::listNumber, QStringLiteral("0")},
    };
    return table;
}

IniDocument renderSettings(const SettingsValues& values)
{
    IniDocument doc;
    for (const KeyInfo& k : keyTable()) {
        const Value& v = values.*k.member;
        if (!v.isMissing())
            doc.set(k.section, k.key, protectedIniValue(v.text));
    }
    if (!values.listNumber.isMissing()) {
        for (int i = 0; i < values.playList.size(); ++i)
            doc.set(kTemplates, QString::number(i + 1), protectedIniValue(values.playList[i]));
    }
    return doc;
}

bool writeSettingsFile(const QString& path, const SettingsValues& values, QString* error)
{
    return IniFile(path).save(renderSettings(values), error);
}

std::optional<IniDocument> loadSettingsDocument(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    QString text;
    QString why;
    if (!textfile::readText(path, text, &why, textfile::kMaxSmallFileBytes)) {
        statusMessage(QStringLiteral("!!!The settings file could not be read: ") + why);
        return std::nullopt;
    }
    return IniDocument::fromText(text);
}

KeyRead readKey(const IniDocument& doc, const QString& section, const QString& key, const QString& def, int bufSize,
                QStringList* log, bool asTyped)
{
    KeyRead r;
    QString out;
    r.present = doc.read(section, key, def, out, bufSize) >= 1;
    // The read trimmed the value before it stripped its quotes. Blanks inside
    // the quotes of a value written as typed were put there on purpose (an
    // FTP password) and stay, unless the cut left them at its end. Every
    // other value is saved trimmed, so blanks in its quotes come from a hand
    // edit (Status=" 1 "), which boards have always read trimmed.
    const auto whole = doc.value(section, key);
    const bool cut = whole && bufSize > 1 && whole->size() > bufSize - 1;
    r.text = asTyped && !cut ? out : out.trimmed();
    // The cut stays (boards read the same), but a shortened path or name
    // must not pass unnoticed.
    if (log && cut)
        *log << QStringLiteral("!!!The value of \"%1\" in [%2] is longer than %3 characters; only its first "
                               "%3 are used.")
                    .arg(key, section)
                    .arg(bufSize - 1);
    return r;
}

SettingsValues readSettings(const IniDocument& doc, QStringList* log)
{
    SettingsValues values;
    for (const KeyInfo& k : keyTable()) {
        if (!doc.value(k.section, k.key))
            continue; // stays Missing
        values.*k.member = Value::set(readKey(doc, k.section, k.key, QString(), kValueBuffer, log, k.asTyped).text);
    }
    return values;
}

} // namespace settingsfile
