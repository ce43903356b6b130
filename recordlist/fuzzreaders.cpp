// Fuzz bodies for the booking and ID lookup readers. Each decodes the input
// as a text file, runs the reader over it and checks what must hold for any
// input; a broken rule aborts.
#include "platform/textfile.h"
#include "recordlist/bookings.h"
#include "recordlist/idlookup.h"
#include "recordlist/renderlist.h"

#include <QSet>

#include <cstdint>
#include <cstdlib>

namespace {

QStringList inputLines(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    return textfile::splitLinesAnyEnd(textfile::decode(bytes));
}

void require(bool ok)
{
    if (!ok)
        std::abort();
}

// A small render list: two events, flagged and unflagged records.
void fillFunctions(Grid& igRADE, Grid& staging)
{
    initRADEGridColumns(igRADE, staging);
    const char* rows[][5] = {
        // event, flag, location, title, start
        {"E1", "Y", "R1", "Gala", "0900"},
        {"E1", "N", "R2", "Gala", "1000"},
        {"E2", "Y", "R2", "Talk", "1100"},
        {"E1", "Y", "R3", "Gala", "1200"},
    };
    for (const auto& r : rows) {
        const int row = igRADE.AddRow();
        igRADE.SetCellValue(row, QStringLiteral("Line 9"), QString::fromLatin1(r[0]));
        igRADE.SetCellValue(row, QStringLiteral("Line 11"), QString::fromLatin1(r[1]));
        igRADE.SetCellValue(row, QStringLiteral("Line 12"), QString::fromLatin1(r[2]));
        igRADE.SetCellValue(row, QStringLiteral("Line 1"), QString::fromLatin1(r[3]));
        igRADE.SetCellValue(row, QStringLiteral("Line 4"), QString::fromLatin1(r[4]));
    }
}

} // namespace

int fuzzBookingReader(const uint8_t* data, size_t size)
{
    const QStringList lines = inputLines(data, size);
    Grid igRADE, staging, igIDLookup, igBook, igBook2;
    fillFunctions(igRADE, staging);
    fillIDLookup({QStringLiteral("R1,Room one"), QStringLiteral("R2,Room two")}, igIDLookup);

    const ListSortSettings sorts[] = {
        {QStringLiteral("None"), QString(), QString()},
        {QStringLiteral("Ascending"), QStringLiteral("Line 1"), QStringLiteral("Line 3")},
    };
    for (const ListSortSettings& sort : sorts) {
        fillEBMSBookings(lines, BookingJoinInput{igRADE, igIDLookup, QStringLiteral("R3; ;R9"), sort}, igBook, igBook2);
        require(igBook2.RowCount() <= lines.size());
        require(igBook.RowCount() >= igBook2.RowCount());
        QSet<QString> kept;
        for (int r = 1; r <= igBook2.RowCount(); ++r) {
            const QString id = igBook2.CellValue(r, QStringLiteral("BID"));
            require(id.toLongLong() >= 1 && id.toLongLong() <= lines.size());
            kept.insert(id);
        }
        for (int r = 1; r <= igBook.RowCount(); ++r)
            require(kept.contains(igBook.CellValue(r, QStringLiteral("BID"))));
    }
    return 0;
}

int fuzzLookupReader(const uint8_t* data, size_t size)
{
    const QStringList lines = inputLines(data, size);
    Grid igIDLookup;
    fillIDLookup(lines, igIDLookup);
    require(igIDLookup.ColCount() == 2 && igIDLookup.RowCount() <= lines.size());
    const IDLookupIndex index(igIDLookup);
    for (int r = 1; r <= igIDLookup.RowCount(); ++r) {
        const QString id = igIDLookup.CellValue(r, 1);
        require(!id.contains(QLatin1Char('"')) && id == id.trimmed());
        require(lookupIDDescription(igIDLookup, id) == index.description(id));
    }
    return 0;
}
