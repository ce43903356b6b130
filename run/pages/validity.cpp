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

// A whole number of days (none given is the default 0); nothing when the
// text is not a number.
std::optional<int> dayCount(const QString& text)
{
    if (text.trimmed().isEmpty())
        return 0;
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

Window makeWindow(int S, int E, int Ts, int Te, int N)
{
    Window w{S, E, Ts, Te, N, S - Ts, E + Te};
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

RecordWindow readRecordWindow(const QString& startTime, const QString& endTime, const QString& startDate,
                              const QString& endDate)
{
    RecordWindow r;
    r.start = recordMinutes(startTime);
    const QString et = endTime.trimmed();
    r.end = recordMinutes(et);
    r.end2400 = et == QLatin1String("2400") || et == QLatin1String("24:00");
    if (const QDate d = dateFromDigits(startDate.trimmed()); d.isValid()) {
        r.hasFirstDay = true;
        r.firstDay = d.toJulianDay();
    }
    if (!isNoDate(endDate)) {
        const QDate d = dateFromDigits(endDate.trimmed());
        r.endDate = d.isValid() ? RecordWindow::EndDate::Day : RecordWindow::EndDate::Bad;
        r.lastDay = d.isValid() ? d.toJulianDay() : 0;
    }
    return r;
}

ValidityRules readValidityRules(const ValiditySettings& s)
{
    ValidityRules rules;
    rules.on = validationOn(s);
    rules.datedStart = toleranceMinutes(s.validStartTime, true);
    rules.datedEnd = toleranceMinutes(s.validEndTime, true);
    rules.undatedStart = toleranceMinutes(s.validStartTime, false);
    rules.undatedEnd = toleranceMinutes(s.validEndTime, false);
    rules.startsAtMidnight = s.validStartTime.trimmed() == QLatin1String("24:00");
    rules.endsAt2359 = s.validEndTime.trimmed() == QLatin1String("24:00");
    rules.startDays = dayCount(s.validStartDays);
    rules.endDays = dayCount(s.validEndDays);
    return rules;
}

ValidityMoment validityMoment(const QDateTime& now)
{
    const QTime t = now.time();
    return {now.date().toJulianDay(), t.hour() * 60 + t.minute()};
}

bool isValidDated(const RecordWindow& r, const ValidityRules& rules, const ValidityMoment& now)
{
    if (!rules.on)
        return true;
    // The date window: a start date that forms no date sets no start; an
    // end date that forms none (or a day count that is no number) lets the
    // record never be valid.
    const bool hasFirst = r.hasFirstDay && rules.startDays;
    const qint64 first = hasFirst ? r.firstDay - *rules.startDays : 0;
    const bool hasLast = r.endDate != RecordWindow::EndDate::None;
    if (hasLast && (r.endDate == RecordWindow::EndDate::Bad || !rules.endDays))
        return false;
    const qint64 last = hasLast ? r.lastDay + *rules.endDays : 0;
    if ((hasFirst && now.day < first) || (hasLast && now.day > last))
        return false;

    constexpr int k0000 = 0, k2359 = 23 * 60 + 59;
    const int S = rules.startsAtMidnight ? k0000 : r.start;
    const int E = rules.endsAt2359 || r.end2400 ? k2359 : r.end;
    const Window w = makeWindow(S, E, rules.datedStart, rules.datedEnd, now.minute);
    if (wholeDay(w))
        return true;
    const bool firstDay = hasFirst && now.day == first;
    const bool lastDay = hasLast && now.day == last;
    if (firstDay || lastDay)
        return edgeRule(w, firstDay);
    return dailyRule(w);
}

bool isValidUndated(const RecordWindow& r, const ValidityRules& rules, const ValidityMoment& now)
{
    if (!rules.on)
        return true;
    const Window w = makeWindow(r.start, r.end, rules.undatedStart, rules.undatedEnd, now.minute);
    return wholeDay(w) || dailyRule(w);
}

bool blnIsValidDayTime(const QString& startTime, const QString& endTime, const QString& startDate,
                       const QString& endDate, const ValiditySettings& s, const QDateTime& now)
{
    if (!validationOn(s))
        return true;
    return isValidDated(readRecordWindow(startTime, endTime, startDate, endDate), readValidityRules(s),
                        validityMoment(now));
}

bool blnIsValidTime(const QString& startTime, const QString& endTime, const ValiditySettings& s, const QDateTime& now)
{
    if (!validationOn(s))
        return true;
    return isValidUndated(readRecordWindow(startTime, endTime, QString(), QString()), readValidityRules(s),
                          validityMoment(now));
}

} // namespace pages
