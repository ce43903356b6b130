#pragma once
// The run side of the main window: the run control over the window's
// StartTimer, LoadSettingsTimer and runClock, its Process menu commands,
// the clock label, and the conversion wait window. install() is called once,
// after the data side; the object lives as a child of the window.
#include <QObject>

#include <memory>

class ConvertWaitWindow;
class DisplayPort;
class QLabel;
class QTimer;
class QtRunTimer;
class RunController;
class frmMain;
struct PageRoutine;

class RunSide : public QObject {
    Q_OBJECT
public:
    // A second call returns the first object.
    static RunSide* install(frmMain& window);
    static RunSide* of(const frmMain& window);
    ~RunSide() override;

    RunController& controller() { return *controller_; }
    // The page routine and the stand-alone display (null: none) of the run.
    void setPageRoutine(PageRoutine page);
    void setDisplay(DisplayPort* display);
    ConvertWaitWindow& convertWindow() { return *convert_; }
    QLabel* lblTime() const { return lblTime_; }

private:
    explicit RunSide(frmMain& window);
    class Window;

    frmMain& window_;
    QLabel* lblTime_ = nullptr;
    QTimer* keyTimer_ = nullptr;
    std::unique_ptr<Window> adapter_;
    std::unique_ptr<QtRunTimer> start_, load_, clock_, keys_;
    std::unique_ptr<RunController> controller_;
    std::unique_ptr<ConvertWaitWindow> convert_;
};
