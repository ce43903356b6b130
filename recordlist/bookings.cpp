#include "recordlist/bookings.h"

#include "core/globals.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "platform/vbvalue.h"
#include "recordlist/idlookup.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

struct ColumnDef {
    const char* key;
    const char* header;
    bool visible;
};

const ColumnDef kBookCols[] = {
    {"Line 1", "Event ID", true},           {"Line 2", "Resource ID", true},
    {"Line 3", "Booking Start Time", true}, {"Line 4", "Booking End Time", true},
    {"Line 5", "Booking Date", true},       {"Line 6", "Event Title", true},
    {"Line 7", "Function Name", true},      {"Line 8", "Booking Resource Description", true},
    {"Line 9", "Booking Status", true},     {"Line 10", "Function Start Time", true},
    {"Line 11", "Function End Time", true}, {"BID", "Booking ID", true},
    {"FSD", "Function Start Date", false},  {"FED", "Function End Date", false},
};

const ColumnDef kBook2Cols[] = {
    {"BID", "Booking ID", true},          {"Line 1", "Event ID", true},
    {"Line 2", "Resource ID", true},      {"Line 3", "Booking Start Time", true},
    {"Line 4", "Booking End Time", true}, {"Line 5", "Booking Date", true},
};

template <size_t N> void buildColumns(Grid& g, const ColumnDef (&cols)[N])
{
    g.SetRedraw(false);
    g.Clear(true);
    for (const ColumnDef& c : cols)
        g.AddCol(QString::fromLatin1(c.key), QString::fromLatin1(c.header), c.visible);
    for (int c = 1; c <= g.ColCount(); ++c)
        g.AutoSizeColumn(c);
    g.SetRedraw(true);
}

QString cleanField(const QStringList& fields, int i)
{
    QString f = fields.value(i);
    f.remove(QLatin1Char('"'));
    return f.trimmed();
}

// A numeric time as a whole number of at least four digits ("930" ->
// "0930"); any other text unchanged.
QString formatTime(const QString& text)
{
    const std::optional<double> n = vb::NumberOf(text);
    if (!n)
        return text;
    const double v = std::round(*n); // halves away from zero
    QString digits = QString::number(std::fabs(v), 'f', 0);
    if (digits.size() < 4)
        digits = QString(4 - digits.size(), QLatin1Char('0')) + digits;
    return v < 0 ? QLatin1Char('-') + digits : digits;
}

// A function record of the render list as the join reads it (trimmed).
struct FunctionRecord {
    QString title;    // "Line 1"
    QString name;     // "Line 2"
    QString start;    // "Line 4"
    QString end;      // "Line 5"
    QString fromDate; // "Line 6"
    QString toDate;   // "Line 7"
    QString location; // "Line 12"
    bool flagged;     // "Line 11" is "Y"
};

// The render list read once per load, with the rows of each event in order,
// so that a scan for one event visits only that event's records.
class FunctionIndex {
public:
    explicit FunctionIndex(const Grid& igRADE)
    {
        auto col = [&igRADE](const char* key) { return igRADE.ColIndex(QString::fromLatin1(key)); };
        const int c1 = col("Line 1"), c2 = col("Line 2"), c4 = col("Line 4"), c5 = col("Line 5"), c6 = col("Line 6"),
                  c7 = col("Line 7"), c9 = col("Line 9"), c11 = col("Line 11"), c12 = col("Line 12");
        const int rows = igRADE.RowCount();
        records_.reserve(size_t(rows));
        for (int r = 1; r <= rows; ++r) {
            records_.push_back(FunctionRecord{igRADE.CellValue(r, c1).trimmed(), igRADE.CellValue(r, c2).trimmed(),
                                              igRADE.CellValue(r, c4).trimmed(), igRADE.CellValue(r, c5).trimmed(),
                                              igRADE.CellValue(r, c6).trimmed(), igRADE.CellValue(r, c7).trimmed(),
                                              igRADE.CellValue(r, c12).trimmed(),
                                              igRADE.CellValue(r, c11).trimmed().toUpper() == QLatin1String("Y")});
            byEvent_[igRADE.CellValue(r, c9).trimmed()].push_back(r - 1);
        }
    }

    const FunctionRecord& record(int index) const { return records_[size_t(index)]; }
    // Indexes (0-based, ascending) of the records of an event.
    const std::vector<int>& eventRows(const QString& event) const
    {
        static const std::vector<int> none;
        auto it = byEvent_.find(event);
        return it == byEvent_.end() ? none : it.value();
    }

private:
    std::vector<FunctionRecord> records_;
    QHash<QString, std::vector<int>> byEvent_;
};

struct Booking {
    QString id; // booking number
    QString event, resource, start, end, date, status, description;
};

struct JoinedRow {
    QString title, name, start, end, fromDate, toDate;
};

void addBookRow(Grid& igBook, const Booking& b, const JoinedRow& j)
{
    const int r = igBook.AddRow();
    const QString values[] = {b.event,       b.resource, b.start, b.end, b.date, j.title,    j.name,
                              b.description, b.status,   j.start, j.end, b.id,   j.fromDate, j.toDate};
    for (int c = 0; c < 14; ++c)
        igBook.SetCellValue(r, c + 1, values[c]);
}

// Joins one booking: a row for every "Y" record of its event whose location
// is the booking's resource or one of the assigned locations, scanning on
// after each match; a booking without any match keeps one row.
void joinBooking(const Booking& b, const FunctionIndex& functions, const QSet<QString>& assigned, Grid& igBook)
{
    const std::vector<int>& rows = functions.eventRows(b.event);
    int start = 0; // first render-list index the next pass looks at
    bool firstPass = true;
    for (;;) {
        JoinedRow j;
        bool found = false;
        for (auto it = std::lower_bound(rows.begin(), rows.end(), start); it != rows.end(); ++it) {
            const FunctionRecord& f = functions.record(*it);
            if (j.title.isEmpty())
                j.title = f.title;
            if (!f.flagged)
                continue;
            if (f.location == b.resource || assigned.contains(f.location)) {
                j.name = f.name;
                j.start = f.start;
                j.end = f.end;
                j.fromDate = f.fromDate;
                j.toDate = f.toDate;
                start = *it + 1;
                found = true;
                break;
            }
        }
        if (found || firstPass)
            addBookRow(igBook, b, j);
        if (!found)
            return;
        firstPass = false;
    }
}

} // namespace

void initBookingGridColumns(Grid& igBook, Grid& igBook2)
{
    buildColumns(igBook, kBookCols);
    buildColumns(igBook2, kBook2Cols);
}

void fillEBMSBookings(const QStringList& lines, const BookingJoinInput& in, Grid& igBook, Grid& igBook2)
{
    BusyGuard busy;
    QSet<QString> assigned;
    if (!in.assignedLocation.isEmpty()) {
        for (const QString& item : in.assignedLocation.split(QLatin1Char(';'))) {
            const QString t = item.trimmed();
            if (!t.isEmpty())
                assigned.insert(t);
        }
    }

    initBookingGridColumns(igBook, igBook2);
    igBook.SetRedraw(false);
    igBook2.SetRedraw(false);

    const FunctionIndex functions(in.igRADE);
    const IDLookupIndex lookup(in.igIDLookup);
    qint64 number = 0;
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        ++number; // header and dropped lines count too
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() > 1 && fields[1].contains(QLatin1String("HH")))
            continue;
        if (fields.size() < 7)
            continue; // no status to test
        Booking b;
        b.status = cleanField(fields, 6);
        const double status = vb::Val(b.status);
        if (status < 29 || status > 50)
            continue;
        b.id = QString::number(number);
        b.event = cleanField(fields, 0);
        b.resource = cleanField(fields, 1);
        b.start = formatTime(cleanField(fields, 2));
        b.end = formatTime(cleanField(fields, 3));
        b.date = cleanField(fields, 4);
        b.description = lookup.description(b.resource);

        const int r = igBook2.AddRow();
        const QString kept[] = {b.id, b.event, b.resource, b.start, b.end, b.date};
        for (int c = 0; c < 6; ++c)
            igBook2.SetCellValue(r, c + 1, kept[c]);

        joinBooking(b, functions, assigned, igBook);
    }

    igBook.SetRedraw(true);
    igBook2.SetRedraw(true);
    sortGridBySettings(igBook, in.sort, 13);
    sortGridBySettings(igBook2, in.sort, 13);
}

bool loadEBMSBookingFile(const QString& path, DataGrids& grids, const QString& assignedLocation,
                         const ListSortSettings& sort, QString* error)
{
    BusyGuard busy;
    QStringList lines;
    QString why;
    if (!textfile::readLinesAnyEnd(path, lines, &why)) {
        statusMessage(QStringLiteral("!!! Booking file not loaded: %1").arg(why));
        if (error)
            *error = why;
        return false;
    }
    fillEBMSBookings(lines, BookingJoinInput{grids.igRADE, grids.igIDLookup, assignedLocation, sort}, grids.igBook,
                     grids.igBook2);
    return true;
}

bool loadEBMSBookingFile(const QString& path)
{
    return loadEBMSBookingFile(path, dataGrids(), gstrAssignedLocation, ListSortSettings::fromGlobals());
}
