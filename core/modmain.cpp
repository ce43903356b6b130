#include "core/modmain.h"

#include "core/globals.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"

#include <QFileInfo>
#include <QHash>

namespace modMain {

QString GetRightOfLast(const QString& text, QChar delimiter)
{
    const qsizetype i = text.lastIndexOf(delimiter);
    return i < 0 ? text : text.mid(i + 1);
}

QString GetLeftOfLast(const QString& text, QChar delimiter)
{
    const qsizetype i = text.lastIndexOf(delimiter);
    return i < 0 ? text : text.left(i);
}

QString GetLeftOfFirst(const QString& text, QChar delimiter)
{
    const qsizetype i = text.indexOf(delimiter);
    return i < 0 ? text : text.left(i);
}

QString GetRightOfFirst(const QString& text, QChar delimiter)
{
    const qsizetype i = text.indexOf(delimiter);
    return i < 0 ? text : text.mid(i + 1);
}

QString inSentence(const QString& reason)
{
    QString text = reason.trimmed();
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

void reportProblem(const QString& text, MsgIcon icon)
{
    if (!gblnRunActive) {
        services::message(text, icon);
        return;
    }
    // One line per problem: a reason that spans lines is joined up.
    QString line = text.simplified();
    if (!line.startsWith(QLatin1String("!!!")))
        line.prepend(QLatin1String("!!!"));
    statusMessage(line);
}

bool blnFileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    return fi.isFile() && !fi.isHidden();
}

QString resolveMediaPath(const QString& name, const QString& mediaFolder,
                         const std::function<bool(const QString&)>& exists)
{
    const qsizetype cut = std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')));
    if (cut < 0)
        return paths::resolve(mediaFolder, name);
    if (exists(name))
        return name;
    return paths::resolve(mediaFolder, name.mid(cut + 1));
}

QString GetFileType(const QString& fileName)
{
    static const QHash<QString, QString> kinds = [] {
        QHash<QString, QString> h;
        const auto add = [&h](std::initializer_list<const char*> exts, const char* kind) {
            for (const char* e : exts)
                h.insert(QLatin1String(e), QLatin1String(kind));
        };
        add({"BMP", "JPG", "TIF", "PNG", "PCX", "TGA", "ICO", "CUR"}, "PictureType");
        add({"AVI", "MPEG", "MPG", "M1V", "MP2", "VOB", "MPA", "WMV", "MP4"}, "VideoType");
        add({"WMA", "RMI", "MIDI", "WAV", "MP3", "MID", "AU", "AIF"}, "AudioType");
        add({"PPT", "PPS", "POT"}, "PowerPointType");
        add({"SWF"}, "FlashType");
        add({"HTML", "HTM", "GIF"}, "HtmlType");
        add({"TTF", "FON"}, "FontType");
        add({"INI"}, "INIType");
        add({"TXT"}, "TXTType");
        add({"RTF"}, "RTFType");
        add({"DOC"}, "DOCType");
        add({"XLS"}, "ExcelType");
        add({"ZIP"}, "ZipType");
        return h;
    }();
    const QString name = fileName.trimmed();
    if (!name.contains(QLatin1Char('.')))
        return QStringLiteral("OtherType");
    const QString ext = GetRightOfLast(name, QLatin1Char('.')).trimmed().toUpper();
    return kinds.value(ext, QStringLiteral("OtherType"));
}

void UpdatePlayerVariablesImage(const QString& imagePath)
{
    const QString file =
        paths::join(paths::join(gstrPlayerFolder, QStringLiteral("Settings")), QStringLiteral("Settings.ini"));
    const QString value = paths::fileNameOf(imagePath);
    QString error;
    IniFile ini(file);
    if (ini.write(QStringLiteral("Options"), QStringLiteral("VariablesUpdateImage"), value, &error))
        statusMessage(QStringLiteral("Updated VariablesUpdateImage in player Settings.ini"));
    else
        statusMessage(QStringLiteral("!!!Could not update VariablesUpdateImage in player Settings.ini: ") + error);
}

bool blnCheckUserAbort()
{
    const bool right = services::keys().rightButtonDown();
    const bool esc = services::keys().escapeDown();
    if (right || esc) {
        gblnStop = true;
        if (shellhooks::stopCommand)
            shellhooks::stopCommand();
    }
    return gblnStop;
}

void WriteLastLoadValue(const QString& section, const QString& key, const QString& value)
{
    IniFile(gstrLastLoadFile).write(section, key, value);
}

QString ReadLastLoadValue(const QString& section, const QString& key)
{
    QString out;
    const int n = IniFile(gstrLastLoadFile).read(section, key, QString(), out, 1024);
    return n > 0 ? out.trimmed() : QString();
}

} // namespace modMain
