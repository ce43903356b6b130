// Loading the record file into the record store, the EBMS field mapping and
// the sort by the sort settings.
#include "core/globals.h"
#include "recordlist/idlookup.h"
#include "records/recordstore.h"
#include "tests/records/recordstest.h"
#include "tests/testsupport.h"

using testsupport::writeAll;

namespace {

class Store : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        gstrDataType = "3";
        gstrSortType = "None";
        gstrSortGroup.clear();
        gstrSortLine.clear();
        recordshooks::showTotalRecords = [this](int n) { total = n; };
    }
    void TearDown() override
    {
        recordshooks::showTotalRecords = nullptr;
        recordshooks::buildRADEList = nullptr;
        gstrDataType.clear();
        gstrSortType.clear();
    }
    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString p = dir.filePath(name);
        writeAll(p, bytes);
        return p;
    }
    QStringList column(const QString& key) const
    {
        QStringList out;
        for (int r = 1; r <= grids.igRDM.RowCount(); ++r)
            out << grids.igRDM.CellValue(r, key);
        return out;
    }

    QTemporaryDir dir;
    DataGrids grids;
    int total = -1;
};

// An EBMS record-file line: fields 1 .. 18 as given by index.
QByteArray ebmsLine(const QStringList& fields)
{
    return (fields.join('\t') + "\t\t\t\r\n").toLatin1();
}

QStringList ebmsFields(const QString& f17, const QString& f18)
{
    QStringList f;
    for (int i = 1; i <= 18; ++i)
        f << QStringLiteral("f%1").arg(i);
    f[16] = f17;
    f[17] = f18;
    return f;
}

} // namespace

TEST_F(Store, ColumnSets)
{
    initRDMGridColumns(grids.igRDM);
    QString shown; // "Line 1" .. "Line 12" shown, "Line 13" .. "DateTime" hidden
    for (int c = 1; c <= grids.igRDM.ColCount(); ++c)
        shown += grids.igRDM.Column(c).visible ? '1' : '0';
    EXPECT_EQ(shown, QString(12, '1') + QString(9, '0'));
    initURGridColumns(grids.igUR);
    initURGridColumns(grids.igUR);
    EXPECT_EQ(grids.igUR.ColCount(), 14);
}

TEST_F(Store, OnlyOrvFilesLoad)
{
    const QByteArray rec = "a\r\n";
    EXPECT_TRUE(loadRDMFromOrvFile(grids, file("x.ORV", rec)));
    EXPECT_TRUE(loadRDMFromOrvFile(grids, file("y.orv", rec + rec)));
    total = -1;
    for (const QString& bad : {file("z.txt", rec), file("noext", rec), dir.filePath("missing.orv"), QString()})
        EXPECT_FALSE(loadRDMFromOrvFile(grids, bad)) << bad.toStdString();
    LoadDataFileIfExists(grids, dir.filePath("missing.orv"));
    EXPECT_EQ(grids.igRDM.RowCount(), 2);
    EXPECT_EQ(total, -1);
}

TEST_F(Store, PlainLinesAreTrimmedAndBlankLinesSkipped)
{
    QStringList wide;
    for (int i = 1; i <= 25; ++i)
        wide << QStringLiteral(" v%1 ").arg(i);
    const QByteArray bytes = "r1\r\n\r\n  A  \tB\r\nr3\r\n" + (wide.join('\t') + "\r\n").toLatin1();
    ASSERT_TRUE(loadRDMFromOrvFile(grids, file("r.orv", bytes)));
    EXPECT_EQ(total, 4);
    const Grid& g = grids.igRDM;
    EXPECT_EQ(g.RowValues(2), QStringList({"A", "B"}) + QStringList(19));
    EXPECT_EQ(g.CellValue(4, "Line 12"), "v12");
    EXPECT_EQ(g.CellValue(4, "Line 20"), "");
    EXPECT_EQ(g.CellValue(4, "DateTime"), "v21");
}

TEST_F(Store, EBMSLayoutsWithTheIdLookup)
{
    gstrDataType = "2";
    initIDLookupColumns(grids.igIDLookup);
    for (auto [id, desc] : {std::pair{"f3", "Ballroom"}, std::pair{"1234", "Terrace"}}) {
        const int r = grids.igIDLookup.AddRow();
        grids.igIDLookup.SetCellValue(r, "ID", id);
        grids.igIDLookup.SetCellValue(r, "Description", desc);
    }
    int built = 0;
    recordshooks::buildRADEList = [&built](DataGrids&) { ++built; };
    gstrSortType = "Descending";
    gstrSortLine = "Line 1";

    QStringList y = ebmsFields("Y", "1234");
    QStringList n = ebmsFields("N", "1234");
    n[1] = "a-first"; // would move under a descending sort
    const QByteArray bytes = ebmsLine(y) + ebmsLine(ebmsFields("Y", "hh:mm")) + ebmsLine(ebmsFields("Y", "  ")) +
                             ebmsLine(n) + ebmsLine(ebmsFields("y", "9")) + "f1\tf2\tf3\r\n";
    ASSERT_TRUE(loadRDMFromOrvFile(grids, file("e.orv", bytes)));
    EXPECT_EQ(built, 1);
    ASSERT_EQ(total, 3);

    EXPECT_EQ(grids.igRDM.RowValues(1),
              (QStringList{"f2", "f8", "Ballroom", "f9", "f10", "f11", "f12", "f14", "f15",  "f16",           "Y",
                           "f3", "",   "f1",       "f4", "f5",  "f6",  "f7",  "f13", "1234", "f9|f10|f11|f12"}));
    EXPECT_EQ(grids.igRDM.RowValues(2),
              (QStringList{"a-first", "Terrace", "",   "f4", "f5",  "f6",  "f7",  "f14", "f15", "f16",        "N",
                           "1234",    "f8",      "f1", "f9", "f10", "f11", "f12", "f13", "f3",  "f4|f5|f6|f7"}));
    // Lower-case "y" is layout N; an unknown ID describes as empty.
    EXPECT_EQ(grids.igRDM.CellValue(3, "Line 2"), "");
    EXPECT_EQ(grids.igRDM.CellValue(3, "Line 12"), "9");
}

TEST_F(Store, SortBySettings)
{
    const QByteArray bytes = "c\t\t\t2\t\t\t\t\tb\r\n"
                             "a\t\t\t1\t\t\t\t\tb\r\n"
                             "b\t\t\t3\t\t\t\t\ta\r\n";
    const QString path = file("s.orv", bytes);
    auto order = [&](const QString& type, const QString& group, const QString& line) {
        gstrSortType = type;
        gstrSortGroup = group;
        gstrSortLine = line;
        loadRDMFromOrvFile(grids, path);
        return column("Line 1").join("");
    };
    EXPECT_EQ(order("ascending", "Line 9", "Line 4"), "bac");
    EXPECT_EQ(order("Descending", "Line 9", "Line 4"), "cab");
    EXPECT_EQ(order("None", "Line 9", "Line 1"), "cab");
    EXPECT_EQ(order("Ascending", "", "Line 2"), "cab"); // all equal: stable
    EXPECT_EQ(order("Ascending", "", "Line 1"), "abc");
    EXPECT_EQ(order("Ascending", "Line 99", "Line 1"), "cab");
    EXPECT_EQ(order("Sideways", "", "Line 1"), "cab");
    EXPECT_EQ(order("Ascending", " Line 4 ", ""), "acb");
}

TEST_F(Store, WriterBlanksBreaksInsideCells)
{
    initRDMGridColumns(grids.igRDM);
    const int r = grids.igRDM.AddRow();
    grids.igRDM.SetCellValue(r, "Line 1", "a\tb\r\nc");
    grids.igRDM.SetCellValue(r, "DateTime", "1|2|3|4");
    EXPECT_EQ(recordLine(grids.igRDM, r), QString("a b  c") + QString(19, '\t') + "\t1|2|3|4");
}

TEST_F(Store, RecordFilesInEveryEncodingLoadTheSameTexts)
{
    gstrSortType = "Ascending";
    gstrSortLine = "Line 1";
    const QStringList expected{QStringLiteral("caf\u00E9"), QStringLiteral("Caf\u00E9 \u20AC"), "plain"};
    const QString text = QStringLiteral(" plain \tx\r\ncaf\u00E9\r\n\r\nCaf\u00E9 \u20AC\n");
    const QByteArray utf8 = text.toUtf8();
    QByteArray cp1252 = text.toLatin1();
    cp1252.replace('?', '\x80'); // the euro sign
    for (const QByteArray& bytes : {utf8, "\xEF\xBB\xBF" + utf8, cp1252}) {
        ASSERT_TRUE(loadRDMFromOrvFile(grids, file("enc.orv", bytes)));
        EXPECT_EQ(column("Line 1"), expected) << bytes.toHex().constData();
        EXPECT_EQ(grids.igRDM.CellValue(3, "Line 2"), "x");
    }
}

TEST_F(Store, LineEndsLoadAsTheLinesOfTheText)
{
    // Lines end at LF, CRLF or a lone CR (the last byte too); empty lines
    // give no record. Plain ASCII files and others load alike.
    using namespace std::literals;
    const struct {
        std::string_view bytes;
        QStringList line1;
    } cases[] = {
        {"a\r\nb\r\nc"sv, {"a", "b", "c"}},
        {"a\nb\r\nc\r\n"sv, {"a", "b", "c"}},
        {"a\rb\rc\r"sv, {"a", "b", "c"}},
        {"a\r\r\nb\r"sv, {"a", "b"}},
        {"a\0z\r\n"sv, {QStringView(u"a\0z", 3).toString()}},
        {"\xEF\xBB\xBF"
         "a\r\nb"sv,
         {"a", "b"}},
    };
    for (const auto& c : cases) {
        const QByteArray ascii(c.bytes.data(), qsizetype(c.bytes.size()));
        ASSERT_TRUE(loadRDMFromOrvFile(grids, file("ends.orv", ascii)));
        EXPECT_EQ(column("Line 1"), c.line1) << ascii.toHex().constData();
        ASSERT_TRUE(loadRDMFromOrvFile(grids, file("ends.orv", ascii + "\r\n\xE9")));
        EXPECT_EQ(column("Line 1"), c.line1 + QStringList{QStringLiteral("\u00E9")}) << ascii.toHex().constData();
    }
}

TEST_F(Store, EBMSPipeInATimeOrDateStaysOutOfTheWindow)
{
    // The window is built from the times and dates of either layout; a "|"
    // in one of them is left out of it, and the line keeps its text.
    gstrDataType = "2";
    QStringList n = ebmsFields("N", "1");
    n[3] = "08|00";
    n[6] = "2024|01|31";
    QStringList y = ebmsFields("Y", "1");
    y[8] = "|0900";
    y[11] = "20240131|";
    ASSERT_TRUE(loadRDMFromOrvFile(grids, file("e.orv", ebmsLine(n) + ebmsLine(y))));
    EXPECT_EQ(column("DateTime"), QStringList({"0800|f5|f6|20240131", "0900|f10|f11|20240131"}));
    EXPECT_EQ(column("Line 4"), QStringList({"08|00", "|0900"}));
}
