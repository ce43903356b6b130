#include "run/pages/pagecycle.h"

#include "core/globals.h"
#include "core/modmain.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/vbvalue.h"
#include "recordlist/idlookup.h"
#include "run/pages/validity.h"
#include "templates/templatefile.h"

#include <QFileInfo>

#include <exception>

namespace pages {

namespace {

// Records taken per page: one more than a template can show, so that the
// count of a full page chooses the largest template.
constexpr int kPageRecords = 7;
constexpr int kPageBookings = 6;
// Rows of the record list scanned between two looks at the keys and the stop
// flag: a look can cost a round trip to the display server, a row only a
// table look-up.
constexpr int kPollRows = 1 << 16;

const QString kTemplateColumn = QStringLiteral("Template");

QString lineKey(int n)
{
    return QStringLiteral("Line %1").arg(n);
}

// The locations of the location test; blank items match nothing.
QStringList locationItems()
{
    QStringList items;
    for (const QString& item : gstrAssignedLocation.split(QLatin1Char(';')))
        if (!item.trimmed().isEmpty())
            items << item.trimmed();
    return items;
}

bool poll()
{
    return modMain::blnCheckUserAbort();
}

} // namespace

int chooseTemplateRow(const Grid& playList, int count)
{
    const int rows = playList.RowCount();
    if (rows == 1)
        return 1;
    const QString number = QString::number(count);
    for (int r = rows; r >= 1; --r)
        if (playList.CellValue(r, kTemplateColumn).contains(number))
            return r;
    int above = 0;
    for (int r = rows; r >= 1; --r) {
        const QString entry = playList.CellValue(r, kTemplateColumn);
        if (entry.size() < 15 || !entry[14].isDigit() || entry[14].unicode() > 127)
            continue;
        if (entry[14].digitValue() <= count)
            return r;
        above = r;
    }
    return above;
}

PageCycle::PageCycle(DataGrids& grids, PageCanvas& canvas)
    : grids_(grids)
    , canvas_(canvas)
{
}

void PageCycle::resetCursors()
{
    mlngPageCursor = 1;
    mlngBookingCursor = 1;
    continueBooking_ = false;
}

int PageCycle::collect()
{
    const bool ebms = gstrDataType.trimmed() == QLatin1String("2");
    const bool bookings = ebms && grids_.igBook2.RowCount() > 0;
    const Grid& source = !ebms ? grids_.igRDM : bookings ? grids_.igBook2 : grids_.igRADE;
    // A page that goes on with the next rows of a booking starts no new
    // pass, though its cursor may be 1.
    const bool sameBooking = bookings && continueBooking_ && mlngPageCursor >= 1 && mlngPageCursor <= source.RowCount();
    continueBooking_ = false;
    pageBookingRows_.clear();
    if (!sameBooking && (mlngPageCursor > source.RowCount() || mlngPageCursor <= 1)) {
        mlngPageCursor = 1;
        mblnNewPage = true;
        mstrPageTemplate.clear();
        if (bookings)
            mlngBookingCursor = 1;
    }
    return bookings ? collectBookings(sameBooking) : collectRecords(source, ebms);
}

int PageCycle::collectRecords(const Grid& source, bool undatedWhenEitherEmpty)
{
    Grid& page = grids_.igActiveRecords;
    RecordIndex::Page ask;
    ask.locationField = gstrAssignedField.trimmed();
    if (!ask.locationField.isEmpty())
        ask.locations = locationItems();
    ask.validity = gstrDayTimeValidity == QLatin1String("1");
    ask.rules = readValidityRules(validity_);
    ask.now = validityMoment(now_);
    ask.undatedWhenEitherEmpty = undatedWhenEitherEmpty;
    index_.beginPage(source, std::move(ask));
    int count = 0;
    int r = std::max(mlngPageCursor, 1);
    while (r <= source.RowCount()) {
        if (poll())
            return -1;
        const int last = int(std::min<qint64>(source.RowCount(), qint64(r) + kPollRows - 1));
        if ((r = index_.nextTaken(r, last)) > last)
            continue;
        ++count;
        const int row = page.AddRow();
        for (int n = 1; n <= 12; ++n)
            page.SetCellValue(row, n, source.CellValue(r, lineKey(n)));
        page.SetCellValue(row, QStringLiteral("Record"), QString::number(r));
        if (count >= kPageRecords)
            break;
        ++r;
    }
    return count;
}

int PageCycle::collectBookings(bool continuing)
{
    const Grid& book2 = grids_.igBook2;
    const Grid& book = grids_.igBook;
    Grid& page = grids_.igActiveRecords;
    const QString field = gstrAssignedField.trimmed();
    const QStringList items = field.isEmpty() ? QStringList() : locationItems();
    const bool validity = gstrDayTimeValidity == QLatin1String("1");
    const ValiditySettings& s = validity_;
    const auto cell = [&](int j, const char* key) { return book.CellValue(j, QLatin1String(key)).trimmed(); };
    const auto bookingValid = [&](int j) {
        const QString date = cell(j, "Line 5");
        return !date.isEmpty() && blnIsValidDayTime(cell(j, "Line 3"), cell(j, "Line 4"), date, date, s, now_);
    };
    const auto functionValid = [&](int j) {
        const QString from = cell(j, "Line 10"), to = cell(j, "Line 11");
        return !from.isEmpty() && !to.isEmpty() && blnIsValidDayTime(from, to, cell(j, "FSD"), cell(j, "FED"), s, now_);
    };

    int count = 0;
    const int first = std::max(mlngPageCursor, 1);
    for (int r = first; r <= book2.RowCount(); ++r) {
        if (poll())
            return -1;
        if (mlngBookingCursor > book.RowCount() || mlngBookingCursor <= 0)
            mlngBookingCursor = 1;
        const QString bid = book2.CellValue(r, QStringLiteral("BID"));
        bool A = false, F = false;
        // A booking that goes on from the last page is searched from the
        // booking cursor on, so that it pages through its rows instead of
        // repeating the first; every other booking from the top, since the
        // joined rows need not follow the order of the bookings.
        const int from = continuing && r == first ? mlngBookingCursor : 1;
        // No search goes back over the rows before the booking cursor: they
        // were shown already, and showing them again would hold the page on
        // this booking for ever.
        const auto scan = [&](const QString* item) {
            for (int j = from; j <= book.RowCount(); ++j) {
                if (poll())
                    return false;
                if (book.CellValue(j, QStringLiteral("BID")) != bid)
                    continue;
                if (item && book.CellValue(j, field) != *item)
                    continue;
                if (!validity) {
                    mlngBookingCursor = j;
                    A = F = true;
                    return true;
                }
                if (bookingValid(j)) {
                    A = true;
                    mlngBookingCursor = j;
                    if (functionValid(j)) {
                        F = true;
                        if (item)
                            mblnFunctionMatched = true;
                        return true;
                    }
                }
            }
            return true;
        };
        if (!field.isEmpty()) {
            for (const QString& item : items) {
                if (poll() || !scan(&item))
                    return -1;
                if (A && F)
                    break;
            }
        } else if (!scan(nullptr)) {
            return -1;
        }
        if (!A)
            continue;
        ++count;
        const int row = page.AddRow();
        for (int n = 1; n <= 11; ++n)
            if (F || (n != 7 && n != 10 && n != 11))
                page.SetCellValue(row, n, book.CellValue(mlngBookingCursor, lineKey(n)));
        page.SetCellValue(row, QStringLiteral("Record"), QString::number(r));
        pageBookingRows_.push_back(mlngBookingCursor);
        if (count >= kPageBookings)
            break;
    }
    return count;
}

bool PageCycle::loadTemplate(const QString& fileName, QString& why)
{
    if (!paths::isPlainFileName(fileName) || fileName == QLatin1String(".ORVT")) {
        why = QStringLiteral("!!!The play-list entry \"%1\" names no template file in the Data folder.")
                  .arg(fileName.chopped(std::min<qsizetype>(fileName.size(), 5)));
        return false;
    }
    const QString path = paths::resolve(gstrDataFolder, fileName);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        why = QStringLiteral("!!!The template file %1 does not exist.").arg(path);
        return false;
    }
    statusMessage(QStringLiteral("Loading template settings."));
    QString error;
    std::optional<templates::Template> t = templates::loadTemplateFresh(path, &error);
    if (!t) {
        why = QStringLiteral("!!!The template file %1 was not loaded: %2").arg(path, error);
        return false;
    }
    template_ = std::move(t);
    return true;
}

bool PageCycle::blnRenderNextPage()
{
    BusyGuard busy;
    lastSave_ = {};
    now_ = services::clock().now();
    validity_ = currentValiditySettings();
    const int pageCursor = mlngPageCursor;
    const int bookingCursor = mlngBookingCursor;
    const bool continuing = continueBooking_;
    const auto stopExit = [](const QString& error = QString()) {
        statusMessage(gblnStop || error.isEmpty() ? QStringLiteral("Process stop.") : error);
        return false;
    };
    // The prescribed line, then why, naming the file.
    QString why;
    const auto cantLoad = [&why] {
        statusMessage(QStringLiteral("Can't load the template file."));
        statusMessage(why);
        return false;
    };
    try {
        const Grid& playList = grids_.igTemplates;
        if (playList.RowCount() == 0) {
            statusMessage(QStringLiteral("No template to render."));
            return false;
        }
        initActiveRecordsColumns(grids_.igActiveRecords);
        if (poll())
            return stopExit();
        int count = collect();
        if (count < 0)
            return stopExit();
        for (;;) {
            if (count == 0 && mlngPageCursor == 1) {
                // Nothing is valid in the whole list: a page without records.
                mblnNewPage = false;
                mstrPageTemplate = playList.CellValue(1, kTemplateColumn).trimmed() + QStringLiteral(".ORVT");
                if (!loadTemplate(mstrPageTemplate, why))
                    return cantLoad();
                statusMessage(QStringLiteral("Finished loading template settings."));
                break;
            }
            if (count == 0) {
                // The rest of the list holds nothing valid: a new pass.
                mlngPageCursor = 1;
                if ((count = collect()) < 0)
                    return stopExit();
                continue;
            }
            if (!mblnNewPage)
                break;
            mblnNewPage = false;
            const int row = chooseTemplateRow(playList, count);
            mstrPageTemplate =
                row > 0 ? playList.CellValue(row, kTemplateColumn).trimmed() + QStringLiteral(".ORVT") : QString();
            if (poll())
                return stopExit();
            if (row <= 0)
                why = QStringLiteral("!!!No play-list entry fits a page of %1 records.").arg(count);
            if (!(row > 0 && loadTemplate(mstrPageTemplate, why)))
                return cantLoad();
            if (poll())
                return stopExit();
            // The page collected does not depend on the template, so a
            // template with a group line keeps it too (and logs no finish).
            if (vb::Val(template_->gstrGroupLine) <= 0)
                statusMessage(QStringLiteral("Finished loading template settings."));
            break;
        }

        if (poll())
            return stopExit();
        statusMessage(QStringLiteral("Start rendering template's layout."));
        canvas_.CreateORVThemeLayout(modMain::resolveMediaPath(template_->gstrBackgroundImage, gstrMediaFolder),
                                     *template_);
        statusMessage(QStringLiteral("Finished rendering template's layout."));
        if (poll())
            return stopExit();
        statusMessage(QStringLiteral("Start rendering records to template."));
        blnRenderDataTexture();
        statusMessage(QStringLiteral("Finished rendering records to template."));
        if (poll())
            return stopExit();
        lastSave_ = canvas_.SaveThemeLayoutImage(paths::join(gstrMediaFolder, gstrImageFile));
        if (!lastSave_.saved) {
            // Nobody saw these records: the next try shows them again.
            mlngPageCursor = pageCursor;
            mlngBookingCursor = bookingCursor;
            continueBooking_ = continuing;
        }
        return lastSave_.saved;
    } catch (const std::exception& e) {
        return stopExit(QString::fromLocal8Bit(e.what()));
    }
}

PageRenderer& programPageRenderer()
{
    static PageRenderer renderer;
    return renderer;
}

PageCycle& programPageCycle()
{
    static PageCycle cycle(dataGrids(), programPageRenderer());
    return cycle;
}

} // namespace pages
