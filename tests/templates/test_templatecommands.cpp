// The template panel's commands on the designer: slot changes, Load, Save,
// Save As, Set, Set As Default and what a loaded file does to the controls.
#include "templates/templatefile.h"
#include "tests/templates/fakedesigner.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

using namespace templates;

namespace {

Template loaded(const QString& path)
{
    Template t;
    EXPECT_TRUE(LoadTemplate(path, t)) << path.toStdString();
    return t;
}

// A template file with the given records per page and title.
void writeTemplate(const QString& path, const QString& records, const QString& title, const QString& extra = QString(),
                   const QString& titleOn = QStringLiteral("1"))
{
    testsupport::writeAll(path, QStringLiteral("[TEMPLATE]\r\nRecords Per Page=%1\r\nGroup Line=0\r\n"
                                               "Title Text=%2\r\nTitle Font Style=%4`2`0.02|0.33|0.16|0.4`"
                                               "Arial,18,255,1,0,0,0,0,65535\r\n%3")
                                    .arg(records, title, extra, titleOn)
                                    .toUtf8());
}

// Exactly one message was shown, with the exclamation icon.
bool oneWarning(const fake::Designer& d)
{
    const QStringList shown = d.messages.marked();
    return shown.size() == 1 && shown[0].endsWith("(!)");
}

} // namespace

TEST(SlotChange, StoresTheSlotLeftAndBuildsAMissingSlot)
{
    fake::Designer d;
    // Before any slot was shown the first change stores nothing.
    d.designer.selectTemplateSlot(3);
    EXPECT_FALSE(QFileInfo::exists(d.data("Default Template.ORVT")));
    EXPECT_EQ(d.view.recordsPerPage, "3");

    // Edit slot 3, then choose slot 5.
    d.view.title = "Hall";
    d.view.elements[0] = true;
    d.view.colorText = "&HFF0000";
    d.view.setSlotIndex(5);
    d.designer.cboTemplateSelection_Click();
    const Template three = loaded(d.data("Template with 3 records.ORVT"));
    EXPECT_EQ(three.gstrTitleText, "Hall");
    EXPECT_EQ(d.view.recordsPerPage, "5"); // slot 5's built-in layout
    EXPECT_FALSE(QFileInfo::exists(d.data("Template with 5 records.ORVT")));

    // Back to 3: slot 5 is stored, slot 3's file comes back onto the designer.
    d.view.setSlotIndex(3);
    d.designer.cboTemplateSelection_Click();
    EXPECT_EQ(loaded(d.data("Template with 5 records.ORVT")).gstrRecordsPerPage, "5");
    EXPECT_EQ(d.view.name, "Template with 3 records");
    EXPECT_TRUE(d.view.elements[0]);
    EXPECT_EQ(d.view.paintedColor, "&HFF0000");
    EXPECT_EQ(d.model.state().mintSelectedGroup, 2); // last record in use is current

    // Choosing the same slot again stores nothing and reloads its file.
    d.view.title = "Changed";
    d.designer.cboTemplateSelection_Click();
    EXPECT_EQ(d.view.title, "Hall");
    EXPECT_EQ(loaded(d.data("Template with 3 records.ORVT")).gstrTitleText, "Hall");

    // Slot 1's file name is singular.
    d.designer.selectTemplateSlot(1);
    d.designer.selectTemplateSlot(2);
    EXPECT_TRUE(QFileInfo::exists(d.data("Template with 1 record.ORVT")));
}

TEST(SlotChange, ASlotFileInAnotherLetterCaseIsTheSlotsFile)
{
    fake::Designer d;
    const QString stored = d.data("template with 2 records.orvt");
    writeTemplate(stored, "2", "Lower");
    d.designer.selectTemplateSlot(2);
    EXPECT_EQ(d.view.title, "Lower");
    EXPECT_EQ(templateFilePath("Template with 2 records"), stored);

    d.view.title = "Edited";
    d.designer.selectTemplateSlot(4);
    EXPECT_EQ(loaded(stored).gstrTitleText, "Edited");
    EXPECT_EQ(QDir(gstrDataFolder).entryList(QDir::Files), QStringList{"template with 2 records.orvt"});
}

TEST(SlotChange, AFailedStoreOrAnUnreadableSlotFileKeepsTheSlotAndTheDesigner)
{
    for (const bool unreadable : {false, true}) {
        SCOPED_TRACE(unreadable ? "slot 5 unreadable" : "slot 3 unwritable");
        fake::Designer d;
        d.designer.selectTemplateSlot(3);
        if (unreadable) { // beyond the size limit
            QFile big(d.data("Template with 5 records.ORVT"));
            ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(300) * 1024 * 1024));
        } else {
            QDir().mkpath(d.data("Template with 3 records.ORVT"));
        }
        d.view.title = "Three";
        d.view.setSlotIndex(5);
        d.designer.cboTemplateSelection_Click();
        EXPECT_EQ(d.view.slot, 3);
        EXPECT_EQ(d.designer.mintPrevTemplateIndex, 3);
        EXPECT_EQ(d.view.title, "Three");
        EXPECT_TRUE(oneWarning(d));
        if (unreadable) { // the next change stores slot 3 again, never into slot 5's file
            d.designer.selectTemplateSlot(2);
            EXPECT_EQ(QFileInfo(d.data("Template with 5 records.ORVT")).size(), qint64(300) * 1024 * 1024);
            EXPECT_EQ(loaded(d.data("Template with 3 records.ORVT")).gstrTitleText, "Three");
        }
    }
}

TEST(LoadTemplate, AppliesTheFileInOrderAndKeepsWhatTheListsLack)
{
    fake::Designer d;
    QFile::copy(testsupport::dataDir() + "/templates/Template with 3 records.ORVT", d.home.filePath("x.ORVT"));
    // Title switched off with a title text, formats the lists lack, a
    // background and a PiP file named without their folder.
    writeTemplate(
        d.home.filePath("Show.v2.ORVT"), "2", "Grand Hall",
        "Date Format=DD.MM.YYYY\r\nTime Format=HH.MM\r\n"
        "[BACKGROUND]\r\nType=1\r\nImage File=back.jpg\r\nPiP Windows=1`C:\\old\\clip.mp4`0.25|0.1|0.5|0.8\r\n",
        "0");
    testsupport::writeAll(paths::join(gstrMediaFolder, "clip.mp4"), "x");
    d.view.title = "before";
    d.view.elements[0] = true;

    ASSERT_TRUE(d.designer.LoadTemplate(d.home.filePath("Show.v2.ORVT"), true));
    EXPECT_EQ(d.view.name, "Show.v2");
    EXPECT_EQ(d.view.slot, -1);

    // The title is off, yet its text stays for the next save.
    EXPECT_FALSE(d.view.elements[0]);
    EXPECT_EQ(d.view.title, "Grand Hall");
    EXPECT_EQ(d.view.formatText(FormatList::Date), "DD.MM.YYYY");
    EXPECT_EQ(d.view.imageName, paths::join(gstrMediaFolder, "back.jpg"));
    EXPECT_EQ(d.view.loadedFile, d.view.imageName);
    EXPECT_EQ(d.view.pip, paths::join(gstrMediaFolder, "clip.mp4"));
    EXPECT_EQ(d.t.gstrPiPFile, "C:\\old\\clip.mp4");
    EXPECT_EQ(d.model.state().mintSelectedGroup, 1);

    ASSERT_TRUE(d.designer.saveDesigner(d.home.filePath("again.ORVT")));
    const Template again = loaded(d.home.filePath("again.ORVT"));
    EXPECT_EQ(again.gstrTitleText, "Grand Hall");
    EXPECT_EQ(again.gstrTitleOn, "0");
    EXPECT_EQ(again.gstrTimeFormat, "HH.MM");
    // Loading another template with the same formats adds no second entry.
    d.designer.LoadTemplate(d.home.filePath("again.ORVT"), true);
    EXPECT_EQ(d.view.entries[0].count("DD.MM.YYYY"), 1);

    // A run-style load leaves the preview's background and displays alone.
    d.view.loadedFile.clear();
    d.model.lblEvent(1, 0).visible = true;
    d.designer.LoadTemplate(d.home.filePath("x.ORVT"), false);
    EXPECT_EQ(d.view.loadedFile, "");
    EXPECT_TRUE(d.model.lblEvent(1, 0).visible);

    // A missing file changes nothing.
    EXPECT_FALSE(d.designer.LoadTemplate(d.home.filePath("none.ORVT"), true));
    EXPECT_EQ(d.view.name, "x");
}

TEST(LoadCommand, ImportsAFileFromAnotherFolderIntoItsSlot)
{
    fake::Designer d;
    QDir(d.home.path()).mkpath("elsewhere");
    const QString show = d.home.filePath("elsewhere/Show.ORVT");
    writeTemplate(show, "2", "Show title");
    d.designer.selectTemplateSlot(4);
    d.files.answer = show;
    d.designer.CmdSelTpl_Click();

    const QString slot2 = d.data("Template with 2 records.ORVT");
    EXPECT_EQ(testsupport::readAll(slot2), testsupport::readAll(show));
    EXPECT_EQ(d.view.title, "Show title");
    // The list and the remembered slot follow the load, without a slot change.
    EXPECT_EQ(d.view.slot, 2);
    EXPECT_EQ(d.designer.mintPrevTemplateIndex, 2);

    // Leaving stores slot 2 (where the template came from), never slot 4.
    d.view.title = "Edited";
    d.view.setSlotIndex(4);
    d.designer.cboTemplateSelection_Click();
    EXPECT_EQ(loaded(slot2).gstrTitleText, "Edited");
    EXPECT_FALSE(QFileInfo::exists(d.data("Template with 4 records.ORVT")));

    // The next dialog starts where the last file was chosen; cancel does nothing.
    d.files.answer.clear();
    d.designer.CmdSelTpl_Click();
    EXPECT_EQ(d.files.lastFolder, d.home.filePath("elsewhere"));

    // The slot file itself is loaded as it is.
    const QByteArray before = testsupport::readAll(slot2);
    d.files.answer = slot2;
    d.designer.CmdSelTpl_Click();
    EXPECT_EQ(testsupport::readAll(slot2), before);
    EXPECT_EQ(d.view.title, "Edited");
}

TEST(LoadCommand, FilesWithoutAUsableCountOrACopyThatFailsChangeNothing)
{
    fake::Designer d;
    d.designer.selectTemplateSlot(1);
    d.view.name = "Mine";
    for (const char* records : {"7", "ab", ""}) {
        const QString path = d.home.filePath("bad.ORVT");
        testsupport::writeAll(path, QStringLiteral("[TEMPLATE]\r\nRecords Per Page=%1\r\n").arg(records).toUtf8());
        d.files.answer = path;
        d.designer.CmdSelTpl_Click();
        EXPECT_EQ(d.view.name, "Mine");
        EXPECT_TRUE(d.designer.mstrTemplateFile.isEmpty());
    }
    d.messages.clear();
    writeTemplate(d.home.filePath("three.ORVT"), "3", "Three");
    QDir().mkpath(d.data("Template with 3 records.ORVT"));
    d.files.answer = d.home.filePath("three.ORVT");
    d.designer.CmdSelTpl_Click();
    EXPECT_EQ(d.view.name, "Mine");
    EXPECT_TRUE(oneWarning(d));
}

TEST(StopAfterRun, StoresOnlyIntoTheSlotTheDesignerHolds)
{
    fake::Designer d;
    writeTemplate(d.data("Template with 1 record.ORVT"), "1", "One");
    writeTemplate(d.data("Template with 3 records.ORVT"), "3", "Three");
    d.designer.selectTemplateSlot(1);
    const QByteArray one = testsupport::readAll(d.data("Template with 1 record.ORVT"));
    // The run loads another slot's file onto the designer, then Stop puts
    // the first slot back.
    d.designer.LoadTemplate(d.data("Template with 3 records.ORVT"), false);
    d.designer.selectTemplateSlot(0);
    EXPECT_EQ(testsupport::readAll(d.data("Template with 1 record.ORVT")), one);
    EXPECT_EQ(loaded(d.data("Template with 3 records.ORVT")).gstrTitleText, "Three");
    EXPECT_EQ(d.designer.mintPrevTemplateIndex, 0);

    // A file that is no slot is remembered as none: the next change stores nothing.
    writeTemplate(d.home.filePath("Free.ORVT"), "2", "Free");
    d.designer.LoadTemplate(d.home.filePath("Free.ORVT"), true);
    QFile::remove(d.data("Default Template.ORVT"));
    d.designer.selectTemplateSlot(2);
    EXPECT_FALSE(QFileInfo::exists(d.data("Default Template.ORVT")));
}

TEST(SaveCommands, SaveWritesANamedTemplateInTheDataFolderOnly)
{
    fake::Designer d;
    d.designer.selectTemplateSlot(2);
    d.messages.clear();

    d.view.name = "  Show  ";
    d.designer.btnSaveTemplate_Click();
    EXPECT_TRUE(QFileInfo::exists(d.data("Show.ORVT")));
    EXPECT_EQ(d.messages.marked(), QStringList{"Template saved."});

    // Bad names, a name that leads out of the Data folder through a link and
    // a write that fails are refused, never reported as saved.
    const QString outside = d.home.filePath("outside.ORVT");
    testsupport::writeAll(outside, "keep");
    ASSERT_TRUE(QFile::link(outside, d.data("Link.ORVT")));
    QDir().mkpath(d.data("Locked.ORVT"));
    for (const char* bad : {"   ", "a/b", "a\\b", ".", "..", "tab\there", "Link", "Locked"}) {
        d.messages.clear();
        d.view.name = bad;
        d.designer.btnSaveTemplate_Click();
        EXPECT_TRUE(d.messages.marked().size() == 1 && d.messages.marked()[0] != "Template saved.") << bad;
    }
    EXPECT_EQ(QDir(gstrDataFolder).entryList(QDir::Files | QDir::NoSymLinks), QStringList{"Show.ORVT"});
    EXPECT_EQ(testsupport::readAll(outside), "keep");
}

TEST(SaveCommands, SetAndSetAsDefaultReportOnlyWrittenFiles)
{
    fake::Designer d;
    d.designer.selectTemplateSlot(4);
    d.view.title = "Four";
    d.designer.btnSetTemplate_Click();
    EXPECT_EQ(loaded(d.data("Template with 4 records.ORVT")).gstrTitleText, "Four");
    d.messages.clear();
    d.designer.btnSetDefaulTemplate_Click();
    EXPECT_EQ(loaded(d.data("Default Template.ORVT")).gstrTitleText, "Four");
    EXPECT_EQ(d.messages.marked(), QStringList{"Default Template set."});

    QFile::remove(d.data("Default Template.ORVT"));
    QDir().mkpath(d.data("Default Template.ORVT"));
    d.messages.clear();
    d.designer.btnSetDefaulTemplate_Click();
    EXPECT_TRUE(oneWarning(d));

    // Without a selection Set stores nothing and Reset builds nothing.
    d.view.showSlotText("Free");
    d.view.recordsPerPage = "9";
    d.designer.btnSetTemplate_Click();
    d.designer.btnResetTemplate_Click();
    EXPECT_FALSE(QFileInfo::exists(d.data("Free.ORVT")));
    EXPECT_EQ(d.view.recordsPerPage, "9");

    // New writes nothing and keeps the slot.
    d.view.setSlotIndex(3);
    const QStringList before = QDir(gstrDataFolder).entryList(QDir::Files);
    d.designer.CmdNewTpl_Click();
    EXPECT_EQ(d.view.slot, 3);
    EXPECT_EQ(QDir(gstrDataFolder).entryList(QDir::Files), before);
}

TEST(SaveCommands, SaveAsRefusesTheDataFolderAndAsksBeforeReplacing)
{
    fake::Designer d;
    d.designer.selectTemplateSlot(1);
    d.messages.clear();

    d.files.answer = d.data("Exported.ORVT");
    d.designer.CmdSaveTplAs_Click();
    EXPECT_EQ(d.messages.marked(), QStringList{"Can't save the template to Data folder.  Please save again."});
    EXPECT_FALSE(QFileInfo::exists(d.data("Exported.ORVT")));
    EXPECT_TRUE(d.files.lastConfirm);

    // The same folder under another spelling or through a link; a bad name.
    ASSERT_TRUE(QFile::link(gstrDataFolder, d.home.filePath("DataLink")));
    for (const QString& path : {d.home.filePath("Templates/../Data/Other.ORVT"), d.home.filePath("DataLink/Other.ORVT"),
                                d.home.filePath("Templates/bad\x01name.ORVT")}) {
        d.messages.clear();
        d.files.answer = path;
        d.designer.CmdSaveTplAs_Click();
        EXPECT_EQ(d.messages.marked().size(), 1) << path.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(d.data("Other.ORVT")));
    EXPECT_TRUE(QDir(gstrTemplatesFolder).isEmpty());

    d.messages.clear();
    d.files.answer = d.home.filePath("Templates/Lobby.ORVT");
    d.designer.CmdSaveTplAs_Click();
    EXPECT_TRUE(d.messages.marked().isEmpty());
    EXPECT_EQ(loaded(d.files.answer).gstrRecordsPerPage, "1");
    // The next dialog proposes that file.
    d.files.answer.clear();
    d.designer.CmdSaveTplAs_Click();
    EXPECT_EQ(d.files.lastSuggested, "Lobby.ORVT");

    // A name typed without an extension gets the template extension; an
    // existing file of that name is replaced only when the user agrees.
    d.files.answer = d.home.filePath("Templates/Foyer");
    d.designer.CmdSaveTplAs_Click();
    EXPECT_EQ(d.designer.mstrTemplateFile, d.home.filePath("Templates/Foyer.ORVT"));
    EXPECT_FALSE(QFileInfo::exists(d.home.filePath("Templates/Foyer")));
    d.messages.answer = MsgAnswer::No;
    d.view.title = "Changed";
    d.files.answer = d.home.filePath("Templates/Foyer");
    d.designer.CmdSaveTplAs_Click();
    EXPECT_EQ(loaded(d.home.filePath("Templates/Foyer.ORVT")).gstrTitleText, "");
    EXPECT_EQ(d.messages.texts.size(), 1);
}
