#include "templates/template.h"

#include "platform/vbvalue.h"

#include <algorithm>

namespace templates {

const QStringList& dateFormats()
{
    static const QStringList list{QStringLiteral("YYYYMMDD"),   QStringLiteral("MM/DD/YY"),
                                  QStringLiteral("MM/DD/YYYY"), QStringLiteral("YY/MM/DD"),
                                  QStringLiteral("YYYY-MM-DD"), QStringLiteral("DD-MM-YY"),
                                  QStringLiteral("DD-MM-YYYY")};
    return list;
}

const QStringList& timeFormats()
{
    static const QStringList list{QStringLiteral("HHMM"), QStringLiteral("HH:MM"), QStringLiteral("HH:MM AM/PM"),
                                  QStringLiteral("H:MM AM/PM")};
    return list;
}

const QStringList& slotNames()
{
    static const QStringList list{QStringLiteral("Default Template"),        QStringLiteral("Template with 1 record"),
                                  QStringLiteral("Template with 2 records"), QStringLiteral("Template with 3 records"),
                                  QStringLiteral("Template with 4 records"), QStringLiteral("Template with 5 records"),
                                  QStringLiteral("Template with 6 records")};
    return list;
}

QString* Template::line(int record, int field, int lineIndex)
{
    if (record < 0 || record >= kRecords || field < 0 || field >= kLineFields || lineIndex < 0 || lineIndex >= kLines)
        return nullptr;
    return &gstrTemplateLines[record][field][lineIndex];
}

const QString* Template::line(int record, int field, int lineIndex) const
{
    return const_cast<Template*>(this)->line(record, field, lineIndex);
}

LineUp LineUp::read(const QString& text, int line)
{
    LineUp out;
    const QStringList f = text.split(QLatin1Char(','));
    if (f.size() < 3 || f[0].trimmed() != QLatin1String("1"))
        return out;
    bool whole = false;
    const int partner = f[1].trimmed().toInt(&whole);
    const QString side = f[2].trimmed();
    if (!whole || partner < 0 || partner >= kLines || partner == line ||
        (side != QLatin1String("L") && side != QLatin1String("R")))
        return out;
    out.linedUp = true;
    out.partner = partner;
    out.side = side;
    if (side == QLatin1String("L"))
        out.middleWord = f.value(3).trimmed();
    return out;
}

LineUp Template::lineUp(int record, int lineIndex) const
{
    const QString* cell = line(record, kFieldLineUp, lineIndex);
    return cell ? LineUp::read(*cell, lineIndex) : LineUp();
}

int Template::recordsInUse() const
{
    const int64_t n = vb::RoundWhole(vb::Val(gstrRecordsPerPage));
    return int(std::clamp<int64_t>(n, 0, kRecords));
}

bool Template::recordsPerPageOutOfRange() const
{
    const int64_t n = vb::RoundWhole(vb::Val(gstrRecordsPerPage));
    return n < 0 || n > kRecords;
}

Template& designerTemplate()
{
    static Template t;
    return t;
}

} // namespace templates
