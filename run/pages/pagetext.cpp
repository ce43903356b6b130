// The page's texts: title, date, time and each record's lines, formatted by
// the data source and handed to the canvas one item at a time.
#include "core/globals.h"
#include "core/modmain.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/vbvalue.h"
#include "run/pages/pagecycle.h"
#include "run/pages/validity.h"

#include <QRegularExpression>

namespace pages {

namespace {

using templates::Template;

bool allDigits(const QString& t)
{
    return !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
}

// "h:mm", "hh:mm:ss", with an optional AM/PM (or A/P).
std::optional<QTime> readTime(const QString& text)
{
    static const QRegularExpression re(QStringLiteral(R"(^(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp])?[Mm]?$)"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    int h = m.captured(1).toInt();
    const QString half = m.captured(4).toUpper();
    if (!half.isEmpty()) {
        if (h < 1 || h > 12)
            return std::nullopt;
        h = h % 12 + (half == QLatin1String("P") ? 12 : 0);
    }
    const QTime t(h, m.captured(2).toInt(), m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!t.isValid())
        return std::nullopt;
    return t;
}

// A time text written in `pattern`; unchanged when it reads as no time.
QString formatTime(const QString& text, const QString& pattern)
{
    const std::optional<QTime> t = readTime(text);
    if (!t || pattern.isEmpty())
        return text;
    return vb::FormatDateTime(QDateTime(QDate(1899, 12, 30), *t), pattern);
}

// yyyymmdd written in `pattern`; the cell unchanged when it is no date.
QString formatDate(const QString& cell, const QString& pattern)
{
    const QString c = cell.trimmed();
    const QDate d = dateFromDigits(c);
    if (!d.isValid())
        return c;
    if (pattern.isEmpty())
        return c.left(4) + QLatin1Char('/') + c.mid(4, 2) + QLatin1Char('/') + c.mid(6, 2);
    return vb::FormatDateTime(QDateTime(d, QTime(0, 0)), pattern);
}

// "hh:mm" from a time cell: a number shorter than four digits is padded
// ("930" is 09:30), a cell that already holds a colon is taken as it is.
QString colonTime(const QString& cell)
{
    QString c = cell.trimmed();
    if (c.contains(QLatin1Char(':')))
        return c;
    if (allDigits(c) && c.size() < 4)
        c = c.rightJustified(4, QLatin1Char('0'));
    return c.left(2) + QLatin1Char(':') + c.right(2);
}

QString colonRule(const QString& cell, const QString& pattern)
{
    QString t = colonTime(cell);
    if (t == QLatin1String("24:00"))
        t = QStringLiteral("23:59");
    return formatTime(t, pattern);
}

QString fourDigitRule(const QString& cell, const QString& pattern)
{
    QString c = cell.trimmed();
    if (allDigits(c) && c.size() < 4)
        c = c.rightJustified(4, QLatin1Char('0'));
    if (c == QLatin1String("2400"))
        c = QStringLiteral("2359");
    return formatTime(colonTime(c), pattern);
}

bool anyEmpty(std::initializer_list<const QString*> values)
{
    return std::any_of(values.begin(), values.end(), [](const QString* v) { return !v || v->isEmpty(); });
}

} // namespace

SourceKey sourceKeyFor(const QString& dataType, const QString& dataFile, bool haveBookings)
{
    const QString type = dataType.trimmed();
    const QString ext = modMain::GetRightOfLast(dataFile, QLatin1Char('.')).trimmed().toUpper();
    if (type == QLatin1String("0") && ext == QLatin1String("TXT"))
        return SourceKey::Micros;
    if (type == QLatin1String("1") && ext == QLatin1String("NSS"))
        return SourceKey::Delphi;
    if (type == QLatin1String("2") && ext == QLatin1String("TXT"))
        return haveBookings ? SourceKey::EbmsBooking : SourceKey::EbmsFunction;
    return SourceKey::Orvane;
}

QString formatCell(SourceKey key, int line, const QString& cell, const QString& dateFormat, const QString& timeFormat)
{
    const QString df = dateFormat.trimmed();
    const QString tf = timeFormat.trimmed();
    switch (key) {
    case SourceKey::Micros:
        if (line == 4 || line == 5)
            return formatTime(cell.trimmed(), tf);
        if (line == 7 || line == 8)
            return formatDate(cell, df);
        break;
    case SourceKey::Delphi:
        if (line == 7 || line == 8)
            return colonRule(cell, tf);
        break;
    case SourceKey::EbmsFunction:
        if (line == 4 || line == 5)
            return colonRule(cell, tf);
        if (line == 6 || line == 7)
            return formatDate(cell, df);
        break;
    case SourceKey::EbmsBooking:
        if (line == 3 || line == 4 || line == 10 || line == 11)
            return fourDigitRule(cell, tf);
        if (line == 5)
            return formatDate(cell, df);
        break;
    case SourceKey::Orvane:
        break;
    }
    return cell.trimmed();
}

bool PageCycle::blnRenderDataTexture()
{
    BusyGuard busy;
    if (gblnStop)
        return true;
    if (!template_)
        return false;
    const Template& t = *template_;
    const QDateTime now = services::clock().now();

    if (!anyEmpty({&t.gstrTitleOn, &t.gstrTitleAlign, &t.gstrTitleFont, &t.gstrTitleRegion, &t.gstrTitleText}) &&
        t.gstrTitleOn == QLatin1String("1"))
        canvas_.RenderTexture(t.gstrTitleText.trimmed(), t.gstrTitleAlign, t.gstrTitleRegion, t.gstrTitleFont);
    if (gblnStop)
        return true;
    if (!anyEmpty({&t.gstrDateOn, &t.gstrDateAlign, &t.gstrDateFont, &t.gstrDateRegion, &t.gstrDateFormat}) &&
        t.gstrDateOn == QLatin1String("1"))
        canvas_.RenderTexture(vb::FormatDateTime(now, t.gstrDateFormat.trimmed()), t.gstrDateAlign, t.gstrDateRegion,
                              t.gstrDateFont);
    if (gblnStop)
        return true;
    if (!anyEmpty({&t.gstrTimeOn, &t.gstrTimeAlign, &t.gstrTimeFont, &t.gstrTimeRegion, &t.gstrTimeFormat}) &&
        t.gstrTimeOn == QLatin1String("1"))
        canvas_.RenderTexture(vb::FormatDateTime(now, t.gstrTimeFormat.trimmed()), t.gstrTimeAlign, t.gstrTimeRegion,
                              t.gstrTimeFont);

    const Grid& page = grids_.igActiveRecords;
    if (page.RowCount() == 0) {
        statusMessage(QStringLiteral("No data records to render."));
        return false;
    }
    if (gblnStop)
        return true;
    const SourceKey key = sourceKeyFor(gstrDataType, gstrDataFile, grids_.igBook.RowCount() > 0);
    statusMessage(QStringLiteral("Start extracting current records..."));
    // A Records Per Page above the six slots a template has draws six, as
    // the template's load said ("... 6 records are used.").
    const int perPage = t.recordsInUse();
    QString groupText;
    for (int k = 1; k <= perPage; ++k) {
        if (gblnStop)
            return true;
        if (k > page.RowCount())
            break;
        const RecordDraw drawn = drawRecord(k, key, groupText);
        if (drawn == RecordDraw::Stopped)
            return true;
        if (drawn == RecordDraw::Abandoned && k > 1) {
            // The cursor stays before it: the record opens the next page,
            // where the first slot draws it.
            break;
        }
        // Past the record drawn (or, when even the first slot can't draw
        // it, skipped).
        const int R = vb::CInt(vb::Val(page.CellValue(k, QStringLiteral("Record"))));
        if (key == SourceKey::EbmsBooking) {
            // On past the booking row this record shows.
            mlngBookingCursor =
                (size_t(k) <= pageBookingRows_.size() ? pageBookingRows_[size_t(k - 1)] : mlngBookingCursor) + 1;
            continueBooking_ = false;
            if (mlngBookingCursor > grids_.igBook.RowCount()) {
                mlngPageCursor = R + 1;
            } else if (grids_.igBook.CellValue(mlngBookingCursor, QStringLiteral("BID")) ==
                       grids_.igBook2.CellValue(R, QStringLiteral("BID"))) {
                mlngPageCursor = R;
                continueBooking_ = true;
            } else {
                mlngBookingCursor = 1;
                mlngPageCursor = R + 1;
            }
        } else {
            mlngPageCursor = R + 1;
        }
    }
    statusMessage(QStringLiteral("Finished rendering the Data Texture."));
    return true;
}

// Draws record k of the page with template record k - 1. A record whose
// template record lacks a field of a line the record fills is abandoned
// before anything of it is drawn: in the first slot it is skipped, in any
// other it opens the next page (each said with a "!!!" line).
PageCycle::RecordDraw PageCycle::drawRecord(int k, SourceKey key, QString& groupText)
{
    const Template& t = *template_;
    const Grid& page = grids_.igActiveRecords;
    const int r = k - 1;
    const double groupLine = vb::Val(t.gstrGroupLine);
    const auto field = [&](int f, int n) {
        const QString* v = t.line(r, f, n - 1);
        return v ? *v : QString();
    };
    // The lines drawn, as the group rule leaves them; the group text moves
    // on only when the record is drawn.
    QString nextGroup = groupText;
    QList<int> lines;
    for (int n = 1; n <= 12; ++n) {
        const QString cell = page.CellValue(k, n);
        if (cell.isEmpty())
            continue;
        if (groupLine > 0 && groupLine == n) {
            if (cell == nextGroup)
                continue;
            nextGroup = cell;
        }
        lines << n;
    }
    for (const int n : lines) {
        const QString enabled = field(templates::kFieldEnabled, n);
        const QString align = field(templates::kFieldAlignment, n);
        const QString rect = field(templates::kFieldRect, n);
        const QString font = field(templates::kFieldFont, n);
        if (anyEmpty({&enabled, &align, &rect, &font})) {
            statusMessage(QStringLiteral("!!!Template record %1 line %2 is incomplete: the record of row %3 %4.")
                              .arg(r + 1)
                              .arg(n)
                              .arg(page.CellValue(k, QStringLiteral("Record")),
                                   k == 1 ? QStringLiteral("is skipped") : QStringLiteral("opens the next page")));
            return RecordDraw::Abandoned;
        }
    }
    groupText = nextGroup;
    for (const int n : lines) {
        if (gblnStop)
            return RecordDraw::Stopped;
        const QString cell = page.CellValue(k, n);
        const QString enabled = field(templates::kFieldEnabled, n);
        const QString align = field(templates::kFieldAlignment, n);
        const QString rect = field(templates::kFieldRect, n);
        const QString font = field(templates::kFieldFont, n);
        if (enabled != QLatin1String("1"))
            continue;
        QString text = formatCell(key, n, cell, t.gstrDateFormat, t.gstrTimeFormat);
        QString box = rect;

        const templates::LineUp lineUp = t.lineUp(r, n - 1);
        if (lineUp.isRight())
            continue;
        if (lineUp.isLeft()) {
            // The left half of a pair: both texts in one box as wide as both.
            const int partner = lineUp.partner;
            const QStringList mine = rect.split(QLatin1Char('|'));
            const QStringList theirs = field(templates::kFieldRect, partner + 1).split(QLatin1Char('|'));
            if (mine.size() >= 4 && theirs.size() >= 4) {
                const QString right =
                    formatCell(key, partner + 1, page.CellValue(k, partner + 1), t.gstrDateFormat, t.gstrTimeFormat);
                const QString& middle = lineUp.middleWord;
                text = middle.isEmpty() ? text + QLatin1Char(' ') + right
                                        : text + QLatin1Char(' ') + middle + QLatin1Char(' ') + right;
                box = mine[0].trimmed() + QLatin1Char('|') + mine[1].trimmed() + QLatin1Char('|') + mine[2].trimmed() +
                      QLatin1Char('|') + vb::NumText(vb::Val(mine[3].trimmed()) + vb::Val(theirs[3].trimmed()));
            }
        }
        canvas_.RenderTexture(text, align, box, font);
    }
    return RecordDraw::Drawn;
}

} // namespace pages
