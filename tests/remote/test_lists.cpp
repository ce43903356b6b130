// Board list files, the Mode file, the board address check, master template
// list files and the records per page of a template.
#include "remote/boardlist.h"
#include "remote/templateslots.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace remote;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

class Lists : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        writeAll(path, bytes);
        return path;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(Lists, BoardFileRoundTrip)
{
    const QString path = file("IPAddress.txt", "10.0.0.2, lobby, left side\r\n"
                                               "\r\n"
                                               "board7\n"
                                               " 10.0.0.9 ,  hall \r\n");
    const BoardList boards = readBoardList(path);
    EXPECT_EQ(boards, BoardList({{"10.0.0.2", "lobby, left side"}, {"board7", ""}, {" 10.0.0.9 ", " hall "}}));
    ASSERT_TRUE(writeBoardList(path, boards));
    EXPECT_EQ(readAll(path), QByteArray("10.0.0.2, lobby, left side\r\nboard7, \r\n10.0.0.9, hall\r\n"));
    // Emptied lists stay empty; a missing file is an empty list.
    ASSERT_TRUE(writeBoardList(path, {}));
    EXPECT_TRUE(readAll(path).isEmpty());
    EXPECT_TRUE(readBoardList(dir.filePath("none.txt")).isEmpty());
}

TEST_F(Lists, NotesComeBackAsWrittenOnTheirBoardsLine)
{
    // A pasted line break is a blank: the text after it stays in the note
    // and never makes a board of its own. Accented notes keep their letters.
    const QString path = dir.filePath("IPAddress.txt");
    const BoardList typed{{"10.0.0.1", "Lobby\n10.9.9.9, ghost"},
                          {"10.0.0.2", "a\r\nb\rc"},
                          {"10.0.0.3", QString::fromUtf8("CAFÉ–BAR")},
                          {"10.0.0.4", QString::fromUtf8("JOSÉ’S BIRTHDAY")}};
    ASSERT_TRUE(writeBoardList(path, typed));
    EXPECT_EQ(readBoardList(path), BoardList({{"10.0.0.1", "Lobby 10.9.9.9, ghost"},
                                              {"10.0.0.2", "a  b c"},
                                              {"10.0.0.3", QString::fromUtf8("CAFÉ–BAR")},
                                              {"10.0.0.4", QString::fromUtf8("JOSÉ’S BIRTHDAY")}}));
    // Notes that Windows-1252 holds back are written in it, as before.
    ASSERT_TRUE(writeBoardList(path, {{"10.0.0.3", QString::fromUtf8("Café – CAFÉ")}}));
    EXPECT_EQ(readAll(path), QByteArray("10.0.0.3, Caf\xE9 \x96 CAF\xC9\r\n"));
}

TEST_F(Lists, ModeFile)
{
    const struct {
        QByteArray bytes;
        int mode;
    } cases[] = {{"1\r\n", 1},     {"1.0 admin\r\n", 1}, {" 1\r\n", 1}, {"2\r\n", 0},
                 {"\r\n1\r\n", 0}, {"one\r\n", 0},       {"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(readMode(file("Mode.txt", c.bytes)), c.mode) << c.bytes.constData();
    EXPECT_EQ(readMode(dir.filePath("missing.txt")), 0);
}

TEST(BoardAddress, AcceptsHostsAndAddressesOnly)
{
    for (const char* ok : {"10.0.0.1", " 192.168.1.20 ", "board-7.local", "fe80::1", "::1"})
        EXPECT_TRUE(isBoardAddress(QString::fromUtf8(ok))) << ok;
    for (const char* bad : {"", "   ", "10.0.0.256", "10.0.0", "a b", "host/x", "user@host", "host:21", "host\r\nQUIT",
                            "-host", "fe80::1%eth0", "10.0.0.1\tx"})
        EXPECT_FALSE(isBoardAddress(QString::fromUtf8(bad))) << bad;
}

TEST_F(Lists, MasterListWriteKeepsForeignKeysAndReadTrims)
{
    const QString path = file("set.MTL", "[Other]\r\nx=1\r\n[MASTER_TEMPLATE_LIST]\r\nMine=keep\r\n");
    SlotPaths slots;
    slots[0] = "/t/default.ORVT ";
    slots[3] = " /t/three.ORVT";
    ASSERT_TRUE(writeMasterList(path, slots));
    EXPECT_EQ(readAll(path), QByteArray("[Other]\r\nx=1\r\n[MASTER_TEMPLATE_LIST]\r\nMine=keep\r\n"
                                        "Default Template=/t/default.ORVT \r\n"
                                        "Template with 1 record=\r\n"
                                        "Template with 2 record=\r\n"
                                        "Template with 3 record= /t/three.ORVT\r\n"
                                        "Template with 4 record=\r\n"
                                        "Template with 5 record=\r\n"
                                        "Template with 6 record=\r\n"));
    SlotPaths read;
    ASSERT_TRUE(readMasterList(path, read));
    EXPECT_EQ(read[0], QString("/t/default.ORVT"));
    EXPECT_EQ(read[3], QString("/t/three.ORVT"));
    // The plural key of the template name is not a slot key.
    ASSERT_TRUE(readMasterList(file("plural.MTL", "[MASTER_TEMPLATE_LIST]\r\nTemplate with 2 records=x\r\n"), read));
    EXPECT_TRUE(read[2].isEmpty());
}

TEST_F(Lists, RecordsPerPage)
{
    const struct {
        QByteArray value; // "-" for a missing key
        int n;
    } cases[] = {{"123", 12}, {" 1", 1}, {"3", 3}, {"0", 0}, {"", -1}, {"-", -1}, {"x", -1}, {"-1", -1}};
    for (const auto& c : cases) {
        const QByteArray body = c.value == "-" ? QByteArray("[TEMPLATE]\r\nName=a\r\n")
                                               : "[TEMPLATE]\r\nRecords Per Page=" + c.value + "\r\n";
        EXPECT_EQ(GetRecordsPerPage(file("t.ORVT", body)), c.n) << c.value.constData();
    }
    EXPECT_EQ(GetRecordsPerPage(dir.filePath("missing.ORVT")), -1);
}
