// Fuzz bodies: every reader and the record-file loader over arbitrary bytes.
// A finding is a crash, a hang, a broken record line (not 20 TABs, or a
// validity cell of other than four parts where a reader builds one) or a
// conversion (at any block size) or load of the bytes that differs from that
// of their text, or records out of order.
#include "platform/textfile.h"
#include "records/readers.h"
#include "records/recordstore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString textOf(const uint8_t* data, size_t size)
{
    return textfile::decode(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
}

int runReader(records::Reader reader, const uint8_t* data, size_t size)
{
    QByteArray out;
    const bool ok = records::convertText(reader, textOf(data, size), out);
    // Working on the undecoded bytes a block at a time must give the very
    // same result, wherever the blocks cut lines and characters.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const qsizetype block : {records::kBlockBytes, qsizetype(1), qsizetype(7)}) {
        QByteArray direct;
        if (records::convertBytes(reader, bytes, direct, nullptr, block) != ok || direct != out)
            std::abort();
    }
    if (!ok)
        return 0;
    // The EBMS reader leaves the cell empty; the others build it of four parts.
    const qsizetype bars = reader == records::Reader::EBMS ? 0 : 3;
    for (const QString& line : textfile::splitLinesAnyEnd(textfile::decode(out)))
        if (line.count(QLatin1Char('\t')) != records::kRecordFields - 1 ||
            line.section(QLatin1Char('\t'), -1).count(QLatin1Char('|')) != bars)
            std::abort();
    if (!out.isEmpty() && !out.endsWith("\r\n"))
        std::abort();
    return 0;
}

} // namespace

int fuzzDelphiReader(const uint8_t* data, size_t size)
{
    return runReader(records::Reader::Delphi, data, size);
}
int fuzzMicrosReader(const uint8_t* data, size_t size)
{
    return runReader(records::Reader::Micros, data, size);
}
int fuzzEBMSReader(const uint8_t* data, size_t size)
{
    return runReader(records::Reader::EBMS, data, size);
}
int fuzzOwnRecordsReader(const uint8_t* data, size_t size)
{
    return runReader(records::Reader::OwnRecords, data, size);
}
int fuzzBasicTextReader(const uint8_t* data, size_t size)
{
    return runReader(records::Reader::BasicText, data, size);
}

// The loader with both field mappings (the lookup table is filled from the
// same input) and the sort; every row keeps its 21 cells.
int fuzzOrvLoader(const uint8_t* data, size_t size)
{
    const QStringList lines = textfile::splitLinesAnyEnd(textOf(data, size));
    DataGrids grids;
    grids.igIDLookup.AddCol(QStringLiteral("ID"));
    grids.igIDLookup.AddCol(QStringLiteral("Description"));
    for (const QString& line : lines.mid(0, 8)) {
        const int row = grids.igIDLookup.AddRow();
        grids.igIDLookup.SetCellValue(row, 1, line.section(QLatin1Char('\t'), 0, 0));
        grids.igIDLookup.SetCellValue(row, 2, line.section(QLatin1Char('\t'), 1, 1));
    }
    const RDMSortSettings sort{QStringLiteral("Descending"), QStringLiteral("Line 9"), QStringLiteral("Line 4")};
    for (const char* type : {"0", "2"}) {
        fillRDMFromLines(grids, lines, QString::fromLatin1(type), sort);
        // Loading the undecoded bytes gives the same rows.
        DataGrids direct;
        direct.igIDLookup = grids.igIDLookup;
        QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
        fillRDMFromBytes(direct, bytes, QString::fromLatin1(type), sort);
        if (direct.igRDM.RowCount() != grids.igRDM.RowCount())
            std::abort();
        const Grid& g = grids.igRDM;
        for (int row = 1; row <= g.RowCount(); ++row) {
            if (direct.igRDM.RowValues(row) != g.RowValues(row))
                std::abort();
            // Descending by "Line 9", then "Line 4".
            if (row > 1 && QString::fromLatin1(type) == QLatin1String("0")) {
                int c = Grid::CompareText(g.CellValue(row - 1, 9), g.CellValue(row, 9));
                if (c == 0)
                    c = Grid::CompareText(g.CellValue(row - 1, 4), g.CellValue(row, 4));
                if (c < 0)
                    std::abort();
            }
        }
        if (grids.igRDM.RowCount() > lines.size() || grids.igRDM.ColCount() != records::kRecordFields)
            std::abort();
        for (int row = 1; row <= grids.igRDM.RowCount(); ++row) {
            if (recordLine(grids.igRDM, row).count(QLatin1Char('\t')) != records::kRecordFields - 1)
                std::abort();
            // The EBMS mapping builds the window of four parts.
            if (QString::fromLatin1(type) == QLatin1String("2") &&
                g.CellValue(row, records::kDateTimeKey).count(QLatin1Char('|')) != 3)
                std::abort();
        }
    }
    return 0;
}
