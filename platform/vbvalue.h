#pragma once
// Value rules that stored files and boards rely on: numbers held as text,
// rounding, colour texts and date/time patterns.
#include <QColor>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

namespace vb {

// The value of the leading number of a text, 0 when there is none: leading
// blanks and tabs are skipped, then an optional sign, digits, an optional
// "." with digits and an optional exponent ("0930" is 930, "12ab" is 12,
// "abc" and "" are 0). "&H" and "&O" prefixes read hexadecimal and octal.
double Val(const QString& text);
// The value of a text that is one number as a whole, blanks around it
// allowed ("18", " 7.5 ", "-1"); nothing for any other text ("12ab", "").
std::optional<double> NumberOf(const QString& text);

// Whole number, half to even (2.5 -> 2, 3.5 -> 4), clamped to the 64-bit range.
int64_t RoundWhole(double v);
// Whole number with the same rounding, clamped to the 32-bit range.
int CInt(double v);
// Rounded to `digits` decimals, half to even on the binary value (0.125 -> 0.12,
// 0.375 -> 0.38).
double Round(double v, int digits);

// Shortest text of a number with "." in every locale, never "-0"
// (0.12 -> "0.12", 3 -> "3", -0.0 -> "0").
QString NumText(double v);

// Zero-padded number text: Format(7, "0000") is "0007"; negative numbers keep their sign.
QString FormatZeros(int64_t v, int width);

// Colour values are 24-bit in blue-green-red order (red is the low byte).
// "&H" and upper-case hexadecimal without leading zeros; 0 is "&H000000".
QString ColorText(uint32_t bgr);
// Reads "&H..." (or a plain decimal) back; anything else gives `fallback`.
uint32_t ParseColorText(const QString& text, uint32_t fallback = 0);
QColor ToQColor(uint32_t bgr);
uint32_t FromQColor(const QColor& c);

// Formats a date/time with a pattern of the date and time lists:
// "YYYY" year, "YY" two-digit year, "MM" month (minutes after an hour),
// "DD" day, "HH"/"H" hour (12-hour with "AM/PM"), "NN" minutes, "SS"
// seconds, "AM/PM" or "A/P"; any other character is written unchanged.
// Letters are matched without regard to case.
QString FormatDateTime(const QDateTime& dt, const QString& pattern);

} // namespace vb
