#pragma once
// One page of the run cycle after the other: the next records valid now are
// collected from the ordered record list into the page grid, a template is
// chosen from the play-list by their count at the start of each pass through
// the list and loaded into an object of its own (never the designer's), the
// page is drawn on a PageCanvas and saved as the Image File in the Media
// folder.
//
// The page cursor only moves after drawing, past the records drawn, so the
// next page continues after them. A record whose slot of the template is
// incomplete is not drawn there: it opens the next page, where the first
// slot takes it; only a record the first slot can't draw is skipped, so no
// page can repeat for ever. A Records Per Page above 6 draws 6. Nothing here yields
// to the event loop; Esc, the right mouse button and the stop flag are polled
// through modMain::blnCheckUserAbort.
#include "core/datagrids.h"
#include "run/pages/pagerenderer.h"
#include "run/pages/recordindex.h"
#include "run/pages/validity.h"
#include "templates/template.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace pages {

// Where the page text of a line is drawn from, by the data source.
enum class SourceKey { Micros, Delphi, EbmsBooking, EbmsFunction, Orvane };

// The source key for a Data Type, Data File and whether bookings are loaded.
SourceKey sourceKeyFor(const QString& dataType, const QString& dataFile, bool haveBookings);

// A cell's text as drawn on line `line` (1..12) for `key`: times and dates
// formatted with the template's patterns (see the rules in pagecycle.cpp);
// every other line, and every line of the program's own format, trimmed.
QString formatCell(SourceKey key, int line, const QString& cell, const QString& dateFormat, const QString& timeFormat);

// The play-list row chosen for `count` records: the only row; else, from the
// bottom, the first entry containing the count; else, from the bottom, the
// first whose 15th character is a digit not above the count, or failing that
// the top-most with a digit above it. 0 when none.
int chooseTemplateRow(const Grid& playList, int count);

class PageCycle {
public:
    PageCycle(DataGrids& grids, PageCanvas& canvas);

    // Makes one page: collects it, loads the template at the start of a
    // pass, draws it and saves it. True when the page image was saved; False
    // after "No template to render.", "Can't load the template file.", a stop
    // ("Process stop.") or a failed save (logged by the canvas; the cursors
    // then stay where the page began, so the next try shows its records).
    bool blnRenderNextPage();

    // Draws the title, date, time and the page grid's records into the
    // canvas with the loaded template and moves the cursors past the records
    // drawn. False when the page grid is empty or no template is loaded.
    bool blnRenderDataTexture();

    // The run's start: both cursors back to the first row.
    void resetCursors();

    // The result of the last save: the page image and the name of the
    // player's copy (empty when none was made: then the player must not be
    // told about it).
    const PageSave& lastSave() const { return lastSave_; }
    const std::optional<templates::Template>& loadedTemplate() const { return template_; }

    // Run state, shared with the run control.
    int mlngPageCursor = 1;
    int mlngBookingCursor = 1;
    bool mblnNewPage = false;
    QString mstrPageTemplate;
    bool mblnFunctionMatched = false;

private:
    int collect();
    int collectRecords(const Grid& source, bool undatedWhenEitherEmpty);
    int collectBookings(bool continuing);
    // Loads the play-list's template file from the Data folder; false with
    // the "!!!" line that says why.
    bool loadTemplate(const QString& fileName, QString& why);
    enum class RecordDraw { Drawn, Abandoned, Stopped };
    RecordDraw drawRecord(int k, SourceKey key, QString& groupText);

    DataGrids& grids_;
    PageCanvas& canvas_;
    // Booking path: the booking row taken for each page record, and whether
    // the last page asked to go on with more rows of the same booking.
    std::vector<int> pageBookingRows_;
    bool continueBooking_ = false;
    std::optional<templates::Template> template_;
    PageSave lastSave_;
    // The moment and the validation settings the page is collected for.
    QDateTime now_;
    ValiditySettings validity_;
    // The record list's validity and location cells, read once per change.
    RecordIndex index_;
};

// The program's page cycle over its grids and one renderer, both living until
// the program ends.
PageCycle& programPageCycle();
PageRenderer& programPageRenderer();

} // namespace pages
