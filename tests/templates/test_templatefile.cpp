// The template file: what a save writes, how a load lays a file over a
// template, and the records-per-page reader.
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "templates/layouts.h"
#include "templates/templatefile.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace templates;

int fuzzTemplateReader(const uint8_t* data, size_t size);

namespace {

QString readFile(const QString& path)
{
    QString text;
    textfile::readText(path, text);
    return text;
}

int errorLines()
{
    int n = 0;
    for (const QString& l : StatusLog::instance().lines())
        n += l.contains(QLatin1String("!!!")) ? 1 : 0;
    return n;
}

// A template as the designer holds it after a landscape layout was taken over.
Template knownTemplate()
{
    Template t;
    t.gstrGroupLine = QStringLiteral("0");
    t.gstrTitleAlign = QStringLiteral("2");
    t.gstrDateAlign = QStringLiteral("0");
    t.gstrTimeAlign = QStringLiteral("1");
    t.gstrTitleRegion = QStringLiteral("0.02|0.33|0.16|0.4");
    t.gstrDateRegion = QStringLiteral("0.02|0|0.08|0.2");
    t.gstrTimeRegion = QStringLiteral("0.02|0.8|0.08|0.2");
    t.gstrTitleFont = t.gstrDateFont = t.gstrTimeFont = kDefaultFontDescriptor;
    t.gstrPiPRegion = QStringLiteral("0.33|0.3|0.34|0.4");
    for (int r = 0; r < kRecords; ++r)
        for (int l = 0; l < kLines; ++l) {
            t.gstrTemplateLines[r][kFieldEnabled][l] = r < 2 ? QStringLiteral("1") : QStringLiteral("0");
            t.gstrTemplateLines[r][kFieldAlignment][l] = QStringLiteral("2");
            t.gstrTemplateLines[r][kFieldRect][l] =
                formatLayoutRect((50 + 15 * l) / 264.6, 154 / 470.4, 15 / 264.6, 190.4 / 470.4);
            t.gstrTemplateLines[r][kFieldFont][l] = kDefaultFontDescriptor;
            t.gstrTemplateLines[r][kFieldLineUp][l] = kResetLineUp;
            t.gstrTemplateLines[r][kFieldGroupFlag][l] = QStringLiteral("0");
        }
    return t;
}

TemplateControls knownControls()
{
    TemplateControls c;
    c.txtRecordsPerPage = QStringLiteral(" 2 ");
    c.txtTitle = QStringLiteral("  Welcome to the Hall  ");
    c.chkTitle = true;
    c.cboDateFormat = QStringLiteral("MM/DD/YYYY");
    c.chkDateFormat = true;
    c.cboTimeFormat = QStringLiteral("HH:MM AM/PM");
    c.txtBackgroundColor = QStringLiteral("&HFF0000 ");
    c.txtBackgroundImagename = QStringLiteral("/opt/media/unused.jpg");
    c.chkPiP = true;
    c.txtPiP = QStringLiteral(" /srv/media/clip.mp4 ");
    return c;
}

class TemplateFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(TemplateFileTest, SaveWritesEveryKeyInOrder)
{
    Template t = knownTemplate();
    ASSERT_TRUE(SaveTemplate(path("known.ORVT"), t, knownControls()));

    const QStringList got = textfile::splitLines(readFile(path("known.ORVT")));
    const QStringList want = textfile::splitLines(readFile(testsupport::dataDir() + "/templates/known save.ORVT"));
    EXPECT_EQ(got, want);

    // The save took the control values over into the template.
    EXPECT_EQ(t.gstrTitleText, "Welcome to the Hall");
    EXPECT_EQ(t.gstrTimeOn, "0");
    EXPECT_TRUE(t.gstrBackgroundImage.isEmpty());
    EXPECT_EQ(t.gstrTitleFontStyle, "1`2`0.02|0.33|0.16|0.4`" + kDefaultFontDescriptor);
    EXPECT_EQ(t.gstrPiPWindows, "1`/srv/media/clip.mp4`0.33|0.3|0.34|0.4");

    // Lines end in CRLF.
    const QByteArray bytes = testsupport::readAll(path("known.ORVT"));
    EXPECT_TRUE(bytes.startsWith("[TEMPLATE]\r\nRecords Per Page=2\r\n"));
}

TEST_F(TemplateFileTest, SaveReplacesTheWholeFile)
{
    const QString file = path("switch.ORVT");
    testsupport::writeAll(file, "[BACKGROUND]\r\nColor=&H00FF00\r\n[OLD]\r\nStale=1\r\n");

    Template t = knownTemplate();
    t.gstrBackgroundColor = QStringLiteral("&H00FF00");
    TemplateControls c = knownControls();
    c.backgroundIsPicture = true;
    c.txtBackgroundImagename = QStringLiteral(" lobby.jpg ");
    ASSERT_TRUE(SaveTemplate(file, t, c));

    const IniDocument doc = IniDocument::fromText(readFile(file));
    EXPECT_EQ(doc.value("BACKGROUND", "Type"), QString("1"));
    EXPECT_EQ(doc.value("BACKGROUND", "Image File"), QString("lobby.jpg"));
    EXPECT_FALSE(doc.value("BACKGROUND", "Color").has_value());
    EXPECT_FALSE(doc.hasSection("OLD"));
    EXPECT_EQ(t.gstrBackgroundColor, "&H00FF00"); // the colour is kept in memory
}

TEST_F(TemplateFileTest, FailedSaveIsReportedAndKeepsTheOldFile)
{
    const int before = errorLines();
    Template t = knownTemplate();
    QString error;
    EXPECT_FALSE(SaveTemplate(path("missing folder/x.ORVT"), t, knownControls(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(errorLines(), before + 1);
}

TEST_F(TemplateFileTest, QuotedValuesAndLineBreaksComeBackAsTheyCanBeStored)
{
    Template t = knownTemplate();
    TemplateControls c = knownControls();
    c.txtTitle = QStringLiteral("\"Quoted title\"");
    c.txtPiP = QStringLiteral("'clip.mp4'");
    c.cboDateFormat = QStringLiteral("YYYY\r\nMM");
    ASSERT_TRUE(SaveTemplate(path("q.ORVT"), t, c));

    const QString text = readFile(path("q.ORVT"));
    EXPECT_EQ(textfile::splitLines(text).size(), 91); // the break is not stored

    Template back;
    ASSERT_TRUE(LoadTemplate(path("q.ORVT"), back));
    EXPECT_EQ(back.gstrTitleText, "\"Quoted title\"");
    EXPECT_EQ(back.gstrPiPFile, "'clip.mp4'");
    EXPECT_EQ(back.gstrDateFormat, "YYYY  MM");
    EXPECT_EQ(back.gstrTemplateLines, t.gstrTemplateLines);
}

TEST_F(TemplateFileTest, AccentedTitlesComeBackWithTheirLetters)
{
    // Title texts whose Windows-1252 bytes would pass for UTF-8 make the
    // file UTF-8; the others leave it Windows-1252, as it always was.
    const struct {
        const char* title;
        QByteArray stored;
    } cases[] = {
        {"JOSÉ’S BIRTHDAY", "Title Text=JOS\xC3\x89\xE2\x80\x99S BIRTHDAY\r\n"},
        {"CAFÉ™", "Title Text=CAF\xC3\x89\xE2\x84\xA2\r\n"},
        {"CAFÉ–BAR", "Title Text=CAF\xC3\x89\xE2\x80\x93"
                     "BAR\r\n"},
        {"Café – CAFÉ", "Title Text=Caf\xE9 \x96 CAF\xC9\r\n"},
    };
    for (const auto& c : cases) {
        Template t = knownTemplate();
        TemplateControls controls = knownControls();
        controls.txtTitle = QString::fromUtf8(c.title);
        ASSERT_TRUE(SaveTemplate(path("a.ORVT"), t, controls));
        EXPECT_TRUE(testsupport::readAll(path("a.ORVT")).contains(c.stored)) << c.title;
        Template back;
        ASSERT_TRUE(LoadTemplate(path("a.ORVT"), back));
        EXPECT_EQ(back.gstrTitleText, QString::fromUtf8(c.title));
    }
}

TEST_F(TemplateFileTest, LoadMatchesNamesWithoutCaseOrBlanks)
{
    Template t;
    t.gstrTimeFont = QStringLiteral("Old,10,0,0,0,0,0,0,0");
    t.gstrBackgroundColor = QStringLiteral("&H123456");
    ASSERT_TRUE(LoadTemplate(testsupport::dataDir() + "/templates/mixed case.ORVT", t));

    EXPECT_EQ(t.gstrGroupLine, "5");
    // An empty shown part of the title means "not shown"; other parts stored.
    EXPECT_EQ(t.gstrTitleOn, "0");
    EXPECT_EQ(t.gstrTitleRegion, "0.05|0.1|0.07|0.8");
    // A style with three parts leaves the font; a missing format falls back.
    EXPECT_EQ(t.gstrTimeOn, "0");
    EXPECT_EQ(t.gstrTimeFont, "Old,10,0,0,0,0,0,0,0");
    EXPECT_EQ(t.gstrTimeFormat, "HHMM");
    // A picture background reads Image File and leaves the colour alone.
    EXPECT_EQ(t.gstrBackgroundType, "1");
    EXPECT_EQ(t.gstrBackgroundImage, "Media\\lobby.jpg");
    EXPECT_EQ(t.gstrBackgroundColor, "&H123456");
    EXPECT_EQ(t.gstrPiPFile, "clips\\show.mp4");

    EXPECT_EQ(formatTemplateLine(t, 1, 4), "1`1`0.25|0.1|0.04|0.8`Arial,20,255,0,1,0,0,1,0`1,5,L,and`1");
    // Two parts set two fields; the rest stays.
    EXPECT_EQ(formatTemplateLine(t, 1, 5), "0`2````");
    EXPECT_EQ(formatTemplateLine(t, 0, 0), "`````");
}

TEST_F(TemplateFileTest, DesignerLoadKeepsWhatTheFileLacksRunLoadStartsFresh)
{
    testsupport::writeAll(path("a.ORVT"), "[TEMPLATE]\nRecords Per Page=1\nTitle Text=First\nDate Format=DD-MM-YY\n"
                                          "[BACKGROUND]\nType=2\nImage File=x.jpg\nColor=&HFF\n"
                                          "[RECORD_0]\nLine_0=1`2`0.1|0.1|0.1|0.1`F`0,-1,,`0\n");
    testsupport::writeAll(path("b.ORVT"), "[TEMPLATE]\nTitle Text=\n[RECORD_0]\nLine_0=0\n");

    Template designer;
    ASSERT_TRUE(LoadTemplate(path("a.ORVT"), designer));
    EXPECT_EQ(designer.gstrBackgroundColor, "&HFF");
    EXPECT_TRUE(designer.gstrBackgroundImage.isEmpty());

    ASSERT_TRUE(LoadTemplate(path("b.ORVT"), designer));
    EXPECT_EQ(designer.gstrTitleText, "First");
    EXPECT_EQ(designer.gstrDateFormat, "YYYYMMDD");
    EXPECT_EQ(designer.gstrRecordsPerPage, "1"); // the missing key's default
    EXPECT_EQ(formatTemplateLine(designer, 0, 0), "0`2`0.1|0.1|0.1|0.1`F`0,-1,,`0");

    const auto run = loadTemplateFresh(path("b.ORVT"));
    ASSERT_TRUE(run.has_value());
    EXPECT_TRUE(run->gstrTitleText.isEmpty());
    EXPECT_EQ(formatTemplateLine(*run, 0, 0), "0`````");

    Template untouched = designer;
    EXPECT_FALSE(LoadTemplate(path("none.ORVT"), untouched));
    EXPECT_FALSE(loadTemplateFresh(path("none.ORVT")).has_value());
    EXPECT_EQ(untouched.gstrTitleText, "First");
}

TEST_F(TemplateFileTest, DevicesPipesAndOversizedFilesAreNotReadAsTemplates)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.ORVT")).constData(), 0600), 0);
    {
        QFile f(path("huge.ORVT"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[TEMPLATE]\nTitle Text=Huge\n");
        ASSERT_TRUE(f.resize(textfile::kMaxSmallFileBytes + 1)); // sparse
    }
    for (const QString& p : {QStringLiteral("/dev/zero"), path("pipe.ORVT"), path("huge.ORVT")}) {
        Template t;
        t.gstrTitleText = QStringLiteral("Kept");
        EXPECT_FALSE(LoadTemplate(p, t)) << p.toStdString();
        EXPECT_EQ(t.gstrTitleText, "Kept");
        EXPECT_FALSE(loadTemplateFresh(p).has_value()) << p.toStdString();
        EXPECT_EQ(GetTemplateRecordsPerPage(p), -1) << p.toStdString();
    }
}

TEST_F(TemplateFileTest, RecordsPerPageOutsideTheTableIsClampedAndLogged)
{
    testsupport::writeAll(path("nine.ORVT"), "[TEMPLATE]\nRecords Per Page=9\n");
    const int before = errorLines();
    Template t;
    ASSERT_TRUE(LoadTemplate(path("nine.ORVT"), t));
    EXPECT_EQ(t.recordsInUse(), 6);
    EXPECT_EQ(errorLines(), before + 1);
    EXPECT_TRUE(StatusLog::instance().lines().last().contains(QLatin1String("\"9\"")));

    t.gstrRecordsPerPage = QStringLiteral("-2");
    EXPECT_EQ(t.recordsInUse(), 0);
}

TEST_F(TemplateFileTest, RecordsPerPageReaderUsesTwoCharacters)
{
    testsupport::RecordedMessages messages;
    auto rpp = [this](const char* content) {
        testsupport::writeAll(path("r.ORVT"), content);
        return GetTemplateRecordsPerPage(path("r.ORVT"));
    };
    EXPECT_EQ(rpp("[TEMPLATE]\nRecords Per Page=123\n"), 12);
    EXPECT_EQ(rpp("[template]\nrecords per page= 3 \n"), 3);
    EXPECT_EQ(rpp("[TEMPLATE]\nGroup Line=1\n"), -1);
    EXPECT_EQ(rpp("[TEMPLATE]\nRecords Per Page=\n"), -1);
    EXPECT_TRUE(messages.marked().isEmpty());
    EXPECT_EQ(rpp("[TEMPLATE]\nRecords Per Page=ab\n"), -1);
    EXPECT_EQ(messages.marked(), QStringList{"Invalid template file. (!)"});
    EXPECT_EQ(GetTemplateRecordsPerPage(path("nothing.ORVT")), -1);
    services::setMessages(nullptr);

    // The load reads the whole value.
    testsupport::writeAll(path("r.ORVT"), "[TEMPLATE]\nRecords Per Page=123\n");
    Template t;
    LoadTemplate(path("r.ORVT"), t);
    EXPECT_EQ(t.gstrRecordsPerPage, "123");
}

TEST(TemplateLayouts, RectanglesReadTheirLeadingNumbers)
{
    const auto r = LayoutRect::parse(QStringLiteral("0.25|0,5|x"));
    EXPECT_EQ(r.top, 0.25);
    EXPECT_EQ(r.left, 0.0); // a comma ends the number
    EXPECT_EQ(r.height, 0.0);
    EXPECT_FALSE(r.width.has_value());
    EXPECT_FALSE(LayoutRect::parse(QString()).top.has_value());
}

TEST(LineUpAttribute, OnlyAWellFormedPairCountsAsLinedUp)
{
    struct Case {
        const char* text;
        bool linedUp;
        int partner;
        const char* side;
        const char* middle = "";
    } cases[] = {
        {"1,4,L, at ", true, 4, "L", "at"}, {"1,4,R,x", true, 4, "R", ""}, {" 1 , 11 ,R", true, 11, "R", ""},
        {"0,-1,,", false, -1, "", ""},      {"", false, -1, ""},           {"1,4", false, -1, ""},    // no side
        {"1,4,X,", false, -1, ""},          {"1,12,L,", false, -1, ""},    {"1,3,L,", false, -1, ""}, // line 3
        {"1,-1,L,", false, -1, ""},         {"1,x,L,", false, -1, ""},     {"2,4,L,", false, -1, ""},
        {"yes,4,L,", false, -1, ""},        {"1,", false, -1, ""},
    };
    for (const Case& c : cases) {
        const LineUp u = LineUp::read(QString::fromLatin1(c.text), 3);
        EXPECT_EQ(u.linedUp, c.linedUp) << c.text;
        EXPECT_EQ(u.partner, c.partner) << c.text;
        EXPECT_EQ(u.side, c.side) << c.text;
        EXPECT_EQ(u.middleWord, c.middle) << c.text;
    }
}

TEST(TemplateReaderFuzz, SeedCorpusReplays)
{
    const QStringList corpus = testsupport::fuzzCorpus(QStringLiteral("fuzz_template_reader"));
    ASSERT_FALSE(corpus.isEmpty());
    bool logged = false;
    for (const QString& file : corpus) {
        const QByteArray bytes = testsupport::readAll(file);
        EXPECT_EQ(fuzzTemplateReader(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0)
            << file.toStdString();
        // Each input starts on an empty log, so status lines never pile up.
        const int once = StatusLog::instance().count();
        fuzzTemplateReader(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        EXPECT_EQ(StatusLog::instance().count(), once) << file.toStdString();
        logged = logged || once > 0;
    }
    EXPECT_TRUE(logged) << "no seed makes the reader log";
}
