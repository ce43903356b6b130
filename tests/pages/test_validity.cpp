#include "run/pages/recordindex.h"
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

TEST(Validity, RecordIndexAnswersAsTheTestsWhateverChanges)
{
    // Random validity cells, settings, moments and locations, with the grid
    // changed between pages and in the middle of one: the index takes a row
    // exactly when the location matches and the test the page collection
    // chooses for the row's cell says it is valid.
    const char* const times[] = {"0900", "1700", "930", " 2200 ", "00:00", "0000", "2400", "24:00",
                                 "2359", "9:",   "",    "ab",     "2500",  "0030", "12:3"};
    const char* const dates[] = {"20090429", "20090430", "20090501", " 20090503", "0",
                                 "",         "20090431", "2009053",  "x",         "20090502 "};
    const char* const tolerances[] = {"00:00", "00:30", "01:00", "24:00", "25:30", "00:75", "", "ab"};
    const char* const days[] = {"0", "1", "2", "", "abc", " 1 ", "-1", "1.5"};
    const char* const places[] = {"Hall A", "Hall B", "Hall B ", ""};
    quint32 seed = 20090430;
    const auto rnd = [&](quint32 n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    const auto pick = [&](const auto& list) { return QString::fromLatin1(list[rnd(quint32(std::size(list)))]); };
    const auto cell = [&] {
        const QStringList parts{pick(times), pick(times), pick(dates), pick(dates)};
        return parts.mid(0, rnd(6) == 0 ? qsizetype(rnd(4)) : 4).join('|'); // now and then fewer parts
    };
    Grid g;
    g.AddCol("Room");
    g.AddCol("DateTime");
    const auto addRow = [&] {
        const int r = g.AddRow();
        g.SetCellValue(r, "Room", pick(places));
        g.SetCellValue(r, "DateTime", cell());
    };
    for (int i = 0; i < 40; ++i)
        addRow();

    RecordIndex index;
    for (int page = 0; page < 300; ++page) {
        const ValiditySettings s{rnd(8) ? "1" : "0", pick(tolerances), pick(tolerances), pick(days), pick(days)};
        const QDateTime now = at(int(1 + rnd(4)), rnd(2) ? "12:00" : "23:45", 4 + int(rnd(2)));
        RecordIndex::Page ask;
        if (rnd(3) == 0) {
            ask.locationField = "Room";
            ask.locations = QStringList{"Hall B", "Hall A"}.mid(qsizetype(rnd(2)));
        }
        ask.validity = s.dayTimeValidity == "1";
        ask.rules = readValidityRules(s);
        ask.now = validityMoment(now);
        ask.undatedWhenEitherEmpty = rnd(2) == 0;
        index.beginPage(g, ask);
        for (int check = 0; check < 2; ++check) {
            const int rows = g.RowCount();
            std::vector<int> next(size_t(rows + 2), rows + 1); // the first row taken from each row on
            for (int r = rows; r >= 1; --r) {
                const QStringList p = g.CellValue(r, "DateTime").split('|');
                const QString st = p.value(0).trimmed(), et = p.value(1).trimmed(), sd = p.value(2).trimmed(),
                              ed = p.value(3).trimmed();
                const auto none = [](const QString& d) { return d.isEmpty() || d == "0"; };
                const bool undated = ask.undatedWhenEitherEmpty ? sd.isEmpty() || ed.isEmpty() : none(sd) && none(ed);
                const bool valid = !ask.validity || (undated ? blnIsValidTime(st, et, s, now)
                                                             : blnIsValidDayTime(st, et, sd, ed, s, now));
                const bool placed = ask.locationField.isEmpty() || ask.locations.contains(g.CellValue(r, "Room"));
                next[size_t(r)] = valid && placed ? r : next[size_t(r + 1)];
            }
            for (int r = 1; r <= rows; ++r) {
                ASSERT_EQ(index.nextTaken(r, rows), next[size_t(r)]) << "page " << page << " row " << r;
                ASSERT_EQ(index.nextTaken(r, r), next[size_t(r)] == r ? r : r + 1) << "page " << page << " row " << r;
            }
            // A change in the middle of the page.
            switch (rnd(8)) {
            case 0:
                g.SetCellValue(int(1 + rnd(quint32(g.RowCount() + 1))), "DateTime", cell());
                break;
            case 1:
                addRow();
                break;
            case 2:
                g.RemoveRow(int(1 + rnd(quint32(g.RowCount() + 1))));
                break;
            case 3:
                g.MoveRow(int(1 + rnd(quint32(g.RowCount() + 1))), int(1 + rnd(quint32(g.RowCount() + 1))));
                break;
            case 4:
                g.SortObject().SetCount(1);
                g.SortObject().SetCol(1, int(1 + rnd(2)));
                g.Sort();
                break;
            case 5:
                if (rnd(4) == 0)
                    g.Clear();
                break;
            case 6: {
                g.SetRedraw(false);
                g.SetCellValue(int(1 + rnd(quint32(g.RowCount() + 1))), "Room", pick(places));
                Grid copy = g; // the grid replaced by a copy of itself, changed
                addRow();
                std::swap(g, copy);
                break;
            }
            default:
                break;
            }
        }
    }
}
