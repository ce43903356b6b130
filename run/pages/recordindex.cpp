#include "run/pages/recordindex.h"

#include <algorithm>
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
            cells_.assign(dateTime_.texts.texts.size(), Cell{});
        }
        validityAnswers_.assign(cells_.size(), Unknown);
    }
    revision_ = g.Revision();
}

int RecordIndex::nextTaken(int from, int last)
{
    if (grid_->Revision() != revision_)
        refresh();
    const int end = std::min(last, grid_->RowCount());
    const uint32_t* locations = page_.locationField.isEmpty() ? nullptr : location_.texts.ids.data();
    const uint32_t* cells = page_.validity ? dateTime_.texts.ids.data() : nullptr;
    for (int r = std::max(from, 1); r <= end; ++r) {
        const size_t i = size_t(r - 1);
        if ((!locations || locationPasses(locations[i])) && (!cells || validityPasses(cells[i])))
            return r;
    }
    return last + 1;
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
        Cell& c = cells_[id];
        if (!c.read) {
            // Read when first asked, in the scan between two looks at the
            // keys, rather than all at once when the list has changed.
            const auto p = dateTimeParts(dateTime_.texts.texts[id]);
            c = {readRecordWindow(p[0], p[1], p[2], p[3]), noDate(p[2]) && noDate(p[3]),
                 p[2].isEmpty() || p[3].isEmpty(), true};
        }
        const bool undated = page_.undatedWhenEitherEmpty ? c.anyDateEmpty : c.noDates;
        const bool valid =
            undated ? isValidUndated(c.window, page_.rules, page_.now) : isValidDated(c.window, page_.rules, page_.now);
        a = valid ? Yes : No;
    }
    return a == Yes;
}

} // namespace pages
