#include "run/pages/recordindex.h"

#include <array>

namespace pages {

namespace {

// The four parts of a DateTime cell, trimmed; missing parts are empty.
std::array<QString, 4> dateTimeParts(const QString& cell)
{
    const QStringList parts = cell.split(QLatin1Char('|'));
    std::array<QString, 4> out;
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        out[size_t(i)] = parts[i].trimmed();
    return out;
}

bool noDate(const QString& d)
{
    return d.isEmpty() || d == QLatin1String("0");
}

} // namespace

void RecordIndex::beginPage(const Grid& grid, Page page)
{
    grid_ = &grid;
    page_ = std::move(page);
    refresh();
}

void RecordIndex::refresh()
{
    const Grid& g = *grid_;
    if (!page_.locationField.isEmpty()) {
        const int col = g.ColIndex(page_.locationField);
        if (!location_.current(g, col))
            location_ = {&g, g.Revision(), col, g.DistinctTexts(col)};
        locationAnswers_.assign(location_.texts.texts.size(), Unknown);
    }
    if (page_.validity) {
        const int col = g.ColIndex(QStringLiteral("DateTime"));
        if (!dateTime_.current(g, col)) {
            dateTime_ = {&g, g.Revision(), col, g.DistinctTexts(col)};
            cells_.clear();
            cells_.reserve(dateTime_.texts.texts.size());
            for (const QString& text : dateTime_.texts.texts) {
                const auto p = dateTimeParts(text);
                cells_.push_back({readRecordWindow(p[0], p[1], p[2], p[3]), noDate(p[2]) && noDate(p[3]),
                                  p[2].isEmpty() || p[3].isEmpty()});
            }
        }
        validityAnswers_.assign(cells_.size(), Unknown);
    }
    revision_ = g.Revision();
}

bool RecordIndex::takes(int row)
{
    if (grid_->Revision() != revision_)
        refresh();
    if (row < 1 || row > grid_->RowCount())
        return false;
    const size_t i = size_t(row - 1);
    if (!page_.locationField.isEmpty() && !locationPasses(location_.texts.ids[i]))
        return false;
    return !page_.validity || validityPasses(dateTime_.texts.ids[i]);
}

bool RecordIndex::locationPasses(uint32_t id)
{
    Answer& a = locationAnswers_[id];
    if (a == Unknown)
        a = page_.locations.contains(location_.texts.texts[id]) ? Yes : No;
    return a == Yes;
}

bool RecordIndex::validityPasses(uint32_t id)
{
    Answer& a = validityAnswers_[id];
    if (a == Unknown) {
        const Cell& c = cells_[id];
        const bool undated = page_.undatedWhenEitherEmpty ? c.anyDateEmpty : c.noDates;
        const bool valid =
            undated ? isValidUndated(c.window, page_.rules, page_.now) : isValidDated(c.window, page_.rules, page_.now);
        a = valid ? Yes : No;
    }
    return a == Yes;
}

} // namespace pages
