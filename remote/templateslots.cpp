#include "remote/templateslots.h"

#include "platform/inifile.h"
#include "platform/vbvalue.h"

#include <QFileInfo>

#include <utility>
#include <vector>

namespace remote {

namespace {

const QString kSection = QStringLiteral("MASTER_TEMPLATE_LIST");

QString slotBase(int slot, bool plural)
{
    if (slot <= 0)
        return QStringLiteral("Default Template");
    QString text = QStringLiteral("Template with %1 record").arg(slot);
    if (plural && slot > 1)
        text += QLatin1Char('s');
    return text;
}

} // namespace

QString slotCaption(int slot)
{
    return slotBase(slot, true) + QLatin1Char(':');
}

QString slotKey(int slot)
{
    return slotBase(slot, false);
}

QString slotTemplateName(int slot)
{
    return slotBase(slot, true);
}

int GetRecordsPerPage(const QString& path, QString* error)
{
    if (error)
        error->clear();
    IniDocument doc;
    if (!IniFile(path).loadChecked(doc, error))
        return -1;
    QString text;
    // A buffer of three characters: the first two of the value arrive.
    if (doc.read(QStringLiteral("TEMPLATE"), QStringLiteral("Records Per Page"), QString(), text, 3) <= 0)
        return -1;
    text = text.trimmed();
    if (text.isEmpty() || text.at(0) < QLatin1Char('0') || text.at(0) > QLatin1Char('9'))
        return -1;
    return vb::CInt(vb::Val(text));
}

SlotFit checkSlotTemplate(int slot, const QString& path, QString* error)
{
    if (error)
        error->clear();
    const QString file = path.trimmed();
    if (file.isEmpty() || !QFileInfo::exists(file))
        return SlotFit::NoFile;
    QString why;
    const int n = GetRecordsPerPage(file, &why);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return SlotFit::Unreadable;
    }
    if (n < 0)
        return SlotFit::NoCount;
    return n == slot ? SlotFit::Fits : SlotFit::OtherCount;
}

bool slotTemplateRefused(SlotFit fit, bool namedByList)
{
    switch (fit) {
    case SlotFit::NoFile:
    case SlotFit::Fits:
        return false;
    case SlotFit::NoCount:
        return !namedByList;
    case SlotFit::OtherCount:
    case SlotFit::Unreadable:
        break;
    }
    return true;
}

bool readMasterList(const QString& path, SlotPaths& slots, QString* error)
{
    slots = SlotPaths();
    IniDocument doc;
    if (!IniFile(path).loadChecked(doc, error))
        return false;
    for (int i = 0; i < kSlotCount; ++i) {
        QString value;
        doc.read(kSection, slotKey(i), QString(), value);
        slots[i] = value.trimmed();
    }
    return true;
}

bool writeMasterList(const QString& path, const SlotPaths& slots, QString* error)
{
    std::vector<std::pair<QString, QString>> values;
    for (int i = 0; i < kSlotCount; ++i)
        values.emplace_back(slotKey(i), slots[i]);
    return IniFile(path).writeAll(kSection, values, error);
}

} // namespace remote
