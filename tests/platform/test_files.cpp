#include "platform/atomicfile.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>

using testsupport::readAll;
using testsupport::writeAll;

TEST(TextDecode, Utf8WhenValidElseWindows1252)
{
    EXPECT_EQ(textfile::decode("\xEF\xBB\xBF"
                               "caf\xC3\xA9"),
              QString::fromUtf8("café"));
    EXPECT_EQ(textfile::decode("caf\xE9 \x80\x96\x9F\x81"), QString::fromUtf8("café €–Ÿ\u0081"));
    // Overlong forms and encoded surrogates are not UTF-8.
    EXPECT_EQ(textfile::decode("\xC0\xAF"), QString::fromUtf8("À¯"));
    EXPECT_EQ(textfile::decode("\xED\xA0\x80").size(), 3);
    // A truncated sequence at the end falls back as well.
    EXPECT_EQ(textfile::decode("ab\xE2\x82"), QString::fromUtf8("abâ‚"));
    EXPECT_EQ(textfile::decode(QByteArray()), QString());
}

TEST(TextEncode, Windows1252UnlessSomethingDoesNotFit)
{
    EXPECT_EQ(textfile::encode(QString::fromUtf8("café €")), QByteArray("caf\xE9 \x80"));
    EXPECT_TRUE(textfile::fitsWindows1252(QString::fromUtf8("Œ™")));
    EXPECT_FALSE(textfile::fitsWindows1252(QString::fromUtf8("€ и")));
    EXPECT_EQ(textfile::encode(QString::fromUtf8("€ и")), QByteArray("\xE2\x82\xAC \xD0\xB8"));
    // What was written comes back the same, whichever encoding was chosen.
    for (const char* s : {"plain", "café €", "Ÿ‰", "日本 €"}) {
        const QString t = QString::fromUtf8(s);
        EXPECT_EQ(textfile::decode(textfile::encode(t)), t) << s;
    }
}

TEST(TextEncode, WhatIsWrittenReadsBackAsWritten)
{
    // Windows-1252 as long as its bytes read back; where they would pass for
    // UTF-8 (an accented capital before a curly quote, a dash, ™ or £), or
    // start like a BOM, the text is written as UTF-8.
    const struct {
        const char* text;
        bool windows1252;
    } cases[] = {
        {"plain", true},
        {"CAFÉ", true},             // C9 at the end is no UTF-8
        {"Café € — JOSÉ", true},    // E9 20 is no UTF-8
        {"JOSÉ’S BIRTHDAY", false}, // C9 92 would read as "ɒ"
        {"CAFÉ™", false},           // C9 99: "ə"
        {"CAFÉ–BAR", false},        // C9 96: "ɖ"
        {"Â£5", false},             // C2 A3: "£"
        {"ï»¿x", false},            // EF BB BF would be taken for a BOM
        {"ï»¿é", false},            // ... even when the rest is no UTF-8
        {"JOSÉ’S Café", true},      // the E9 makes the whole text no UTF-8
        {"\u4e2d", false},          // no Windows-1252 byte at all
    };
    for (const auto& c : cases) {
        const QString t = QString::fromUtf8(c.text);
        const QByteArray bytes = textfile::encode(t);
        EXPECT_EQ(textfile::decode(bytes), t) << c.text;
        QByteArray cp1252;
        if (!textfile::appendWindows1252(t, cp1252)) {
            EXPECT_FALSE(c.windows1252) << c.text;
            continue;
        }
        EXPECT_EQ(bytes, c.windows1252 ? cp1252 : t.toUtf8()) << c.text;
        // The check gives the same answer however a writer cuts its bytes.
        for (qsizetype cut = 0; cut <= cp1252.size(); ++cut) {
            textfile::Windows1252Check check;
            check.add(cp1252.constData(), cut);
            check.add(cp1252.constData() + cut, cp1252.size() - cut);
            EXPECT_EQ(check.readsBack(), cp1252.isEmpty() || c.windows1252) << c.text << " cut at " << cut;
        }
    }
    // A text's own BOM character stays.
    const QString bom = QChar(0xFEFF) + QStringLiteral("a");
    EXPECT_EQ(textfile::decode(textfile::encode(bom)), bom);
}

TEST(TextLines, SplitAndJoin)
{
    EXPECT_EQ(textfile::splitLines("a\r\nb\nc"), QStringList({"a", "b", "c"}));
    EXPECT_EQ(textfile::splitLines("a\r\n"), QStringList({"a"}));
    EXPECT_EQ(textfile::splitLines("a\n\n"), QStringList({"a", ""}));
    EXPECT_EQ(textfile::splitLines("a\rb\r\n"), QStringList({"a\rb"}));
    EXPECT_TRUE(textfile::splitLines("").isEmpty());
    EXPECT_EQ(textfile::splitLines("\n"), QStringList({""}));
    EXPECT_EQ(textfile::joinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(textfile::joinLines({}), "");
}

class FileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST_F(FileTest, TextRoundTripAndLimits)
{
    ASSERT_TRUE(textfile::writeLines(path("t.txt"), {QString::fromUtf8("é"), "x"}));
    EXPECT_EQ(readAll(path("t.txt")), QByteArray("\xE9\r\nx\r\n"));
    QStringList lines;
    ASSERT_TRUE(textfile::readLines(path("t.txt"), lines));
    EXPECT_EQ(lines, QStringList({QString::fromUtf8("é"), "x"}));

    QString text, error;
    EXPECT_FALSE(textfile::readText(path("t.txt"), text, &error, 3));
    EXPECT_TRUE(error.contains("too large"));
    EXPECT_FALSE(textfile::readText(path("missing.txt"), text, &error));
    EXPECT_FALSE(textfile::readText(dir.path(), text, &error));
    EXPECT_TRUE(error.contains("folder"));
}

TEST_F(FileTest, DevicesAndPipesAreRefusedUnreadAndLinksToFilesAreRead)
{
    // A pipe would hold the read (and the window) until a writer came.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("t.txt"), path("link.txt")));
    writeAll(path("t.txt"), "a\r\n");
    for (const QString& name : {QStringLiteral("/dev/zero"), path("pipe")}) {
        QString text, error;
        EXPECT_FALSE(textfile::readText(name, text, &error)) << name.toStdString();
        EXPECT_TRUE(error.contains("not a regular file")) << error.toStdString();
        EXPECT_TRUE(text.isEmpty());
        IniFile ini(name);
        EXPECT_EQ(ini.value("S", "k", "none"), "none");
        EXPECT_FALSE(ini.write("S", "k", "v"));
    }
    QString text;
    EXPECT_TRUE(textfile::readText(path("link.txt"), text));
    EXPECT_EQ(text, "a\r\n");

    // INI files have a bound of their own, far below the one for exports.
    {
        QFile f(path("big.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[S]\r\nk=v\r\n");
        ASSERT_TRUE(f.resize(textfile::kMaxSmallFileBytes + 1));
    }
    EXPECT_EQ(IniFile(path("big.ini")).value("S", "k", "unread"), "unread");
}

TEST_F(FileTest, AtomicWriteReplacesAndKeepsPermissions)
{
    const QString p = path("f.txt");
    writeAll(p, "old");
    QFile::setPermissions(p, QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    ASSERT_TRUE(atomicfile::write(p, "new", &error)) << error.toStdString();
    EXPECT_EQ(readAll(p), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(p), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"f.txt"}));
}

TEST_F(FileTest, AtomicWriteFailureKeepsTheOldFile)
{
    QString error;
    ASSERT_TRUE(QDir().mkdir(path("folder")));
    EXPECT_FALSE(atomicfile::write(path("folder"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(path("folder")).isDir());

    EXPECT_FALSE(atomicfile::write(QString(), "x", &error));

    // A file standing where the folder should be.
    writeAll(path("plain"), "keep");
    EXPECT_FALSE(atomicfile::write(path("plain/f.txt"), "x", &error));
    EXPECT_EQ(readAll(path("plain")), QByteArray("keep"));
}

TEST_F(FileTest, AtomicWriteFollowsALinkOnlyToAFileInItsOwnFolder)
{
    // "in/link" points at `to` (relative to "in"); `written`: the write
    // replaced the file at the end of the chain and the link stayed.
    struct Case {
        const char* to;
        bool written;
    } cases[] = {
        {"real.ini", true},     {"sub/real.ini", true},    {"hop", true}, // a link to a link to "real.ini"
        {"../real.ini", false}, {"hop-out", false},                       // a link to a link out
        {"missing.ini", false}, {"../missing.ini", false},
    };
    QDir().mkpath(path("in/sub"));
    ASSERT_TRUE(QFile::link(QStringLiteral("real.ini"), path("in/hop")));
    ASSERT_TRUE(QFile::link(QStringLiteral("../real.ini"), path("in/hop-out")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        for (const char* f : {"in/real.ini", "in/sub/real.ini", "real.ini"})
            writeAll(path(f), "old");
        const QString end = QFileInfo(QDir(path("in")).filePath(QString::fromLatin1(c.to))).canonicalFilePath();
        QFile::remove(path("in/link"));
        ASSERT_TRUE(QFile::link(QString::fromLatin1(c.to), path("in/link")));
        QString error;
        EXPECT_EQ(atomicfile::write(path("in/link"), "new", &error), c.written) << error.toStdString();
        EXPECT_TRUE(QFileInfo(path("in/link")).isSymLink());
        EXPECT_EQ(error.contains("symbolic link"), !c.written);
        for (const char* f : {"in/real.ini", "in/sub/real.ini", "real.ini"})
            EXPECT_EQ(readAll(path(f)), c.written && QFileInfo(path(f)).canonicalFilePath() == end ? "new" : "old")
                << f;
        EXPECT_FALSE(QFileInfo::exists(path("in/missing.ini")) || QFileInfo::exists(path("missing.ini")));
    }
}

TEST_F(FileTest, AtomicCopy)
{
    writeAll(path("a"), "abc");
    ASSERT_TRUE(atomicfile::copy(path("a"), path("b")));
    EXPECT_EQ(readAll(path("b")), QByteArray("abc"));
    EXPECT_TRUE(atomicfile::copy(path("a"), path("a")));
    EXPECT_EQ(readAll(path("a")), QByteArray("abc"));
    QString error;
    EXPECT_FALSE(atomicfile::copy(path("missing"), path("b"), &error));
    EXPECT_EQ(readAll(path("b")), QByteArray("abc"));
}

TEST_F(FileTest, AMoveReplacesTheTargetOrLeavesBothAsTheyWere)
{
    // A staged file takes the target's place by the rules of a write: a
    // link only to a file in its own folder, never a folder.
    QTemporaryDir outside;
    const QString away = outside.filePath("away.txt");
    struct Case {
        const char* what;
        std::function<void()> target; // makes path("t")
        bool moved;
        QString changed; // the file that holds the new content when moved
    } cases[] = {
        {"a file", [&] { writeAll(path("t"), "old"); }, true, path("t")},
        {"no file yet", [&] { QFile::remove(path("t")); }, true, path("t")},
        {"a link to a file beside it",
         [&] {
             writeAll(path("real"), "old");
             ASSERT_TRUE(QFile::link(path("real"), path("t")));
         },
         true, path("real")},
        {"a link out of its folder",
         [&] {
             writeAll(away, "old");
             ASSERT_TRUE(QFile::link(away, path("t")));
         },
         false,
         {}},
        {"a folder", [&] { QDir().mkpath(path("t")); }, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(path("t")).removeRecursively();
        QFile::remove(path("t"));
        c.target();
        // The file replaced keeps its permissions.
        ::chmod(QFile::encodeName(path("t")).constData(), 0600);
        const bool existed = QFileInfo::exists(path("t"));
        writeAll(path("staged"), "new");
        QString error;
        EXPECT_EQ(atomicfile::moveOver(path("staged"), path("t"), &error), c.moved) << error.toStdString();
        EXPECT_EQ(QFile::exists(path("staged")), !c.moved);
        if (c.moved) {
            EXPECT_EQ(readAll(c.changed), QByteArray("new"));
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(c.changed).constData(), &st), 0);
            if (existed) {
                EXPECT_EQ(st.st_mode & 07777, 0600u);
            }
        } else {
            EXPECT_FALSE(error.isEmpty());
        }
        EXPECT_EQ(readAll(away), QFileInfo(away).exists() ? QByteArray("old") : QByteArray());
    }
}

TEST_F(FileTest, PathRules)
{
    EXPECT_EQ(paths::join("/a/", "b"), "/a/b");
    EXPECT_EQ(paths::join("/a", "b"), "/a/b");
    EXPECT_EQ(paths::join("", "b"), "b");
    EXPECT_EQ(paths::fileNameOf("C:\\Media\\page.png"), "page.png");
    EXPECT_EQ(paths::fileNameOf("/x/y\\z.png"), "z.png");
    EXPECT_EQ(paths::fileNameOf("ends\\"), "");
    EXPECT_TRUE(paths::isPlainFileName("a b.txt"));
    for (const char* bad : {"", ".", "..", "a/b", "a\\b", "a\tb"})
        EXPECT_FALSE(paths::isPlainFileName(QString::fromUtf8(bad))) << bad;
    for (const auto& [stored, named] :
         {std::pair{" Exports\\Daily/data.txt ", "data.txt"}, {"book.txt/", ""}, {"C:\\", ""}, {"..", ""}, {" ", ""}})
        EXPECT_EQ(paths::namedFile(QString::fromUtf8(stored)), QString::fromUtf8(named)) << stored;

    qputenv("ORVANE_HOME", dir.path().toUtf8() + "/x/../");
    qputenv("ORVANE_PLAYER_FOLDER", "/srv/player/");
    EXPECT_EQ(paths::programFolder(), dir.path());
    EXPECT_EQ(paths::playerFolder(), "/srv/player");
    qunsetenv("ORVANE_HOME");
    qunsetenv("ORVANE_PLAYER_FOLDER");
    EXPECT_EQ(paths::playerFolder(), "/opt/ZQ5Player");
}

TEST_F(FileTest, ResolveFindsTheSingleCaseInsensitiveMatch)
{
    writeAll(path("Page.PNG"), "1");
    EXPECT_EQ(paths::resolve(dir.path(), "Page.PNG"), path("Page.PNG"));
    EXPECT_EQ(paths::resolve(dir.path(), "page.png"), path("Page.PNG"));
    EXPECT_EQ(paths::resolve(dir.path(), "other.png"), path("other.png"));
    // Two candidates: neither is guessed.
    writeAll(path("PAGE.png"), "2");
    EXPECT_EQ(paths::resolve(dir.path(), "page.png"), path("page.png"));
    EXPECT_EQ(paths::resolve(dir.path(), "PAGE.png"), path("PAGE.png"));
    EXPECT_EQ(paths::resolve(path("missing"), "x"), path("missing/x"));
}

TEST_F(FileTest, IsInside)
{
    QDir().mkdir(path("media"));
    writeAll(path("media/a.png"), "1");
    EXPECT_TRUE(paths::isInside(path("media/a.png"), path("media")));
    EXPECT_TRUE(paths::isInside(path("media/new.png"), path("media")));
    EXPECT_FALSE(paths::isInside(path("media/../a.png"), path("media")));
    EXPECT_FALSE(paths::isInside(path("media"), path("media")));
    EXPECT_FALSE(paths::isInside(path("mediax/a.png"), path("media")));
}

TEST_F(FileTest, StaleTemporariesOfKilledWritesAreRemovedAndNothingElse)
{
    const QStringList stale{".OrvaneSettings.ini.orvtmp.Ab12Cd", "._Orvane.orv.orvtmp.zzzzzz"};
    const QStringList kept{".bashrc.backup", ".ini.orvtmp.Ab12C", "plain.orvtmp.Ab12Cd", ".x.orvtmp.Ab12Cd.txt",
                           "_Orvane.orv"};
    for (const QString& name : stale + kept)
        writeAll(path(name), "x");
    QDir(dir.path()).mkdir(".folder.orvtmp.Ab12Cd");
    QFile::link(path("_Orvane.orv"), path(".link.orvtmp.Ab12Cd"));

    EXPECT_EQ(atomicfile::removeStaleTemporaries(dir.path()), 2);
    for (const QString& name : stale)
        EXPECT_FALSE(QFileInfo::exists(path(name))) << name.toStdString();
    for (const QString& name : kept + QStringList{".folder.orvtmp.Ab12Cd", ".link.orvtmp.Ab12Cd"})
        EXPECT_TRUE(QFileInfo(path(name)).exists() || QFileInfo(path(name)).isSymLink()) << name.toStdString();
    // A finished write leaves nothing to remove.
    ASSERT_TRUE(atomicfile::write(path("new.txt"), "data"));
    EXPECT_EQ(atomicfile::removeStaleTemporaries(dir.path()), 0);
}

TEST_F(FileTest, FilesMovedAsideGoBackUnlessTheirRealFileIsThere)
{
    // What an upload that broke off left of a board's file moved aside: it
    // goes back where the real file is missing (of two, the later one), and
    // goes where the real file is there; at any age.
    const QDateTime old = QDateTime::currentDateTime().addDays(-30);
    const struct {
        const char* name;
        const char* bytes;
        int ageDays;
        const char* after; // what the real name holds afterwards
        bool asideStays;
    } cases[] = {
        {".back.jpg.orvold.Ab12Cd", "old picture", 30, "old picture", false},
        {".Template with 3 records.ORVT.orvold.x1Y2z3", "older", 60, "newer", false},
        {".Template with 3 records.ORVT.orvold.q9W8e7", "newer", 2, "newer", false},
        {".Default Template.ORVT.orvold.zzzzzz", "aside", 1, "replaced", false}, // a finished replace
        {".settings.ini.orvold.Ab12Cd", "aside", 1, "", true},                   // a folder holds its name
        {".x.orvold.Ab12C", "not ours", 1, "", true},
    };
    writeAll(path("Default Template.ORVT"), "replaced");
    QDir(dir.path()).mkdir("settings.ini");
    for (const auto& c : cases) {
        writeAll(path(c.name), c.bytes);
        QFile f(path(c.name));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(old.addDays(30 - c.ageDays), QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(atomicfile::removeStaleTemporaries(dir.path(), QDateTime::currentDateTime().addSecs(-3600)), 4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QFileInfo::exists(path(c.name)), c.asideStays);
        const QString real = QString::fromLatin1(c.name).section(".orvold.", 0, 0).mid(1);
        if (*c.after) {
            EXPECT_EQ(readAll(path(real)), QByteArray(c.after));
        }
    }
    EXPECT_TRUE(QFileInfo(path("settings.ini")).isDir());
    // A file moved aside has a name of its own, never that of a temporary.
    const QString aside = atomicfile::asideName("bg.png");
    EXPECT_TRUE(QRegularExpression("^\\.bg\\.png\\.orvold\\.[A-Za-z0-9]{6}$").match(aside).hasMatch());
    EXPECT_NE(aside.section('.', 0, -2), atomicfile::temporaryName("bg.png").section('.', 0, -2));
}
