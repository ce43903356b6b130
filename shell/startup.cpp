#include "shell/startup.h"

#include "core/globals.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"
#include "platform/statuslog.h"

#include <QDir>
#include <QFileInfo>

namespace startup {

QString mainCaption()
{
    return QStringLiteral("ZQ Rizura Vivud %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

WindowRect placeMainWindow(int screenWidth, int screenHeight, int windowWidth, int windowHeight)
{
    WindowRect r{0, 0, windowWidth, windowHeight};
    if (screenWidth >= windowWidth && screenHeight >= windowHeight) {
        r.left = (screenWidth - windowWidth) / 2;
        r.top = (screenHeight - windowHeight) / 2;
        return r;
    }
    if (screenWidth < r.width) {
        r.width = screenWidth;
        r.left = 0;
        r.top = (screenHeight - r.height) / 2;
    }
    if (screenHeight < r.height) {
        r.height = screenHeight - kShrinkMargin;
        r.left = (screenWidth - r.width) / 2;
        r.top = 0;
    }
    return r;
}

QStringList createProgramFolders()
{
    QStringList created;
    const QStringList folders{gstrDataFolder, gstrMediaFolder, gstrRemoteFolder, gstrTemplatesFolder, gstrMTLFolder};
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo info(folder);
        if (info.exists()) {
            if (!info.isDir())
                statusMessage(QStringLiteral("!!!A file stands where the folder %1 should be.").arg(folder));
            continue;
        }
        if (QDir().mkpath(folder))
            created << folder;
        else
            statusMessage(QStringLiteral("!!!Could not create the folder %1.").arg(folder));
    }
    return created;
}

int removeStaleTemporaries()
{
    QStringList folders{gstrProgramFolder, gstrDataFolder,      gstrMediaFolder,
                        gstrRemoteFolder,  gstrTemplatesFolder, gstrMTLFolder};
    // The local player's folders count too: every page and the player's
    // settings file are written there while a board runs.
    if (!gstrPlayerFolder.isEmpty())
        folders << paths::join(gstrPlayerFolder, QStringLiteral("Media"))
                << paths::join(gstrPlayerFolder, QStringLiteral("Settings"));
    int removed = 0;
    for (const QString& folder : folders)
        if (!folder.isEmpty())
            removed += atomicfile::removeStaleTemporaries(folder);
    return removed;
}

} // namespace startup
