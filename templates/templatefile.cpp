#include "templates/templatefile.h"

#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "platform/vbvalue.h"
#include "templates/layouts.h"

#include <QFileInfo>

namespace templates {

namespace {

const QString kSecTemplate = QStringLiteral("TEMPLATE");
const QString kSecBackground = QStringLiteral("BACKGROUND");

struct KeyInfo {
    QString section;
    QString key;
    QString def;
};

KeyInfo keyInfo(TemplateKey k)
{
    switch (k) {
    case TemplateKey::RecordsPerPage:
        return {kSecTemplate, QStringLiteral("Records Per Page"), QStringLiteral("1")};
    case TemplateKey::GroupLine:
        return {kSecTemplate, QStringLiteral("Group Line"), QStringLiteral("0")};
    case TemplateKey::TitleText:
        return {kSecTemplate, QStringLiteral("Title Text"), {}};
    case TemplateKey::TitleFontStyle:
        return {kSecTemplate, QStringLiteral("Title Font Style"), {}};
    case TemplateKey::DateFontStyle:
        return {kSecTemplate, QStringLiteral("Date Font Style"), {}};
    case TemplateKey::DateFormat:
        return {kSecTemplate, QStringLiteral("Date Format"), {}};
    case TemplateKey::TimeFontStyle:
        return {kSecTemplate, QStringLiteral("Time Font Style"), {}};
    case TemplateKey::TimeFormat:
        return {kSecTemplate, QStringLiteral("Time Format"), {}};
    case TemplateKey::Type:
        return {kSecBackground, QStringLiteral("Type"), QStringLiteral("0")};
    case TemplateKey::ImageFile:
        return {kSecBackground, QStringLiteral("Image File"), {}};
    case TemplateKey::Color:
        return {kSecBackground, QStringLiteral("Color"), kDefaultBackgroundColor};
    case TemplateKey::PiPWindows:
        return {kSecBackground, QStringLiteral("PiP Windows"), {}};
    }
    return {};
}

QString recordSection(int record)
{
    return QStringLiteral("RECORD_") + QString::number(record);
}

QString lineKey(int line)
{
    return QStringLiteral("Line_") + QString::number(line);
}

void storePart(QString& target, const QString& part)
{
    if (!part.trimmed().isEmpty())
        target = part;
}

void storeStyle(const QString& value, QString& on, QString& align, QString& region, QString& font)
{
    const TextElementStyle s = TextElementStyle::parse(value);
    storePart(region, s.rect);
    storePart(align, s.alignment);
    storePart(font, s.font);
    storePart(on, s.shown);
}

QString onOff(bool checked)
{
    return checked ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<IniDocument> loadDocument(const QString& path, QString* error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("The file does not exist.");
        return std::nullopt;
    }
    QString text;
    if (!textfile::readText(path, text, error, textfile::kMaxSmallFileBytes))
        return std::nullopt;
    return IniDocument::fromText(text);
}

void readAll(const TemplateReader& r, Template& t)
{
    if (auto v = r.read(TemplateKey::RecordsPerPage))
        t.gstrRecordsPerPage = *v;
    if (auto v = r.read(TemplateKey::GroupLine))
        t.gstrGroupLine = *v;
    if (auto v = r.read(TemplateKey::TitleText))
        t.gstrTitleText = *v;
    if (auto v = r.read(TemplateKey::TitleFontStyle))
        storeTitleStyle(t, *v);
    if (auto v = r.read(TemplateKey::DateFontStyle))
        storeDateStyle(t, *v);
    if (auto v = r.read(TemplateKey::DateFormat))
        t.gstrDateFormat = *v;
    else
        t.gstrDateFormat = dateFormats().front();
    if (auto v = r.read(TemplateKey::TimeFontStyle))
        storeTimeStyle(t, *v);
    if (auto v = r.read(TemplateKey::TimeFormat))
        t.gstrTimeFormat = *v;
    else
        t.gstrTimeFormat = timeFormats().front();
    if (auto v = r.read(TemplateKey::Type))
        t.gstrBackgroundType = *v;
    if (t.gstrBackgroundType == QLatin1String("1")) {
        if (auto v = r.read(TemplateKey::ImageFile))
            t.gstrBackgroundImage = *v;
    } else if (auto v = r.read(TemplateKey::Color)) {
        t.gstrBackgroundColor = *v;
    }
    if (auto v = r.read(TemplateKey::PiPWindows))
        storePiPWindows(t, *v);
    for (int rec = kRecords - 1; rec >= 0; --rec)
        for (int l = 0; l < kLines; ++l)
            if (auto v = r.readLine(rec, l))
                storeTemplateLine(t, rec, l, *v);
}

} // namespace

IniDocument templateDocument(const Template& t)
{
    IniDocument doc;
    auto put = [&doc](const QString& section, const QString& key, const QString& value) {
        doc.set(section, key, protectedIniValue(value));
    };
    put(kSecTemplate, QStringLiteral("Records Per Page"), t.gstrRecordsPerPage);
    put(kSecTemplate, QStringLiteral("Group Line"), t.gstrGroupLine);
    put(kSecTemplate, QStringLiteral("Title Text"), t.gstrTitleText);
    put(kSecTemplate, QStringLiteral("Title Font Style"),
        TextElementStyle{t.gstrTitleOn, t.gstrTitleAlign, t.gstrTitleRegion, t.gstrTitleFont}.format());
    put(kSecTemplate, QStringLiteral("Date Format"), t.gstrDateFormat);
    put(kSecTemplate, QStringLiteral("Date Font Style"),
        TextElementStyle{t.gstrDateOn, t.gstrDateAlign, t.gstrDateRegion, t.gstrDateFont}.format());
    put(kSecTemplate, QStringLiteral("Time Format"), t.gstrTimeFormat);
    put(kSecTemplate, QStringLiteral("Time Font Style"),
        TextElementStyle{t.gstrTimeOn, t.gstrTimeAlign, t.gstrTimeRegion, t.gstrTimeFont}.format());
    const bool picture = t.gstrBackgroundType == QLatin1String("1");
    put(kSecBackground, QStringLiteral("Type"), picture ? QStringLiteral("1") : QStringLiteral("0"));
    if (picture)
        put(kSecBackground, QStringLiteral("Image File"), t.gstrBackgroundImage);
    else
        put(kSecBackground, QStringLiteral("Color"), t.gstrBackgroundColor);
    put(kSecBackground, QStringLiteral("PiP Windows"),
        PiPWindowStyle{t.gstrPiPOn, t.gstrPiPFile, t.gstrPiPRegion}.format());
    for (int r = 0; r < kRecords; ++r)
        for (int l = 0; l < kLines; ++l)
            put(recordSection(r), lineKey(l), formatTemplateLine(t, r, l));
    return doc;
}

bool writeTemplateFile(const QString& path, const Template& t, QString* error)
{
    QString why;
    const bool ok = IniFile(path).save(templateDocument(t), &why);
    if (!ok) {
        statusMessage(QStringLiteral("!!!Error saving the template file %1: %2").arg(path, why));
        if (error)
            *error = why;
    }
    return ok;
}

bool SaveTemplate(const QString& path, Template& t, const TemplateControls& c, QString* error)
{
    BusyGuard busy;
    t.gstrRecordsPerPage = c.txtRecordsPerPage.trimmed();
    t.gstrTitleText = c.txtTitle.trimmed();
    t.gstrTitleOn = onOff(c.chkTitle);
    t.gstrTitleFontStyle =
        TextElementStyle{t.gstrTitleOn, t.gstrTitleAlign, t.gstrTitleRegion, t.gstrTitleFont}.format();
    t.gstrDateFormat = c.cboDateFormat.trimmed();
    t.gstrDateOn = onOff(c.chkDateFormat);
    t.gstrDateFontStyle = TextElementStyle{t.gstrDateOn, t.gstrDateAlign, t.gstrDateRegion, t.gstrDateFont}.format();
    t.gstrTimeFormat = c.cboTimeFormat.trimmed();
    t.gstrTimeOn = onOff(c.chkTimeFormat);
    t.gstrTimeFontStyle = TextElementStyle{t.gstrTimeOn, t.gstrTimeAlign, t.gstrTimeRegion, t.gstrTimeFont}.format();
    t.gstrBackgroundType = onOff(c.backgroundIsPicture);
    if (c.backgroundIsPicture)
        t.gstrBackgroundImage = c.txtBackgroundImagename.trimmed();
    else
        t.gstrBackgroundColor = c.txtBackgroundColor.trimmed();
    t.gstrPiPOn = onOff(c.chkPiP);
    t.gstrPiPFile = c.txtPiP.trimmed();
    t.gstrPiPWindows = PiPWindowStyle{t.gstrPiPOn, t.gstrPiPFile, t.gstrPiPRegion}.format();
    return writeTemplateFile(path, t, error);
}

std::optional<TemplateReader> TemplateReader::open(const QString& path, QString* error)
{
    auto doc = loadDocument(path, error);
    if (!doc)
        return std::nullopt;
    return TemplateReader(std::move(*doc));
}

std::optional<QString> TemplateReader::read(TemplateKey key) const
{
    const KeyInfo k = keyInfo(key);
    QString out;
    if (doc_.read(k.section, k.key, k.def, out, kReadBuffer) <= 0)
        return std::nullopt;
    return out.trimmed();
}

std::optional<QString> TemplateReader::readLine(int record, int line) const
{
    QString out;
    if (doc_.read(recordSection(record), lineKey(line), QString(), out, kReadBuffer) <= 0)
        return std::nullopt;
    return out.trimmed();
}

void storeTitleStyle(Template& t, const QString& value)
{
    storeStyle(value, t.gstrTitleOn, t.gstrTitleAlign, t.gstrTitleRegion, t.gstrTitleFont);
    if (TextElementStyle::parse(value).shown.trimmed().isEmpty())
        t.gstrTitleOn = QStringLiteral("0");
}

void storeDateStyle(Template& t, const QString& value)
{
    storeStyle(value, t.gstrDateOn, t.gstrDateAlign, t.gstrDateRegion, t.gstrDateFont);
}

void storeTimeStyle(Template& t, const QString& value)
{
    storeStyle(value, t.gstrTimeOn, t.gstrTimeAlign, t.gstrTimeRegion, t.gstrTimeFont);
}

void storePiPWindows(Template& t, const QString& value)
{
    const PiPWindowStyle s = PiPWindowStyle::parse(value);
    storePart(t.gstrPiPOn, s.shown);
    storePart(t.gstrPiPFile, s.mediaFile.trimmed());
    storePart(t.gstrPiPRegion, s.rect);
}

void storeTemplateLine(Template& t, int record, int line, const QString& value)
{
    const TemplateLine parts = parseTemplateLine(value);
    for (int k = 0; k < kLineFields; ++k)
        if (QString* cell = t.line(record, k, line))
            storePart(*cell, parts[k]);
}

void logRecordsPerPage(const Template& t, const QString& name)
{
    if (!t.recordsPerPageOutOfRange())
        return;
    statusMessage(QStringLiteral("!!!Records Per Page \"%1\" of the template %2 is outside 0 to 6; "
                                 "%3 records are used.")
                      .arg(t.gstrRecordsPerPage, name)
                      .arg(t.recordsInUse()));
}

bool LoadTemplate(const QString& path, Template& t, QString* error)
{
    BusyGuard busy;
    const auto reader = TemplateReader::open(path, error);
    if (!reader)
        return false;
    readAll(*reader, t);
    logRecordsPerPage(t, path);
    return true;
}

void loadTemplateText(const QString& text, Template& t, const QString& name)
{
    readAll(TemplateReader(IniDocument::fromText(text)), t);
    logRecordsPerPage(t, name);
}

std::optional<Template> loadTemplateFresh(const QString& path, QString* error)
{
    Template t;
    if (!LoadTemplate(path, t, error))
        return std::nullopt;
    return t;
}

int GetTemplateRecordsPerPage(const QString& path)
{
    const auto doc = loadDocument(path, nullptr);
    if (!doc)
        return -1;
    // Only the first two characters of the value count.
    QString value;
    if (doc->read(kSecTemplate, QStringLiteral("Records Per Page"), QString(), value, 3) <= 0)
        return -1;
    const QString t = value.trimmed();
    static const auto startsWithNumber = [](const QString& s) {
        int i = 0;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        if (i < s.size() && s[i] == u'.')
            ++i;
        return i < s.size() && s[i].isDigit() && s[i].unicode() < 128;
    };
    if (!startsWithNumber(t)) {
        services::message(QStringLiteral("Invalid template file."), MsgIcon::Exclamation);
        return -1;
    }
    return vb::CInt(vb::Val(t));
}

} // namespace templates
