// The administration window offscreen: the board lists, the template slots
// and what it remembers between openings.
#include "core/globals.h"
#include "remote/frmorvanecomm.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>

#include <memory>

using namespace remote;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

// An upload layer that holds every transfer until released or cancelled.
struct Hold {
    std::atomic<bool> release{false};
    std::atomic<int> puts{0};
};
class HeldUploader final : public Uploader {
public:
    HeldUploader(const std::atomic<bool>& cancel, Hold& hold)
        : cancel_(cancel)
        , hold_(hold)
    {
    }
    bool probe(const QString&) override { return true; }
    TransferStatus put(const QString&, const QString&, const QString&) override
    {
        ++hold_.puts;
        while (!hold_.release && !cancel_)
            QThread::msleep(5);
        return cancel_ ? TransferStatus::Abort : TransferStatus::Completed;
    }

private:
    const std::atomic<bool>& cancel_;
    Hold& hold_;
};

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

    // A window with one destination board, one template and a held upload layer.
    std::unique_ptr<frmOrvaneComm> openForRun()
    {
        writeAll(gstrProgramFolder + "/DestIPAddress.txt", "10.0.0.7, hall\r\n");
        auto w = open();
        w->txtTplFile[0]->setText(tpl("zero.ORVT", 0));
        w->makeUploader = [this](const std::atomic<bool>& cancel, TransferDisplay*) {
            return std::unique_ptr<Uploader>(new HeldUploader(cancel, hold));
        };
        return w;
    }

    QTemporaryDir dir;
    Hold hold;
    testsupport::RecordedMessages messages;
    testsupport::ScriptedFiles files;
};

} // namespace

TEST_F(CommWindow, CaptionsFitAndControlsStayInsideTheTemplateFrame)
{
    auto w = open();
    for (const QLabel* l : w->findChildren<QLabel*>())
        EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->contentsRect().width()) << l->text().toStdString();
    for (const QPushButton* b : w->findChildren<QPushButton*>())
        EXPECT_LT(b->fontMetrics().horizontalAdvance(b->text()), b->width()) << b->text().toStdString();
    for (const QWidget* c : w->fraMTL->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_GE(c->y(), w->fraMTL->contentsRect().top()) << c->metaObject()->className();
}

TEST_F(CommWindow, AddGoesIntoBothListsAndRefusesBadAddresses)
{
    writeAll(gstrProgramFolder + "/IPAddress.txt", "10.0.0.5, old\r\n");
    auto w = open();
    w->btnAdd_Click();
    EXPECT_FALSE(w->picComm->isEnabled());
    type(*w, "host name", "n");
    EXPECT_FALSE(w->picAdd->isHidden());
    EXPECT_EQ(messages.texts, QStringList({"Please enter an IP address."}));
    type(*w, " 10.0.0.5 ", "typed");
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
    select(w->lvDestIPList, 1);
    w->btnEdit_Click(1);
    EXPECT_EQ(w->txtIPAddress->text(), QString("10.0.0.2"));
    EXPECT_EQ(w->txtNote->text(), QString("b"));
    w->txtIPAddress->setText("10.0.0.3");
    w->txtNote->clear();
    Q_EMIT w->txtNote->returnPressed(); // Return in the note field is OK too
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.1", "a"}, {"10.0.0.3", ""}}));
    EXPECT_EQ(w->boards(0), BoardList({{"10.0.0.1", "a"}}));
}

TEST_F(CommWindow, CopyRemoveAndSave)
{
    writeAll(gstrProgramFolder + "/IPAddress.txt", "10.0.0.1, a\r\n10.0.0.2, \r\n10.0.0.3, c\r\n");
    writeAll(gstrProgramFolder + "/DestIPAddress.txt", "10.0.0.3, other\r\n");
    auto w = open();
    select(w->showIPListView, 1);
    w->showIPListView->topLevelItem(2)->setSelected(true);
    w->btnApply_Click();
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.3", "other"}, {"10.0.0.2", ""}}));
    // Remove takes the selected rows of both lists.
    w->RemoveSelectedIP();
    EXPECT_EQ(w->boards(0), BoardList({{"10.0.0.1", "a"}}));
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.2", ""}}));
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
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.1", "b"}, {"10.0.0.12", "c"}, {"10.0.0.2", "a"}}));
    w->columnClick(1, 2);
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.2", "a"}, {"10.0.0.1", "b"}, {"10.0.0.12", "c"}}));
}

TEST_F(CommWindow, ModeShowsAdminUpdate)
{
    EXPECT_TRUE(open()->btnUpdate[1]->isHidden());
    writeAll(gstrProgramFolder + "/Mode.txt", "1\r\n");
    EXPECT_FALSE(open()->btnUpdate[1]->isHidden());
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
    EXPECT_TRUE(w->blnAnyTemplateLoaded());
    w->btnClear_Click(1);
    EXPECT_FALSE(w->blnAnyTemplateLoaded());

    // A list naming a template of the wrong size marks that slot.
    const QString mtl = dir.filePath("a.MTL");
    writeAll(mtl, "[MASTER_TEMPLATE_LIST]\r\nDefault Template=" + tpl("two.ORVT", 2).toUtf8() +
                      "\r\nTemplate with 2 record= " + tpl("two.ORVT", 2).toUtf8() + " \r\n");
    w->LoadMTL(mtl);
    EXPECT_TRUE(w->slotMarked(0));
    EXPECT_EQ(w->txtTplFile[2]->text(), dir.filePath("two.ORVT"));
}

TEST_F(CommWindow, LastListIsRememberedAcrossOpenings)
{
    const QString mtl = dir.filePath("saved.MTL");
    {
        auto w = open();
        w->txtTplFile[3]->setText(tpl("three.ORVT", 3));
        files.answer = mtl;
        w->btnSaveMTL_Click();
        EXPECT_EQ(w->windowTitle(), QString("Orvane Communication - saved.MTL"));
        w->show();
        EXPECT_TRUE(w->close()); // the close box saves too
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

TEST_F(CommWindow, RunKeepsTheWindowAndRefusesSecondActionsThenRestartTellsTheOutcome)
{
    auto w = openForRun();
    w->btnUpdate_Click(0);
    ASSERT_TRUE(w->busy());
    ASSERT_TRUE(testsupport::waitFor([&] { return hold.puts > 0; }));
    w->show();
    EXPECT_FALSE(w->close());
    w->btnCancel_Click();
    w->btnUpdate_Click(0);
    select(w->lvDestIPList, 0);
    w->btnRetart_Click();
    EXPECT_EQ(messages.marked(),
              QStringList(2, "Update process is running, please cancel the process before exiting (!)") +
                  QStringList(2, "One process is running, can't do any other process now. (!)"));
    hold.release = true;
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
    EXPECT_EQ(messages.texts.last(), QString("Update process is done"));
    EXPECT_EQ(w->boardIcon(0), frmOrvaneComm::kSuccessIcon);
    w->btnRetart_Click();
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
    EXPECT_EQ(messages.texts.last(), QString("Successfully restart Orvane at 10.0.0.7"));
}

TEST_F(CommWindow, CancelProcessAndClosingByTheProgramEndTheRunWithoutDoneBox)
{
    auto w = openForRun();
    w->btnUpdate_Click(0);
    ASSERT_TRUE(testsupport::waitFor([&] { return hold.puts > 0; }));
    w->btnCancelProcess_Click();
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(w->boardIcon(0), 0);

    // Closing by the program cancels a run too, and saves.
    w->btnUpdate_Click(0);
    ASSERT_TRUE(testsupport::waitFor([&] { return hold.puts > 1; }));
    w->closeByProgram();
    EXPECT_FALSE(w->busy());
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(readAll(gstrProgramFolder + "/DestIPAddress.txt"), QByteArray("10.0.0.7, hall\r\n"));
    w.reset();
    testsupport::pump(50); // reports still queued for the gone window are dropped
}
