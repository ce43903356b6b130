#include "platform/vbvalue.h"

#include <charconv>

#include <cfenv>
#include <cmath>
#include <limits>

namespace vb {

std::optional<double> NumberOf(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double Val(const QString& text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    if (i + 1 < n && text[i] == QLatin1Char('&')) {
        const QChar k = text[i + 1].toUpper();
        const int base = k == QLatin1Char('H') ? 16 : k == QLatin1Char('O') ? 8 : 0;
        if (base) {
            int64_t v = 0;
            for (qsizetype j = i + 2, digits = 0; j < n && digits < 15; ++j, ++digits) {
                const char16_t u = text[j].unicode();
                const int d = (u >= '0' && u <= '9')   ? u - '0'
                              : (u >= 'A' && u <= 'F') ? 10 + (u - 'A')
                              : (u >= 'a' && u <= 'f') ? 10 + (u - 'a')
                                                       : -1;
                if (d < 0 || d >= base)
                    break;
                v = v * base + d;
            }
            return double(v);
        }
    }
    QByteArray num;
    if (i < n && text[i] == QLatin1Char('-'))
        num += char(text[i++].unicode());
    else if (i < n && text[i] == QLatin1Char('+'))
        ++i;
    bool any = false;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        num += char(text[i++].unicode());
        any = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        num += '.';
        ++i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            num += char(text[i++].unicode());
            any = true;
        }
    }
    if (!any)
        return 0.0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        QByteArray exp = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exp += char(text[j++].unicode());
        bool expDigits = false;
        while (j < n && text[j] >= QLatin1Char('0') && text[j] <= QLatin1Char('9') && exp.size() < 8) {
            exp += char(text[j++].unicode());
            expDigits = true;
        }
        if (expDigits)
            num += exp;
    }
    // Stored numbers always use "."; the C library's reader would follow the
    // user's locale.
    double v = 0.0;
    if (std::from_chars(num.constData(), num.constData() + num.size(), v).ec != std::errc())
        return 0.0;
    return std::isfinite(v) ? v : 0.0;
}

int64_t RoundWhole(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 9.2e18)
        return std::numeric_limits<int64_t>::max();
    if (v <= -9.2e18)
        return std::numeric_limits<int64_t>::min();
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(old);
    return int64_t(r);
}

int CInt(double v)
{
    const int64_t r = RoundWhole(v);
    if (r > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (r < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(r);
}

double Round(double v, int digits)
{
    if (!std::isfinite(v))
        return 0.0;
    const double scale = std::pow(10.0, digits);
    const double scaled = v * scale;
    if (std::fabs(scaled) >= 9.0e15)
        return v;
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(scaled) / scale;
    std::fesetround(old);
    return r == 0.0 ? 0.0 : r;
}

QString NumText(double v)
{
    if (!std::isfinite(v) || v == 0.0)
        return QStringLiteral("0");
    QString s = QString::number(v, 'g', 15);
    if (s == QLatin1String("-0"))
        return QStringLiteral("0");
    return s;
}

QString FormatZeros(int64_t v, int width)
{
    const bool neg = v < 0;
    const uint64_t mag = neg ? uint64_t(0) - uint64_t(v) : uint64_t(v);
    const QString digits = QString::number(mag).rightJustified(width, QLatin1Char('0'));
    return neg ? QLatin1Char('-') + digits : digits;
}

QString ColorText(uint32_t bgr)
{
    bgr &= 0xFFFFFFu;
    if (bgr == 0)
        return QStringLiteral("&H000000");
    return QStringLiteral("&H") + QString::number(bgr, 16).toUpper();
}

uint32_t ParseColorText(const QString& text, uint32_t fallback)
{
    const QString t = text.trimmed();
    bool ok = false;
    uint32_t v = 0;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        QString hex = t.mid(2);
        if (hex.endsWith(QLatin1Char('&')))
            hex.chop(1);
        v = hex.toUInt(&ok, 16);
    } else {
        v = t.toUInt(&ok, 10);
    }
    return ok ? (v & 0xFFFFFFu) : fallback;
}

QColor ToQColor(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

uint32_t FromQColor(const QColor& c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

QString FormatDateTime(const QDateTime& dt, const QString& pattern)
{
    const QString up = pattern.toUpper();
    const bool twelve = up.contains(QLatin1String("AM/PM")) || up.contains(QLatin1String("A/P"));
    const QDate d = dt.date();
    const QTime t = dt.time();
    int hour = t.hour();
    if (twelve) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    QString out;
    bool afterHour = false;
    const qsizetype n = up.size();
    qsizetype i = 0;
    auto run = [&](QChar c) {
        qsizetype k = i;
        while (k < n && up[k] == c)
            ++k;
        return k - i;
    };
    auto two = [](int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); };
    while (i < n) {
        const QChar c = up[i];
        if (up.mid(i, 5) == QLatin1String("AM/PM")) {
            out += t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            i += 5;
            continue;
        }
        if (up.mid(i, 3) == QLatin1String("A/P")) {
            out += t.hour() < 12 ? QStringLiteral("A") : QStringLiteral("P");
            i += 3;
            continue;
        }
        const qsizetype len = run(c);
        if (c == QLatin1Char('Y')) {
            out += len >= 4 ? QString::number(d.year()).rightJustified(4, QLatin1Char('0')) : two(d.year() % 100);
            i += len;
            afterHour = false;
        } else if (c == QLatin1Char('M')) {
            const int v = afterHour ? t.minute() : d.month();
            out += len >= 2 ? two(v) : QString::number(v);
            i += len;
            afterHour = false;
        } else if (c == QLatin1Char('D')) {
            out += len >= 2 ? two(d.day()) : QString::number(d.day());
            i += len;
            afterHour = false;
        } else if (c == QLatin1Char('H')) {
            out += len >= 2 ? two(hour) : QString::number(hour);
            i += len;
            afterHour = true;
        } else if (c == QLatin1Char('N')) {
            out += len >= 2 ? two(t.minute()) : QString::number(t.minute());
            i += len;
            afterHour = false;
        } else if (c == QLatin1Char('S')) {
            out += len >= 2 ? two(t.second()) : QString::number(t.second());
            i += len;
            afterHour = false;
        } else {
            out += pattern[i];
            ++i;
            // A separator between hour and minutes keeps the hour context.
        }
    }
    return out;
}

} // namespace vb
