#include "shell/settings/settingsload.h"

#include "core/ftpcopies.h"
#include "core/globals.h"
#include "platform/paths.h"
#include "platform/vbvalue.h"
#include "shell/settings/settingsfile.h"

#include <set>

namespace settingsload {
namespace {

using settingsfile::Value;

// The value of a key whose absence and emptiness both give `fallback`.
QString orDefault(const Value& v, const QString& fallback)
{
    return v.isSet() ? v.text : fallback;
}

// A key that keeps the current value when absent or empty.
std::optional<QString> whenSet(const Value& v)
{
    return v.isSet() ? std::optional<QString>(v.text) : std::nullopt;
}

// A switch: "1" on, anything else off; `missing` when the key is absent;
// nothing (keep) when it is empty.
std::optional<QString> flag(const Value& v, const QString& missing)
{
    if (v.isMissing())
        return missing;
    if (v.isEmpty())
        return std::nullopt;
    return v.text == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0");
}

// One side of the screen size: nothing keeps the current side; `tooLarge`
// when it is a whole number above kMaxScreenSide.
struct ScreenSide {
    std::optional<QString> value;
    bool tooLarge = false;
};

ScreenSide screenSide(const Value& v, const QString& missing, const QString& what, QStringList* log)
{
    if (v.isMissing())
        return {missing};
    if (v.isEmpty())
        return {};
    QStringView digits(v.text);
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits = digits.mid(1);
    bool number = true;
    for (const QChar c : digits)
        number = number && c.isDigit() && c.unicode() < 128;
    if (number && (digits.size() > 6 || digits.toInt() > kMaxScreenSide))
        return {std::nullopt, true};
    const int n = number ? digits.toInt() : 0;
    if (n < 1) {
        if (log)
            *log << QStringLiteral("!!!The screen %1 \"%2\" in the settings file is not a usable size; "
                                   "the current one is kept.")
                        .arg(what, v.text);
        return {};
    }
    return {QString::number(n)};
}

bool isPlayListKey(const QString& key, qint64 limit, qint64& number)
{
    if (key.isEmpty() || key.size() > 18 || key.front() == QLatin1Char('0'))
        return false;
    for (const QChar c : key)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    number = key.toLongLong();
    return number >= 1 && number <= limit;
}

} // namespace

QString readStatus(const IniDocument& doc)
{
    const auto r = settingsfile::readKey(doc, settingsfile::kSettings, QStringLiteral("Status"), QStringLiteral("0"),
                                         settingsfile::kStatusBuffer);
    return r.present ? r.text : QStringLiteral("0");
}

QString GetStatusSetting(const QString& path)
{
    const auto doc = settingsfile::loadSettingsDocument(path);
    gstrStatus = doc ? readStatus(*doc) : QStringLiteral("0");
    return gstrStatus;
}

bool startsPlayer(const QString& status)
{
    return status == QLatin1String("1");
}

ScreenKeys readScreenKeys(const IniDocument& doc, QStringList* log)
{
    const settingsfile::SettingsValues v = settingsfile::readSettings(doc);
    ScreenKeys s;
    s.layoutMode = v.layoutMode.isSet() ? flag(v.layoutMode, QString()) : std::nullopt;
    const QString defaultWidth = QStringLiteral("768"), defaultHeight = QStringLiteral("1024");
    const ScreenSide width = screenSide(v.width, defaultWidth, QStringLiteral("width"), log);
    const ScreenSide height = screenSide(v.height, defaultHeight, QStringLiteral("height"), log);
    if (width.tooLarge || height.tooLarge) {
        // A board can't hold such a page in memory.
        if (log)
            *log << QStringLiteral("!!!The screen size %1 x %2 in the settings file is larger than %3 pixels a side; "
                                   "the default size %4 x %5 is used.")
                        .arg(v.width.text, v.height.text)
                        .arg(kMaxScreenSide)
                        .arg(defaultWidth, defaultHeight);
        s.width = defaultWidth;
        s.height = defaultHeight;
    } else {
        s.width = width.value;
        s.height = height.value;
    }
    s.rotation = orDefault(v.rotation, QStringLiteral("0"));
    return s;
}

PlayListLoad readPlayList(const IniDocument& doc, QStringList* log)
{
    using namespace settingsfile;
    PlayListLoad out;
    const KeyRead count = readKey(doc, kTemplates, QStringLiteral("List Number"), QStringLiteral("0"));
    const double n = vb::Val(count.text);
    if (!count.present || !(n > 0))
        return out;
    out.replace = true;
    const qint64 limit = vb::RoundWhole(n);

    std::set<qint64> numbers;
    for (const QString& key : doc.keys(kTemplates)) {
        qint64 i = 0;
        if (isPlayListKey(key, limit, i))
            numbers.insert(i);
    }
    for (const qint64 i : numbers) {
        const KeyRead entry = readKey(doc, kTemplates, QString::number(i), QString(), kValueBuffer, log);
        if (!entry.present || entry.text.isEmpty())
            continue;
        if (entry.text.contains(QLatin1Char('\\')) || entry.text.contains(QLatin1Char('/')) ||
            entry.text.contains(QLatin1String(".."))) {
            if (log)
                *log << QStringLiteral("!!!Play-list entry %1 \"%2\" is not a template name; skipped.")
                            .arg(i)
                            .arg(entry.text);
            continue;
        }
        out.entries << entry.text;
    }
    return out;
}

LoadedSettings resolveLoad(const IniDocument& doc)
{
    LoadedSettings ld;
    const settingsfile::SettingsValues v = settingsfile::readSettings(doc, &ld.log);

    ld.assignedField = orDefault(v.assignedField, QString());
    ld.assignedLocation = orDefault(v.assignedLocation, QString());
    ld.sortType = orDefault(v.sortType, QStringLiteral("None"));
    ld.sortGroup = orDefault(v.sortGroup, QString());
    ld.sortLine = orDefault(v.sortLine, QString());

    ld.dataType = orDefault(v.dataType, QStringLiteral("0"));
    const int64_t index = vb::RoundWhole(vb::Val(ld.dataType));
    ld.dataTypeIndex = index >= 0 && index <= 4 ? int(index) : -1;
    const bool ebms = ld.dataType == QLatin1String("2");

    ld.loadDataSource = !v.retrieveType.isEmpty();
    ld.ftp = v.retrieveType.isSet() && v.retrieveType.text == QLatin1String("1");
    ld.idLookupDataFile = whenSet(v.idLookupDataFile);
    ld.loadIDLookup = ld.loadDataSource && ld.idLookupDataFile && ebms;
    ld.dataFile = whenSet(v.dataFile);
    ld.bookingDataFile = whenSet(v.bookingDataFile);
    ld.loadBooking = ld.loadDataSource && !ld.ftp && ld.bookingDataFile && ebms;
    ld.ftpFilename = whenSet(v.ftpFilename);
    ld.ftpServer = whenSet(v.ftpServer);
    ld.ftpUsername = whenSet(v.ftpUsername);
    ld.ftpPassword = whenSet(v.ftpPassword);
    ld.ftpBookingFilename = whenSet(v.ftpBookingFilename);

    ld.standAlone = flag(v.standAlone, QStringLiteral("0"));
    ld.dwellTime = v.dwellTime.isMissing() ? std::optional<QString>(QStringLiteral("10")) : whenSet(v.dwellTime);
    if (v.imageFile.isSet()) {
        const QString name = paths::fileNameOf(v.imageFile.text);
        if (paths::isPlainFileName(name))
            ld.imageFile = name;
        else
            ld.log << QStringLiteral("!!!The Image File \"%1\" in the settings file names no file; "
                                     "the current one is kept.")
                          .arg(v.imageFile.text);
    }
    ld.dayTimeValidity = flag(v.dayTimeValidity, QStringLiteral("0"));
    ld.validStartTime = orDefault(v.validStartTime, QStringLiteral("00:00"));
    ld.validEndTime = orDefault(v.validEndTime, QStringLiteral("00:00"));
    ld.validStartDays = orDefault(v.validStartDays, QStringLiteral("0"));
    ld.validEndDays = orDefault(v.validEndDays, QStringLiteral("0"));

    ld.screen = readScreenKeys(doc, &ld.log);
    ld.playList = readPlayList(doc, &ld.log);
    return ld;
}

void applyAssignedAndSort(const LoadedSettings& ld)
{
    gstrAssignedField = ld.assignedField;
    gstrAssignedLocation = ld.assignedLocation;
    gstrSortType = ld.sortType;
    gstrSortGroup = ld.sortGroup;
    gstrSortLine = ld.sortLine;
}

void applyDataType(const LoadedSettings& ld)
{
    gstrDataType = ld.dataType;
}

QString ftpLocalPath(const QString& dataFolder, const QString& ftpName, QStringList* log)
{
    const QString trimmed = ftpName.trimmed();
    if (trimmed.isEmpty())
        return QString();
    // The fetch and the change watch find the file on the server by the same rule.
    const QString name = paths::namedFile(trimmed);
    if (name.isEmpty()) {
        if (log)
            *log << QStringLiteral("!!!The FTP file \"%1\" names no file; nothing is fetched.").arg(trimmed);
        return QString();
    }
    return paths::join(dataFolder, name);
}

void applyDataSource(LoadedSettings& ld)
{
    if (!ld.loadDataSource)
        return;
    gstrRetrieveType = ld.ftp ? QStringLiteral("1") : QStringLiteral("0");
    if (ld.idLookupDataFile)
        gstrIDLookupDataFile = *ld.idLookupDataFile;
    if (!ld.ftp) {
        gstrDataFile = ld.dataFile ? *ld.dataFile : gstrWorkingDataFile;
        if (ld.bookingDataFile)
            gstrBookingDataFile = *ld.bookingDataFile;
        return;
    }
    if (ld.ftpFilename)
        gstrFTPFilename = *ld.ftpFilename;
    if (ld.ftpServer)
        gstrFTPServer = *ld.ftpServer;
    if (ld.ftpUsername)
        gstrFTPUsername = *ld.ftpUsername;
    if (ld.ftpPassword)
        gstrFTPPassword = *ld.ftpPassword;
    gstrDataFile = ftpLocalPath(gstrDataFolder, gstrFTPFilename, &ld.log);
    if (ld.ftpBookingFilename)
        gstrFTPBookingFilename = *ld.ftpBookingFilename;
    gstrBookingDataFile = ftpLocalPath(gstrDataFolder, gstrFTPBookingFilename, &ld.log);
    // Never the data file's copy: the booking export is not converted as the records.
    const QString own = ftpcopies::bookingCopyName(gstrFTPFilename, gstrFTPBookingFilename);
    if (!gstrBookingDataFile.isEmpty() && !own.isEmpty())
        gstrBookingDataFile = paths::join(gstrDataFolder, own);
}

void applyRunSettings(const LoadedSettings& ld)
{
    if (ld.standAlone)
        gstrStandAlone = *ld.standAlone;
    if (ld.dwellTime)
        gstrDwellTime = *ld.dwellTime;
    if (ld.imageFile)
        gstrImageFile = *ld.imageFile;
    if (ld.dayTimeValidity)
        gstrDayTimeValidity = *ld.dayTimeValidity;
    gstrValidStartTime = ld.validStartTime;
    gstrValidEndTime = ld.validEndTime;
    gstrValidStartDays = ld.validStartDays;
    gstrValidEndDays = ld.validEndDays;
}

void applyScreen(const ScreenKeys& screen)
{
    if (screen.layoutMode)
        gstrLayoutMode = *screen.layoutMode;
    if (screen.width)
        gstrScreenWidth = *screen.width;
    if (screen.height)
        gstrScreenHeight = *screen.height;
    gstrRotation = screen.rotation;
}

ImageFileFields imageFileFields(const QString& mediaFolder, const QString& imageFile)
{
    ImageFileFields f;
    f.fileName = paths::fileNameOf(imageFile.trimmed());
    f.path = paths::join(mediaFolder, f.fileName);
    return f;
}

int resolutionIndex(const QStringList& entries, const QString& width, const QString& height)
{
    const QString text = width + QStringLiteral(" x ") + height;
    return int(entries.indexOf(text));
}

void applyPlayList(Grid& igTemplates, const PlayListLoad& playList)
{
    if (!playList.replace)
        return;
    const QString key = QStringLiteral("Template");
    igTemplates.SetRedraw(false);
    igTemplates.Clear(false);
    for (const QString& entry : playList.entries)
        igTemplates.SetCellValue(igTemplates.AddRow(), key, entry);
    // The rows stay in the order the file stores them: that is the order the
    // user set with Up and Down, and sorting here would undo it on every load.
    if (const int col = igTemplates.ColIndex(key); col > 0)
        igTemplates.AutoSizeColumn(col);
    igTemplates.SetRedraw(true);
}

void applyDefaultRunSettings()
{
    gstrDataType = QStringLiteral("3");
    gstrRetrieveType = QStringLiteral("0");
    gstrFTPFilename.clear();
    gstrFTPServer.clear();
    gstrFTPUsername.clear();
    gstrFTPPassword.clear();
    gstrDataFile.clear();
    gstrFTPBookingFilename.clear();
    gstrIDLookupDataFile.clear();
    gstrStandAlone = QStringLiteral("1");
    gstrDwellTime = QStringLiteral("10");
    gstrImageFile.clear();
    gstrAssignedField.clear();
    gstrAssignedLocation.clear();
    gstrSortType = QStringLiteral("None");
    gstrSortGroup.clear();
    gstrSortLine.clear();
    gstrDayTimeValidity = QStringLiteral("0");
    gstrValidStartTime = QStringLiteral("00:00");
    gstrValidEndTime = QStringLiteral("00:00");
    gstrValidStartDays = QStringLiteral("0");
    gstrValidEndDays = QStringLiteral("0");
}

} // namespace settingsload
