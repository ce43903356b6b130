#include "run/pages/validity.h"

#include <gtest/gtest.h>

using namespace pages;

namespace {

QDateTime at(int day, const char* hhmm, int month = 5)
{
    return QDateTime(QDate(2009, month, day), QTime::fromString(QString::fromLatin1(hhmm), QStringLiteral("hh:mm")));
}

struct DatedCase {
    const char* name;
    const char *start, *end, *from, *to;
    ValiditySettings s;
    QDateTime now;
    bool valid;
};

const ValiditySettings kOn{"1", "00:00", "00:00", "0", "0"};

ValiditySettings tol(const char* ts, const char* te, const char* sd = "0", const char* ed = "0")
{
    return {"1", ts, te, sd, ed};
}

} // namespace

TEST(Validity, DatedTable)
{
    const DatedCase cases[] = {
        {"gate off", "0900", "1000", "20090430", "20090430", {"0", "", "", "", ""}, at(20, "12:00", 1), true},
        {"gate blank-led", "0900", "1000", "20090430", "20090430", {" 1", "", "", "", ""}, at(20, "12:00"), true},
        {"single day from 08:30", "0900", "1700", "20090430", "20090430", tol("00:30", "00:30"), at(30, "08:30", 4),
         true},
        {"single day to 17:30", "0900", "1700", "20090430", "20090430", tol("00:30", "00:30"), at(30, "17:30", 4),
         true},
        {"single day not 08:29", "0900", "1700", "20090430", "20090430", tol("00:30", "00:30"), at(30, "08:29", 4),
         false},
        {"single day not 17:31", "0900", "1700", "20090430", "20090430", tol("00:30", "00:30"), at(30, "17:31", 4),
         false},
        {"day after, no end days", "0900", "1700", "20090430", "20090430", tol("00:30", "00:30"), at(1, "12:00"),
         false},
        {"day after, end days 1", "0900", "1700", "20090430", "20090430", tol("00:30", "00:30", "0", "1"),
         at(1, "08:30"), true},
        {"overnight middle 23:00", "2200", "0200", "20090429", "20090503", kOn, at(1, "23:00"), true},
        {"overnight middle 01:00", "2200", "0200", "20090429", "20090503", kOn, at(1, "01:00"), true},
        {"overnight middle noon", "2200", "0200", "20090429", "20090503", kOn, at(1, "12:00"), false},
        {"overnight first day from start", "2200", "0200", "20090429", "20090503", kOn, at(29, "23:00", 4), true},
        {"overnight first day not before", "2200", "0200", "20090429", "20090503", kOn, at(29, "01:00", 4), false},
        {"overnight last day until end", "2200", "0200", "20090429", "20090503", kOn, at(3, "01:00"), true},
        {"overnight last day not after", "2200", "0200", "20090429", "20090503", kOn, at(3, "23:00"), false},
        {"overnight single day", "2200", "0200", "20090501", "20090501", kOn, at(1, "22:30"), true},
        {"overnight single day early", "2200", "0200", "20090501", "20090501", kOn, at(1, "01:00"), false},
        {"all day middle", "00:00", "00:00", "20090429", "20090503", kOn, at(1, "15:00"), true},
        {"all day first", "00:00", "00:00", "20090429", "20090503", kOn, at(29, "15:00", 4), true},
        {"all day last", "00:00", "00:00", "20090429", "20090503", kOn, at(3, "23:59"), true},
        {"24:00 tolerances", "1000", "1200", "20090429", "20090503", tol("24:00", "24:00"), at(29, "00:00", 4), true},
        {"24:00 tolerances late", "1000", "1200", "20090429", "20090503", tol("24:00", "24:00"), at(3, "23:59"), true},
        {"end 2400 is 23:59", "2300", "2400", "20090429", "20090503", kOn, at(1, "23:59"), true},
        {"evening before, middle", "0030", "0900", "20090429", "20090503", tol("01:00", "00:00"), at(1, "23:30"), true},
        {"evening before, first day", "0030", "0900", "20090429", "20090503", tol("01:00", "00:00"), at(29, "23:30", 4),
         false},
        {"whole-day rule", "0030", "2330", "20090429", "20090503", tol("01:00", "01:00"), at(29, "00:10", 4), true},
        {"midnight start not all day", "00:00", "09:00", "20090429", "20090503", kOn, at(1, "15:00"), false},
        {"start date 0", "0900", "1700", "0", "20090503", kOn, at(1, "12:00", 4), true},
        {"end date 0 no limit", "0900", "1700", "20090429", "0", kOn, at(1, "12:00", 12), true},
        {"end date empty no limit", "0900", "1700", "20090429", "", kOn, at(1, "12:00", 12), true},
        {"end date not a date", "0900", "1700", "20090429", "2009053", kOn, at(1, "12:00"), false},
        {"end date 31 April", "0900", "1700", "20090429", "20090431", kOn, at(30, "12:00", 4), false},
        {"before start date", "0900", "1700", "20090429", "20090503", kOn, at(28, "12:00", 4), false},
        {"start days widen", "0900", "1700", "20090429", "20090503", tol("00:00", "00:00", "1"), at(28, "12:00", 4),
         true},
        {"3-digit start", "930", "1700", "20090429", "20090503", kOn, at(1, "09:30"), true},
        {"3-digit start, not before", "930", "1700", "20090429", "20090503", kOn, at(1, "09:29"), false},
        {"tolerance hour out of range is 0", "0900", "1700", "20090429", "20090503", tol("25:30", "00:00"),
         at(1, "08:45"), false},
    };
    for (const DatedCase& c : cases)
        EXPECT_EQ(blnIsValidDayTime(c.start, c.end, c.from, c.to, c.s, c.now), c.valid) << c.name;
}

TEST(Validity, UndatedTable)
{
    struct Case {
        const char *name, *start, *end;
        ValiditySettings s;
        const char* now;
        bool valid;
    } const cases[] = {
        {"00:00-00:00", "00:00", "00:00", kOn, "13:00", true},
        {"tolerances from", "0900", "1700", tol("00:15", "00:15"), "08:45", true},
        {"tolerances before", "0900", "1700", tol("00:15", "00:15"), "08:44", false},
        {"tolerances to", "0900", "1700", tol("00:15", "00:15"), "17:15", true},
        {"tolerances after", "0900", "1700", tol("00:15", "00:15"), "17:16", false},
        {"ends at midnight", "2000", "2300", tol("00:00", "01:00"), "00:00", true},
        {"ends at midnight, late", "2000", "2300", tol("00:00", "01:00"), "23:59", true},
        {"ends at midnight, early", "2000", "2300", tol("00:00", "01:00"), "19:59", false},
        {"0000-2400", "0000", "2400", kOn, "12:00", true},
        {"tolerance 25:30 keeps minutes", "0900", "1700", tol("25:30", "00:00"), "08:30", true},
        {"midnight start not all day", "0000", "0900", kOn, "15:00", false},
        {"overnight", "2200", "0200", kOn, "01:00", true},
        {"overnight noon", "2200", "0200", kOn, "12:00", false},
        {"gate off", "0900", "1000", {"0", "", "", "", ""}, "12:00", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(blnIsValidTime(c.start, c.end, c.s, at(1, c.now)), c.valid) << c.name;
}

TEST(Validity, RecordTimesAndDates)
{
    EXPECT_EQ(recordMinutes("2500"), 1500);
    EXPECT_EQ(recordMinutes(""), 0);
    EXPECT_TRUE(dateFromDigits("20240229").isValid());
    for (const char* bad : {"20230229", "2024022", "202402290", "2024-2-1", "0"})
        EXPECT_FALSE(dateFromDigits(bad).isValid()) << bad;
}
