#include "templates/layouts.h"

#include "platform/vbvalue.h"

namespace templates {

namespace {

QString partAt(const QStringList& parts, int i)
{
    return i < parts.size() ? parts[i] : QString();
}

QString joinAll(std::initializer_list<QString> parts)
{
    return QStringList(parts).join(kPartSeparator);
}

} // namespace

QStringList splitParts(const QString& value)
{
    if (value.isEmpty())
        return {};
    return value.split(kPartSeparator);
}

TemplateLine parseTemplateLine(const QString& value)
{
    const QStringList parts = splitParts(value);
    TemplateLine line;
    for (int k = 0; k < kLineFields; ++k)
        line[k] = partAt(parts, k);
    return line;
}

QString formatTemplateLine(const TemplateLine& line)
{
    return joinAll({line[0], line[1], line[2], line[3], line[4], line[5]});
}

QString formatTemplateLine(const Template& t, int record, int line)
{
    TemplateLine fields;
    for (int k = 0; k < kLineFields; ++k)
        fields[k] = t.gstrTemplateLines[record][k][line];
    return formatTemplateLine(fields);
}

TextElementStyle TextElementStyle::parse(const QString& value)
{
    const QStringList parts = splitParts(value);
    return {partAt(parts, 0), partAt(parts, 1), partAt(parts, 2), partAt(parts, 3)};
}

QString TextElementStyle::format() const
{
    return joinAll({shown, alignment, rect, font});
}

PiPWindowStyle PiPWindowStyle::parse(const QString& value)
{
    const QStringList parts = splitParts(value);
    return {partAt(parts, 0), partAt(parts, 1), partAt(parts, 2)};
}

QString PiPWindowStyle::format() const
{
    return joinAll({shown, mediaFile, rect});
}

LayoutRect LayoutRect::parse(const QString& value)
{
    LayoutRect r;
    if (value.isEmpty())
        return r;
    const QStringList parts = value.split(kRectSeparator);
    std::optional<double>* edges[4] = {&r.top, &r.left, &r.height, &r.width};
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        *edges[i] = vb::Val(parts[i]);
    return r;
}

QString fractionText(double fraction)
{
    return vb::NumText(vb::Round(fraction, 2));
}

QString formatLayoutRect(double top, double left, double height, double width)
{
    return fractionText(top) + kRectSeparator + fractionText(left) + kRectSeparator + fractionText(height) +
           kRectSeparator + fractionText(width);
}

uint32_t parseColorText(const QString& text, uint32_t fallback)
{
    return vb::ParseColorText(text, fallback);
}

} // namespace templates
