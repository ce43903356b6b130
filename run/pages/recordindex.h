#pragma once
// The record list as the page collection reads it, page after page: each
// distinct validity cell ("DateTime") and each distinct location cell of a
// record grid is read once per change of the grid (a validity cell when a
// row holding it is first tested), so that testing a row on a page costs a
// look-up and a few comparisons instead of splitting and parsing texts. The
// answers are those of the validity tests themselves.
//
// The index follows the grid's revision: any change of the grid (rows added,
// removed, edited, moved or sorted, the grid cleared or replaced) is seen at
// the next test, and the index is then built again from the grid.
#include "platform/grid.h"
#include "run/pages/validity.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace pages {

class RecordIndex {
public:
    // What one page asks: the location column (empty: no location test)
    // and its locations, whether validation is on, the rules and the
    // moment, and which records get the undated test: with
    // `undatedWhenEitherEmpty` those whose start or end date is empty,
    // otherwise those whose start and end date are each "0" or empty.
    struct Page {
        QString locationField;
        QStringList locations; // trimmed, none blank
        bool validity = false;
        ValidityRules rules;
        ValidityMoment now;
        bool undatedWhenEitherEmpty = false;
    };

    // Starts a page over `grid`.
    void beginPage(const Grid& grid, Page page);

    // The first row in from..last (rows 1..RowCount of the page's grid)
    // that passes the location test and the validity test; `last` + 1 when
    // none does.
    int nextTaken(int from, int last);

private:
    // One column's distinct texts, for one revision of one grid.
    struct Column {
        const Grid* grid = nullptr;
        uint64_t revision = 0;
        int col = -1;
        Grid::DistinctColumn texts;
        bool current(const Grid& g, int c) const { return grid == &g && revision == g.Revision() && col == c; }
    };
    // What a distinct validity cell holds.
    struct Cell {
        RecordWindow window;
        bool noDates = false;      // start and end date each "0" or empty
        bool anyDateEmpty = false; // start or end date empty
        bool read = false;         // the fields above are read from the text
    };
    enum Answer : int8_t { Unknown, No, Yes };

    void refresh();
    bool locationPasses(uint32_t id);
    bool validityPasses(uint32_t id);

    const Grid* grid_ = nullptr;
    uint64_t revision_ = 0; // the grid's revision the answers below belong to
    Page page_;
    Column location_;
    Column dateTime_;
    std::vector<Cell> cells_; // per distinct text of dateTime_, read when first asked
    // This page's answers per distinct text, worked out when first asked.
    std::vector<Answer> locationAnswers_;
    std::vector<Answer> validityAnswers_;
};

} // namespace pages
