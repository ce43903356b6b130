#include "shell/settings/fenwold.h"

#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/services.h"

#include <QFileInfo>
#include <QProcess>

namespace fenwold {
namespace {

class SystemLauncher : public Launcher {
public:
    bool startDetached(const QString& program) override
    {
        return QProcess::startDetached(program, QStringList());
    }
};

bool isProgramFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

} // namespace

Launcher& systemLauncher()
{
    static SystemLauncher launcher;
    return launcher;
}

QString siblingExecutable(const QString& programFolder)
{
    for (const QString& name : {QStringLiteral("Fenwold"), QStringLiteral("Fenwold.exe")}) {
        const QString path = paths::resolve(programFolder, name);
        if (isProgramFile(path))
            return path;
    }
    return QString();
}

bool WriteFNWSettings(const QString& path, int dataSourceIndex, const QString& dataFile)
{
    QString type;
    if (dataSourceIndex == 0)
        type = QStringLiteral("TAMRISK");
    else if (dataSourceIndex == 1)
        type = QStringLiteral("DELPHI");
    else
        return false;
    IniDocument doc;
    doc.set(kSection, QStringLiteral("Last Loaded Event Type"), type);
    doc.set(kSection, QStringLiteral("Last Loaded File"), dataFile);
    return IniFile(path).save(doc);
}

Decision decide(bool editorMode, int dataSourceIndex, bool executableExists)
{
    Decision d;
    if (!editorMode) {
        if (dataSourceIndex != 0 && dataSourceIndex != 1) {
            d.message = kOnlyWorksWith;
            return d;
        }
        d.writeSettings = true;
    }
    d.start = executableExists;
    if (!executableExists)
        d.message = kCantLoad;
    return d;
}

void launch(bool editorMode, int dataSourceIndex, const QString& dataFile, const QString& programFolder,
            Launcher& launcher)
{
    const QString exe = siblingExecutable(programFolder);
    const Decision d = decide(editorMode, dataSourceIndex, !exe.isEmpty());
    if (d.writeSettings)
        WriteFNWSettings(paths::join(programFolder, kSettingsFileName), dataSourceIndex, dataFile);
    if (d.start)
        launcher.startDetached(exe);
    if (!d.message.isEmpty())
        services::message(d.message);
}

} // namespace fenwold
