#pragma once
// Whether a record is to be shown at a given moment, by its daily time window
// and its date window, widened by the day/time validation settings.
//
// Minutes count from midnight. Times are "hh:mm" or "hhmm" (a shorter number
// is padded: "930" is 09:30); dates are exactly eight digits forming a real
// calendar date. Neither test fails: a value it cannot read is treated as the
// rules below say.
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

namespace pages {

// The five day/time validation settings, as stored.
struct ValiditySettings {
    QString dayTimeValidity; // "1" = validation on
    QString validStartTime;  // hh:mm a record is valid before its start
    QString validEndTime;    // hh:mm it stays valid after its end
    QString validStartDays;  // days before its start date
    QString validEndDays;    // days after its end date
};

// The settings from the program's settings values.
ValiditySettings currentValiditySettings();

// The dated test. A start date that forms no date ("0", empty, bad) sets no
// start limit; an end date "0" or empty sets no end limit, while any other
// end date that forms no date makes the record never valid. On the first and
// the last day of the date window the narrower edge rule decides; a record
// running past midnight is valid on the first day from its start on and on
// the last day until its end. A record from 00:00 to 00:00 is valid all day
// on every day of its window.
bool blnIsValidDayTime(const QString& startTime, const QString& endTime, const QString& startDate,
                       const QString& endDate, const ValiditySettings& s, const QDateTime& now);

// The undated test: only the daily time window, every day alike.
bool blnIsValidTime(const QString& startTime, const QString& endTime, const ValiditySettings& s, const QDateTime& now);

// The two tests in two halves, for a long list that is tested again and
// again: a record's times and dates and the settings are each read once,
// and a test then only compares numbers. The answers are those of the two
// tests above, which are made of these halves.

// What the tests read of a record's times and dates.
struct RecordWindow {
    int start = 0;            // the start time in minutes (recordMinutes)
    int end = 0;              // the end time in minutes
    bool end2400 = false;     // the end time is "2400" or "24:00" (the dated test reads 23:59)
    bool hasFirstDay = false; // the start date forms a date
    qint64 firstDay = 0;      // its Julian day
    // The end date: "0" or empty, a date, or anything else.
    enum class EndDate : uint8_t { None, Day, Bad } endDate = EndDate::None;
    qint64 lastDay = 0; // its Julian day (EndDate::Day)
};
RecordWindow readRecordWindow(const QString& startTime, const QString& endTime, const QString& startDate,
                              const QString& endDate);

// What the tests read of the settings.
struct ValidityRules {
    bool on = false;      // validation on: otherwise every record is valid
    int datedStart = 0;   // the start tolerance in minutes, dated test
    int datedEnd = 0;     // the end tolerance, dated test
    int undatedStart = 0; // the same for the undated test
    int undatedEnd = 0;
    bool startsAtMidnight = false; // Valid Start Time "24:00": dated records start at 00:00
    bool endsAt2359 = false;       // Valid End Time "24:00": dated records end at 23:59
    std::optional<int> startDays;  // Valid Start Days; none when not a number
    std::optional<int> endDays;    // Valid End Days; none when not a number
};
ValidityRules readValidityRules(const ValiditySettings& s);

// The moment asked about: the day and the minute of the day (seconds do
// not count).
struct ValidityMoment {
    qint64 day = 0; // Julian day
    int minute = 0; // 0..1439
};
ValidityMoment validityMoment(const QDateTime& now);

bool isValidDated(const RecordWindow& r, const ValidityRules& rules, const ValidityMoment& now);
bool isValidUndated(const RecordWindow& r, const ValidityRules& rules, const ValidityMoment& now);

// Minutes of a record time: "09:30", "0930" and "930" are 570. A text that
// is not a number is read by its leading numbers; no range test.
int recordMinutes(const QString& time);

// A calendar date from exactly eight digits yyyymmdd; invalid otherwise.
QDate dateFromDigits(const QString& text);

} // namespace pages
