#include "shell/settings/savesettings.h"

#include "core/globals.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"

#include <QFileInfo>

namespace savesettings {
namespace {

using settingsfile::SettingsValues;
using settingsfile::Value;

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

bool isWholeAtLeastOne(const QString& text)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return text.toInt() >= 1;
}

} // namespace

std::optional<SaveCheckFailure> checkRunSettings(const SaveCheckInput& in)
{
    auto fail = [](const char* message, const char* focus) {
        return std::optional<SaveCheckFailure>(
            SaveCheckFailure{QString::fromLatin1(message), QString::fromLatin1(focus)});
    };
    if (!in.ftp) {
        if (in.dataType.trimmed() != QLatin1String("3") && in.dataFile.trimmed().isEmpty())
            return fail("Please enter/select a Data File.", "cmdDataFileBrowser");
    } else {
        if (in.ftpFilename.trimmed().isEmpty())
            return fail("Please enter a FTP Filename.", "txtFTPFilename");
        if (in.ftpServer.trimmed().isEmpty())
            return fail("Please enter a FTP Server.", "txtFTPServer");
        if (in.ftpUsername.trimmed().isEmpty())
            return fail("Please enter a FTP Username.", "txtFTPUsername");
        if (in.ftpPassword.trimmed().isEmpty())
            return fail("Please enter a FTP Password.", "txtFTPPassword");
    }
    if (in.imageFilename.trimmed().isEmpty())
        return fail("Please enter/select an Image File.", "txtImageFilename");
    const QString dwell = in.dwellTime.trimmed();
    if (dwell.isEmpty())
        return fail("Please enter Dwell Time.", "txtDwellTime");
    if (!isWholeAtLeastOne(dwell))
        return fail("Please enter Dwell Time as a whole number of seconds (1 or more).", "txtDwellTime");
    if (in.playListRows <= 0)
        return fail("Please add at least one template", "");
    return std::nullopt;
}

BuiltSettings buildSettings(const PanelTexts& in)
{
    BuiltSettings out;
    SettingsValues& v = out.values;
    auto trimmed = [](const QString& s) { return Value::set(s.trimmed()); };

    v.status = Value::set(in.status);
    v.dataType = Value::set(in.dataType);
    v.retrieveType = Value::set(flagText(in.ftp));
    if (!in.ftp) {
        v.dataFile = trimmed(in.dataFile);
        v.bookingDataFile = trimmed(in.bookingDataFile);
        if (v.dataFile.isEmpty()) {
            // Hand-kept records have no data file: an empty field must not
            // throw them away.
            out.clear.igRDM = in.dataType.trimmed() != QLatin1String("3");
            out.clear.igRADE = true;
        }
        out.clear.igBook = v.bookingDataFile.isEmpty();
    } else {
        v.ftpFilename = Value::set(in.ftpFilename);
        v.ftpServer = Value::set(in.ftpServer);
        v.ftpUsername = Value::set(in.ftpUsername);
        v.ftpPassword = Value::set(in.ftpPassword);
        v.ftpBookingFilename = Value::set(in.ftpBookingFilename);
    }
    v.idLookupDataFile = trimmed(in.idLookupDataFile);
    out.clear.igIDLookup = v.idLookupDataFile.isEmpty();
    v.standAlone = Value::set(flagText(in.standAlone));
    v.dwellTime = trimmed(in.dwellTime);
    v.imageFile = trimmed(in.imageFilename);

    v.dayTimeValidity = Value::set(flagText(in.dayTimeValidity));
    v.validStartTime = trimmed(in.validStartTime);
    v.validEndTime = trimmed(in.validEndTime);
    v.validStartDays = trimmed(in.validStartDays);
    v.validEndDays = trimmed(in.validEndDays);

    v.assignedField = trimmed(in.assignedField);
    v.assignedLocation = trimmed(in.assignedLocation);

    v.sortType = trimmed(in.sortType);
    v.sortGroup = trimmed(in.sortGroup);
    v.sortLine = trimmed(in.sortLine);

    v.layoutMode = Value::set(flagText(in.landscape));
    v.width = trimmed(in.screenWidth);
    v.height = trimmed(in.screenHeight);
    v.rotation = trimmed(in.rotation);
    v.listNumber = Value::set(QString::number(in.playList.size()));
    v.playList = in.playList;
    return out;
}

void storeGlobals(const SettingsValues& v)
{
    const std::pair<const Value*, QString*> map[] = {
        {&v.retrieveType, &gstrRetrieveType},
        {&v.dataFile, &gstrDataFile},
        {&v.bookingDataFile, &gstrBookingDataFile},
        {&v.ftpFilename, &gstrFTPFilename},
        {&v.ftpServer, &gstrFTPServer},
        {&v.ftpUsername, &gstrFTPUsername},
        {&v.ftpPassword, &gstrFTPPassword},
        {&v.ftpBookingFilename, &gstrFTPBookingFilename},
        {&v.idLookupDataFile, &gstrIDLookupDataFile},
        {&v.standAlone, &gstrStandAlone},
        {&v.dwellTime, &gstrDwellTime},
        {&v.imageFile, &gstrImageFile},
        {&v.dayTimeValidity, &gstrDayTimeValidity},
        {&v.validStartTime, &gstrValidStartTime},
        {&v.validEndTime, &gstrValidEndTime},
        {&v.validStartDays, &gstrValidStartDays},
        {&v.validEndDays, &gstrValidEndDays},
        {&v.assignedField, &gstrAssignedField},
        {&v.assignedLocation, &gstrAssignedLocation},
        {&v.sortType, &gstrSortType},
        {&v.sortGroup, &gstrSortGroup},
        {&v.sortLine, &gstrSortLine},
        {&v.layoutMode, &gstrLayoutMode},
        {&v.width, &gstrScreenWidth},
        {&v.height, &gstrScreenHeight},
        {&v.rotation, &gstrRotation},
    };
    for (const auto& [value, global] : map)
        if (!value->isMissing())
            *global = value->text;
}

void clearGrids(DataGrids& grids, const GridsToClear& clear)
{
    if (clear.igRDM)
        grids.igRDM.Clear();
    if (clear.igRADE)
        grids.igRADE.Clear();
    if (clear.igBook)
        grids.igBook.Clear();
    if (clear.igIDLookup)
        grids.igIDLookup.Clear();
}

bool saveSettings(const QString& path, const PanelTexts& in, DataGrids& grids, QString* error)
{
    BusyGuard busy;
    const BuiltSettings built = buildSettings(in);
    storeGlobals(built.values);
    clearGrids(grids, built.clear);
    QString err;
    if (settingsfile::writeSettingsFile(path, built.values, &err))
        return true;
    statusMessage(QStringLiteral("!!!The settings could not be saved: ") + err);
    if (error)
        *error = err;
    return false;
}

bool saveDisplaySettings(const QString& path, const QString& status, bool landscape, const QString& rotation,
                         QString* error)
{
    BusyGuard busy;
    QString err;
    IniDocument doc;
    const QFileInfo info(path);
    bool ok = true;
    if (info.isDir()) {
        err = QStringLiteral("\"%1\" is a folder.").arg(path);
        ok = false;
    } else if (info.exists()) {
        QString text;
        ok = textfile::readText(path, text, &err, textfile::kMaxSmallFileBytes);
        if (ok)
            doc = IniDocument::fromText(text);
    }

    gstrLayoutMode = flagText(landscape);
    gstrRotation = rotation.trimmed();
    if (ok) {
        using namespace settingsfile;
        doc.set(kSettings, QStringLiteral("Status"), status);
        doc.set(kTemplates, QStringLiteral("Mode"), gstrLayoutMode);
        doc.set(kTemplates, QStringLiteral("Width"), gstrScreenWidth.trimmed());
        doc.set(kTemplates, QStringLiteral("Height"), gstrScreenHeight.trimmed());
        doc.set(kTemplates, QStringLiteral("Rotation"), gstrRotation);
        ok = IniFile(path).save(doc, &err);
    }
    if (ok)
        return true;
    statusMessage(QStringLiteral("!!!The settings could not be saved: ") + err);
    if (error)
        *error = err;
    return false;
}

} // namespace savesettings
