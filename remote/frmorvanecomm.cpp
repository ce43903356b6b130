#include "remote/frmorvanecomm.h"

#include "core/globals.h"
#include "core/modmain.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "remote/messagelist.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <mutex>
#include <optional>

using namespace remote;

namespace {

const QString kCaption = QStringLiteral("Orvane Communication");
const QString kBusyClose = QStringLiteral("Update process is running, please cancel the process before exiting");
const QString kMtlFilter = QStringLiteral("Master Template List Files (*.MTL)|*.MTL|");
// How often the window takes the reports of a running update.
constexpr int kReportIntervalMs = 50;

// Form units: the layout is given in twips, 15 to a pixel.
constexpr int px(int twips)
{
    return twips / 15;
}

QPushButton* button(QWidget* parent, const QString& caption, int left, int top, int width, int height,
                    const QString& tip = QString())
{
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(px(left), px(top), px(width), px(height));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const QString& caption, int left, int top, int width = 1800, int height = 240)
{
    auto* l = new QLabel(caption, parent);
    l->setGeometry(px(left), px(top), px(width), px(height));
    return l;
}

// 15 x 13 status pictures: a green tick for success, a red cross for failure.
QIcon statusIcon(bool success)
{
    QPixmap pm(15, 13);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (success) {
        p.setPen(QPen(QColor(0, 150, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2, 7), QPointF(6, 11), QPointF(13, 2)}));
    } else {
        p.setPen(QPen(QColor(210, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 2), QPointF(12, 11));
        p.drawLine(QPointF(12, 2), QPointF(3, 11));
    }
    p.end();
    return QIcon(pm);
}

} // namespace

// The run's reports, handed from the run's thread to the window's. They are
// gathered here and the window takes them in batches: a run over thousands
// of boards that fail at once reports far faster than the lists can redraw,
// and one queued call per report would keep the window from painting and
// from seeing "Cancel Process".
//
// It also keeps what each destination row of the run holds, for the run to
// take when it comes to the row: the window tells it of every edit and
// removal at once.
class frmOrvaneComm::RunSide final : public RunView, public TransferDisplay {
public:
    struct Result {
        int row;
        QString address; // the address the run sent to
        bool success;
    };
    struct Reports {
        QStringList messages;          // in the order written
        std::optional<QString> status; // the last status line
        std::vector<Result> results;   // in order
        // The transfer display's fields as last set.
        std::optional<QString> length, bytes, timeLeft;
        std::optional<int> percent;
    };

    // The rows of a new run, in list order.
    void setRows(const QStringList& addresses)
    {
        const std::lock_guard lock(mutex_);
        rows_.assign(addresses.begin(), addresses.end());
    }
    // What row `row` holds now; nothing once it was removed.
    void setRow(int row, const std::optional<QString>& address)
    {
        const std::lock_guard lock(mutex_);
        if (row >= 0 && size_t(row) < rows_.size())
            rows_[size_t(row)] = address;
    }
    int boardCount() override
    {
        const std::lock_guard lock(mutex_);
        return int(rows_.size());
    }
    std::optional<QString> boardAddress(int row) override
    {
        const std::lock_guard lock(mutex_);
        return row >= 0 && size_t(row) < rows_.size() ? rows_[size_t(row)] : std::nullopt;
    }
    void addMessage(const QString& text) override
    {
        const std::lock_guard lock(mutex_);
        reports_.messages << text;
    }
    void setStatusLine(const QString& text) override
    {
        const std::lock_guard lock(mutex_);
        reports_.status = text;
    }
    void setBoardResult(int row, const QString& address, bool success) override
    {
        const std::lock_guard lock(mutex_);
        reports_.results.push_back({row, address, success});
    }
    void started(qint64 length) override
    {
        const std::lock_guard lock(mutex_);
        reports_.length = QString::number(length);
        reports_.bytes = QString();
    }
    void progress(qint64 bytes, int percent, const QString& timeLeft) override
    {
        const std::lock_guard lock(mutex_);
        reports_.bytes = QString::number(bytes);
        reports_.percent = percent;
        if (!timeLeft.isEmpty())
            reports_.timeLeft = timeLeft;
    }
    void cleared() override
    {
        const std::lock_guard lock(mutex_);
        reports_.length = reports_.bytes = reports_.timeLeft = QString();
        reports_.percent = 0;
    }
    // Everything reported since the last take.
    Reports take()
    {
        const std::lock_guard lock(mutex_);
        return std::exchange(reports_, Reports());
    }

private:
    std::mutex mutex_;
    Reports reports_;
    std::vector<std::optional<QString>> rows_;
};

frmOrvaneComm::frmOrvaneComm(QWidget* parent)
    : QDialog(parent)
    , runSide_(std::make_unique<RunSide>())
{
    makeUploader = [](const std::atomic<bool>& cancel, TransferDisplay* display) {
        auto ftp = std::make_unique<BoardFtp>(cancel);
        ftp->setDisplay(display);
        return std::unique_ptr<Uploader>(std::move(ftp));
    };
    setModal(true);
    setWindowTitle(kCaption);
    icons_[kSuccessIcon] = statusIcon(true);
    icons_[kFailedIcon] = statusIcon(false);
    buildSurface();
    reportTimer_ = new QTimer(this);
    reportTimer_->setInterval(kReportIntervalMs);
    connect(reportTimer_, &QTimer::timeout, this, [this] { takeReports(); });
    Form_Load();
}

frmOrvaneComm::~frmOrvaneComm()
{
    if (worker_) {
        closingByProgram_ = true;
        mblnCancel = true;
        endWork();
    }
}

// ---------------------------------------------------------------- surface

void frmOrvaneComm::buildSurface()
{
    setFixedSize(px(8790), px(8745));
    // The layout is measured for a small dialog font.
    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(11);
    setFont(small);
    buildTemplatePanel();
    buildCommPanel();
    buildAddPanel();
}

void frmOrvaneComm::buildTemplatePanel()
{
    auto* frame = new QGroupBox(QStringLiteral("Master Template List"), this);
    fraMTL = frame;
    frame->setGeometry(px(120), 0, px(8535), px(3135));
    btnLoadMTL = button(frame, QStringLiteral("Load Master Template List"), 240, 240, 2175, 255);
    btnSaveMTL = button(frame, QStringLiteral("Save Master Template List"), 2520, 240, 2175, 255);
    // Styles that draw the frame's caption above its line push the line
    // down to where the two buttons start: keep them below it.
    const int inside = frame->contentsRect().top() + 1;
    for (QPushButton* b : {btnLoadMTL, btnSaveMTL}) {
        if (b->y() < inside)
            b->setGeometry(b->x(), inside, b->width(), std::min(b->height(), px(600) - 2 - inside));
    }
    connect(btnLoadMTL, &QPushButton::clicked, this, [this] { btnLoadMTL_Click(); });
    connect(btnSaveMTL, &QPushButton::clicked, this, [this] { btnSaveMTL_Click(); });
    for (int i = 0; i < kSlotCount; ++i) {
        const int top = 600 + 360 * i;
        lblTemplate[i] = label(frame, slotCaption(i), 120, top, 1815, 285);
        lblTemplate[i]->setToolTip(slotKey(i));
        txtTplFile[i] = new QLineEdit(frame);
        txtTplFile[i]->setGeometry(px(1920), px(top), px(5175), px(285));
        btnTplBrowser[i] =
            button(frame, QStringLiteral("Load"), 7200, top, 615, 255, QStringLiteral("Load a template"));
        btnClear[i] = button(frame, QStringLiteral("Clear"), 7800, top, 615, 255);
        connect(btnTplBrowser[i], &QPushButton::clicked, this, [this, i] { btnTplBrowser_Click(i); });
        connect(btnClear[i], &QPushButton::clicked, this, [this, i] { btnClear_Click(i); });
        // A typed path is checked once typed (Return, or the focus leaving
        // the box), and again when a run starts.
        connect(txtTplFile[i], &QLineEdit::editingFinished, this, [this, i] { checkTypedSlot(i); });
    }
}

void frmOrvaneComm::buildCommPanel()
{
    picComm = new QWidget(this);
    picComm->setGeometry(px(120), px(3240), px(8535), px(5415));

    label(picComm, QStringLiteral("Saved IP Addresses"), 120, 120, 2400);
    label(picComm, QStringLiteral("Destination IP Address:"), 3840, 120, 2400);
    auto makeList = [this](int left) {
        auto* v = new QTreeWidget(picComm);
        v->setGeometry(px(left), px(360), px(2565), px(1545));
        v->setColumnCount(2);
        v->setHeaderLabels({QStringLiteral("IP Address"), QStringLiteral("Note")});
        v->setColumnWidth(0, px(1200));
        v->setColumnWidth(1, px(1300));
        v->setRootIsDecorated(false);
        // Every row is one line high: the list need not measure each of
        // thousands of rows when they change.
        v->setUniformRowHeights(true);
        v->setSelectionMode(QAbstractItemView::ExtendedSelection);
        v->setIconSize(QSize(15, 13));
        v->header()->setSectionsClickable(true);
        return v;
    };
    showIPListView = makeList(120);
    lvDestIPList = makeList(3720);
    connect(showIPListView->header(), &QHeaderView::sectionClicked, this, [this](int c) { columnClick(0, c + 1); });
    connect(lvDestIPList->header(), &QHeaderView::sectionClicked, this, [this](int c) { columnClick(1, c + 1); });
    connect(showIPListView, &QTreeWidget::itemDoubleClicked, this, [this] { btnEdit_Click(0); });
    connect(lvDestIPList, &QTreeWidget::itemDoubleClicked, this, [this] { btnEdit_Click(1); });

    btnAdd = button(picComm, QStringLiteral("New"), 2760, 360, 855, 300, QStringLiteral("Add New IP Address"));
    btnApply = button(picComm, QStringLiteral("Add >>"), 2760, 720, 855, 300, QStringLiteral("Apply IP Address"));
    btnEdit[0] = button(picComm, QStringLiteral("<< Edit "), 2760, 1080, 855, 240, QStringLiteral("Edit IP Address"));
    btnEdit[1] = button(picComm, QStringLiteral("Edit >>"), 2760, 1320, 855, 240, QStringLiteral("Edit IP Address"));
    btnRemove = button(picComm, QStringLiteral("Remove"), 2760, 1680, 855, 300, QStringLiteral("Remove IP Address"));
    connect(btnAdd, &QPushButton::clicked, this, [this] { btnAdd_Click(); });
    connect(btnApply, &QPushButton::clicked, this, [this] { btnApply_Click(); });
    connect(btnEdit[0], &QPushButton::clicked, this, [this] { btnEdit_Click(0); });
    connect(btnEdit[1], &QPushButton::clicked, this, [this] { btnEdit_Click(1); });
    connect(btnRemove, &QPushButton::clicked, this, [this] { btnRemove_Click(); });

    btnUpdate[0] = button(picComm, QStringLiteral("Update"), 6360, 120, 855, 300);
    btnUpdate[1] = button(picComm, QStringLiteral("Admin Update"), 7200, 120, 1215, 300);
    btnUpdate[1]->hide();
    btnRetart = button(picComm, QStringLiteral("Restart Orvane"), 6360, 480, 2055, 300);
    btnCancelProcess = button(picComm, QStringLiteral("Cancel Process"), 6360, 1200, 2055, 300);
    btnCancel = button(picComm, QStringLiteral("Close"), 6360, 1560, 2055, 300);
    connect(btnUpdate[0], &QPushButton::clicked, this, [this] { btnUpdate_Click(0); });
    connect(btnUpdate[1], &QPushButton::clicked, this, [this] { btnUpdate_Click(1); });
    connect(btnRetart, &QPushButton::clicked, this, [this] { btnRetart_Click(); });
    connect(btnCancelProcess, &QPushButton::clicked, this, [this] { btnCancelProcess_Click(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancel_Click(); });

    // The caption reaches a little under the status line, whose text keeps
    // clear of it.
    label(picComm, QStringLiteral("Process Message:"), 120, 1920, 1500);
    lblStatus = label(picComm, QString(), 1440, 1920, 7000);
    lblStatus->setIndent(px(120));
    lstMessage = new MessageList(picComm);
    lstMessage->setGeometry(px(120), px(2160), px(8295), px(2010));

    auto* progress = new QWidget(picComm);
    progress->setGeometry(px(120), px(4200), px(8280), px(1095));
    label(progress, QStringLiteral("File length:"), 0, 60, 1500);
    lblFileLengthVal = label(progress, QString(), 1500, 60, 1800);
    label(progress, QStringLiteral("Bytes transferred:"), 3360, 60, 1500);
    lblFileLenCountVal = label(progress, QString(), 4860, 60, 1800);
    label(progress, QStringLiteral("Time Remaining:"), 0, 360, 1500);
    lblTimeLeftVal = label(progress, QString(), 1500, 360, 1800);
    FileProgressBar = new QProgressBar(progress);
    FileProgressBar->setRange(0, 100);
    FileProgressBar->setGeometry(0, px(690), px(8280), px(300));
}

void frmOrvaneComm::buildAddPanel()
{
    picAdd = new QFrame(this);
    static_cast<QFrame*>(picAdd)->setFrameShape(QFrame::Panel);
    static_cast<QFrame*>(picAdd)->setFrameShadow(QFrame::Raised);
    picAdd->setAutoFillBackground(true);
    picAdd->setGeometry(px(2880), px(3600), px(3615), px(1695));
    label(picAdd, QStringLiteral("IP Address:"), 120, 165, 1000);
    txtIPAddress = new QLineEdit(picAdd);
    txtIPAddress->setGeometry(px(1140), px(120), px(2340), px(315));
    label(picAdd, QStringLiteral("Note:"), 120, 585, 1000);
    txtNote = new QLineEdit(picAdd);
    txtNote->setGeometry(px(1140), px(540), px(2340), px(315));
    btnIPAdd = button(picAdd, QStringLiteral("OK"), 1140, 1080, 1095, 360);
    btnIPCancel = button(picAdd, QStringLiteral("Cancel"), 2385, 1080, 1095, 360);
    connect(btnIPAdd, &QPushButton::clicked, this, [this] { btnIPAdd_Click(); });
    connect(btnIPCancel, &QPushButton::clicked, this, [this] { btnIPCancel_Click(); });
    connect(txtIPAddress, &QLineEdit::returnPressed, this, [this] { btnIPAdd_Click(); });
    connect(txtNote, &QLineEdit::returnPressed, this, [this] { btnIPAdd_Click(); });
    picAdd->hide();
}

// ---------------------------------------------------------------- loading and closing

void frmOrvaneComm::Form_Load()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    mstrConfirmFile = gstrRemoteFolder + QStringLiteral("/CommConfirm.txt");
    lblStatus->resize(width(), lblStatus->height());
    FileProgressBar->setValue(FileProgressBar->maximum());
    mstrIPListFile = gstrProgramFolder + QStringLiteral("/IPAddress.txt");
    mstrDestIPListFile = gstrProgramFolder + QStringLiteral("/DestIPAddress.txt");
    LoadIPLists();
    showIPListView->clearSelection();
    lvDestIPList->clearSelection();
    mstrCurrentMTL = modMain::ReadLastLoadValue(QStringLiteral("Communication"), QStringLiteral("MTL"));
    LoadMTL(mstrCurrentMTL);
    ApplyMode();
    SetButtonsIdle();
}

void frmOrvaneComm::ApplyMode()
{
    mlngMode = readMode(gstrProgramFolder + QStringLiteral("/Mode.txt"));
    if (mlngMode == 1) {
        btnUpdate[0]->resize(px(855), btnUpdate[0]->height());
        btnUpdate[1]->show();
    } else {
        btnUpdate[0]->resize(btnCancelProcess->width(), btnUpdate[0]->height());
        btnUpdate[1]->hide();
    }
}

void frmOrvaneComm::saveOnClose()
{
    if (closed_)
        return;
    closed_ = true;
    SaveIPLists();
    modMain::WriteLastLoadValue(QStringLiteral("Communication"), QStringLiteral("MTL"), mstrCurrentMTL);
}

bool frmOrvaneComm::Form_QueryUnload(bool byUser)
{
    if (byUser && mblnBusy) {
        services::message(kBusyClose, MsgIcon::Exclamation);
        return false;
    }
    saveOnClose();
    return true;
}

void frmOrvaneComm::btnCancel_Click()
{
    if (mblnBusy) {
        services::message(kBusyClose, MsgIcon::Exclamation);
        return;
    }
    saveOnClose();
    done(QDialog::Accepted);
}

void frmOrvaneComm::closeByProgram()
{
    // A running update is cancelled and ends before the window goes.
    closingByProgram_ = true;
    if (worker_) {
        mblnCancel = true;
        endWork();
    }
    Form_QueryUnload(false);
    if (isVisible())
        done(QDialog::Accepted);
}

void frmOrvaneComm::closeEvent(QCloseEvent* event)
{
    if (!closed_ && !Form_QueryUnload(true)) {
        event->ignore();
        return;
    }
    event->accept();
    done(QDialog::Rejected);
}

void frmOrvaneComm::reject()
{
    // Esc cancels the add/edit panel; the window itself closes only through
    // "Close" or its close box.
    if (!picAdd->isHidden())
        btnIPCancel_Click();
}

// ---------------------------------------------------------------- messages and buttons

void frmOrvaneComm::AddMessage(const QString& text)
{
    // What a running update wrote before comes first.
    takeReports();
    addMessages({text});
}

void frmOrvaneComm::addMessages(const QStringList& texts)
{
    lstMessage->addLines(texts, StatusLog::stamp(services::clock().now()) + QStringLiteral(" - "));
}

void frmOrvaneComm::takeReports()
{
    RunSide::Reports r = runSide_->take();
    if (!r.messages.isEmpty())
        addMessages(r.messages);
    if (r.status)
        lblStatus->setText(*r.status);
    for (const RunSide::Result& result : r.results) {
        if (result.row < 0 || size_t(result.row) >= runRows_.size())
            continue;
        // A row whose address was changed after the run took it is no
        // longer the board the result is about.
        QTreeWidgetItem* item = runRows_[size_t(result.row)];
        if (item && item->text(0).trimmed() == result.address)
            setItemIcon(item, result.success ? kSuccessIcon : kFailedIcon);
    }
    if (r.length)
        lblFileLengthVal->setText(*r.length);
    if (r.bytes)
        lblFileLenCountVal->setText(*r.bytes);
    if (r.timeLeft)
        lblTimeLeftVal->setText(*r.timeLeft);
    if (r.percent)
        FileProgressBar->setValue(*r.percent);
}

void frmOrvaneComm::SetButtonsBusy()
{
    btnAdd->setEnabled(false);
    btnRemove->setEnabled(false);
    btnUpdate[0]->setEnabled(false);
    btnUpdate[1]->setEnabled(false);
    btnCancelProcess->setEnabled(true);
}

void frmOrvaneComm::SetButtonsIdle()
{
    btnAdd->setEnabled(true);
    btnRemove->setEnabled(true);
    btnUpdate[0]->setEnabled(true);
    btnUpdate[1]->setEnabled(true);
    btnCancelProcess->setEnabled(false);
}

// ---------------------------------------------------------------- master template list

void frmOrvaneComm::setSlot(int index, const QString& path, bool wrong, bool fromList)
{
    txtTplFile[index]->setText(path);
    listedText_[size_t(index)] = fromList ? path : QString();
    setMark(index, wrong);
}

void frmOrvaneComm::setMark(int index, bool wrong)
{
    checkedText_[size_t(index)] = txtTplFile[index]->text();
    wrongTemplate_[size_t(index)] = wrong;
    QPalette pal = txtTplFile[index]->palette();
    pal.setColor(QPalette::Base, wrong ? QColor(255, 0, 0) : QColor(255, 255, 255));
    txtTplFile[index]->setPalette(pal);
}

void frmOrvaneComm::checkTypedSlot(int index)
{
    if (index < 0 || index >= kSlotCount)
        return;
    const QString text = txtTplFile[index]->text();
    if (text == checkedText_[size_t(index)])
        return;
    // Typed back to what the list named, it is the list's path again.
    const bool listed = !listedText_[size_t(index)].isEmpty() && text == listedText_[size_t(index)];
    setMark(index, slotTemplateRefused(checkSlotTemplate(index, text), listed));
}

void frmOrvaneComm::setCaptionFor(const QString& path)
{
    mstrCurrentMTL = path;
    setWindowTitle(kCaption + QStringLiteral(" - ") + paths::fileNameOf(path));
}

void frmOrvaneComm::btnLoadMTL_Click()
{
    QString path;
    if (services::files().chooseOpen(QStringLiteral("Select a Master Template List"), gstrMTLFolder, kMtlFilter,
                                     path) &&
        !path.isEmpty())
        LoadMTL(path);
}

void frmOrvaneComm::LoadMTL(const QString& path)
{
    // A list that does not exist changes nothing. One that exists but cannot
    // be read (a device, a pipe, an oversized file) changes nothing either,
    // and the user is told why.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || (info.isFile() && !modMain::blnFileExists(path)))
        return;
    QStringList problems;
    {
        BusyGuard busy;
        SlotPaths paths;
        QString error;
        if (!readMasterList(path, paths, &error)) {
            problems << error;
        } else {
            for (int i = 0; i < kSlotCount; ++i) {
                QString why;
                const SlotFit fit = checkSlotTemplate(i, paths[i], &why);
                if (!why.isEmpty())
                    problems << why;
                setSlot(i, paths[i], slotTemplateRefused(fit, true), true);
            }
            // A template that several slots name is named once.
            problems.removeDuplicates();
            setCaptionFor(path);
        }
    }
    if (!problems.isEmpty())
        services::message(problems.join(QLatin1Char('\n')), MsgIcon::Exclamation);
}

void frmOrvaneComm::btnSaveMTL_Click()
{
    QString path;
    if (!services::files().chooseSave(QStringLiteral("Save Master Template List"), gstrMTLFolder, kMtlFilter, QString(),
                                      true, path) ||
        path.isEmpty())
        return;
    // A name given without an ending gets the one Load Master Template List
    // shows. The dialog asked about replacing the name as given, not this
    // one.
    if (QFileInfo(paths::fileNameOf(path)).suffix().isEmpty() && !path.endsWith(QLatin1Char('/'))) {
        if (path.endsWith(QLatin1Char('.')))
            path.chop(1);
        path += QStringLiteral(".MTL");
        if (QFileInfo::exists(path) &&
            services::message(QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(path),
                              MsgIcon::Exclamation, MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
    }
    SaveMTL(path);
}

void frmOrvaneComm::SaveMTL(const QString& path)
{
    BusyGuard busy;
    SlotPaths paths;
    for (int i = 0; i < kSlotCount; ++i)
        paths[i] = txtTplFile[i]->text();
    QString error;
    if (!writeMasterList(path, paths, &error)) {
        services::message(error, MsgIcon::Exclamation);
        return;
    }
    setCaptionFor(path);
}

void frmOrvaneComm::btnTplBrowser_Click(int index)
{
    if (index < 0 || index >= kSlotCount)
        return;
    QString path;
    if (!services::files().chooseOpen(QStringLiteral("Select a Orvane Template"), gstrTemplatesFolder,
                                      QStringLiteral("Orvane Template Files (*.ORVT)|*.ORVT|"), path) ||
        path.isEmpty())
        return;
    QString why;
    const SlotFit fit = checkSlotTemplate(index, path, &why);
    if (fit == SlotFit::Unreadable) {
        // Not a template that could be read at all: say which file and why.
        services::message(why, MsgIcon::Exclamation);
        return;
    }
    if (fit != SlotFit::Fits) {
        services::message(QStringLiteral("Wrong template file."), MsgIcon::Exclamation);
        return;
    }
    setSlot(index, path.trimmed(), false);
}

void frmOrvaneComm::btnClear_Click(int index)
{
    if (index >= 0 && index < kSlotCount)
        setSlot(index, QString(), false);
}

bool frmOrvaneComm::blnAnyTemplateLoaded() const
{
    for (const QLineEdit* box : txtTplFile) {
        if (modMain::blnFileExists(box->text().trimmed()))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------- update, restart, cancel

void frmOrvaneComm::btnUpdate_Click(int index)
{
    if (index < 0 || index > 1)
        return;
    if (mblnBusy) {
        services::message(QStringLiteral("One process is running, can't do any other process now."),
                          MsgIcon::Exclamation);
        return;
    }
    if (lvDestIPList->topLevelItemCount() == 0) {
        services::message(QStringLiteral("No IP Address in Destination IP Address List."));
        return;
    }
    if (index == 1 && !modMain::blnFileExists(gstrSettingsFile)) {
        services::message(QStringLiteral("Please save Orvane settings before updating."), MsgIcon::Exclamation);
        return;
    }
    if (!blnAnyTemplateLoaded()) {
        services::message(
            QStringLiteral("Please load/save at least one template in Master Template List before updating."),
            MsgIcon::Exclamation);
        return;
    }
    UpdatePlayers(index == 1 ? 1 : 2);
}

void frmOrvaneComm::UpdatePlayers(int mode)
{
    // A path typed but not yet checked (still being typed when Update was
    // pressed) is checked now: the run sends what the slots hold, as marked.
    for (int i = 0; i < kSlotCount; ++i)
        checkTypedSlot(i);
    RunSetup setup;
    setup.mode = mode == 1 ? 1 : 2;
    runRows_.clear();
    QStringList addresses;
    for (int i = 0; i < lvDestIPList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvDestIPList->topLevelItem(i);
        runRows_.push_back(item);
        addresses << item->text(0);
    }
    runSide_->setRows(addresses);
    for (int i = 0; i < kSlotCount; ++i) {
        setup.slots[size_t(i)] = txtTplFile[size_t(i)]->text();
        setup.wrongTemplate[size_t(i)] = wrongTemplate_[size_t(i)];
    }
    setup.settingsFile = gstrSettingsFile;
    setup.confirmFile = mstrConfirmFile;
    setup.mediaFolder = gstrMediaFolder;

    setCursor(Qt::BusyCursor);
    SetButtonsBusy();
    mblnCancel = false;
    mblnBusy = true;
    startWork([setup](UpdateRun& run) { return int(run.run(setup)); },
              [this](int end) { finishUpdate(RunEnd(end) == RunEnd::Done); });
}

void frmOrvaneComm::finishUpdate(bool done)
{
    if (done && !closingByProgram_)
        services::message(QStringLiteral("Update process is done"));
    mblnBusy = false;
    SetButtonsIdle();
    FileProgressBar->setValue(FileProgressBar->maximum());
    unsetCursor();
}

void frmOrvaneComm::startWork(std::function<int(UpdateRun&)> work, std::function<void(int)> then)
{
    then_ = std::move(then);
    worker_ = QThread::create([this, work = std::move(work)] {
        const std::unique_ptr<Uploader> uploader = makeUploader(mblnCancel, runSide_.get());
        UpdateRun run(*uploader, *runSide_, mblnCancel);
        workResult_ = work(run);
    });
    connect(
        worker_, &QThread::finished, this, [this] { endWork(); }, Qt::QueuedConnection);
    reportTimer_->start();
    worker_->start();
}

void frmOrvaneComm::endWork()
{
    if (!worker_)
        return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    reportTimer_->stop();
    takeReports();
    runRows_.clear();
    if (auto then = std::exchange(then_, nullptr))
        then(workResult_);
}

void frmOrvaneComm::runRowChanged(const QTreeWidgetItem* item, bool removed)
{
    const auto found = std::find(runRows_.begin(), runRows_.end(), item);
    if (!item || found == runRows_.end())
        return;
    const int row = int(found - runRows_.begin());
    if (removed) {
        // Not sent to if the run has not come to it yet; its entry goes, so
        // that a row added later in its place in memory is not taken for it.
        *found = nullptr;
        runSide_->setRow(row, std::nullopt);
    } else {
        runSide_->setRow(row, item->text(0));
    }
}

void frmOrvaneComm::btnRetart_Click()
{
    const QTreeWidgetItem* item = lvDestIPList->currentItem();
    if (!item || !item->isSelected()) {
        const QList<QTreeWidgetItem*> selected = lvDestIPList->selectedItems();
        item = selected.isEmpty() ? nullptr : selected.first();
    }
    if (!item) {
        services::message(QStringLiteral("Please select/enter an IP Address."));
        return;
    }
    if (mblnBusy) {
        services::message(QStringLiteral("One process is running, can't do any other process now."),
                          MsgIcon::Exclamation);
        return;
    }
    mblnBusy = true;
    mblnCancel = false;
    setCursor(Qt::WaitCursor);
    const QString address = item->text(0).trimmed();
    const QString confirm = mstrConfirmFile;
    startWork([address, confirm](UpdateRun& run) { return int(run.restart(address, confirm)); },
              [this, address](int status) {
                  unsetCursor();
                  if (!closingByProgram_) {
                      if (TransferStatus(status) == TransferStatus::Completed)
                          services::message(QStringLiteral("Successfully restart Orvane at ") + address);
                      else
                          services::message(QStringLiteral("Connection timeout! Could not restart the Orvane."),
                                            MsgIcon::Exclamation);
                  }
                  mblnBusy = false;
              });
}

void frmOrvaneComm::btnCancelProcess_Click()
{
    if (mblnCancel)
        return;
    if (!mblnBusy) {
        services::message(QStringLiteral("No process to be cancelled!"), MsgIcon::Exclamation, MsgButtons::Ok,
                          QStringLiteral("No sending process"));
        return;
    }
    mblnCancel = true;
    AddMessage(QStringLiteral("Cancelling sending/retrieving process, please wait..."));
}
