#pragma once
// The administration window: the saved and destination board lists with
// their add, edit, copy, remove and sort commands, the master template list
// panel with its seven template slots, the update, restart and cancel
// commands, the message list and the transfer display.
//
// The window is built anew at each opening and loads its lists, the last
// master template list and the Mode file then; closing it saves the board
// lists and remembers the last master template list. Its controls are public
// members named like the form's controls.
#include "remote/boardlist.h"
#include "remote/templateslots.h"
#include "remote/updaterun.h"

#include <QDialog>
#include <QIcon>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace remote {
class MessageList;
}

class frmOrvaneComm : public QDialog {
    Q_OBJECT
public:
    explicit frmOrvaneComm(QWidget* parent = nullptr);
    ~frmOrvaneComm() override;

    static constexpr int kSuccessIcon = 1;
    static constexpr int kFailedIcon = 2;

    // ---- Loading and closing ----
    void Form_Load();
    void ApplyMode();
    void LoadIPLists();
    void SaveIPLists();
    // Closing by the user (close box): refused while a run is busy.
    // Returns true when the window may close (the lists are then saved).
    bool Form_QueryUnload(bool byUser);
    // "Close".
    void btnCancel_Click();
    // Closing by the program (shut-down): a busy run is cancelled and ends
    // before the window saves and goes away.
    void closeByProgram();

    // ---- Board lists ----
    void btnAdd_Click();
    void btnEdit_Click(int index);
    void btnIPAdd_Click();
    void btnIPCancel_Click();
    void btnApply_Click();
    void btnRemove_Click();
    void RemoveSelectedIP();
    // Sorts a list (0 saved, 1 destination) by a column (1-based), flipping
    // the order when the same column is clicked again.
    void columnClick(int list, int column);
    // The rows of a list (0 saved, 1 destination) as they stand.
    remote::BoardList boards(int list) const;
    // The status icon of a destination row: 0 none, kSuccessIcon, kFailedIcon.
    int boardIcon(int row) const;
    void setBoardIcon(int row, int icon);

    // ---- Messages and buttons ----
    void AddMessage(const QString& text);
    void SetButtonsBusy();
    void SetButtonsIdle();

    // ---- Master template list ----
    void btnLoadMTL_Click();
    void LoadMTL(const QString& path);
    void btnSaveMTL_Click();
    void SaveMTL(const QString& path);
    void btnTplBrowser_Click(int index);
    void btnClear_Click(int index);
    bool blnAnyTemplateLoaded() const;
    bool slotMarked(int index) const { return wrongTemplate_[size_t(index)]; }

    // ---- Update, restart, cancel ----
    void btnUpdate_Click(int index);
    void UpdatePlayers(int mode);
    void btnRetart_Click();
    void btnCancelProcess_Click();
    bool busy() const { return mblnBusy; }
    // Runs on the run's own thread: makes the upload layer for one update
    // run or restart (the boards' FTP port 21 unless replaced).
    std::function<std::unique_ptr<remote::Uploader>(const std::atomic<bool>& cancel, remote::TransferDisplay* display)>
        makeUploader;

    // ---- State ----
    bool mblnBusy = false;
    std::atomic<bool> mblnCancel{false};
    QString mstrConfirmFile;
    QString mstrIPListFile;
    QString mstrDestIPListFile;
    int mintEditIndex = 0;
    int mlngEditList = -1;
    int mlngMode = 0;
    QString mstrCurrentMTL;

    // ---- Controls ----
    QWidget* fraMTL = nullptr;
    QPushButton* btnLoadMTL = nullptr;
    QPushButton* btnSaveMTL = nullptr;
    std::array<QLabel*, remote::kSlotCount> lblTemplate{};
    std::array<QLineEdit*, remote::kSlotCount> txtTplFile{};
    std::array<QPushButton*, remote::kSlotCount> btnTplBrowser{};
    std::array<QPushButton*, remote::kSlotCount> btnClear{};

    QWidget* picComm = nullptr;
    QTreeWidget* showIPListView = nullptr;
    QTreeWidget* lvDestIPList = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnApply = nullptr;
    std::array<QPushButton*, 2> btnEdit{};
    QPushButton* btnRemove = nullptr;
    std::array<QPushButton*, 2> btnUpdate{};
    QPushButton* btnRetart = nullptr;
    QPushButton* btnCancelProcess = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* lblStatus = nullptr;
    remote::MessageList* lstMessage = nullptr;
    QLabel* lblFileLengthVal = nullptr;
    QLabel* lblFileLenCountVal = nullptr;
    QLabel* lblTimeLeftVal = nullptr;
    QProgressBar* FileProgressBar = nullptr;

    QWidget* picAdd = nullptr;
    QLineEdit* txtIPAddress = nullptr;
    QLineEdit* txtNote = nullptr;
    QPushButton* btnIPAdd = nullptr;
    QPushButton* btnIPCancel = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildSurface();
    void buildTemplatePanel();
    void buildCommPanel();
    void buildAddPanel();
    QTreeWidget* list(int index) const { return index == 0 ? showIPListView : lvDestIPList; }
    void fillList(QTreeWidget* view, const remote::BoardList& rows);
    QTreeWidgetItem* addRow(QTreeWidget* view, const QString& address, const QString& note);
    // Fills a slot and sets its mark for what it now holds; `fromList` when
    // a master template list named the path.
    void setSlot(int index, const QString& path, bool wrong, bool fromList = false);
    void setMark(int index, bool wrong);
    // Checks what was typed into a slot since its mark was last set, by the
    // rule every slot goes through (slotTemplateRefused).
    void checkTypedSlot(int index);
    void setCaptionFor(const QString& path);
    void saveOnClose();
    // Runs `work` on a thread of its own, with an update run over a new
    // upload layer; `then` gets its result on the window's thread when it
    // has ended.
    void startWork(std::function<int(remote::UpdateRun&)> work, std::function<void(int)> then);
    // Waits for the work's end and runs its `then`.
    void endWork();
    void finishUpdate(bool done);
    // Shows what a running update reported since the last call.
    void takeReports();
    // AddMessage for several lines at once.
    void addMessages(const QStringList& texts);
    void setItemIcon(QTreeWidgetItem* item, int icon);
    // Tells the running update what a destination row holds now, or that
    // it was removed; other rows (saved ones, ones added during the run)
    // are no concern of it.
    void runRowChanged(const QTreeWidgetItem* item, bool removed = false);

    class RunSide;
    std::unique_ptr<RunSide> runSide_;
    QTimer* reportTimer_ = nullptr; // takes the reports while work runs
    QThread* worker_ = nullptr;
    std::function<void(int)> then_;
    int workResult_ = 0;
    // The destination rows of the running update by their place in the
    // list when it started (rows move when sorted); null once removed. The
    // run takes a row's address when it comes to the row, and the row shows
    // the result only while it holds the address the run sent to (rows can
    // be edited during a run).
    std::vector<QTreeWidgetItem*> runRows_;
    std::array<bool, 2> unreadableList_{}; // a board list whose file could not be read
    bool closingByProgram_ = false;

    std::array<bool, remote::kSlotCount> wrongTemplate_{};
    // The text each slot's mark was set for, and the path the last master
    // template list named for it ("" when the slot was filled otherwise).
    std::array<QString, remote::kSlotCount> checkedText_;
    std::array<QString, remote::kSlotCount> listedText_;
    std::array<int, 2> sortColumn_{};
    std::array<bool, 2> sortDescending_{};
    bool closed_ = false;
    QIcon icons_[3];
};
