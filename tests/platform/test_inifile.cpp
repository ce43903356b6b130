#include "platform/inifile.h"
#include "platform/textfile.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

IniDocument doc(const char* text)
{
    return IniDocument::fromText(QString::fromUtf8(text));
}

QString readBack(const IniDocument& d, const char* section, const char* key, const char* def = "")
{
    QString out;
    d.read(QString::fromUtf8(section), QString::fromUtf8(key), QString::fromUtf8(def), out);
    return out;
}

} // namespace

TEST(IniRead, NamesQuotesCommentsAndFirstMatch)
{
    const char* names = "[Settings]\r\nMode=1\r\nmode=2\r\n[SETTINGS]\r\nMode=3\r\nOther=4\r\n";
    const char* values = "[S]\n a = 1 2 \nb=\"quoted \"\nc='x'\nd=\"\"inner\"\"\ne=\"mixed'\nf=\n";
    const char* outside = "k=outside\n[S]\n;k=commented\nnoequals\n  [ T ]  \nk=t\n";
    const struct {
        const char *text, *section, *key, *expected;
    } cases[] = {
        {names, "settings", "MODE", "1"},
        {names, "Settings", "Other", "none"}, // a second section of the same name is never reached
        {values, "S", "a", "1 2"},
        {values, "S", "b", "quoted "},
        {values, "S", "c", "x"},
        {values, "S", "d", "\"inner\""},
        {values, "S", "e", "\"mixed'"},
        {values, "S", "f", ""}, // a present empty value is not the default
        {outside, "S", "k", "none"},
        {outside, "T", "k", "t"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readBack(doc(c.text), c.section, c.key, "none"), c.expected) << c.text << c.key;
    EXPECT_EQ(doc(outside).sections(), QStringList({"S", "T"}));
}

TEST(IniRead, CountDefaultAndBufferSize)
{
    const IniDocument d = doc("[S]\nk=abcdef\n");
    QString out;
    EXPECT_EQ(d.read("S", "k", "", out, 4), 3);
    EXPECT_EQ(out, "abc");
    EXPECT_EQ(d.read("S", "k", "", out, 7), 6);
    EXPECT_EQ(out, "abcdef");
    EXPECT_EQ(d.read("S", "missing", "fallback", out, 5), 4);
    EXPECT_EQ(out, "fall");
    EXPECT_EQ(d.read("Nope", "k", "", out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(d.read("S", "k", "x", out, 0), 0);
    EXPECT_EQ(out, "");
}

TEST(IniWrite, UpdatesInPlaceAndKeepsEveryOtherLine)
{
    IniDocument d = doc("; board settings\n[Options]\nForeign=1\nvariablesupdateimage=old.png\n"
                        "\n[Other]\nX=y\n");
    d.set("OPTIONS", "VariablesUpdateImage", "new.png");
    EXPECT_EQ(d.lines(), QStringList({"; board settings", "[Options]", "Foreign=1", "variablesupdateimage=new.png", "",
                                      "[Other]", "X=y"}));
}

TEST(IniWrite, NewKeyGoesToTheEndOfItsSectionBeforeBlankLines)
{
    IniDocument d = doc("[A]\nk1=1\n\n\n[B]\nb=2\n");
    d.set("a", "k2", "2");
    EXPECT_EQ(d.lines(), QStringList({"[A]", "k1=1", "k2=2", "", "", "[B]", "b=2"}));
    d.set("B", "c", "3");
    EXPECT_EQ(d.lines().mid(5), QStringList({"[B]", "b=2", "c=3"}));
}

TEST(IniWrite, NewSectionAtTheEndAndLineBreaksFlattened)
{
    IniDocument d = doc("[A]\nk=1\n");
    d.set("New", "Key", "two\r\nlines\n");
    EXPECT_EQ(d.lines(), QStringList({"[A]", "k=1", "[New]", "Key=two  lines "}));
    d.set("New\nSection", "K\ry", "v");
    EXPECT_EQ(d.lines().mid(4), QStringList({"[New Section]", "K y=v"}));
    d.set("new section", "k y", "w");
    EXPECT_EQ(d.lines().size(), 6);
    EXPECT_EQ(readBack(d, "NEW SECTION", "K Y"), "w");
}

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

TEST_F(IniFileTest, FirstWriteCreatesTheFileWithCrlf)
{
    IniFile ini(path("new.ini"));
    EXPECT_EQ(ini.value("S", "k", "def"), "def");
    ASSERT_TRUE(ini.write("S", "k", "v"));
    ASSERT_TRUE(ini.writeAll("S", {{"a", "1"}, {"k", "2"}}));
    EXPECT_EQ(testsupport::readAll(ini.path()), QByteArray("[S]\r\nk=2\r\na=1\r\n"));
    EXPECT_EQ(ini.find("s", "A"), std::optional<QString>("1"));
    EXPECT_EQ(ini.find("s", "B"), std::nullopt);
}

TEST_F(IniFileTest, KeepsWindows1252AndForeignContent)
{
    testsupport::writeAll(path("a.ini"), QByteArray("[S]\ncaf\xE9=\x80 5\n;note\n"));
    IniFile ini(path("a.ini"));
    EXPECT_EQ(ini.value("S", QString::fromUtf8("CAFÉ")), QString::fromUtf8("€ 5"));
    ASSERT_TRUE(ini.write("S", "n", "1"));
    EXPECT_EQ(testsupport::readAll(ini.path()), QByteArray("[S]\r\ncaf\xE9=\x80 5\r\n;note\r\nn=1\r\n"));
}

TEST_F(IniFileTest, AFileTooLargeToReadIsNeverOverwritten)
{
    // A sparse file just over the input limit costs no disk space.
    const QString p = path("huge.ini");
    {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[S]\r\nk=keep\r\n");
        ASSERT_TRUE(f.resize(textfile::kMaxInputBytes + 1));
    }
    IniFile ini(p);
    QString error;
    EXPECT_FALSE(ini.write("S", "k", "lost", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QFileInfo(p).size(), textfile::kMaxInputBytes + 1);
    EXPECT_EQ(ini.value("S", "k", "unread"), "unread");
}
