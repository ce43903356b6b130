#include "records/recordstore.h"

#include "core/globals.h"
#include "core/modmain.h"
#include "platform/atomicfile.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "recordlist/idlookup.h"
#include "records/readers.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <vector>

namespace records {

QString lineKey(int n)
{
    return QStringLiteral("Line %1").arg(n);
}

} // namespace records

using namespace records;

namespace {

bool isUpperNone(const QString& s)
{
    return s.toUpper() == QLatin1String("NONE");
}

// Column indexes of the record columns in a grid, looked up once.
std::array<int, kRecordFields> recordColumns(const Grid& g)
{
    std::array<int, kRecordFields> cols{};
    for (int k = 1; k <= kRecordLines; ++k)
        cols[size_t(k - 1)] = g.ColIndex(lineKey(k));
    cols[kRecordFields - 1] = g.ColIndex(kDateTimeKey);
    return cols;
}

using Cells = std::array<QString, kRecordFields>; // "Line 1" .. "Line 20", "DateTime"
using Columns = std::array<int, kRecordFields>;

// "Line 1" .. "Line 12" and the DateTime cell of a record line, trimmed;
// "Line 13" .. "Line 20" stay empty.
template <typename View> void fillPlain(Grid& g, const Columns& cols, const std::vector<View>& f)
{
    std::array<QAnyStringView, kRecordFields> cells{};
    const size_t shown = std::min<size_t>(f.size(), kShownLines);
    for (size_t i = 0; i < shown; ++i)
        if (cols[i] > 0)
            cells[size_t(cols[i] - 1)] = trimBlankView(f[i]);
    if (f.size() >= size_t(kRecordFields) && cols[kRecordFields - 1] > 0)
        cells[size_t(cols[kRecordFields - 1] - 1)] = trimBlankView(f[kRecordFields - 1]);
    g.AppendRow(cells);
}

// The EBMS function record: the columns of the function file rearranged
// into the record layout, with two location descriptions looked up. A
// missing field reads as empty text.
void fillEBMS(Grid& g, const Columns& cols, const Grid& lookup, const std::vector<QStringView>& f)
{
    auto raw = [&f](int n) { return n >= 1 && size_t(n) <= f.size() ? f[size_t(n - 1)] : QStringView(); };
    auto field = [&raw](int n) { return trimBlanks(raw(n)); };
    auto describe = [&](int n) { return lookupIDDescription(lookup, raw(n).toString()); };

    const QString f18 = field(18);
    if (f18.isEmpty() || f18.toUpper().contains(QLatin1String("HH")))
        return;
    // Tested against the raw text: only an exact "Y" picks the first layout.
    const bool layoutY = raw(17) == u"Y";

    Cells line; // line[0] is "Line 1"
    line[0] = field(2);
    if (layoutY) {
        line[1] = field(8);
        line[2] = describe(3);
        for (int i = 0; i < 4; ++i) {
            line[size_t(3 + i)] = field(9 + i);
            line[size_t(14 + i)] = field(4 + i);
        }
        line[11] = field(3);
        line[19] = f18;
    } else {
        line[1] = describe(18);
        for (int i = 0; i < 4; ++i) {
            line[size_t(3 + i)] = field(4 + i);
            line[size_t(14 + i)] = field(9 + i);
        }
        line[11] = f18;
        line[12] = field(8);
        line[19] = field(3);
    }
    for (int i = 0; i < 4; ++i)
        line[size_t(7 + i)] = field(14 + i);
    line[13] = field(1);
    line[18] = field(13);
    // A "|" inside a time or a date would add a part to the cell and shift
    // the parts after it: the cell leaves it out.
    auto part = [&line](size_t i) { return QString(line[i]).remove(QLatin1Char('|')); };
    line[kRecordFields - 1] =
        part(3) + QLatin1Char('|') + part(4) + QLatin1Char('|') + part(5) + QLatin1Char('|') + part(6);
    std::array<QAnyStringView, kRecordFields> cells{};
    for (size_t i = 0; i < line.size(); ++i)
        if (cols[i] > 0)
            cells[size_t(cols[i] - 1)] = line[i];
    g.AppendRow(cells);
}

// One sort pass over the given keys (all with the same order).
void sortPass(Grid& g, const std::vector<int>& cols, int order)
{
    g.SetRedraw(false);
    GridSort& s = g.SortObject();
    s.SetCount(int(cols.size()));
    for (size_t k = 0; k < cols.size(); ++k) {
        s.SetCol(int(k + 1), cols[k]);
        s.SetOrder(int(k + 1), order);
        s.SetSetting(int(k + 1), 2);
    }
    g.Sort();
    g.SetRedraw(true);
}

void appendLine(QString& out, const Grid& g, const std::array<int, kRecordFields>& cols, int row, int columns)
{
    for (int c = 0; c < columns; ++c) {
        if (c > 0)
            out += QLatin1Char('\t');
        out += blankControlBreaks(g.CellValue(row, cols[size_t(c)]));
    }
}

// The first `columns` record fields of every row, one line each.
bool writeLinesOf(const Grid& g, int columns, const QString& path, QString* error)
{
    const auto cols = recordColumns(g);
    QString out;
    for (int row = 1; row <= g.RowCount(); ++row) {
        appendLine(out, g, cols, row, columns);
        out += QLatin1String("\r\n");
    }
    return textfile::writeText(path, out, error);
}

} // namespace

QString blankControlBreaks(QString text)
{
    for (QChar& ch : text)
        if (ch == QLatin1Char('\t') || ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            ch = QLatin1Char(' ');
    return text;
}

void initRDMGridColumns(Grid& igRDM)
{
    igRDM.SetRedraw(false);
    igRDM.Clear(true);
    for (int k = 1; k <= kShownLines; ++k)
        igRDM.AddCol(lineKey(k), lineKey(k), true);
    for (int k = kShownLines + 1; k <= kRecordLines; ++k)
        igRDM.AddCol(lineKey(k), lineKey(k), false, 14);
    igRDM.AddCol(kDateTimeKey, kDateTimeKey, false, 14);
    for (int c = 1; c <= igRDM.ColCount(); ++c)
        igRDM.AutoSizeColumn(c);
    igRDM.SetRedraw(true);
}

void initURGridColumns(Grid& igUR)
{
    igUR.SetRedraw(false);
    igUR.Clear(true);
    igUR.AddCol(QStringLiteral("ID"), QStringLiteral("ID"), true);
    igUR.AddCol(QStringLiteral("Status"), QStringLiteral("Status"), true);
    for (int k = 1; k <= kShownLines; ++k)
        igUR.AddCol(lineKey(k), lineKey(k), true);
    for (int c = 1; c <= igUR.ColCount(); ++c)
        igUR.AutoSizeColumn(c);
    igUR.SetRedraw(true);
}

std::vector<int> sortColumns(const Grid& igRDM, const RDMSortSettings& sort, int& order)
{
    order = 0;
    if (sort.type.isEmpty() || isUpperNone(sort.type))
        return {};
    const QString type = sort.type.toUpper();
    if (type == QLatin1String("ASCENDING"))
        order = 0;
    else if (type == QLatin1String("DESCENDING"))
        order = 1;
    else
        return {};

    const int lineCol = sort.line.isEmpty() ? 0 : igRDM.ColIndex(trimBlanks(sort.line));
    std::vector<int> cols;
    if (!sort.group.isEmpty() && !isUpperNone(sort.group)) {
        const int groupCol = igRDM.ColIndex(trimBlanks(sort.group));
        if (groupCol == 0)
            return {}; // no such column: keep the file order
        cols.push_back(groupCol);
    }
    if (lineCol != 0)
        cols.push_back(lineCol);
    return cols;
}

void sortRDMBySettings(Grid& igRDM, const RDMSortSettings& sort)
{
    // Sorting by the group and then, stably, by group and line gives the
    // same rows as one stable sort by both keys.
    int order = 0;
    const std::vector<int> cols = sortColumns(igRDM, sort, order);
    if (!cols.empty())
        sortPass(igRDM, cols, order);
}

namespace {

// Fills igRDM (columns already made) from the lines of a record file.
template <typename View> class RecordFiller {
public:
    RecordFiller(DataGrids& grids, bool ebms)
        : grids_(grids)
        , cols_(recordColumns(grids.igRDM))
        , ebms_(ebms)
    {
    }

    void add(View line)
    {
        if (line.isEmpty())
            return;
        if (!ebms_) {
            splitTabs(line, fields_);
            fillPlain(grids_.igRDM, cols_, fields_);
            return;
        }
        if constexpr (std::is_same_v<View, QStringView>) {
            splitTabs(line, wide_);
        } else {
            text_ = line.toString();
            splitTabs(QStringView(text_), wide_);
        }
        fillEBMS(grids_.igRDM, cols_, grids_.igIDLookup, wide_);
    }

    // Every line of `text`, cut at CRLF, LF or a lone CR.
    void addText(View text)
    {
        textfile::forEachLineAnyEnd(text, [this](View line) { add(line); });
    }

private:
    DataGrids& grids_;
    const Columns cols_;
    const bool ebms_;
    std::vector<View> fields_;
    std::vector<QStringView> wide_;
    QString text_;
};

template <typename Fill> void fillRDM(DataGrids& grids, const QString& dataType, const RDMSortSettings& sort, Fill fill)
{
    Grid& g = grids.igRDM;
    initRDMGridColumns(g);
    g.SetRedraw(false);
    const bool ebms = dataType == QLatin1String("2");
    fill(ebms);
    g.RefreshGrid();
    g.SetRedraw(true);
    if (!ebms)
        sortRDMBySettings(g, sort);
}

} // namespace

void fillRDMFromBytes(DataGrids& grids, QByteArray& bytes, const QString& dataType, const RDMSortSettings& sort)
{
    fillRDM(grids, dataType, sort, [&](bool ebms) {
        QLatin1StringView ascii;
        if (textfile::asciiText(bytes, ascii)) {
            RecordFiller<QLatin1StringView>(grids, ebms).addText(ascii);
        } else {
            const QString text = textfile::decode(bytes);
            bytes.clear();
            RecordFiller<QStringView>(grids, ebms).addText(text);
        }
        bytes.clear();
    });
}

void fillRDMFromLines(DataGrids& grids, const QStringList& lines, const QString& dataType, const RDMSortSettings& sort)
{
    fillRDM(grids, dataType, sort, [&](bool ebms) {
        RecordFiller<QStringView> filler(grids, ebms);
        for (const QString& line : lines)
            filler.add(line);
    });
}

bool loadRDMFromOrvFile(DataGrids& grids, const QString& path)
{
    BusyGuard busy;
    if (path.isEmpty() || !modMain::blnFileExists(path) ||
        modMain::GetRightOfLast(path, QLatin1Char('.')).toUpper() != QLatin1String("ORV"))
        return false;

    QByteArray bytes;
    QString error;
    if (!textfile::readBytes(path, bytes, &error)) {
        statusMessage(QStringLiteral("!!! The record file could not be loaded: %1").arg(error));
        bytes.clear();
    }
    // Other Data Types than "2" get their sort here, as the rows go in.
    fillRDMFromBytes(grids, bytes, gstrDataType, RDMSortSettings{gstrSortType, gstrSortGroup, gstrSortLine});
    QCoreApplication::processEvents();
    if (recordshooks::showTotalRecords)
        recordshooks::showTotalRecords(grids.igRDM.RowCount());
    if (gstrDataType == QLatin1String("2") && recordshooks::buildRADEList)
        recordshooks::buildRADEList(grids);
    if (recordshooks::recordsLoaded)
        recordshooks::recordsLoaded();
    return true;
}

void LoadDataFileIfExists(DataGrids& grids, const QString& path)
{
    if (modMain::blnFileExists(path))
        loadRDMFromOrvFile(grids, path);
}

QString recordLine(const Grid& grid, int row)
{
    QString out;
    appendLine(out, grid, recordColumns(grid), row, kRecordFields);
    return out;
}

bool writeRecordFile(const Grid& igRDM, const QString& path, QString* error)
{
    return writeLinesOf(igRDM, kRecordFields, path, error);
}

bool writeRADEFile(const Grid& igRADE, const QString& path, QString* error)
{
    return writeLinesOf(igRADE, kShownLines, path, error);
}
