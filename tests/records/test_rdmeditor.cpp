// Hand editing of the record store: Add, Update, Up, Down, Delete and Save.
#include "core/globals.h"
#include "records/rdmeditor.h"
#include "records/recordstore.h"
#include "tests/records/recordstest.h"
#include "tests/testsupport.h"

namespace {

class Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        initRDMGridColumns(grids.igRDM);
        ed.showTotalRecords = [this](int n) { total = n; };
        ed.enableLineRows = [this] { ++enabled; };
    }
    // Adds rows whose "Line 1" is each given text.
    void rows(const QStringList& firstLines)
    {
        for (const QString& s : firstLines) {
            const int r = grids.igRDM.AddRow();
            grids.igRDM.SetCellValue(r, "Line 1", s);
            grids.igRDM.SetCellValue(r, "DateTime", s + "a|" + s + "b|" + s + "c|" + s + "d");
        }
    }
    QString firstLines() const
    {
        QString out;
        for (int r = 1; r <= grids.igRDM.RowCount(); ++r)
            out += grids.igRDM.CellValue(r, "Line 1").isEmpty() ? "_" : grids.igRDM.CellValue(r, "Line 1");
        return out;
    }

    DataGrids grids;
    RDMEditor ed{grids.igRDM};
    RDMEditTexts t;
    int total = -1;
    int enabled = 0;
};

} // namespace

TEST_F(Editor, AddIntoEmptyAndAfterTheCurrentRecord)
{
    t.startTime = "old";
    ed.btnAddRDM_Click(t);
    EXPECT_EQ(ed.mlngRDMRow, 1);
    EXPECT_EQ(total, 1);
    EXPECT_EQ(QStringList({t.startTime, t.endTime, t.startDate, t.endDate}), QStringList({"00:00", "00:00", "0", "0"}));

    grids.igRDM.Clear();
    rows({"A", "B", "C"});
    ed.mlngRDMRow = 2;
    ed.btnAddRDM_Click(t);
    EXPECT_EQ(firstLines(), "AB_C");
    EXPECT_EQ(ed.mlngRDMRow, 3);
    ed.mlngRDMRow = 4;
    ed.btnAddRDM_Click(t);
    EXPECT_EQ(firstLines(), "AB_C_");
    EXPECT_EQ(ed.mlngRDMRow, 5);
}

TEST_F(Editor, UpDownAndDeleteNeedAChosenCell)
{
    rows({"A", "B", "C"});
    ed.mlngRDMRow = 2;
    ed.btnUpRDM_Click(t); // no cell chosen yet
    ed.btnDeleteRDM_Click(t);
    EXPECT_EQ(firstLines(), "ABC");

    ed.igRDM_RowSelect(2, 3);
    ed.btnUpRDM_Click(t);
    EXPECT_EQ(firstLines(), "BAC");
    EXPECT_EQ(t.lines[0], "B");
    ed.btnUpRDM_Click(t);
    EXPECT_EQ(firstLines(), "BAC");

    for (int i = 0; i < 3; ++i)
        ed.btnDownRDM_Click(t);
    EXPECT_EQ(firstLines(), "ACB");
    EXPECT_EQ(ed.mlngRDMRow, 3);
}

TEST_F(Editor, DeleteMakesTheRecordBeforeCurrent)
{
    rows({"A", "B", "C"});
    ed.igRDM_RowSelect(3, 1);
    ed.btnDeleteRDM_Click(t);
    EXPECT_EQ(firstLines(), "AB");
    EXPECT_EQ(ed.mlngRDMRow, 2);
    EXPECT_EQ(total, 2);

    ed.mlngRDMRow = 1;
    ed.btnDeleteRDM_Click(t);
    EXPECT_EQ(firstLines(), "B");
    EXPECT_EQ(ed.mlngRDMRow, 1);

    ed.btnDeleteRDM_Click(t);
    EXPECT_EQ(ed.mlngRDMRow, 0);
    EXPECT_EQ(total, 0);
    EXPECT_EQ(t.lines[0], "B"); // the editor keeps the deleted record's texts
}

TEST_F(Editor, UpdateCleansTextsAndBuildsTheWindow)
{
    rows({"A"});
    ed.mlngRDMRow = 1;
    t = {{"  Gala\tdinner  "}, " 09:00 ", "", "20240101", "0  "};
    t.lines[11] = "end\r\n";
    ed.btnUpdateRDM_Click(t);
    EXPECT_EQ(grids.igRDM.CellValue(1, "Line 1"), "Gala dinner");
    EXPECT_EQ(grids.igRDM.CellValue(1, "Line 12"), "end");
    EXPECT_EQ(grids.igRDM.CellValue(1, "DateTime"), "09:00||20240101|0");
}

TEST_F(Editor, ValidityBoxTheCellCannotKeepIsRefused)
{
    // A "|" or a control character in any validity box: a message names the
    // box and nothing of the record changes.
    FakeMessages messages;
    rows({"A"});
    ed.mlngRDMRow = 1;
    const QStringList before = grids.igRDM.RowValues(1);
    const std::pair<QString RDMEditTexts::*, const char*> boxes[] = {{&RDMEditTexts::startTime, "Start Time"},
                                                                     {&RDMEditTexts::endTime, "End Time"},
                                                                     {&RDMEditTexts::startDate, "Start Date"},
                                                                     {&RDMEditTexts::endDate, "End Date"}};
    for (const auto& [box, name] : boxes) {
        for (const char* text : {"09:00|12:00", "2026|9999", "0\t", "00:00\n", "0\r", "0\x01"}) {
            t = RDMEditTexts{};
            t.lines[0] = "changed";
            t.*box = QString::fromLatin1(text);
            const UpdateResult result = ed.btnUpdateRDM_Click(t);
            EXPECT_FALSE(result.written);
            EXPECT_EQ(result.box ? validityBoxName(*result.box) : QString(), name);
            EXPECT_TRUE(messages.texts.last().startsWith(QStringLiteral("The %1 box holds").arg(name)))
                << messages.texts.last().toStdString();
            EXPECT_EQ(grids.igRDM.RowValues(1), before) << text;
        }
    }
}

TEST_F(Editor, UnreadableValidityTextIsWrittenAndNamed)
{
    FakeMessages messages;
    rows({"A"});
    ed.mlngRDMRow = 1;
    const struct {
        RDMEditTexts window;
        const char* cell;
        QStringList named; // the boxes the message names, in order
    } cases[] = {
        {{{}, "0800", "00:00", "0", "20240101"}, "0800|00:00|0|20240101", {}},
        {{{}, "0", "2400", "", " 0 "}, "0|2400||0", {}},
        {{{}, "9:30", "930", "20240229", "0"}, "9:30|930|20240229|0", {}},
        {{{}, "abc", "00:00", "0", "0"}, "abc|00:00|0|0", {"Start Time"}},
        {{{}, "0800", "25:00", "20269999", "0"}, "0800|25:00|20269999|0", {"End Time", "Start Date"}},
        {{{}, "12:5", "12345", "0", "2024011"}, "12:5|12345|0|2024011", {"Start Time", "End Time", "End Date"}},
    };
    for (const auto& c : cases) {
        messages.clear();
        const UpdateResult result = ed.btnUpdateRDM_Click(c.window);
        EXPECT_TRUE(result.written);
        EXPECT_EQ(grids.igRDM.CellValue(1, "DateTime"), c.cell);
        QStringList named;
        for (const char* box : {"Start Time", "End Time", "Start Date", "End Date"})
            if (!messages.texts.isEmpty() && messages.texts[0].contains(QStringLiteral("The %1 \"").arg(box)))
                named << box;
        EXPECT_EQ(named, c.named) << c.cell;
        EXPECT_EQ(messages.texts.size(), c.named.isEmpty() ? 0 : 1) << c.cell;
        EXPECT_EQ(result.box ? validityBoxName(*result.box) : QString(), c.named.value(0)) << c.cell;
    }
}

TEST_F(Editor, ShowFillsMissingWindowPartsWithDefaults)
{
    rows({"A", "B"});
    grids.igRDM.SetCellValue(2, "DateTime", "10:00|11:00");
    ASSERT_TRUE(ed.showRDMRecord(1, t));
    ASSERT_TRUE(ed.showRDMRecord(2, t));
    EXPECT_EQ(QStringList({t.startTime, t.endTime, t.startDate, t.endDate}), QStringList({"10:00", "11:00", "0", "0"}));
    EXPECT_EQ(ed.mlngRDMRow, 2);
    EXPECT_EQ(enabled, 2);
    EXPECT_FALSE(ed.showRDMRecord(3, t));
}

TEST_F(Editor, StaleCurrentRecordIsNoRecord)
{
    rows({"A", "B"});
    ed.igRDM_RowSelect(9, 1); // the store was reloaded with fewer rows
    ed.btnUpRDM_Click(t);
    ed.btnDownRDM_Click(t);
    ed.btnDeleteRDM_Click(t);
    t.lines[0] = "X";
    ed.btnUpdateRDM_Click(t);
    EXPECT_EQ(firstLines(), "AB");
    ed.mlngRDMRow = 7;
    ed.btnAddRDM_Click(t);
    EXPECT_EQ(firstLines(), "AB_");
    EXPECT_EQ(ed.mlngRDMRow, 3);
}

TEST_F(Editor, SaveWritesTheRecordFileAndSaysSo)
{
    FakeMessages messages;
    QTemporaryDir dir;
    const QString path = dir.filePath("_Orvane.orv");
    gstrWorkingDataFile = path;

    EXPECT_FALSE(ed.btnSaveRDM_Click());
    EXPECT_FALSE(QFile::exists(path));

    ed.btnAddRDM_Click(t);
    t = {{"  One ", "Two"}, "0900", "1700", "20240101", "0"};
    ed.btnUpdateRDM_Click(t);
    ed.btnAddRDM_Click(t);
    t = {{"Three"}};
    ed.btnUpdateRDM_Click(t);
    EXPECT_TRUE(ed.btnSaveRDM_Click());
    EXPECT_EQ(messages.texts.last(), "File saved.");
    EXPECT_EQ(testsupport::readAll(path),
              recordBytes({"One", "Two"}, "0900|1700|20240101|0") + recordBytes({"Three"}, "00:00|00:00|0|0"));

    // A save that cannot be written says so and never claims success.
    EXPECT_FALSE(ed.saveRDMFile(dir.filePath("no/such/folder/x.orv")));
    EXPECT_NE(messages.texts.last(), "File saved.");
    EXPECT_EQ(messages.icons.back(), MsgIcon::Exclamation);
    gstrWorkingDataFile.clear();
}

TEST_F(Editor, SaveRADEWritesTwelveLines)
{
    FakeMessages messages;
    QTemporaryDir dir;
    Grid igRADE;
    EXPECT_FALSE(btnSaveRADE_Click(igRADE, dir.path()));
    EXPECT_EQ(messages.texts, QStringList{"No data input. Please enter some data before saving."});
    initRDMGridColumns(igRADE);
    const int r = igRADE.AddRow();
    igRADE.SetCellValue(r, "Line 1", " a ");
    igRADE.SetCellValue(r, "Line 12", "l");
    igRADE.SetCellValue(r, "Line 13", "hidden");
    EXPECT_TRUE(btnSaveRADE_Click(igRADE, dir.path()));
    EXPECT_EQ(testsupport::readAll(dir.filePath("_RADEDataFile.txt")), " a " + QByteArray(11, '\t') + "l\r\n");
}

TEST_F(Editor, TypedLettersComeBackAfterSaveAndLoad)
{
    // Add, Update, Save, load again: what was typed is what the store shows,
    // whether the record file had to be UTF-8 (Windows-1252 bytes that would
    // pass for it) or stays Windows-1252.
    FakeMessages messages;
    QTemporaryDir dir;
    gstrWorkingDataFile = dir.filePath("_Orvane.orv");
    gstrDataType = "3";
    gstrSortType = "None";
    const struct {
        QStringList typed;
        bool windows1252;
    } cases[] = {
        {{QString::fromUtf8("JOSÉ’S BIRTHDAY"), QString::fromUtf8("CAFÉ™"), QString::fromUtf8("CAFÉ–BAR")}, false},
        {{QString::fromUtf8("Café"), QString::fromUtf8("CAFÉ"), QString::fromUtf8("Été – 5 €")}, true},
    };
    for (const auto& c : cases) {
        grids.igRDM.Clear();
        ed.mlngRDMRow = 0;
        for (const QString& line : c.typed) {
            ed.btnAddRDM_Click(t);
            t.lines[0] = line;
            ed.btnUpdateRDM_Click(t);
        }
        ASSERT_TRUE(ed.btnSaveRDM_Click());
        const QByteArray bytes = testsupport::readAll(gstrWorkingDataFile);
        EXPECT_EQ(bytes.contains("\xC3\x89"), !c.windows1252) << bytes.toHex().constData();

        DataGrids loaded;
        ASSERT_TRUE(loadRDMFromOrvFile(loaded, gstrWorkingDataFile));
        QStringList back;
        for (int r = 1; r <= loaded.igRDM.RowCount(); ++r)
            back << loaded.igRDM.CellValue(r, "Line 1");
        EXPECT_EQ(back, c.typed);
    }
    gstrWorkingDataFile.clear();
    gstrDataType.clear();
    gstrSortType.clear();
}
