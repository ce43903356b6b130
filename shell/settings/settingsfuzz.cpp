// Fuzz body for the settings reader: any bytes as a settings file. Every
// value the loader would use to name a file must stay a plain file name.
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "shell/settings/settingsfile.h"
#include "shell/settings/settingsload.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

int fuzzSettingsReader(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const IniDocument doc = IniDocument::fromText(textfile::decode(bytes));

    (void)settingsload::readStatus(doc);
    const settingsload::LoadedSettings ld = settingsload::resolveLoad(doc);
    if (ld.imageFile && !paths::isPlainFileName(*ld.imageFile))
        std::abort();
    for (const QString& e : ld.playList.entries)
        if (e.isEmpty() || e.contains(QLatin1Char('/')) || e.contains(QLatin1Char('\\'))
            || e.contains(QLatin1String("..")))
            std::abort();
    if (ld.dataTypeIndex < -1 || ld.dataTypeIndex > 4)
        std::abort();

    // What was read can be written again and read back with the same keys.
    const settingsfile::SettingsValues v = settingsfile::readSettings(doc);
    const settingsfile::SettingsValues again =
        settingsfile::readSettings(IniDocument::fromText(settingsfile::renderSettings(v).toText()));
    for (const settingsfile::KeyInfo& k : settingsfile::keyTable())
        if ((v.*k.member).isMissing() != (again.*k.member).isMissing())
            std::abort();
    return 0;
}
