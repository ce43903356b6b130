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

// Minutes of a record time: "09:30", "0930" and "930" are 570. A text that
// is not a number is read by its leading numbers; no range test.
int recordMinutes(const QString& time);

// A calendar date from exactly eight digits yyyymmdd; invalid otherwise.
QDate dateFromDigits(const QString& text);

} // namespace pages
