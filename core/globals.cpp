#include "core/globals.h"

#include "platform/paths.h"

void initGlobalPaths(const QString& programFolder, const QString& playerFolder)
{
    gstrProgramFolder = programFolder;
    gstrDataFolder = paths::join(programFolder, QStringLiteral("Data"));
    gstrMediaFolder = paths::join(programFolder, QStringLiteral("Media"));
    gstrRemoteFolder = paths::join(programFolder, QStringLiteral("Remote"));
    gstrTemplatesFolder = paths::join(programFolder, QStringLiteral("Templates"));
    gstrMTLFolder = paths::join(programFolder, QStringLiteral("MasterTemplateLists"));
    gstrSettingsFile = paths::join(programFolder, QStringLiteral("OrvaneSettings.ini"));
    gstrConfirmFile = paths::join(programFolder, QStringLiteral("OrvaneConfirm.txt"));
    gstrWorkingDataFile = paths::join(gstrDataFolder, QStringLiteral("_Orvane.orv"));
    gstrUpdatedRecordsFile = paths::join(gstrDataFolder, QStringLiteral("_UpdatedRecords.orv"));
    gstrLastLoadFile = paths::join(programFolder, QStringLiteral("LastLoad.txt"));
    gstrThemeLayoutFile = paths::join(gstrMediaFolder, QStringLiteral("ThemeLayout.png"));
    gstrPlayerFolder = playerFolder;
}

#include "core/datagrids.h"

DataGrids& dataGrids()
{
    static DataGrids grids;
    return grids;
}
