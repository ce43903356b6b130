#include "pagestest.h"

#include "platform/textfile.h"
#include "platform/vbvalue.h"

#include <QRegularExpression>

#include <sys/stat.h>

using namespace pagestest;

TEST(TemplateChoice, ByRecordCount)
{
    const QStringList four = {"Default Template", "Template with 1 record", "Template with 3 records",
                              "Template with 6 records"};
    struct Case {
        QStringList playList;
        int count, row;
    } const cases[] = {
        {four, 3, 3},
        {four, 7, 4},
        {four, 2, 2},
        {{"Default Template", "Template with 6 records"}, 4, 2},
        {{"Default Template", "Template with 3 records"}, 7, 2},
        {{"Only one"}, 5, 1},
        {{"Default Template", "Another"}, 3, 0},
    };
    for (const Case& c : cases) {
        Grid g;
        g.AddCol(QStringLiteral("Template"));
        for (const QString& e : c.playList)
            g.SetCellValue(g.AddRow(), 1, e);
        EXPECT_EQ(pages::chooseTemplateRow(g, c.count), c.row) << c.playList.join(',').toStdString() << c.count;
    }
}

TEST(SourceRules, CellsByDataSource)
{
    using K = pages::SourceKey;
    const auto cell = [](K key, int line, const char* text) {
        return pages::formatCell(key, line, text, " DD/MM/YYYY ", " HH:NN ");
    };
    EXPECT_EQ(cell(K::Micros, 4, "9:30"), "09:30");
    EXPECT_EQ(cell(K::Micros, 5, "not a time"), "not a time");
    EXPECT_EQ(cell(K::Micros, 7, "20090430"), "30/04/2009");
    EXPECT_EQ(cell(K::Micros, 7, "20090431"), "20090431");
    EXPECT_EQ(cell(K::Micros, 1, " Hall "), "Hall");
    EXPECT_EQ(cell(K::Delphi, 7, "2400"), "23:59");
    EXPECT_EQ(cell(K::Delphi, 8, "930"), "09:30");
    EXPECT_EQ(cell(K::EbmsFunction, 4, "2400"), "23:59");
    EXPECT_EQ(cell(K::EbmsFunction, 5, "09:30"), "09:30");
    EXPECT_EQ(cell(K::EbmsFunction, 6, "20090430"), "30/04/2009");
    EXPECT_EQ(cell(K::EbmsBooking, 3, "930"), "09:30");
    EXPECT_EQ(cell(K::EbmsBooking, 11, "2400"), "23:59");
    EXPECT_EQ(cell(K::EbmsBooking, 5, "20090430"), "30/04/2009");
    EXPECT_EQ(cell(K::Orvane, 7, " 20090430 "), "20090430");
    EXPECT_EQ(pages::sourceKeyFor("0", "C:\\x\\export.txt", false), K::Micros);
    EXPECT_EQ(pages::sourceKeyFor(" 1", "a.nss", false), K::Delphi);
    EXPECT_EQ(pages::sourceKeyFor("2", "f.TXT", true), K::EbmsBooking);
    EXPECT_EQ(pages::sourceKeyFor("2", "f.TXT", false), K::EbmsFunction);
    EXPECT_EQ(pages::sourceKeyFor("2", "TXT", false), K::EbmsFunction);
    EXPECT_EQ(pages::sourceKeyFor("0", "export.csv", false), K::Orvane);
    EXPECT_EQ(pages::sourceKeyFor("3", "x.txt", false), K::Orvane);
}

class PageCycleTest : public PagesTest {};

TEST_F(PageCycleTest, PassOfTenRecordsWithAThreeRecordTemplate)
{
    for (int i = 1; i <= 10; ++i)
        addRecord(QStringLiteral("R%1").arg(i));
    addPlayList({"Default Template"});
    playTemplate("Template with 3 records", simpleTemplate(3));

    struct Page {
        QStringList drawn;
        int cursorAfter;
        bool loads;
    } const pagesExpected[] = {
        {{"R1", "R2", "R3"}, 4, true}, {{"R4", "R5", "R6"}, 7, false}, {{"R7", "R8", "R9"}, 10, false},
        {{"R10"}, 11, false},          {{"R1", "R2", "R3"}, 4, true},
    };
    for (const Page& p : pagesExpected) {
        StatusLog::instance().clear();
        ASSERT_TRUE(cycle.blnRenderNextPage());
        EXPECT_EQ(canvas.texts(), p.drawn);
        EXPECT_EQ(cycle.mlngPageCursor, p.cursorAfter);
        EXPECT_EQ(messages().contains("Loading template settings."), p.loads);
    }
    EXPECT_EQ(canvas.saves, 5);
}

TEST_F(PageCycleTest, NoValidRecordDrawsTheFirstEntryOrFails)
{
    gstrDayTimeValidity = "1";
    addRecord("Past", "0900|1000|20000101|20000101");
    playTemplate("Template with 2 records", simpleTemplate(2));
    addPlayList({"Template with 3 records"});
    ASSERT_TRUE(cycle.blnRenderNextPage());
    EXPECT_TRUE(canvas.texts().isEmpty());
    EXPECT_EQ(cycle.mstrPageTemplate, "Template with 2 records.ORVT");

    // A board that can't load the template says which file and why.
    const QString data = gstrDataFolder;
    ASSERT_EQ(::mkfifo(QFile::encodeName(data + "/Pipe.ORVT").constData(), 0600), 0);
    QFile huge(data + "/Huge.ORVT");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(textfile::kMaxSmallFileBytes + 1));
    huge.close();
    const std::pair<QString, QString> causes[] = {
        {"Missing", "!!!The template file " + data + "/Missing.ORVT does not exist."},
        {"", "!!!The play-list entry \"\" names no template file in the Data folder."},
        {"../Data/Template with 2 records",
         "!!!The play-list entry \"../Data/Template with 2 records\" names no template file in the Data folder."},
        {"Pipe", "!!!The template file " + data + "/Pipe.ORVT was not loaded: \"" + data +
                     "/Pipe.ORVT\" is not a regular file (a device or a pipe): it was not read."},
        {"Huge", "!!!The template file " + data + "/Huge.ORVT was not loaded: \"" + data + "/Huge.ORVT\" is too large"},
    };
    for (const auto& [first, cause] : causes) {
        grids.igTemplates.SetCellValue(1, 1, first);
        StatusLog::instance().clear();
        EXPECT_FALSE(cycle.blnRenderNextPage()) << first.toStdString();
        const QStringList said = messages().filter(QRegularExpression("^(Can't|!!!)"));
        ASSERT_EQ(said.size(), 2) << said.join('|').toStdString();
        EXPECT_EQ(said[0], "Can't load the template file.");
        EXPECT_TRUE(said[1].startsWith(cause)) << said[1].toStdString();
    }
    grids.igTemplates.Clear();
    StatusLog::instance().clear();
    EXPECT_FALSE(cycle.blnRenderNextPage());
    EXPECT_EQ(messages(), QStringList{"No template to render."});
}

TEST_F(PageCycleTest, LocationFilter)
{
    for (const char* c : {"Hall A", "Hall B", "Hall B ", "hall a", "Hall C"})
        addRecord(c, "00:00|00:00|0|0", c); // the location in line 2, not shown
    playTemplate("Template with 6 records", simpleTemplate(6));

    struct Case {
        const char *field, *locations;
        QStringList drawn;
    } const cases[] = {{"", "", {"Hall A", "Hall B", "Hall B", "hall a", "Hall C"}},
                       {" Line 2 ", "Hall A; Hall B", {"Hall A", "Hall B"}},
                       {"Line 2", "Hall C;Hall A", {"Hall A", "Hall C"}},
                       {"Line 2", "", {}},
                       {"Line 2", " ; ", {}}};
    for (const Case& c : cases) {
        gstrAssignedField = c.field;
        gstrAssignedLocation = c.locations;
        cycle.resetCursors();
        ASSERT_TRUE(cycle.blnRenderNextPage()) << c.field << "/" << c.locations;
        EXPECT_EQ(canvas.texts(), c.drawn) << c.field << "/" << c.locations;
    }
}

TEST_F(PageCycleTest, LineUpAndGroupLine)
{
    templates::Template t = simpleTemplate(3);
    t.gstrGroupLine = "2";
    for (int r = 0; r < 3; ++r) {
        *t.line(r, 0, 1) = "1"; // line 2 (the group line) shown
        *t.line(r, 0, 2) = "1";
        *t.line(r, 2, 0) = "0.1|0.1|0.02|0.25";
        *t.line(r, 2, 2) = "0.1|0.5|0.02|0.3";
        *t.line(r, 4, 0) = "1,2,L,to";
        *t.line(r, 4, 2) = "1,0,R,";
    }
    *t.line(1, 4, 0) = "1,2,L,";  // no middle word
    *t.line(2, 4, 0) = "1,0,L,x"; // paired with itself: drawn alone
    playTemplate("Template with 3 records", t);
    const auto add = [&](const char* l1, const char* group, const char* l3) {
        addRecord(l1, "00:00|00:00|0|0", group);
        grids.igRDM.SetCellValue(grids.igRDM.RowCount(), "Line 3", l3);
    };
    add("Monday", "Hall A", "Friday");
    add("Tuesday", "Hall A", "Sunday");
    add("Wed", "Hall B", "Thu");
    add("Sat", "Hall B", "Sun");

    ASSERT_TRUE(cycle.blnRenderNextPage());
    EXPECT_EQ(canvas.texts(), (QStringList{"Monday to Friday", "Hall A", "Tuesday Sunday", "Wed", "Hall B"}));
    EXPECT_EQ(canvas.calls[0].region, "0.1|0.1|0.02|0.55");
    EXPECT_EQ(canvas.calls[3].region, "0.1|0.1|0.02|0.25");
    // The next page draws its group heading again.
    ASSERT_TRUE(cycle.blnRenderNextPage());
    EXPECT_EQ(canvas.texts(), (QStringList{"Sat to Sun", "Hall B"}));
}

TEST_F(PageCycleTest, IncompleteTemplateLineSkipsTheRecordAndMovesOn)
{
    templates::Template t = simpleTemplate(2);
    t.line(0, 3, 0)->clear();
    playTemplate("Template with 2 records", t);
    for (const char* r : {"A", "B", "C"})
        addRecord(r);
    ASSERT_TRUE(cycle.blnRenderNextPage());
    EXPECT_EQ(canvas.texts(), QStringList{"B"});
    EXPECT_EQ(cycle.mlngPageCursor, 3);
    EXPECT_TRUE(messages().contains("!!!Template record 1 line 1 is incomplete: the record of row 1 is skipped."));
    ASSERT_TRUE(cycle.blnRenderNextPage());
    EXPECT_EQ(cycle.mlngPageCursor, 4);
}

TEST_F(PageCycleTest, ARecordItsSlotCannotDrawOpensTheNextPage)
{
    struct Case {
        const char* what;
        int perPage;
        int slot, line;   // the incomplete template line (0-based)
        bool secondLines; // the records fill line 2 too
        std::vector<QStringList> pages;
        const char* said; // on the first page; nullptr: no "!!!" line
    } cases[] = {
        {"third slot incomplete",
         3,
         2,
         0,
         false,
         {{"R1", "R2"}, {"R3", "R4"}, {"R5", "R6"}, {"R7"}, {"R1", "R2"}},
         "!!!Template record 3 line 1 is incomplete: the record of row 3 opens the next page."},
        // Nothing of the record is drawn in the slot that abandons it.
        {"second line of the second slot incomplete",
         2,
         1,
         1,
         true,
         {{"R1"}, {"R2"}, {"R3"}},
         "!!!Template record 2 line 2 is incomplete: the record of row 2 opens the next page."},
        {"a line the records leave empty is no matter",
         3,
         2,
         1,
         false,
         {{"R1", "R2", "R3"}, {"R4", "R5", "R6"}},
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        grids.igRDM.Clear(false);
        grids.igTemplates.Clear(false);
        cycle.resetCursors();
        for (int i = 1; i <= 7; ++i)
            addRecord(QStringLiteral("R%1").arg(i), QStringLiteral("00:00|00:00|0|0"),
                      c.secondLines ? QStringLiteral("second") : QString());
        templates::Template t = simpleTemplate(c.perPage);
        t.line(c.slot, templates::kFieldFont, c.line)->clear();
        playTemplate(QStringLiteral("Template with %1 records").arg(c.perPage), t);
        for (size_t p = 0; p < c.pages.size(); ++p) {
            StatusLog::instance().clear();
            ASSERT_TRUE(cycle.blnRenderNextPage());
            EXPECT_EQ(canvas.texts(), c.pages[p]) << p;
            if (p == 0) {
                EXPECT_EQ(messages().filter("!!!"), c.said ? QStringList{c.said} : QStringList()) << p;
            }
        }
    }
}

TEST_F(PageCycleTest, ARecordsPerPageAboveSixDrawsSix)
{
    for (const char* perPage : {"7", "12", "6"}) {
        SCOPED_TRACE(perPage);
        grids.igRDM.Clear(false);
        grids.igTemplates.Clear(false);
        cycle.resetCursors();
        for (int i = 1; i <= 9; ++i)
            addRecord(QStringLiteral("R%1").arg(i));
        templates::Template t = simpleTemplate(6);
        t.gstrRecordsPerPage = perPage;
        playTemplate("Template with 6 records", t);
        ASSERT_TRUE(cycle.blnRenderNextPage());
        EXPECT_EQ(canvas.texts(), (QStringList{"R1", "R2", "R3", "R4", "R5", "R6"}));
        ASSERT_TRUE(cycle.blnRenderNextPage());
        EXPECT_EQ(canvas.texts(), (QStringList{"R7", "R8", "R9"}));
    }
}

TEST_F(PageCycleTest, TitleDateTimeAndBackgroundLookup)
{
    testsupport::FixedClock clock(QDateTime(QDate(2024, 3, 7), QTime(14, 5)));
    templates::Template t = simpleTemplate(1);
    t.gstrTitleText = " Today ";
    t.gstrDateFormat = "DD/MM/YYYY";
    t.gstrTimeFormat = "HH:NN";
    for (auto* on : {&t.gstrTitleOn, &t.gstrDateOn, &t.gstrTimeOn})
        *on = "1";
    for (auto* a : {&t.gstrTitleAlign, &t.gstrDateAlign, &t.gstrTimeAlign})
        *a = "2";
    for (auto* r : {&t.gstrTitleRegion, &t.gstrDateRegion, &t.gstrTimeRegion})
        *r = "0|0|0.05|1";
    for (auto* f : {&t.gstrTitleFont, &t.gstrDateFont, &t.gstrTimeFont})
        *f = templates::kDefaultFontDescriptor;
    t.gstrBackgroundType = "1";
    t.gstrBackgroundImage = "C:\\Pictures\\Sub\\bg.png";
    playTemplate("Template with 1 record", t);
    addRecord("Only");
    ASSERT_TRUE(cycle.blnRenderNextPage());
    EXPECT_EQ(canvas.texts(), (QStringList{"Today", "07/03/2024", "14:05", "Only"}));
    EXPECT_EQ(canvas.backgrounds.last(), QDir(gstrMediaFolder).filePath("bg.png"));
}

TEST_F(PageCycleTest, APageThatWasNotSavedIsMadeAgain)
{
    for (int i = 1; i <= 5; ++i)
        addRecord(QStringLiteral("R%1").arg(i));
    playTemplate("Template with 2 records", simpleTemplate(2));
    ASSERT_TRUE(cycle.blnRenderNextPage());
    canvas.failSaves = true;
    EXPECT_FALSE(cycle.blnRenderNextPage());
    EXPECT_EQ(cycle.mlngPageCursor, 3);
    canvas.failSaves = false;
    ASSERT_TRUE(cycle.blnRenderNextPage());
    EXPECT_EQ(canvas.texts(), (QStringList{"R3", "R4"}));
}

TEST_F(PageCycleTest, ALongListIsScannedToItsEndWithTheLastRecordsValid)
{
    // Past the stretch of rows scanned between two looks at the keys.
    gstrDayTimeValidity = "1";
    grids.igRDM.SetRedraw(false);
    for (int i = 1; i <= 65539; ++i) {
        const QString name = QStringLiteral("R%1").arg(i);
        const QAnyStringView cells[] = {
            name, {}, {}, {}, {}, {}, {},
            {},   {}, {}, {}, {}, {}, {},
            {},   {}, {}, {}, {}, {}, i > 65536 ? "00:00|00:00|0|0" : "0900|1000|20000101|20000101"};
        grids.igRDM.AppendRow(cells);
    }
    grids.igRDM.SetRedraw(true);
    playTemplate("Template with 3 records", simpleTemplate(3));
    ASSERT_TRUE(cycle.blnRenderNextPage());
    EXPECT_EQ(canvas.texts(), (QStringList{"R65537", "R65538", "R65539"}));
}

TEST_F(PageCycleTest, EscDuringCollectionStops)
{
    testsupport::HeldKeys keys;
    keys.pressAfter = 5;
    for (int i = 0; i < 10; ++i)
        addRecord("R");
    playTemplate("Template with 3 records", simpleTemplate(3));
    EXPECT_FALSE(cycle.blnRenderNextPage());
    EXPECT_TRUE(gblnStop);
    EXPECT_EQ(messages().last(), "Process stop.");
    EXPECT_EQ(canvas.saves, 0);
}

class BookingPagesTest : public PagesTest {
protected:
    void SetUp() override
    {
        PagesTest::SetUp();
        gstrDataType = "2";
        gstrDataFile = "functions.TXT";
        grids.igBook2.AddCol("BID");
        for (int n = 1; n <= 11; ++n)
            grids.igBook.AddCol(QStringLiteral("Line %1").arg(n));
        for (const char* key : {"BID", "FSD", "FED", "Room"})
            grids.igBook.AddCol(key);
        gstrAssignedLocation = "R"; // every row's room
    }
    void addBookings(std::initializer_list<const char*> bids)
    {
        for (const char* bid : bids)
            grids.igBook2.SetCellValue(grids.igBook2.AddRow(), "BID", bid);
    }
    void addBookRow(const char* bid, const char* name, const char* functionDate = "20240307")
    {
        const int r = grids.igBook.AddRow();
        const QStringList cells = {name, "", "900", "2400", "20240307", "", "Gala", "", "", "1000", "2200"};
        for (int n = 1; n <= 11; ++n)
            grids.igBook.SetCellValue(r, n, cells[n - 1]);
        grids.igBook.SetCellValue(r, "BID", bid);
        grids.igBook.SetCellValue(r, "FSD", functionDate);
        grids.igBook.SetCellValue(r, "FED", functionDate);
        grids.igBook.SetCellValue(r, "Room", "R");
    }
    testsupport::FixedClock clock{QDateTime(QDate(2024, 3, 7), QTime(12, 0))};
};

TEST_F(BookingPagesTest, BookingsPageThroughTheirRows)
{
    addBookings({"B1", "B2"});
    addBookRow("B1", "B1 first");
    addBookRow("B1", "B1 second");
    addBookRow("B2", "B2 only", "20200101");
    templates::Template t = simpleTemplate(1);
    for (int n : {2, 6, 9, 10}) // lines 3, 7, 10 and 11 shown
        *t.line(0, 0, n) = "1";
    t.gstrTimeFormat = "HH:NN";
    playTemplate("Template with 1 record", t);

    for (const char* validity : {"0", "1"}) {
        gstrDayTimeValidity = validity;
        cycle.resetCursors();
        QStringList shown;
        for (int page = 0; page < 4; ++page) {
            ASSERT_TRUE(cycle.blnRenderNextPage());
            shown << canvas.texts().join(QLatin1Char('/'));
        }
        // B2's function is not valid today: its booking shows without it.
        const QString b2 = validity == QLatin1String("1") ? "B2 only/09:00" : "B2 only/09:00/Gala/10:00/22:00";
        EXPECT_EQ(shown, (QStringList{"B1 first/09:00/Gala/10:00/22:00", "B1 second/09:00/Gala/10:00/22:00", b2,
                                      "B1 first/09:00/Gala/10:00/22:00"}))
            << validity;
    }
}

TEST_F(BookingPagesTest, EveryBookingIsFoundWhateverTheOrderOfItsRows)
{
    // The joined rows are sorted on their own columns, so they need not
    // follow the order of the bookings.
    addBookings({"B1", "B2", "B3"});
    for (const char* bid : {"B3", "B2", "B1"})
        addBookRow(bid, bid);
    playTemplate("Template with 3 records", simpleTemplate(3));
    for (const char* field : {"", "Room"}) {
        gstrAssignedField = field;
        for (const char* validity : {"0", "1"}) {
            gstrDayTimeValidity = validity;
            cycle.resetCursors();
            ASSERT_TRUE(cycle.blnRenderNextPage());
            EXPECT_EQ(canvas.texts(), (QStringList{"B1", "B2", "B3"})) << field << validity;
        }
    }
}

TEST_F(BookingPagesTest, ARowWithoutAValidFunctionDoesNotSendTheBookingBack)
{
    addBookings({"B1", "B2"});
    addBookRow("B1", "B1 first");
    addBookRow("B1", "B1 second", "20200101");
    addBookRow("B2", "B2 only");
    playTemplate("Template with 1 record", simpleTemplate(1));
    gstrDayTimeValidity = "1";
    gstrAssignedField = "Room";
    QStringList shown;
    for (int page = 0; page < 4; ++page) {
        ASSERT_TRUE(cycle.blnRenderNextPage());
        shown << canvas.texts();
    }
    EXPECT_EQ(shown, (QStringList{"B1 first", "B1 second", "B2 only", "B1 first"}));
}
