// The administration window offscreen: the board lists, the template slots
// and what it remembers between openings.
#include "core/globals.h"
#include "remote/frmorvanecomm.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

using namespace remote;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

class CommWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        initGlobalPaths(dir.path(), dir.filePath("player"));
        QDir().mkpath(gstrRemoteFolder);
    }
    std::unique_ptr<frmOrvaneComm> open() { return std::make_unique<frmOrvaneComm>(); }
    QString tpl(const QString& name, int recordsPerPage)
    {
        const QString path = dir.filePath(name);
        writeAll(path, "[TEMPLATE]\r\nRecords Per Page=" + QByteArray::number(recordsPerPage) + "\r\n");
        return path;
    }
    static QStringList addresses(const frmOrvaneComm& w, int list)
    {
        QStringList out;
        for (const Board& b : w.boards(list))
            out << b.address;
        return out;
    }
    static void select(QTreeWidget* view, int row)
    {
        view->clearSelection();
        view->setCurrentItem(view->topLevelItem(row));
        view->topLevelItem(row)->setSelected(true);
    }
    static void type(frmOrvaneComm& w, const QString& ip, const QString& note)
    {
        w.txtIPAddress->setText(ip);
        w.txtNote->setText(note);
        w.btnIPAdd_Click();
    }

    QTemporaryDir dir;
    testsupport::RecordedMessages messages;
    testsupport::ScriptedFiles files;
};

} // namespace

TEST_F(CommWindow, AddGoesIntoBothListsAndRefusesBadAddresses)
{
    writeAll(gstrProgramFolder + "/IPAddress.txt", "10.0.0.5, old\r\n");
    auto w = open();
    w->btnAdd_Click();
    EXPECT_FALSE(w->picComm->isEnabled());
    for (const char* bad : {"", "  ", "host name", "10.0.0.1/x"}) {
        type(*w, bad, "n");
        EXPECT_FALSE(w->picAdd->isHidden()) << bad;
    }
    EXPECT_EQ(messages.texts, QStringList(4, "Please enter an IP address."));
    type(*w, " 10.0.0.5 ", "typed");
    EXPECT_TRUE(w->picAdd->isHidden());
    EXPECT_TRUE(w->picComm->isEnabled());
    // The saved list already had it: only the destination list gains a row.
    EXPECT_EQ(w->boards(0), BoardList({{"10.0.0.5", "old"}}));
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.5", "typed"}}));
    EXPECT_TRUE(w->showIPListView->topLevelItem(0)->isSelected());
}

TEST_F(CommWindow, EditChangesOnlyTheEditedRow)
{
    writeAll(gstrProgramFolder + "/IPAddress.txt", "10.0.0.1, a\r\n");
    writeAll(gstrProgramFolder + "/DestIPAddress.txt", "10.0.0.1, a\r\n10.0.0.2, b\r\n");
    auto w = open();
    w->btnEdit_Click(1); // nothing selected: nothing happens
    EXPECT_TRUE(w->picAdd->isHidden());
    select(w->lvDestIPList, 1);
    w->btnEdit_Click(1);
    EXPECT_EQ(w->txtIPAddress->text(), QString("10.0.0.2"));
    EXPECT_EQ(w->txtNote->text(), QString("b"));
    type(*w, "10.0.0.3", "");
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.1", "a"}, {"10.0.0.3", ""}}));
    EXPECT_EQ(w->boards(0), BoardList({{"10.0.0.1", "a"}}));
}

TEST_F(CommWindow, CopyRemoveAndSave)
{
    writeAll(gstrProgramFolder + "/IPAddress.txt", "10.0.0.1, a\r\n10.0.0.2, \r\n10.0.0.3, c\r\n");
    writeAll(gstrProgramFolder + "/DestIPAddress.txt", "10.0.0.3, other\r\n");
    auto w = open();
    w->btnApply_Click(); // no current row: nothing
    EXPECT_EQ(w->boards(1).size(), 1);
    w->showIPListView->setCurrentItem(w->showIPListView->topLevelItem(1));
    w->showIPListView->topLevelItem(1)->setSelected(true);
    w->showIPListView->topLevelItem(2)->setSelected(true);
    w->btnApply_Click();
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.3", "other"}, {"10.0.0.2", ""}}));
    EXPECT_TRUE(w->lvDestIPList->topLevelItem(0)->isSelected());
    // Remove takes the selected rows of both lists.
    w->RemoveSelectedIP();
    EXPECT_EQ(addresses(*w, 0), QStringList({"10.0.0.1"}));
    EXPECT_EQ(addresses(*w, 1), QStringList({"10.0.0.2"}));
    select(w->lvDestIPList, 0);
    w->RemoveSelectedIP();
    w->btnCancel_Click();
    EXPECT_EQ(readAll(gstrProgramFolder + "/IPAddress.txt"), QByteArray("10.0.0.1, a\r\n"));
    EXPECT_TRUE(readAll(gstrProgramFolder + "/DestIPAddress.txt").isEmpty());
}

TEST_F(CommWindow, DestinationListLoadsSortedAndColumnClickFlips)
{
    writeAll(gstrProgramFolder + "/DestIPAddress.txt", "10.0.0.2, a\r\n10.0.0.12, c\r\n10.0.0.1, b\r\n");
    auto w = open();
    EXPECT_EQ(addresses(*w, 1), QStringList({"10.0.0.1", "10.0.0.12", "10.0.0.2"}));
    w->columnClick(1, 2);
    EXPECT_EQ(addresses(*w, 1), QStringList({"10.0.0.2", "10.0.0.1", "10.0.0.12"}));
    w->columnClick(1, 2);
    EXPECT_EQ(addresses(*w, 1), QStringList({"10.0.0.12", "10.0.0.1", "10.0.0.2"}));
    type(*w, "10.0.0.0", "");
    EXPECT_EQ(addresses(*w, 1).last(), QString("10.0.0.0"));
}

TEST_F(CommWindow, ModeShowsAdminUpdate)
{
    for (const auto& [bytes, admin] : {std::pair<QByteArray, bool>{"1\r\n", true}, {"2\r\n", false}}) {
        writeAll(gstrProgramFolder + "/Mode.txt", bytes);
        auto w = open();
        EXPECT_EQ(!w->btnUpdate[1]->isHidden(), admin);
        EXPECT_EQ(w->btnUpdate[0]->width(), admin ? 57 : w->btnCancelProcess->width());
    }
}

TEST_F(CommWindow, TemplateSlotsCheckTheirRecordsPerPage)
{
    auto w = open();
    files.answer = tpl("one.ORVT", 1);
    w->btnTplBrowser_Click(0);
    EXPECT_EQ(messages.marked(), QStringList({"Wrong template file. (!)"}));
    EXPECT_TRUE(w->txtTplFile[0]->text().isEmpty());
    w->btnTplBrowser_Click(1);
    EXPECT_EQ(w->txtTplFile[1]->text(), files.answer);
    EXPECT_EQ(files.lastTitle, QString("Select a Orvane Template"));
    EXPECT_EQ(files.lastFolder, gstrTemplatesFolder);
    EXPECT_TRUE(w->blnAnyTemplateLoaded());
    w->btnClear_Click(1);
    EXPECT_FALSE(w->blnAnyTemplateLoaded());

    // A list naming a template of the wrong size marks that slot.
    const QString mtl = dir.filePath("a.MTL");
    writeAll(mtl, "[MASTER_TEMPLATE_LIST]\r\nDefault Template=" + tpl("two.ORVT", 2).toUtf8() +
                      "\r\nTemplate with 2 record= " + tpl("two.ORVT", 2).toUtf8() + " \r\n");
    w->LoadMTL(mtl);
    EXPECT_TRUE(w->slotMarked(0));
    EXPECT_FALSE(w->slotMarked(2));
    EXPECT_EQ(w->txtTplFile[2]->text(), dir.filePath("two.ORVT"));
    EXPECT_EQ(w->windowTitle(), QString("Orvane Communication - a.MTL"));
}

TEST_F(CommWindow, LastListIsRememberedAcrossOpenings)
{
    const QString mtl = dir.filePath("saved.MTL");
    {
        auto w = open();
        w->txtTplFile[3]->setText(tpl("three.ORVT", 3));
        files.answer = mtl;
        w->btnSaveMTL_Click();
        EXPECT_TRUE(files.lastConfirm);
        EXPECT_EQ(w->windowTitle(), QString("Orvane Communication - saved.MTL"));
        w->btnCancel_Click();
    }
    EXPECT_TRUE(readAll(gstrLastLoadFile).contains("MTL=" + mtl.toUtf8()));
    auto again = open();
    EXPECT_EQ(again->txtTplFile[3]->text(), dir.filePath("three.ORVT"));
    EXPECT_EQ(again->mstrCurrentMTL, mtl);
}

TEST_F(CommWindow, UpdateChecksInOrder)
{
    auto w = open();
    w->btnUpdate_Click(1);
    writeAll(gstrProgramFolder + "/DestIPAddress.txt", "");
    type(*w, "10.0.0.1", "");
    w->btnUpdate_Click(1);
    w->btnUpdate_Click(0);
    w->btnRetart_Click();
    w->btnCancelProcess_Click();
    EXPECT_EQ(messages.marked(),
              QStringList({"No IP Address in Destination IP Address List.",
                           "Please save Orvane settings before updating. (!)",
                           "Please load/save at least one template in Master Template List before updating. (!)",
                           "Please select/enter an IP Address.", "No process to be cancelled! (!)"}));
    EXPECT_EQ(messages.titles.last(), QString("No sending process"));
}
