// The administration window offscreen: the board lists, the template slots
// and what it remembers between openings.
#include "core/globals.h"
#include "remote/frmorvanecomm.h"
#include "remote/messagelist.h"
#include "tests/ftp/ftptestserver.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

#include <functional>
#include <memory>

#include <sys/stat.h>

using namespace remote;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

// An upload layer that holds every transfer until released or cancelled.
// The first `unreachable` boards it probes fail at once.
struct Hold {
    std::atomic<bool> release{false};
    std::atomic<int> puts{0};
    std::atomic<int> probes{0};
    int unreachable = 0;
    QStringList probed; // the addresses probed, in order; read once the run has ended
    QStringList sent;   // the remote paths of the transfers, in order; read once the run has ended
    // Released transfers are refused with this cause, when it is set.
    QString refusal;
};
class HeldUploader final : public Uploader {
public:
    HeldUploader(const std::atomic<bool>& cancel, Hold& hold)
        : cancel_(cancel)
        , hold_(hold)
    {
    }
    bool probe(const QString& address) override
    {
        hold_.probed << address;
        return ++hold_.probes > hold_.unreachable;
    }
    TransferStatus put(const QString&, const QString&, const QString& remote) override
    {
        hold_.sent << remote;
        ++hold_.puts;
        while (!hold_.release && !cancel_)
            QThread::msleep(5);
        if (cancel_)
            return TransferStatus::Abort;
        return hold_.refusal.isEmpty() ? TransferStatus::Completed : TransferStatus::Ready;
    }
    QString lastCause() const override { return hold_.refusal; }

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
    // "Edit >>" on a destination row, a new address, "OK".
    static void edit(frmOrvaneComm& w, int row, const QString& address)
    {
        select(w.lvDestIPList, row);
        w.btnEdit_Click(1);
        w.txtIPAddress->setText(address);
        w.btnIPAdd_Click();
    }

    // A window with these destination boards, one template and a held upload layer.
    std::unique_ptr<frmOrvaneComm> openForRun(const QByteArray& boards = "10.0.0.7, hall\r\n")
    {
        writeAll(gstrProgramFolder + "/DestIPAddress.txt", boards);
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

TEST_F(CommWindow, APastedNoteStaysTheNoteOfOneBoard)
{
    auto w = open();
    w->btnAdd_Click();
    w->txtIPAddress->setText("10.0.0.1");
    w->txtNote->setText("Lobby\n10.9.9.9, ghost");
    w->btnIPAdd_Click();
    EXPECT_EQ(w->boards(0), BoardList({{"10.0.0.1", "Lobby 10.9.9.9, ghost"}}));
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.1", "Lobby 10.9.9.9, ghost"}}));
    // Editing a row with a pasted note does the same.
    select(w->lvDestIPList, 0);
    w->btnEdit_Click(1);
    w->txtNote->setText("Hall\r\nB");
    w->btnIPAdd_Click();
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.1", "Hall  B"}}));
    w->btnCancel_Click();
    EXPECT_EQ(readAll(gstrProgramFolder + "/IPAddress.txt"), QByteArray("10.0.0.1, Lobby 10.9.9.9, ghost\r\n"));
    EXPECT_EQ(readAll(gstrProgramFolder + "/DestIPAddress.txt"), QByteArray("10.0.0.1, Hall  B\r\n"));
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

TEST_F(CommWindow, EverySlotIsCheckedByItsRecordsPerPageHoweverItIsFilled)
{
    // Slot 1 filled with Load, by a list, or by typing (checked on Return or
    // when the focus leaves the box).
    const QString one = tpl("one.ORVT", 1);
    const QString two = tpl("two.ORVT", 2);
    const QString bare = dir.filePath("bare.ORVT"); // no "Records Per Page"
    writeAll(bare, "[TEMPLATE]\r\nTitle=x\r\n");
    const QString missing = dir.filePath("missing.ORVT");
    const QString mtl = dir.filePath("a.MTL");
    enum How { Load, List, Typed, TypedBackToTheList };
    const QString wrong = "Wrong template file. (!)";
    const struct {
        How how;
        QString path;
        bool filled;
        bool marked;
        QStringList messages;
    } cases[] = {
        {Load, one, true, false, {}},
        {Load, two, false, false, {wrong}},
        {List, one, true, false, {}},
        {List, two, true, true, {}},
        // Lists have always been taken so.
        {List, bare, true, false, {}},
        {List, missing, true, false, {}},
        {Typed, one, true, false, {}},
        {Typed, two, true, true, {}},
        {Typed, bare, true, true, {}},
        {Typed, missing, true, false, {}}, // nothing to send
        {TypedBackToTheList, bare, true, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.how) + " " + c.path.toStdString());
        auto w = open();
        messages.clear();
        const auto typeIn = [&w](const QString& text) {
            w->txtTplFile[1]->setText(text);
            Q_EMIT w->txtTplFile[1]->editingFinished();
        };
        if (c.how == Load) {
            files.answer = c.path;
            w->btnTplBrowser_Click(1);
        } else if (c.how == Typed) {
            typeIn(c.path);
        } else {
            writeAll(mtl, "[MASTER_TEMPLATE_LIST]\r\nTemplate with 1 record= " + c.path.toUtf8() + " \r\n");
            w->LoadMTL(mtl);
            if (c.how == TypedBackToTheList) {
                typeIn(two);
                ASSERT_TRUE(w->slotMarked(1));
                typeIn(c.path);
            }
        }
        EXPECT_EQ(w->txtTplFile[1]->text(), c.filled ? c.path : QString());
        EXPECT_EQ(w->slotMarked(1), c.marked);
        EXPECT_EQ(w->txtTplFile[1]->palette().color(QPalette::Base), c.marked ? QColor(Qt::red) : QColor(Qt::white));
        EXPECT_EQ(messages.marked(), c.messages);
    }

    auto w = open();
    files.answer = one;
    w->btnTplBrowser_Click(1);
    EXPECT_TRUE(w->blnAnyTemplateLoaded());
    w->btnClear_Click(1);
    EXPECT_FALSE(w->blnAnyTemplateLoaded());
}

TEST_F(CommWindow, ASavedListNamedWithoutAnEndingGetsMtl)
{
    const struct {
        const char* given;
        const char* written;
        bool existing; // a list of that name is there, and the user keeps it
    } cases[] = {
        {"list1", "list1.MTL", false},
        {"list2.", "list2.MTL", false},
        // The dialog asked about the name as given, not the one saved.
        {"list3", "list3.MTL", true},
    };
    messages.answer = MsgAnswer::No;
    const QString tplPath = dir.filePath("three.ORVT");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        const QString written = dir.filePath(c.written);
        if (c.existing)
            writeAll(written, "[MASTER_TEMPLATE_LIST]\r\nDefault Template=old\r\n");
        messages.clear();
        auto w = open();
        w->txtTplFile[3]->setText(tplPath);
        files.answer = dir.filePath(c.given);
        w->btnSaveMTL_Click();
        EXPECT_EQ(messages.texts.size(), c.existing ? 1 : 0);
        EXPECT_EQ(readAll(written).contains("Template with 3 record=" + tplPath.toUtf8()), !c.existing);
        EXPECT_EQ(w->mstrCurrentMTL, c.existing ? QString() : written);
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(c.given)));
    }
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

TEST_F(CommWindow, AResultIconStandsOnlyBesideTheAddressTheRunSentTo)
{
    // The first board can't be reached; the second holds its first transfer
    // while the list is sorted the other way round and rows are edited.
    hold.unreachable = 1;
    auto w = openForRun("10.0.0.1, first\r\n10.0.0.2, second\r\n10.0.0.3, third\r\n");
    w->btnUpdate_Click(0);
    ASSERT_TRUE(testsupport::waitFor([&] { return hold.puts > 0; }));
    ASSERT_TRUE(testsupport::waitFor([&] { return w->boardIcon(0) == frmOrvaneComm::kFailedIcon; }));
    w->columnClick(1, 1);
    w->columnClick(1, 1);
    ASSERT_EQ(w->boards(1), BoardList({{"10.0.0.3", "third"}, {"10.0.0.2", "second"}, {"10.0.0.1", "first"}}));
    EXPECT_EQ(w->boardIcon(2), frmOrvaneComm::kFailedIcon);
    // The board that failed, and the one being sent to, get other addresses.
    edit(*w, 2, "10.0.0.91");
    edit(*w, 1, "10.0.0.99");
    hold.release = true;
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
    EXPECT_EQ(w->boards(1), BoardList({{"10.0.0.3", "third"}, {"10.0.0.99", "second"}, {"10.0.0.91", "first"}}));
    EXPECT_EQ(w->boardIcon(0), frmOrvaneComm::kSuccessIcon);
    EXPECT_EQ(w->boardIcon(1), 0);
    EXPECT_EQ(w->boardIcon(2), 0);
    // The lines name the addresses the run sent to.
    QStringList lines;
    for (int i = 0; i < w->lstMessage->count(); ++i)
        lines << w->lstMessage->line(i).section(" - ", 1);
    EXPECT_TRUE(lines.contains("*** Could not connect to 10.0.0.1.")) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.filter("10.0.0.9").isEmpty()) << lines.join('|').toStdString();
    EXPECT_EQ(w->lblStatus->text(), QString("Finished updating settings to 10.0.0.3"));
}

TEST_F(CommWindow, ARowIsSentToAtTheAddressItHoldsWhenTheRunComesToIt)
{
    // The first board holds its first transfer while the rows change.
    const auto edited = [](frmOrvaneComm& w) { edit(w, 1, "10.0.0.5"); };
    const auto removed = [](frmOrvaneComm& w) {
        select(w.lvDestIPList, 1);
        w.RemoveSelectedIP();
    };
    const auto added = [](frmOrvaneComm& w) {
        select(w.showIPListView, 0);
        w.btnApply_Click();
    };
    const auto sortedThenEdited = [](frmOrvaneComm& w) {
        w.columnClick(1, 1);
        w.columnClick(1, 1);
        edit(w, 0, "10.0.0.30");
    };
    const int ok = frmOrvaneComm::kSuccessIcon;
    const struct {
        const char* what;
        std::function<void(frmOrvaneComm&)> change;
        QStringList probed;
        BoardList after;
        std::vector<int> icons;
    } cases[] = {
        {"corrected",
         edited,
         {"10.0.0.1", "10.0.0.5", "10.0.0.3"},
         {{"10.0.0.1", "a"}, {"10.0.0.5", "b"}, {"10.0.0.3", "c"}},
         {ok, ok, ok}},
        {"removed", removed, {"10.0.0.1", "10.0.0.3"}, {{"10.0.0.1", "a"}, {"10.0.0.3", "c"}}, {ok, ok}},
        {"added",
         added,
         {"10.0.0.1", "10.0.0.2", "10.0.0.3"},
         {{"10.0.0.1", "a"}, {"10.0.0.2", "b"}, {"10.0.0.3", "c"}, {"10.0.0.9", "new"}},
         {ok, ok, ok, 0}},
        // Each row once, in the order of the start, whatever the order now.
        {"sorted, then corrected",
         sortedThenEdited,
         {"10.0.0.1", "10.0.0.2", "10.0.0.30"},
         {{"10.0.0.30", "c"}, {"10.0.0.2", "b"}, {"10.0.0.1", "a"}},
         {ok, ok, ok}},
    };
    writeAll(gstrProgramFolder + "/IPAddress.txt", "10.0.0.9, new\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        hold.release = false;
        hold.puts = 0;
        hold.probed.clear();
        auto w = openForRun("10.0.0.1, a\r\n10.0.0.2, b\r\n10.0.0.3, c\r\n");
        w->btnUpdate_Click(0);
        ASSERT_TRUE(testsupport::waitFor([&] { return hold.puts > 0; }));
        c.change(*w);
        hold.release = true;
        ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
        EXPECT_EQ(hold.probed, c.probed);
        EXPECT_EQ(w->boards(1), c.after);
        std::vector<int> icons;
        for (int row = 0; row < int(c.after.size()); ++row)
            icons.push_back(w->boardIcon(row));
        EXPECT_EQ(icons, c.icons);
    }
}

TEST_F(CommWindow, ATypedTemplateIsSentOnlyWhenItFitsItsSlot)
{
    // Paths typed into the box of "Template with 4 records": checked as
    // typed (Return, or the focus leaving the box), or still being typed
    // when Update is pressed.
    const QString four = tpl("four.ORVT", 4);
    const QString three = tpl("three.ORVT", 3);
    const struct {
        const char* what;
        QString checked; // typed and checked first ("" nothing)
        QString typing;  // then typed while Update is pressed ("" nothing)
        bool sent;
    } cases[] = {
        {"fits, still typed", "", four, true},
        {"three records, still typed", "", three, false},
        {"marked, then corrected while Update is pressed", three, four, true},
        {"fitting, then another while Update is pressed", four, three, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        hold.release = true;
        hold.sent.clear();
        auto w = openForRun();
        if (!c.checked.isEmpty()) {
            w->txtTplFile[4]->setText(c.checked);
            Q_EMIT w->txtTplFile[4]->editingFinished();
        }
        if (!c.typing.isEmpty())
            w->txtTplFile[4]->setText(c.typing);
        w->btnUpdate_Click(0);
        ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
        EXPECT_EQ(hold.sent.contains(remoteTemplatePath(4)), c.sent) << hold.sent.join('|').toStdString();
        EXPECT_EQ(w->slotMarked(4), !c.sent);
        // With the prescribed line; the board gets its command either way.
        QStringList lines;
        for (int i = 0; i < w->lstMessage->count(); ++i)
            lines << w->lstMessage->line(i).section(" - ", 1);
        EXPECT_EQ(lines.contains("!!!This is a wrong template file to send, will go to next template file."), !c.sent)
            << lines.join('|').toStdString();
        EXPECT_EQ(w->boardIcon(0), frmOrvaneComm::kSuccessIcon);
    }
}

TEST_F(CommWindow, ARestartThatFailsKeepsItsBoxAndSaysWhyInTheMessageList)
{
    auto w = openForRun();
    w->AddMessage("before");
    select(w->lvDestIPList, 0);
    hold.release = true;
    hold.refusal = "the board replied 550 Permission denied";
    w->btnRetart_Click();
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }));
    EXPECT_EQ(messages.marked(), QStringList("Connection timeout! Could not restart the Orvane. (!)"));
    ASSERT_EQ(w->lstMessage->count(), 3);
    EXPECT_EQ(w->lstMessage->line(1).section(" - ", 1), QString("!!!Could not restart the Orvane at 10.0.0.7."));
    EXPECT_EQ(w->lstMessage->line(2).section(" - ", 1), QString("!!!Cause: the board replied 550 Permission denied."));
    EXPECT_EQ(w->boardIcon(0), 0);
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
    testsupport::pump(50); // nothing is left queued for the gone window
}

TEST_F(CommWindow, ClosingDuringTheRenamesFinishesTheBoardWithoutWaitingForItsGoodbye)
{
    // Slow renames, and a board that never answers the goodbye of a session
    // that renamed (the stall time-out is long): the program closes the
    // window while the renames run.
    FtpTestServer server("slowrename,noquit-renamed");
    START_SERVER(server);
    server.putFile("Orvane/Data/Default Template.ORVT", "old template");
    auto w = openForRun("127.0.0.1, board\r\n");
    w->makeUploader = [&server](const std::atomic<bool>& cancel, TransferDisplay* display) {
        auto ftp = std::make_unique<BoardFtp>(cancel, server.port(),
                                              BoardLogin{FtpTestServer::kUser, FtpTestServer::kPassword},
                                              ftp::Timeouts{3000, 30000});
        ftp->setDisplay(display);
        return std::unique_ptr<Uploader>(std::move(ftp));
    };
    w->btnUpdate_Click(0);
    ASSERT_TRUE(
        testsupport::waitFor([&] { return !server.commands().filter(QRegularExpression("^RNTO ")).isEmpty(); }, 20000));
    QElapsedTimer clock;
    clock.start();
    w->closeByProgram();
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_FALSE(w->busy());
    // The board got its template and then its command; no "done" box.
    EXPECT_EQ(readAll(server.root() + "/Orvane/Data/Default Template.ORVT"), readAll(w->txtTplFile[0]->text()));
    EXPECT_EQ(readAll(server.root() + "/Orvane/OrvaneConfirm.txt"), QByteArray("2\r\n"));
    EXPECT_EQ(w->boardIcon(0), frmOrvaneComm::kSuccessIcon);
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(CommWindow, ThousandsOfFailingBoardsKeepTheWindowAnsweringAndCancelEndsTheRun)
{
    // Every board but the last fails at once; the last one holds its first
    // transfer until "Cancel Process".
    constexpr int kBoards = 10000;
    QByteArray list;
    for (int i = 0; i < kBoards; ++i)
        list += QStringLiteral("10.%1.%2.%3, n\r\n").arg(i / 65536).arg(i / 256 % 256).arg(i % 256).toUtf8();
    hold.unreachable = kBoards - 1;
    auto w = openForRun(list);
    const BoardList boards = w->boards(1);
    w->show(); // a shown list lays itself out

    // A timer that must keep firing, and presses "Cancel Process" through
    // the event loop once the last board is reached.
    QElapsedTimer clock;
    qint64 lastTick = 0, longestGap = 0, cancelledAt = -1;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
        if (cancelledAt < 0 && hold.puts > 0) {
            cancelledAt = clock.elapsed();
            w->btnCancelProcess->click();
        }
    });
    clock.start();
    tick.start();
    w->btnUpdate_Click(0);
    ASSERT_TRUE(testsupport::waitFor([&] { return !w->busy(); }, 120000));
    const qint64 endedAt = clock.elapsed();
    tick.stop();
    ASSERT_GE(cancelledAt, 0);
    // Generous bounds: a reply within a second is the aim.
    EXPECT_LT(longestGap, 2000);
    EXPECT_LT(endedAt - cancelledAt, 2000);

    // Every line arrived in order, with the list cleared whenever it held
    // more than 1000 lines; no "done" box after a cancelled run.
    const QString rule(100, '-');
    QStringList expected;
    for (int i = 0; i < kBoards; ++i) {
        for (const QString& line : {rule, QString("Starting sending process."), rule})
            expected << line;
        expected << (i + 1 < kBoards ? "*** Could not connect to " + boards[i].address + "."
                                     : QString("Sending template file: zero.ORVT"));
    }
    expected << "Cancelling sending/retrieving process, please wait...";
    QStringList shown;
    for (const QString& text : expected) {
        if (shown.size() > 1000)
            shown.clear();
        shown << text;
    }
    ASSERT_EQ(w->lstMessage->count(), shown.size());
    for (int i = 0; i < shown.size(); ++i)
        ASSERT_EQ(w->lstMessage->line(i).section(" - ", 1), shown[i]) << i;
    EXPECT_EQ(w->lstMessage->currentRow(), shown.size() - 1);
    EXPECT_EQ(w->lblStatus->text(), "Updating Orvane settings to " + boards.last().address);
    for (int i = 0; i + 1 < kBoards; ++i)
        ASSERT_EQ(w->boardIcon(i), frmOrvaneComm::kFailedIcon) << i;
    EXPECT_EQ(w->boardIcon(kBoards - 1), 0);
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(CommWindow, ALongMessageLineCanBeReadWhole)
{
    auto w = open();
    w->show();
    MessageList* list = w->lstMessage;
    const QString longLine = "!!!Only part of the update reached the board, and no command was sent. Replaced: " +
                             QStringList(40, "Media/background picture.png").join(", ") + ". Not replaced: end.";
    w->AddMessage("short");
    w->AddMessage(longLine);
    w->AddMessage("short again");
    ASSERT_EQ(list->count(), 3);
    const QModelIndex row = list->model()->index(1, 0);
    ASSERT_TRUE(list->line(1).endsWith(" - " + longLine));
    const int advance = list->fontMetrics().horizontalAdvance(list->line(1));
    ASSERT_GT(advance, 3 * list->viewport()->width());

    // Scrolled sideways to its end, the whole line is in view, nothing cut.
    QScrollBar* sideways = list->horizontalScrollBar();
    EXPECT_EQ(sideways->value(), 0);
    sideways->setValue(sideways->maximum());
    const QRect rect = list->visualRect(row);
    EXPECT_GE(rect.width(), advance);
    EXPECT_LE(rect.right(), list->viewport()->width());
    EXPECT_GE(rect.left() + advance, 0);
    EXPECT_LT(rect.left() + advance, list->viewport()->width());
    // A new line keeps the list where it was scrolled to.
    const int scrolled = sideways->value();
    w->AddMessage("one more");
    EXPECT_EQ(sideways->value(), scrolled);
    EXPECT_EQ(list->currentRow(), 3);

    // Hovering the line shows all of it.
    sideways->setValue(0);
    EXPECT_EQ(list->model()->data(row, Qt::ToolTipRole).toString(), list->line(1));
    QHelpEvent hover(QEvent::ToolTip, list->visualRect(row).center(),
                     list->viewport()->mapToGlobal(list->visualRect(row).center()));
    QApplication::sendEvent(list->viewport(), &hover);
    EXPECT_EQ(QToolTip::text(), list->line(1));
    QToolTip::hideText();
}

TEST_F(CommWindow, ThousandsOfMessageLinesKeepTheLastOneAndTheWidthOfWhatIsLeft)
{
    auto w = open();
    w->show();
    MessageList* list = w->lstMessage;
    // A long line among the first ones: once the list has been emptied,
    // no sideways scrolling is left for it.
    constexpr int kLines = 3500;
    const QString longLine = QString(2000, 'x');
    for (int i = 1; i <= kLines; ++i) {
        w->AddMessage(i == 10 ? longLine : QString("line %1").arg(i));
        if (i == 10) {
            EXPECT_GT(list->horizontalScrollBar()->maximum(), 0);
        }
    }
    // Emptied when a line comes to a list of 1001 lines.
    const int kept = (kLines - 1) % (MessageList::kMaxLines + 1) + 1;
    ASSERT_EQ(list->count(), kept);
    EXPECT_EQ(list->line(0).section(" - ", 1), QString("line %1").arg(kLines - kept + 1));
    EXPECT_EQ(list->line(kept - 1).section(" - ", 1), QString("line %1").arg(kLines));
    EXPECT_EQ(list->currentRow(), kept - 1);
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    // The last line is in view.
    const QRect last = list->visualRect(list->model()->index(kept - 1, 0));
    EXPECT_TRUE(list->viewport()->rect().contains(last.center()));
}

TEST_F(CommWindow, TheLastLineStaysInViewWhenTheSidewaysScrollBarComes)
{
    // The first line wider than the list brings the sideways scroll bar,
    // which takes its room from the bottom of a full list.
    const QString longLine = "!!!Only part of the update reached the board, and no command was sent. Replaced: " +
                             QStringList(20, "Media/background picture.png").join(", ") + ".";
    const struct {
        const char* what;
        QStringList batch;
    } cases[] = {
        {"the long line last", {longLine}},
        {"a line after it", {longLine, "Finished sending process."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto w = open();
        w->show();
        MessageList* list = w->lstMessage;
        for (int i = 0; i < 40; ++i)
            w->AddMessage(QString("line %1").arg(i));
        QApplication::processEvents();
        ASSERT_FALSE(list->horizontalScrollBar()->isVisible());
        list->addLines(c.batch, "stamp - ");
        QApplication::processEvents();
        ASSERT_TRUE(list->horizontalScrollBar()->isVisible());
        EXPECT_EQ(list->currentRow(), list->count() - 1);
        const QRect last = list->visualRect(list->model()->index(list->count() - 1, 0));
        EXPECT_GE(last.top(), 0);
        EXPECT_LT(last.bottom(), list->viewport()->height());
        EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
    }
}

namespace {

// Files that are no regular files of a readable size: a device, a named pipe
// and a sparse file past the bound for the program's own small files that
// starts like a template and a template list.
struct OddFile {
    const char* kind;
    QString path;
};
std::vector<OddFile> oddFiles(const QTemporaryDir& dir)
{
    const QString pipe = dir.filePath("pipe.ORVT");
    EXPECT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString big = dir.filePath("big.ORVT");
    writeAll(big, "[TEMPLATE]\r\nRecords Per Page=1\r\n[MASTER_TEMPLATE_LIST]\r\nDefault Template=x\r\n");
    EXPECT_TRUE(QFile::resize(big, 17 * 1024 * 1024));
    return {{"device", "/dev/zero"}, {"pipe", pipe}, {"oversized", big}};
}

} // namespace

TEST_F(CommWindow, TemplatesAndListsThatAreNoRegularFilesAreRefusedByName)
{
    auto w = open();
    const QString good = tpl("one.ORVT", 1);
    files.answer = good;
    w->btnTplBrowser_Click(1);
    const auto odd = oddFiles(dir);
    for (const OddFile& f : odd) {
        // Chosen as a slot's template, then as a list: nothing changes.
        messages.clear();
        files.answer = f.path;
        w->btnTplBrowser_Click(1);
        w->btnLoadMTL_Click();
        ASSERT_EQ(messages.texts.size(), 2) << f.kind;
        EXPECT_TRUE(messages.texts[0].contains(f.path) && messages.texts[1].contains(f.path)) << f.kind;
        EXPECT_EQ(w->txtTplFile[1]->text(), good);
        EXPECT_EQ(w->windowTitle(), QString("Orvane Communication"));
    }

    // Named by a list (slot 4 repeats the last one): the slots show them
    // marked, so that the update run does not send them; one message names
    // each once.
    messages.clear();
    QByteArray list = "[MASTER_TEMPLATE_LIST]\r\nDefault Template=" + tpl("zero.ORVT", 0).toUtf8() + "\r\n";
    for (int slot = 1; slot <= 4; ++slot)
        list += slotKey(slot).toUtf8() + "=" + odd[size_t(std::min(slot, 3) - 1)].path.toUtf8() + "\r\n";
    writeAll(dir.filePath("odd.MTL"), list);
    w->LoadMTL(dir.filePath("odd.MTL"));
    EXPECT_FALSE(w->slotMarked(0));
    for (int slot = 1; slot <= 4; ++slot) {
        EXPECT_TRUE(w->slotMarked(slot)) << slot;
        EXPECT_EQ(w->txtTplFile[slot]->text(), odd[size_t(std::min(slot, 3) - 1)].path);
    }
    ASSERT_EQ(messages.texts.size(), 1);
    for (const OddFile& f : odd)
        EXPECT_EQ(messages.texts[0].count(f.path), 1) << f.kind;
    EXPECT_EQ(w->windowTitle(), QString("Orvane Communication - odd.MTL"));
}

TEST_F(CommWindow, BoardListFilesThatCannotBeReadAreKept)
{
    const QString saved = gstrProgramFolder + "/IPAddress.txt";
    const QString dest = gstrProgramFolder + "/DestIPAddress.txt";
    ASSERT_EQ(::mkfifo(QFile::encodeName(saved).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(gstrProgramFolder + "/Mode.txt").constData(), 0600), 0);
    writeAll(dest, "10.0.0.1, a\r\n");
    ASSERT_TRUE(QFile::resize(dest, 17 * 1024 * 1024));
    auto w = open();
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].contains(saved));
    EXPECT_TRUE(messages.texts[0].contains(dest));
    EXPECT_TRUE(w->boards(0).isEmpty());
    EXPECT_TRUE(w->boards(1).isEmpty());
    EXPECT_EQ(w->mlngMode, 0);
    type(*w, "10.0.0.9", "new");
    w->btnCancel_Click();
    EXPECT_FALSE(QFileInfo(saved).isFile());
    EXPECT_EQ(QFileInfo(dest).size(), 17 * 1024 * 1024);
}
