// Builds the render list from 20,000 function records and joins 50,000
// bookings to it (file read, join and sort), printing the times taken.
#include "platform/textfile.h"
#include "recordlist/bookings.h"
#include "recordlist/idlookup.h"
#include "platform/vbvalue.h"
#include "recordlist/renderlist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    constexpr int kFunctions = 20000;
    constexpr int kBookings = 50000;
    constexpr int kEvents = 4000;
    constexpr int kRooms = 200;

    DataGrids grids;
    QStringList lookup;
    for (int room = 0; room < kRooms; ++room)
        lookup << QStringLiteral("R%1,Room %1").arg(room);
    fillIDLookup(lookup, grids.igIDLookup);

    // Function records: every event has one unflagged record and several
    // flagged ones in different rooms, times spread over the day.
    Grid& rdm = grids.igRDM;
    for (int i = 1; i <= 20; ++i)
        rdm.AddCol(QStringLiteral("Line %1").arg(i));
    rdm.AddCol(QStringLiteral("DateTime"));
    for (int i = 0; i < kFunctions; ++i) {
        const int r = rdm.AddRow();
        const int event = (i * 7919) % kEvents;
        const bool flagged = i % 5 != 0;
        const QString time = vb::FormatZeros(600 + (i * 37) % 1600, 4);
        rdm.SetCellValue(r, 1, QStringLiteral("Event %1").arg(event));
        rdm.SetCellValue(r, 2, QStringLiteral("Function %1").arg(i));
        rdm.SetCellValue(r, 4, time);
        rdm.SetCellValue(r, 5, time);
        rdm.SetCellValue(r, 6, QStringLiteral("20240101"));
        rdm.SetCellValue(r, 7, QStringLiteral("20240101"));
        rdm.SetCellValue(r, 8, QString::number(i % 9));
        rdm.SetCellValue(r, 9, QStringLiteral("EV%1").arg(event));
        rdm.SetCellValue(r, 11, flagged ? QStringLiteral("Y") : QStringLiteral("N"));
        rdm.SetCellValue(r, 12, QStringLiteral("R%1").arg(i % kRooms));
        rdm.SetCellValue(r, 19, QString::number(25 + i % 30));
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("bookings.txt");
    QStringList lines{QStringLiteral("Event,HHResource,Start,End,Date,X,Status")};
    for (int i = 0; i < kBookings; ++i)
        lines << QStringLiteral("\"EV%1\",\"R%2\",%3,%4,20240101,x,%5")
                     .arg((i * 31) % (kEvents + 500))
                     .arg((i * 13) % kRooms)
                     .arg(600 + i % 1600)
                     .arg(700 + i % 1600)
                     .arg(25 + i % 30);
    textfile::writeLines(path, lines);

    const ListSortSettings sort{QStringLiteral("Ascending"), QStringLiteral("Line 9"), QStringLiteral("Line 4")};
    QElapsedTimer t;
    t.start();
    buildRADEList(grids.igRDM, grids.igRADE, grids.igRADE2, sort);
    const qint64 renderMs = t.elapsed();
    t.restart();
    loadEBMSBookingFile(path, grids, QStringLiteral("R1;R2"), sort);
    const qint64 joinMs = t.elapsed();

    std::printf("render list: %d function records -> %d rows in %lld ms\n", kFunctions, grids.igRADE.RowCount(),
                static_cast<long long>(renderMs));
    std::printf("bookings: %d lines -> %d kept, %d joined rows in %lld ms\n", kBookings, grids.igBook2.RowCount(),
                grids.igBook.RowCount(), static_cast<long long>(joinMs));
    std::printf("total: %lld ms\n", static_cast<long long>(renderMs + joinMs));
    return 0;
}
