#include "recordlist/idlookup.h"

#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"

namespace {

QString cleanField(QString f)
{
    f.remove(QLatin1Char('"'));
    return f.trimmed();
}

// Column set-up shared by the small grids: redraw off, everything cleared,
// the columns added in order, redraw on.
void buildColumns(Grid& g, const QStringList& keys, int lastSetting)
{
    g.SetRedraw(false);
    g.Clear(true);
    for (int i = 0; i < keys.size(); ++i)
        g.AddCol(keys[i], keys[i], true, i == keys.size() - 1 ? lastSetting : 0);
    for (int c = 1; c <= g.ColCount(); ++c)
        g.AutoSizeColumn(c);
    g.SetRedraw(true);
}

} // namespace

void initIDLookupColumns(Grid& igIDLookup)
{
    igIDLookup.SetRedraw(false);
    igIDLookup.Clear(true);
    igIDLookup.AddCol(QStringLiteral("ID"), QStringLiteral("ID"), true, 14);
    igIDLookup.AddCol(QStringLiteral("Description"), QStringLiteral("Description"), true, 14);
    for (int c = 1; c <= igIDLookup.ColCount(); ++c)
        igIDLookup.AutoSizeColumn(c);
    igIDLookup.SetRedraw(true);
}

void fillIDLookup(const QStringList& lines, Grid& igIDLookup)
{
    BusyGuard busy;
    initIDLookupColumns(igIDLookup);
    igIDLookup.SetRedraw(false);
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char(','));
        const int row = igIDLookup.AddRow();
        igIDLookup.SetCellValue(row, 1, cleanField(fields.value(0)));
        igIDLookup.SetCellValue(row, 2, cleanField(fields.value(1)));
    }
    igIDLookup.RefreshGrid();
    igIDLookup.SetRedraw(true);
}

bool loadIDLookupFile(Grid& igIDLookup, const QString& path, QString* error)
{
    BusyGuard busy;
    QStringList lines;
    QString why;
    // A lookup table is a short list: the bound of small files.
    if (!textfile::readLinesAnyEnd(path, lines, &why, textfile::kMaxSmallFileBytes)) {
        statusMessage(QStringLiteral("!!! ID lookup file not loaded: %1").arg(why));
        if (error)
            *error = why;
        return false;
    }
    fillIDLookup(lines, igIDLookup);
    return true;
}

QString lookupIDDescription(const Grid& igIDLookup, const QString& id)
{
    const QString want = id.trimmed();
    const int idCol = igIDLookup.ColIndex(QStringLiteral("ID"));
    const int descCol = igIDLookup.ColIndex(QStringLiteral("Description"));
    for (int r = 1; r <= igIDLookup.RowCount(); ++r) {
        const QString cell = igIDLookup.CellValue(r, idCol);
        if (QStringView(cell).trimmed() == want)
            return igIDLookup.CellValue(r, descCol).trimmed();
    }
    return QString();
}

IDLookupIndex::IDLookupIndex(const Grid& igIDLookup)
{
    const int idCol = igIDLookup.ColIndex(QStringLiteral("ID"));
    const int descCol = igIDLookup.ColIndex(QStringLiteral("Description"));
    for (int r = 1; r <= igIDLookup.RowCount(); ++r) {
        const QString id = igIDLookup.CellValue(r, idCol).trimmed();
        if (!first_.contains(id))
            first_.insert(id, igIDLookup.CellValue(r, descCol).trimmed());
    }
}

QString IDLookupIndex::description(const QString& id) const
{
    return first_.value(id.trimmed());
}

void initActiveRecordsColumns(Grid& igActiveRecords)
{
    QStringList keys;
    for (int i = 1; i <= 12; ++i)
        keys << QStringLiteral("Line %1").arg(i);
    keys << QStringLiteral("Record");
    buildColumns(igActiveRecords, keys, 14);
}

void clearDataGrids(DataGrids& grids)
{
    for (Grid* g : {&grids.igRDM, &grids.igRADE, &grids.igBook, &grids.igBook2, &grids.igIDLookup})
        if (g->RowCount() > 0)
            g->Clear();
    if (StatusLog::instance().count() > 0)
        StatusLog::instance().clear();
}
