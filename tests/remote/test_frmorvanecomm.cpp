// The administration window offscreen: the board lists, the template slots
// and what it remembers between openings.
#include "core/globals.h"
#include "remote/frmorvanecomm.h"
#include "tests/ftp/ftptestserver.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
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
class HeldUploader final : public Uploader {
public:
    HeldUploader(const std::atomic<bool>& cancel, std::atomic<bool>& release, std::atomic<int>& puts)
        : cancel_(cancel)
        , release_(release)
        , puts_(puts)
    {
    }
    bool probe(const QString&) override { return true; }
    TransferStatus put(const QString&, const QString&, const QString&) override
    {
        ++puts_;
        while (!release_ && !cancel_)
            QThread::msleep(5);
        return cancel_ ? TransferStatus::Abort : TransferStatus::Completed;
    }

private:
    const std::atomic<bool>& cancel_;
    std::atomic<bool>& release_;
    std::atomic<int>& puts_;
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

    // A window with one destination board, one template and a held upload layer.
    std::unique_ptr<frmOrvaneComm> openForRun()
    {
        writeAll(gstrProgramFolder + "/DestIPAddress.txt", "10.0.0.7, hall\r\n");
        auto w = open();
        w->txtTplFile[0]->setText(tpl("zero.ORVT", 0));
        w->makeUploader = [this](const std::atomic<bool>& cancel, TransferDisplay*) {
            return std::unique_ptr<Uploader>(new HeldUploader(cancel, release, puts));
        };
        return w;
    }

    QTemporaryDir dir;
    std::atomic<bool> release{false};
    std::atomic<int> puts{0};
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
    w->txtIPAddress->setText("10.0.0.3");
    w->txtNote->clear();
    Q_EMIT w->txtNote->returnPressed(); // Return in the note field is OK too
    EXPECT_TRUE(w->picAdd->isHidden());
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

TEST_F(CommWindow, RunKeepsTheWindowAndRefusesSecondActions)
{
    auto w = openForRun();
    w->btnUpdate_Click(0);
    ASSERT_TRUE(w->busy());
    EXPECT_FALSE(w->btnUpdate[0]->isEnabled());
    EXPECT_TRUE(w->btnCancelProcess->isEnabled());
    ASSERT_TRUE(testsupport::waitFor([&] { return puts > 0; }));
    w->show();
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    w->btnCancel_Click();
    w->btnUpdate_Click(0);
    select(w->lvDestIPList, 0);
    w->btnRetart_Click();
    EXPECT_EQ(messages.marked(), QStringList({"Update process is running, please cancel the process before exiting (!)",
                                              "Update process is running, please cancel the process before exiting (!)",
                                              "One process is running, can't do any other process now. (!)",
                                              "One process is running, can't do any other process now. (!)"}));
    release = true;
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
    EXPECT_EQ(messages.texts.last(), QString("Update process is done"));
    EXPECT_EQ(w->boardIcon(0), frmOrvaneComm::kSuccessIcon);
    EXPECT_EQ(w->lblStatus->text(), QString("Finished updating settings to 10.0.0.7"));
    EXPECT_TRUE(w->lstMessage->item(w->lstMessage->count() - 2)->text().endsWith(" - Finished sending process."));
    EXPECT_TRUE(w->btnUpdate[0]->isEnabled());
    EXPECT_EQ(w->FileProgressBar->value(), 100);
}

TEST_F(CommWindow, CancelProcessEndsTheRunWithoutDoneBox)
{
    auto w = openForRun();
    w->btnUpdate_Click(0);
    ASSERT_TRUE(testsupport::waitFor([&] { return puts > 0; }));
    w->btnCancelProcess_Click();
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(
        w->lstMessage->findItems(" - Cancelling sending/retrieving process, please wait...", Qt::MatchEndsWith).size(),
        1);
    EXPECT_TRUE(w->lstMessage->findItems("!!!", Qt::MatchContains).isEmpty());
    EXPECT_EQ(w->boardIcon(0), 0);
    EXPECT_EQ(puts, 1);
}

TEST_F(CommWindow, ClosingByTheProgramCancelsTheRunAndSaves)
{
    auto w = openForRun();
    w->btnUpdate_Click(0);
    ASSERT_TRUE(testsupport::waitFor([&] { return puts > 0; }));
    w->closeByProgram();
    EXPECT_FALSE(w->busy());
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(readAll(gstrProgramFolder + "/DestIPAddress.txt"), QByteArray("10.0.0.7, hall\r\n"));
    w.reset();
    testsupport::pump(50); // reports still queued for the gone window are dropped
}

TEST_F(CommWindow, RestartTellsTheOutcome)
{
    auto w = openForRun();
    release = true;
    select(w->lvDestIPList, 0);
    w->btnRetart_Click();
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
    EXPECT_EQ(messages.texts, QStringList({"Successfully restart Orvane at 10.0.0.7"}));
    EXPECT_EQ(readAll(gstrRemoteFolder + "/CommConfirm.txt"), QByteArray("2\r\n"));
}

TEST_F(CommWindow, AdminUpdateReachesARealBoard)
{
    FtpTestServer server;
    if (FtpTestServer::python().isEmpty())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    ASSERT_TRUE(server.start());
    server.putFile("Orvane/Data/.keep", "");
    server.putFile("Orvane/Media/.keep", "");
    QDir().mkpath(gstrMediaFolder);
    writeAll(gstrMediaFolder + "/back.png", "png");
    writeAll(gstrSettingsFile, "[Settings]\r\nDwell=7\r\n");
    writeAll(gstrProgramFolder + "/Mode.txt", "1\r\n");
    writeAll(gstrProgramFolder + "/DestIPAddress.txt", "127.0.0.1, board\r\n");
    const QString tplPath = dir.filePath("two.ORVT");
    writeAll(tplPath, "[TEMPLATE]\r\nRecords Per Page=2\r\n[BACKGROUND]\r\nType=1\r\nImage File=back.png\r\n");
    auto w = open();
    w->txtTplFile[2]->setText(tplPath);
    const int port = server.host().section(':', 1).toInt();
    w->makeUploader = [port](const std::atomic<bool>& cancel, TransferDisplay* display) {
        auto ftp = std::make_unique<BoardFtp>(cancel, port, BoardLogin{FtpTestServer::kUser, FtpTestServer::kPassword});
        ftp->setDisplay(display);
        return std::unique_ptr<Uploader>(std::move(ftp));
    };
    w->btnUpdate_Click(1);
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }, 20000));
    EXPECT_EQ(messages.texts, QStringList({"Update process is done"}));
    EXPECT_EQ(w->boardIcon(0), frmOrvaneComm::kSuccessIcon);
    const QString board = server.root() + "/Orvane/";
    EXPECT_EQ(readAll(board + "Data/Template with 2 records.ORVT"), readAll(tplPath));
    EXPECT_EQ(readAll(board + "Media/back.png"), QByteArray("png"));
    EXPECT_EQ(readAll(board + "UpdatedSettings.ini"), readAll(gstrSettingsFile));
    EXPECT_EQ(readAll(board + "OrvaneConfirm.txt"), QByteArray("1\r\n"));
    for (int i = 0; i < w->lstMessage->count(); ++i)
        EXPECT_FALSE(w->lstMessage->item(i)->text().contains(FtpTestServer::kPassword));
}
