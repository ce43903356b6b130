// The readers of outside exports, end to end: source file in, working record
// file bytes out.
#include "core/globals.h"
#include "platform/textfile.h"
#include "records/convert.h"
#include "records/readers.h"
#include "records/recordstore.h"
#include "tests/records/recordstest.h"
#include "tests/testsupport.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

using records::ConvertStatus;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

const QByteArray kOld = "old\tworking\tfile\r\n";

class Convert : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        target = dir.filePath("_Orvane.orv");
        writeAll(target, kOld);
    }
    // Converts `bytes` saved under `name` with the Data Type; returns the status.
    ConvertStatus run(const QString& type, const QString& name, const QByteArray& bytes)
    {
        const QString src = dir.filePath(name);
        writeAll(src, bytes);
        error.clear();
        return records::convertFile(src, type, target, &error);
    }
    QByteArray out() const { return readAll(target); }

    QTemporaryDir dir;
    QString target;
    QString error;
};

QString pad(const QString& s, int width)
{
    return s.leftJustified(width, QLatin1Char(' '), true);
}

// A Micros/Opera export of more than two blocks, as UTF-8, and its record
// lines. Blocks are cut inside the first character past ASCII (only after the
// first block) and between the CR and LF of a line; `lastName`, when given,
// is the name of the last line.
struct BigExport {
    QByteArray bytes;
    QStringList records;
};
BigExport bigExport(const QString& lastName = QString())
{
    const QByteArray rest = "\tb\tc\t0900\t1000\tf\t20240101\t20240102\ti\r\n";
    BigExport e;
    auto add = [&](const QString& name) {
        e.bytes += name.toUtf8() + rest;
        e.records << recordText({name, "b", "c", "0900", "1000", "f", "20240101", "20240102", "i"},
                                "0900|1000|20240101|20240102");
    };
    // Plain lines up to `at`, then a line whose name puts `byte` at `at`.
    auto fillTo = [&](qsizetype at, const QString& tail, qsizetype byte) {
        while (e.bytes.size() < at - 200)
            add(QStringLiteral("Row %1").arg(e.records.size()));
        add(QString(at - e.bytes.size() - byte, QLatin1Char('x')) + tail);
    };
    fillTo(records::kBlockBytes - 1, QStringLiteral("\u00e9"), 0);               // "é": C3 | A9
    fillTo(2 * records::kBlockBytes - 1, QString(), qsizetype(rest.size()) - 2); // CR | LF
    add(QStringLiteral("Row end"));
    if (!lastName.isEmpty())
        add(lastName);
    return e;
}

} // namespace

TEST_F(Convert, MicrosNineAndTwelveFieldLinesKeptUntrimmed)
{
    const QByteArray src = "a\tb\tc\t0900\t1000\tf\t20240101\t20240102\ti\r\n"
                           "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\n"
                           " a \tb\tc\td\te\tf\tg\th\ti \n";
    ASSERT_EQ(run("0", "export.txt", src), ConvertStatus::Converted) << error.toStdString();
    EXPECT_EQ(out(), recordBytes({"a", "b", "c", "0900", "1000", "f", "20240101", "20240102", "i"},
                                 "0900|1000|20240101|20240102") +
                         recordBytes({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}, "4|5|7|8") +
                         recordBytes({" a ", "b", "c", "d", "e", "f", "g", "h", "i "}, "d|e|g|h")); // untrimmed
}

TEST_F(Convert, MicrosBadLineFailsAndKeepsTheOldFile)
{
    const QByteArray good = "a\tb\tc\td\te\tf\tg\th\ti\r\n";
    EXPECT_EQ(run("0", "ten.txt", good + "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\r\n"), ConvertStatus::Failed);
    EXPECT_TRUE(error.contains("Line 2")) << error.toStdString();
    EXPECT_EQ(run("0", "gap.txt", good + "\r\n" + good), ConvertStatus::Failed);
    EXPECT_EQ(run("0", "eight.txt", "1\t2\t3\t4\t5\t6\t7\t8\r\n"), ConvertStatus::Failed);
    EXPECT_EQ(out(), kOld);
}

TEST_F(Convert, DelphiCutsFixedPositions)
{
    const QString full = pad("Title", 60) + pad("Sub", 60) + pad("Room", 40) + "ABC" + pad("x", 8) + pad("Host", 40) +
                         "0930" + "1130" + pad("Group", 20) + "12AB" + "1234567" + "IGNORED";
    ASSERT_EQ(full.size(), 250 + 7);
    const QString short218 = full.left(217) + "9";
    ASSERT_EQ(run("1", "a.nss", (full + "\r\n" + short218 + "\r\n\r\n").toLatin1()), ConvertStatus::Converted);
    EXPECT_EQ(out(),
              recordBytes({"Title", "Sub", "Room", "ABC", "x", "Host", "0930", "1130", "Group", "12AB", "1234567"},
                          "0930|1130|0|0") +
                  recordBytes({"Title", "Sub", "Room", "ABC", "x", "Host", "0930", "119"}, "0930|119|0|0") +
                  recordBytes({}, "||0|0"));
    // A TAB inside a field becomes a blank; a lone CR ends the line.
    ASSERT_EQ(run("1", "t.NSS", "A\tB\r\nC\rD"), ConvertStatus::Converted);
    EXPECT_EQ(out(), recordBytes({"A B"}, "||0|0") + recordBytes({"C"}, "||0|0") + recordBytes({"D"}, "||0|0"));
}

TEST_F(Convert, OutputKeepsTheSourceCharacters)
{
    // Windows-1252 source stays Windows-1252; a character it cannot hold
    // makes the whole record file UTF-8.
    const QByteArray cp1252 = "Caf\xe9\t\x80 5\tc\td\te\tf\tg\th\ti\r\n";
    ASSERT_EQ(run("0", "w.txt", cp1252), ConvertStatus::Converted);
    EXPECT_EQ(out(), "Caf\xe9\t\x80 5\tc\td\te\tf\tg\th\ti" + QByteArray(12, '\t') + "d|e|g|h\r\n");
    const QByteArray utf8 = "\xe4\xb8\xad\t\xc3\xa9\tc\td\te\tf\tg\th\ti\r\n";
    ASSERT_EQ(run("0", "u.txt", utf8), ConvertStatus::Converted);
    EXPECT_EQ(out(), "\xe4\xb8\xad\t\xc3\xa9\tc\td\te\tf\tg\th\ti" + QByteArray(12, '\t') + "d|e|g|h\r\n");
}

TEST_F(Convert, RecordFileLoadsWithTheExportsLetters)
{
    // The export's bytes go into the record file as they are wherever they
    // read back as its letters. Where the fields kept would pass for UTF-8
    // (an accented capital before a curly quote, ™ or a dash) although the
    // export is Windows-1252 (its 13th field, which no record keeps, is not
    // UTF-8), the record file is written as UTF-8 with the export's letters.
    const QString jose = QString::fromUtf8("JOSÉ’S BIRTHDAY");
    const QString cafe = QString::fromUtf8("CAFÉ™");
    const QString bar = QString::fromUtf8("CAFÉ–BAR");
    const QStringList fields{jose, cafe, bar, "0900", "1000", "f", "20240101", "20240102", "i", "j", "k", "l"};
    const QString cell = "0900|1000|20240101|20240102";
    const QByteArray cp1252Tail = "\t\xC9t\xE9\r\n"; // "Été", dropped by the reader
    QByteArray cp1252Line;
    ASSERT_TRUE(textfile::appendWindows1252(fields.join('\t'), cp1252Line));
    const QByteArray plain = "CAF\xC9\tb\tc\td\te\tf\tg\th\ti\t\x96\tk\tl\t\xE9\r\n";

    const struct {
        const char* what;
        QByteArray source;
        QByteArray record;
    } cases[] = {
        {"Windows-1252 export", cp1252Line + cp1252Tail, recordText(fields, cell).toUtf8()},
        {"UTF-8 export", fields.join('\t').toUtf8() + "\t13\r\n", recordText(fields, cell).toUtf8()},
        {"Windows-1252 that reads back", plain,
         "CAF\xC9\tb\tc\td\te\tf\tg\th\ti\t\x96\tk\tl" + QByteArray(8, '\t') + "\td|e|g|h\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(run("0", "export.txt", c.source), ConvertStatus::Converted) << c.what << error.toStdString();
        EXPECT_EQ(out(), c.record) << c.what;
        // Block by block, wherever the blocks cut, the bytes are the same.
        for (const qsizetype block : {qsizetype(1), qsizetype(5), records::kBlockBytes}) {
            QByteArray direct;
            ASSERT_TRUE(records::convertBytes(records::Reader::Micros, c.source, direct, nullptr, block));
            EXPECT_EQ(direct, c.record) << c.what << " in blocks of " << block;
        }
    }

    // The record store then shows the export's letters.
    ASSERT_EQ(run("0", "export.txt", cases[0].source), ConvertStatus::Converted);
    DataGrids grids;
    gstrDataType = "0";
    ASSERT_TRUE(loadRDMFromOrvFile(grids, target));
    EXPECT_EQ(grids.igRDM.CellValue(1, "Line 1"), jose);
    EXPECT_EQ(grids.igRDM.CellValue(1, "Line 2"), cafe);
    EXPECT_EQ(grids.igRDM.CellValue(1, "Line 3"), bar);
    gstrDataType.clear();
}

TEST_F(Convert, UTF8CutByTheBlocksConvertsAsOneText)
{
    // UTF-8 whose characters all fit Windows-1252 gives a Windows-1252 record
    // file; one character that doesn't, even in the last line, makes the
    // whole file UTF-8.
    const BigExport narrow = bigExport();
    ASSERT_EQ(narrow.bytes.mid(records::kBlockBytes - 1, 2), "\xc3\xa9");
    ASSERT_EQ(narrow.bytes.mid(2 * records::kBlockBytes - 1, 2), "\r\n");
    ASSERT_EQ(run("0", "u.txt", narrow.bytes), ConvertStatus::Converted) << error.toStdString();
    EXPECT_TRUE(out() == narrow.records.join(QString()).toLatin1());

    const BigExport wide = bigExport(QStringLiteral("\u4e2d"));
    ASSERT_EQ(run("0", "w.txt", wide.bytes), ConvertStatus::Converted) << error.toStdString();
    EXPECT_TRUE(out() == wide.records.join(QString()).toUtf8());
}

TEST_F(Convert, ByteThatIsNotUTF8AfterTheFirstBlockMakesItAllWindows1252)
{
    // One byte after the first block is not UTF-8 (E9), so the whole export
    // is Windows-1252: the UTF-8 "é" (C3 A9) of its first line is two
    // characters, written as the two bytes they were.
    BigExport e = bigExport();
    e.bytes.replace("\xc3\xa9", "\xc3\xa9\xe9");
    e.bytes.prepend("\xc3\xa9\tb\tc\td\te\tf\tg\th\ti\r\n");
    ASSERT_EQ(run("0", "w.txt", e.bytes), ConvertStatus::Converted) << error.toStdString();
    QByteArray expected = e.records.join(QString()).toLatin1();
    expected.replace("\xe9", "\xc3\xa9\xe9");
    expected.prepend(recordBytes({QString::fromLatin1("\xc3\xa9"), "b", "c", "d", "e", "f", "g", "h", "i"}, "d|e|g|h"));
    EXPECT_TRUE(out() == expected);

    // A bad line after the first block: the old file stays, no temporary is left.
    writeAll(target, kOld);
    ASSERT_EQ(run("0", "bad.txt", e.bytes + "1\t2\r\n"), ConvertStatus::Failed);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Line %1 ").arg(e.records.size() + 2))) << error.toStdString();
    EXPECT_EQ(out(), kOld);
    EXPECT_EQ(QDir(dir.path()).entryList({"*orvtmp*"}, QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(Convert, EBMSSkipsHeadersAndSplitsField14)
{
    const QByteArray header = "\"ID\",\"Name\",\"Room\"\r\n";
    const QByteArray rec = "\"1\",\"Gala, dinner\",\"R1\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\",\"11\",\"12\","
                           "\"13\",\"a,b,c,d,e\",\"1234\",\"extra\"\r\n";
    ASSERT_EQ(run("2", "f.txt", header + rec), ConvertStatus::Converted) << error.toStdString();
    EXPECT_EQ(out(), recordBytes({"1", "Gala, dinner", "R1", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "a",
                                  "b", "c", "d", "1234"},
                                 ""));
    const QByteArray converted = out();
    const QByteArray shortField14 =
        "\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\",\"11\",\"12\",\"13\",\"a,b\",\"15\"\n";
    EXPECT_EQ(run("2", "g.txt", shortField14), ConvertStatus::Failed);
    EXPECT_EQ(out(), converted);
}

TEST_F(Convert, OwnRecordFileKeepsNineFieldsAndRebuildsTheWindow)
{
    // Converting the working file onto itself: the source is read first.
    writeAll(target,
             recordBytes({"1", "2", "3", "0800", "0900", "6", "20240101", "20240131", "9", "10", "11", "12", "13"},
                         "x|y|z|w"));
    ASSERT_EQ(records::convertFile(target, "3", target, &error), ConvertStatus::Converted);
    EXPECT_EQ(out(), recordBytes({"1", "2", "3", "0800", "0900", "6", "20240101", "20240131", "9"},
                                 "0800|0900|20240101|20240131"));
    EXPECT_EQ(run("3", "short.orv", "1\t2\t3\t4\t5\t6\t7\t8\r\n"), ConvertStatus::Failed);
}

TEST_F(Convert, BasicTextBlocks)
{
    auto basic = [this](const QStringList& lines) {
        writeAll(target, QByteArray());
        EXPECT_EQ(run("4", "b.txt", (lines.join("\r\n") + "\r\n").toLatin1()), ConvertStatus::Converted);
        return out();
    };
    EXPECT_EQ(basic({"A", "B", "", ""}), recordBytes({"A", "B"}, "0|0|0|0"));
    EXPECT_EQ(basic({"A", "", "B", ""}), recordBytes({"A", "B"}, "0|0|0|0"));
    EXPECT_EQ(basic({"A", ""}), QByteArray());
    EXPECT_EQ(basic({"", "", "A", "", ""}), recordBytes({"A"}, "0|0|0|0"));

    QStringList fourteen;
    for (int i = 1; i <= 14; ++i)
        fourteen << QString::number(i);
    EXPECT_EQ(basic(fourteen + QStringList{"", "C", ""}),
              recordBytes(fourteen.mid(0, 12), "0|0|0|0") + recordBytes({"C"}, "0|0|0|0"));
}

TEST_F(Convert, ReaderSelectionByTypeAndExtension)
{
    using records::Reader;
    EXPECT_EQ(records::selectReader("0", "/d/a.TXT"), Reader::Micros);
    EXPECT_EQ(records::selectReader("1", "/d/a.Nss"), Reader::Delphi);
    EXPECT_EQ(records::selectReader("2", "/d/a.txt"), Reader::EBMS);
    EXPECT_EQ(records::selectReader("3", "/d/a.orv"), Reader::OwnRecords);
    EXPECT_EQ(records::selectReader("4", "/d/a.txt"), Reader::BasicText);
    EXPECT_EQ(records::selectReader("0", "/d/a.nss"), Reader::None);
    EXPECT_EQ(records::selectReader("0", "/d/txt"), Reader::None);
    EXPECT_EQ(records::selectReader(" 0", "/d/a.txt"), Reader::None);
}

TEST_F(Convert, ConvertDataFileReportsEachOutcome)
{
    FakeMessages messages;
    gstrWorkingDataFile = target;
    bool ok = true;

    ConvertDataFile(QString(), ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(lastStatusLine().endsWith(" - No data file to convert."));

    // No reader: the old records stay, the result is success, the log says why.
    gstrDataType = "0";
    writeAll(dir.filePath("a.nss"), "whatever\r\n");
    ConvertDataFile(dir.filePath("a.nss"), ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(lastStatusLine().contains(" - !!! No converter matches")) << lastStatusLine().toStdString();

    writeAll(dir.filePath("bad.txt"), "1\t2\r\n");
    ConvertDataFile(dir.filePath("bad.txt"), ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.icons[0], MsgIcon::None);
    EXPECT_EQ(out(), kOld);

    // A fetched file keeps the server's spelling; the settings' spelling finds it.
    writeAll(dir.filePath("FETCHED.TXT"), "a\tb\tc\td\te\tf\tg\th\ti\r\n");
    ConvertDataFile(dir.filePath("fetched.txt"), ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out(), recordBytes({"a", "b", "c", "d", "e", "f", "g", "h", "i"}, "d|e|g|h"));
    gstrWorkingDataFile.clear();
    gstrDataType.clear();
}

TEST_F(Convert, OversizedSourceIsRefused)
{
    const QString big = dir.filePath("big.txt");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(qint64(257) * 1024 * 1024)); // sparse: costs no disk
    }
    EXPECT_EQ(records::convertFile(big, "4", target, &error), ConvertStatus::Failed);
    EXPECT_TRUE(error.contains("too large")) << error.toStdString();
    EXPECT_EQ(out(), kOld);
}

TEST_F(Convert, LoneCRBreaksLinesForEveryReader)
{
    // The same lines ended by CRLF, by CR alone and by a mix give the same
    // records, for every reader.
    const QByteArray micros = "a\tb\tc\t0900\t1000\tf\t20240101\t20240102\ti";
    const QByteArray ebms =
        "\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\",\"11\",\"12\",\"13\",\"a,b,c,d\",\"15\"";
    const struct {
        const char* type;
        const char* name;
        QList<QByteArray> lines;
        int records;
    } cases[] = {
        {"0", "m.txt", {micros, micros, micros}, 3},
        {"1", "d.nss", {"Title", "Other", "Third"}, 3},
        {"2", "e.txt", {ebms, ebms}, 2},
        {"3", "o.orv", {micros, micros}, 2},
        {"4", "b.txt", {"A", "B", "", "", "C", "", ""}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(run(c.type, c.name, c.lines.join("\r\n") + "\r\n"), ConvertStatus::Converted);
        const QByteArray expected = out();
        EXPECT_EQ(expected.count("\r\n"), c.records);
        ASSERT_EQ(run(c.type, c.name, c.lines.join("\r") + "\r"), ConvertStatus::Converted) << error.toStdString();
        EXPECT_EQ(out(), expected);
        QByteArray mixed;
        for (qsizetype i = 0; i < c.lines.size(); ++i)
            mixed += c.lines[i] + (i % 3 == 0 ? "\r" : i % 3 == 1 ? "\n" : "\r\n");
        ASSERT_EQ(run(c.type, c.name, mixed), ConvertStatus::Converted);
        EXPECT_EQ(out(), expected);
    }
}

TEST_F(Convert, PipeInATimeOrDateFieldNeverAddsAPart)
{
    // A "|" inside a source time or date is left out of the validity cell;
    // the line itself keeps the text as it was.
    const QByteArray tabbed = "a\tb\tc\t09|00\t1|000\tf\t2024|0101\t|20240102|\ti\r\n";
    const QString delphi = pad("Title", 211) + "09|0" + "1|00" + "\r\n";
    const struct {
        const char* type;
        const char* name;
        QByteArray bytes;
        QString cell;
        QString line; // "Line 4" for the tab readers, "Line 7" for Delphi
    } cases[] = {
        {"0", "m.txt", tabbed, "0900|1000|20240101|20240102", "09|00"},
        {"3", "o.orv", tabbed, "0900|1000|20240101|20240102", "09|00"},
        {"1", "d.nss", delphi.toLatin1(), "090|100|0|0", "09|0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(run(c.type, c.name, c.bytes), ConvertStatus::Converted) << error.toStdString();
        const QStringList fields = QString::fromLatin1(out()).chopped(2).split('\t');
        ASSERT_EQ(fields.size(), 21);
        EXPECT_EQ(fields[20], c.cell);
        EXPECT_EQ(fields[c.type == QLatin1String("1") ? 6 : 3], c.line);
    }
}

TEST_F(Convert, NoRecordsNeverReplaceKeptRecords)
{
    const QByteArray garbage("\x89PNG\x00\x01\xff\xfe\x00\x00\x1a\x0b,\",\x7f", 16);
    const struct {
        const char* type;
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"0", "empty.txt", ""},
        {"1", "empty.nss", ""},
        {"2", "micros.txt", "a\tb\tc\td\te\tf\tg\th\ti\r\n"}, // an export of another kind
        {"2", "garbage.txt", garbage},
        {"4", "garbage.txt", garbage + "\r\n" + garbage},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.type, c.name, c.bytes), ConvertStatus::NoRecords) << c.name;
        EXPECT_EQ(out(), kOld) << c.name;
    }
    // A record file without records, or none at all, takes the empty result.
    for (const QByteArray& none : {QByteArray("\r\n\r\n"), QByteArray()}) {
        writeAll(target, none);
        EXPECT_EQ(run("0", "empty.txt", ""), ConvertStatus::Converted);
        EXPECT_EQ(out(), QByteArray());
    }
    QFile::remove(target);
    EXPECT_EQ(run("0", "empty.txt", ""), ConvertStatus::Converted);
    EXPECT_TRUE(QFile::exists(target));
}

TEST_F(Convert, ConvertDataFileReportsEmptyAndFailedSourcesAsProblems)
{
    // In Editor mode a message box says why; during a run a "!!!" status
    // line does and nothing waits for a click. The kept records stay.
    FakeMessages messages;
    gstrWorkingDataFile = target;
    gstrDataType = "0";
    const QString empty = dir.filePath("empty.txt");
    const QString bad = dir.filePath("bad.txt");
    writeAll(empty, "");
    writeAll(bad, "1\t2\r\n");
    for (const bool running : {false, true}) {
        gblnRunActive = running;
        messages.clear();
        QStringList lines;
        for (const QString& source : {empty, bad}) {
            bool ok = true;
            ConvertDataFile(source, ok);
            EXPECT_FALSE(ok);
            lines << lastStatusLine();
        }
        EXPECT_EQ(out(), kOld);
        if (running) {
            EXPECT_TRUE(messages.texts.isEmpty());
            EXPECT_TRUE(lines[0].contains(" - !!!\"" + empty + "\" holds no record")) << lines[0].toStdString();
            EXPECT_TRUE(lines[1].contains(" - !!!Line 1 of the source file")) << lines[1].toStdString();
        } else {
            ASSERT_EQ(messages.texts.size(), 2);
            EXPECT_TRUE(messages.texts[0].contains("holds no record"));
            EXPECT_EQ(messages.icons[0], MsgIcon::Exclamation);
            EXPECT_EQ(messages.icons[1], MsgIcon::None);
        }
    }
    gblnRunActive = false;
    gstrWorkingDataFile.clear();
    gstrDataType.clear();
}

TEST_F(Convert, OnlyRegularFilesAreRead)
{
    // A named pipe or a folder is no data file: nothing is opened (opening a
    // pipe would wait for a writer), also when the case-insensitive lookup
    // of a missing name meets one.
    const QString pipe = dir.filePath("pipe.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    for (const char* name : {"pipe.txt", "PIPE.TXT", "folder.txt", "Folder.TXT"})
        EXPECT_EQ(records::convertFile(dir.filePath(name), "0", target, &error), ConvertStatus::Missing) << name;
    EXPECT_EQ(out(), kOld);
}
