#include "run/pages/validity.h"

#include "core/globals.h"
#include "platform/vbvalue.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pages {

namespace {

constexpr int kDay = 1440;

int leadingWhole(const QString& text)
{
    return vb::CInt(std::trunc(vb::Val(text)));
}

// A tolerance "hh:mm" in minutes. The dated test drops the whole value when
// the hour is out of range; the undated one replaces each part on its own.
int toleranceMinutes(const QString& stored, bool dated)
{
    const QString text = stored.trimmed();
    int hour = leadingWhole(text.left(2));
    int minute = leadingWhole(text.right(2));
    const bool hourOk = hour >= 0 && hour <= 23;
    const bool minuteOk = minute >= 0 && minute <= 59;
    if (dated && !hourOk)
        return 0;
    if (!hourOk)
        hour = 0;
    if (!minuteOk)
        minute = 0;
    return hour * 60 + minute;
}

// A whole number of days; nothing when the text is not a number.
std::optional<int> dayCount(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || std::abs(v) > 1e6)
        return std::nullopt;
    return int(vb::RoundWhole(v));
}

bool isNoDate(const QString& date)
{
    const QString d = date.trimmed();
    return d.isEmpty() || d == QLatin1String("0");
}

struct Window {
    int S, E, Ts, Te, N, Ws, We;
};

Window makeWindow(int S, int E, int Ts, int Te, const QDateTime& now)
{
    Window w{S, E, Ts, Te, now.time().hour() * 60 + now.time().minute(), S - Ts, E + Te};
    if (w.Ws < 0)
        w.Ws += kDay;
    if (w.We >= kDay)
        w.We -= kDay;
    return w;
}

bool wholeDay(const Window& w)
{
    return (w.S == 0 && w.E == 0) || (w.S - w.Ts < 0 && w.E + w.Te >= kDay);
}

bool dailyRule(const Window& w)
{
    if (w.S > w.E) {
        if (w.S - w.Ts <= w.E + w.Te)
            return true;
        return w.N >= w.Ws || w.N <= w.We;
    }
    if (w.S - w.Ts < 0 || w.E + w.Te >= kDay) {
        if (w.Ws <= w.We)
            return true;
        return w.N >= w.Ws || w.N <= w.We;
    }
    return w.Ws <= w.N && w.N <= w.We;
}

bool edgeRule(const Window& w, bool firstDay)
{
    if (w.S > w.E)
        return firstDay ? w.N >= w.Ws : w.N <= w.We;
    if (w.S - w.Ts < 0)
        return w.N <= w.We;
    if (w.E + w.Te >= kDay)
        return w.N >= w.Ws;
    return w.Ws <= w.N && w.N <= w.We;
}

bool validationOn(const ValiditySettings& s)
{
    return s.dayTimeValidity.toUpper() == QLatin1String("1");
}

} // namespace

ValiditySettings currentValiditySettings()
{
    return {gstrDayTimeValidity, gstrValidStartTime, gstrValidEndTime, gstrValidStartDays, gstrValidEndDays};
}

QDate dateFromDigits(const QString& text)
{
    if (text.size() != 8 ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return {};
    return QDate(text.left(4).toInt(), text.mid(4, 2).toInt(), text.right(2).toInt());
}

int recordMinutes(const QString& time)
{
    QString t = time.trimmed();
    if (!t.contains(QLatin1Char(':')) && !t.isEmpty() &&
        std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }) && t.size() < 4)
        t = t.rightJustified(4, QLatin1Char('0'));
    return leadingWhole(t.left(2)) * 60 + leadingWhole(t.right(2));
}

bool blnIsValidDayTime(const QString& startTime, const QString& endTime, const QString& startDate,
                       const QString& endDate, const ValiditySettings& s, const QDateTime& now)
{
    if (!validationOn(s))
        return true;

    const QDate today = now.date();
    std::optional<QDate> first, last;
    if (const QDate d = dateFromDigits(startDate.trimmed()); d.isValid())
        if (const auto days = dayCount(s.validStartDays))
            first = d.addDays(-*days);
    if (!isNoDate(endDate)) {
        const QDate d = dateFromDigits(endDate.trimmed());
        const auto days = dayCount(s.validEndDays);
        if (!d.isValid() || !days)
            return false;
        last = d.addDays(*days);
    }
    if ((first && today < *first) || (last && today > *last))
        return false;

    QString st = startTime.trimmed();
    QString et = endTime.trimmed();
    if (s.validStartTime.trimmed() == QLatin1String("24:00"))
        st = QStringLiteral("0000");
    if (s.validEndTime.trimmed() == QLatin1String("24:00"))
        et = QStringLiteral("2359");
    if (et == QLatin1String("2400") || et == QLatin1String("24:00"))
        et = QStringLiteral("2359");

    const Window w = makeWindow(recordMinutes(st), recordMinutes(et), toleranceMinutes(s.validStartTime, true),
                                toleranceMinutes(s.validEndTime, true), now);
    if (wholeDay(w))
        return true;
    const bool firstDay = first && today == *first;
    const bool lastDay = last && today == *last;
    if (firstDay || lastDay)
        return edgeRule(w, firstDay);
    return dailyRule(w);
}

bool blnIsValidTime(const QString& startTime, const QString& endTime, const ValiditySettings& s, const QDateTime& now)
{
    if (!validationOn(s))
        return true;
    const Window w =
        makeWindow(recordMinutes(startTime), recordMinutes(endTime), toleranceMinutes(s.validStartTime, false),
                   toleranceMinutes(s.validEndTime, false), now);
    return wholeDay(w) || dailyRule(w);
}

} // namespace pages
