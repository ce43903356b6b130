#pragma once
// The compound text values of a template:
//  - TemplateLine: the six fields of a record line joined by "`";
//  - TextElementStyle: shown flag, alignment, LayoutRect and font descriptor
//    of the title, date or time, joined by "`";
//  - PiPWindowStyle: shown flag, media file and LayoutRect joined by "`";
//  - LayoutRect: top, left, height and width as fractions of the page,
//    joined by "|" (top and height of its height, left and width of its width);
//  - ColorText: "&H" and the colour in upper-case hexadecimal, blue-green-red.
#include "templates/template.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace templates {

inline constexpr QChar kPartSeparator = u'`';
inline constexpr QChar kRectSeparator = u'|';

// The parts of a compound value: empty text gives no parts; a value with
// fewer parts than a layout has leaves the missing ones out.
QStringList splitParts(const QString& value);

using TemplateLine = std::array<QString, kLineFields>;
// Missing fields come back empty.
TemplateLine parseTemplateLine(const QString& value);
QString formatTemplateLine(const TemplateLine& line);
// The line (record, line) of a template as stored in the file.
QString formatTemplateLine(const Template& t, int record, int line);

struct TextElementStyle {
    QString shown, alignment, rect, font;
    static TextElementStyle parse(const QString& value);
    QString format() const;
};

struct PiPWindowStyle {
    QString shown, mediaFile, rect;
    static PiPWindowStyle parse(const QString& value);
    QString format() const;
};

// A LayoutRect as read: each number is the leading number of its part (0
// when the part does not start with one); a rectangle with fewer than four
// parts has no value for the missing edges.
struct LayoutRect {
    std::optional<double> top, left, height, width;
    static LayoutRect parse(const QString& value);
};

// The text of one fraction: rounded to 2 decimals, half to even, shortest
// form with "." ("0.12", "0", "1", "-0.03").
QString fractionText(double fraction);
// Four fractions joined in the order top, left, height, width.
QString formatLayoutRect(double top, double left, double height, double width);

// The blue-green-red colour value of a ColorText (`fallback` when the text
// is not a colour).
uint32_t parseColorText(const QString& text, uint32_t fallback = 0);

} // namespace templates
