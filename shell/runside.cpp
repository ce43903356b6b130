#include "shell/runside.h"

#include "records/ftp/frmftp.h"
#include "run/control/convertwait.h"
#include "run/control/qtruntimer.h"
#include "run/control/runcontroller.h"
#include "run/pages/pagecycle.h"
#include "shell/frmmain.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTimer>

namespace {

void setEnabled(QAction* action, const std::optional<bool>& on)
{
    if (action && on)
        action->setEnabled(*on);
}

void setShown(QWidget* panel, const std::optional<bool>& on)
{
    if (panel && on)
        panel->setVisible(*on);
}

} // namespace

class RunSide::Window final : public RunWindow {
public:
    Window(frmMain& w, QLabel* time)
        : w_(w)
        , time_(time)
    {
    }
    void LoadSettings(const QString& path, const std::function<void()>& sourcesNamed) override
    {
        w_.LoadSettings(path, sourcesNamed);
    }
    void SaveSettings(const QString& path) override { w_.SaveSettings(path); }
    void mnuHide_Click() override { w_.mnuHide_Click(); }
    void minimise() override { w_.setWindowState(w_.windowState() | Qt::WindowMinimized); }
    void showWindow() override { w_.showAfterRun(); }
    void applyMenus(const RunMenus& m) override
    {
        setEnabled(w_.mnuRestart, m.restart);
        setEnabled(w_.mnuRun, m.run);
        setEnabled(w_.mnuStop, m.stop);
        setEnabled(w_.mnuFile ? w_.mnuFile->menuAction() : nullptr, m.file);
        setEnabled(w_.mnuStatus ? w_.mnuStatus->menuAction() : nullptr, m.status);
        setEnabled(w_.mnuCommunication, m.communication);
    }
    void applyPanels(const RunPanels& p) override
    {
        setShown(w_.fraProgress, p.progress);
        setShown(w_.fraTemplates, p.templates);
        setShown(w_.fraRDM, p.rdm);
        setShown(w_.fraRDMControls, p.rdmControls);
    }
    void HideSelectionFrame() override { w_.neighbours.HideSelectionFrame(); }
    void selectTemplateSlot(int index) override { w_.neighbours.selectTemplateSlot(index); }
    bool standAlone() const override { return w_.chkRunAsStandAlone->checkState() == Qt::Checked; }
    bool ftpMode() const override { return w_.optRunSettings[1]->isChecked(); }
    void showTime(const QString& t) override
    {
        if (time_)
            time_->setText(t);
    }
    void yieldEvents(int times) override
    {
        for (int i = 0; i < times; ++i)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void wait(int ms) override
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    bool closing() const override { return w_.isShutDown(); }

private:
    frmMain& w_;
    QPointer<QLabel> time_;
};

RunSide* RunSide::install(frmMain& window)
{
    if (RunSide* existing = of(window))
        return existing;
    return new RunSide(window);
}

RunSide* RunSide::of(const frmMain& window)
{
    return window.findChild<RunSide*>(QString(), Qt::FindDirectChildrenOnly);
}

RunSide::RunSide(frmMain& window)
    : QObject(&window)
    , window_(window)
{
    lblTime_ = new QLabel(&window);
    lblTime_->setObjectName(QStringLiteral("lblTime"));
    lblTime_->setMinimumWidth(lblTime_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 ")));
    window.menuBar()->setCornerWidget(lblTime_, Qt::TopRightCorner);

    keyTimer_ = new QTimer(this);
    keyTimer_->setInterval(100);
    adapter_ = std::make_unique<Window>(window, lblTime_);
    start_ = std::make_unique<QtRunTimer>(window.StartTimer);
    load_ = std::make_unique<QtRunTimer>(window.LoadSettingsTimer);
    clock_ = std::make_unique<QtRunTimer>(window.runClock);
    keys_ = std::make_unique<QtRunTimer>(keyTimer_);
    controller_ = std::make_unique<RunController>(*adapter_, RunTimers{*start_, *load_, *clock_, *keys_});
    controller_->setFtpFileState(
        [&window](const QString& server, const QString& user, const QString& password, const QString& file) {
            return window.frmFTP ? window.frmFTP->FTPFileTimeAndSize(server, user, password, file) : ftp::FileState();
        });
    controller_->setFtpFetchReport([&window](const QString& file) {
        return window.frmFTP ? window.frmFTP->report(file) : std::optional<FetchReport>();
    });
    // Every fetch of the settings loads takes only the copies the run's
    // change watch decided to take.
    if (window.frmFTP) {
        RunController* rule = controller_.get();
        window.frmFTP->setMayTake(
            [rule](const QString& file, const ftp::FileState& found) { return rule->mayTakeFtpCopy(file, found); });
    }
    // The page cycle and its off-screen page are made here, while the
    // start-up timer runs, not in the start timer's tick of the first run.
    pages::PageCycle* cycle = &pages::programPageCycle();
    controller_->setPageRoutine({[cycle] { return cycle->blnRenderNextPage(); }, [cycle] { cycle->resetCursors(); },
                                 [cycle] { return cycle->lastSave().playerName; }});
    convert_ = std::make_unique<ConvertWaitWindow>();

    RunController* run = controller_.get();
    window.neighbours.mnuRestart_Click = [run] { run->mnuRestart_Click(); };
    window.neighbours.mnuStop_Click = [run] { run->mnuStop_Click(); };
    ConvertWaitWindow* convert = convert_.get();
    window.neighbours.closeConvertWindow = [convert] { convert->close(); };
    connect(window.mnuRun, &QAction::triggered, this, [run] { run->mnuRun_Click(); });
}

// The window's members are gone by the time its children are destroyed:
// nothing of the window is touched here.
RunSide::~RunSide() = default;

void RunSide::setPageRoutine(PageRoutine page)
{
    controller_->setPageRoutine(std::move(page));
}

void RunSide::setDisplay(DisplayPort* display)
{
    controller_->setDisplay(display);
}
