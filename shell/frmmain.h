#pragma once
// The main window: menus, side buttons, the settings panel with its frames,
// the status log view, the notification-area icon, start-up and shut-down.
//
// The window is shared by every subsystem. Its controls are public members
// named like the form's controls (control arrays are std::array or, for the
// group options with their index 99, a map). Handlers that belong to other
// parts of the program are declared here and defined in their own files;
// operations of other subsystems are reached through `neighbours`.
#include "shell/neighbours.h"
#include "shell/settingsside.h"

#include <QMainWindow>
#include <QSystemTrayIcon>

#include <array>
#include <functional>
#include <map>
#include <memory>

class GridView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QScrollBar;
class QTimer;
class StatusListModel;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- Operations of other subsystems (stand-ins until installed) ----
    ShellNeighbours neighbours;
    // Called with a handler's name each time a control's change runs its
    // handler (for tracing the start-up cascade).
    std::function<void(const QString&)> handlerObserver;

    // ---- Start-up ----
    // Caption, placement, folders and paths, lists and inputs. The one-shot
    // start-up timer was started when the window was created, so its wait
    // covers the building of the window; its tick never runs before the Load
    // has finished (a tick due earlier comes a full interval after the Load).
    void Form_Load(const QString& programFolder, const QString& playerFolder);
    // Runs each time the window becomes the active window.
    void Form_Activate();
    // The start-up timer's tick: Player mode starts the run, else Editor mode.
    void StartupTimer_Timer();
    // Another copy of the program was started: bring this window back.
    void restoreFromOtherInstance();
    // A run has stopped: the window shows again. While its icon is in a
    // notification area that is there, it shows as the run left it
    // (minimised, the icon staying in the area); otherwise nothing else could
    // bring it back, so it comes back as a second start brings it. Nothing
    // once the shut-down has begun.
    void showAfterRun();
    // Fills the lists and sets the start values of the inputs.
    void InitControls();

    // ---- Editor and Player mode ----
    void mnuSetStatus_Click(int Index);
    void SetControlsByStatus();
    void SetStatusValue(int value);
    bool isPlayerMode() const;

    // ---- Views and menus ----
    void btnTemplate_Click();
    void btnProgress_Click();
    void btnRecordDataManager_Click();
    void mnuTemplateSettings_Click();
    void mnuRenderDataManager_Click();
    void mnuCommunication_Click();

    // ---- Status log, notification-area icon, shut-down ----
    void statusMessage(const QString& text);
    // Hides the window in the notification area: the icon shows there when
    // the session has one, and the tray timer looks for the area each second
    // while the window stays hidden in it.
    void mnuHide_Click();
    // The tray timer's tick, while the window is hidden in the notification
    // area: an area that has come since shows the icon; an area that has
    // gone from under the icon brings the window back, as a second start
    // does. An area that was never there leaves the window waiting for the
    // run's Stop. Nothing once the shut-down has begun.
    void TrayTimer_Timer();
    // The notification-area icon's events: a double click brings the window
    // back as a second start does (not minimised, raised and active; a tray
    // without a task bar could not restore a minimised window); every other
    // event does nothing, and nothing once the shut-down has begun.
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    bool trayIconPresent() const { return trayIconPresent_; }
    void mnuExit_Click();
    void ShutdownProgram();
    bool isShutDown() const { return shutDown_; }

    // ---- Hosts for panels of other subsystems ----
    void setRecordDataManagerPanel(QWidget* panel);  // inside fraRDM
    void setRecordEditControlsPanel(QWidget* panel); // inside fraRDMControls
    void setDateTimeValidationPanel(QWidget* panel); // inside fraDateTimeValidation
    void setFontPanel(QWidget* panel);               // inside fraFont, below its lists
    void setTemplateCommandsPanel(QWidget* panel);   // inside fraTemplates
    void setDesignerPreview(QWidget* preview);       // the preview area of fraTemplates
    // The play-list panel takes the place of the window's own grid and
    // buttons; the members then name the panel's controls.
    void setPlayListPanel(QWidget* panel, GridView* view, QPushButton* add, QPushButton* remove);

    // Input state by colour: open = enabled with a white background, closed
    // = disabled with the button-face colour.
    static void setInputOpen(QWidget* input, bool open);
    static bool inputIsWhite(const QWidget* input);

    // ---- Settings handlers (defined by the settings panel's files) ----
    void SaveSettings(const QString& path);
    void SaveDisplaySettings(const QString& path);
    QString GetStatusSetting();
    // `sourcesNamed` runs once the data and booking file names are in the
    // globals, before anything is fetched or converted (the run's change
    // watch takes the files there). frmFTP's reports afterwards tell this
    // load's fetches only.
    void LoadSettings(const QString& path, const std::function<void()>& sourcesNamed = {});
    void LoadDefaultSettings(const QString& path);
    // Records kept by hand (Data Type "3") live in the working record file:
    // when the grid is empty, that file is loaded so the grid shows them.
    void loadOwnRecordsWhenEmpty();
    void mnuSave_Click();
    void mnuSaveTemplate_Click();
    void optRunSettings_Click(int Index);
    void txtDwellTime_Change();
    void txtDwellTime_KeyPress(int& KeyAscii);
    void vsDwellTime_Change();
    void btnEBMSIDLookupBrowser_Click();
    void cboSortSelection_Click();
    void cboRotation_KeyPress(int& KeyAscii);
    void cboSortGroup_KeyPress(int& KeyAscii);
    void cboSortLine_KeyPress(int& KeyAscii);
    void cboSortSelection_KeyPress(int& KeyAscii);
    void cboTemplateSelection_KeyPress(int& KeyAscii);
    void chkDayTimeValidation_Click();
    void vsRecord_Change();
    void ShowRecordInLines(int row);
    void vsRecordsPerPage_Change();
    void optLayout_Click(int Index);
    void FillResolutionList(int index);
    void cboResolution_Click();
    void cboRotation_Click();
    void optBackgroundType_Click(int Index);
    void btnBackgroundColor_Click();
    void setBackgroundColor(const QString& colorText);
    void btnBackgroundImageBrowser_Click();
    void loadBackgroundFile(const QString& file);
    void txtBackgroundImagename_Change();
    void btnImgBrowser_Click();
    void btnPiPBrowser_Click();
    void chkTitle_Click();
    void chkDateFormat_Click();
    void chkTimeFormat_Click();
    void chkPiP_Click();
    void optGroup_Click(int Index);
    void mnuFNW_Click();
    void btnFNW_Click();
    void WriteFNWSettings(const QString& path);

    // ---- Data source handlers (defined by the record store's files) ----
    void cboDataFileType_Click();
    void cmdDataFileBrowser_Click();
    void btnEBMSBookingBrowser_Click();
    void initURGridColumns();

    // ---- Settings side: the loaders a settings load drives, the FTP worker
    // they fetch with, and the launcher of the sibling program (nullptr: the
    // system's) ----
    SettingsLoaders loaders;
    std::unique_ptr<FrmFTP> frmFTP;
    fenwold::Launcher* fenwoldLauncher = nullptr;
    // The layout keys of a load: orientation, size and rotation.
    void applyScreenSettings(const settingsload::ScreenKeys& screen);

    // ---- Form members ----
    int mlngRDMRow = 0;
    int mlngRDMCol = 0;
    int mResolutionValue1 = 0;
    int mResolutionValue2 = 0;

    // ---- Timers (all stopped until code starts them) ----
    QTimer* StartupTimer = nullptr;      // 100 ms, start-up
    QTimer* StartTimer = nullptr;        // 100 ms, run cycle start
    QTimer* LoadSettingsTimer = nullptr; // 10 ms, run cycle
    QTimer* runClock = nullptr;          // 1000 ms, run cycle clock
    QTimer* TrayTimer = nullptr;         // 1000 ms, while hidden in the notification area

    QSystemTrayIcon* trayIcon = nullptr;

    // ---- Menus ----
    QMenu* mnuFile = nullptr;
    QAction* mnuSaveTemplate = nullptr;
    QAction* mnuSaveTemplateSeparator = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuStatus = nullptr;
    std::array<QAction*, 2> mnuSetStatus{};
    QMenu* mnuEditor = nullptr;
    QAction* mnuTemplateSettings = nullptr;
    QAction* mnuRenderDataManager = nullptr;
    QMenu* mnuProcess = nullptr;
    QAction* mnuRestart = nullptr;
    QAction* mnuRun = nullptr;
    QAction* mnuStop = nullptr;
    QAction* mnuCommunication = nullptr;
    QAction* mnuFNW = nullptr;
    QAction* mnuHide = nullptr;
    QMenu* mnuPopup = nullptr;
    std::array<QAction*, 3> mnuAlignment{};
    QAction* mnuAlignRecordlines = nullptr;
    QMenu* mnuPicPopup = nullptr;
    QAction* mnuAdjustBackToOriginal = nullptr;
    QAction* mnuHideGrid = nullptr;
    QMenu* mnuShowGrid = nullptr;
    std::array<QAction*, 3> mnuGridScale{};
    QMenu* mnuGridLinesColor = nullptr;
    std::array<QAction*, 5> mnuGridLineColor{};

    // ---- The surface and the side buttons ----
    QScrollArea* scrollArea = nullptr;
    QWidget* picSettings = nullptr;
    QScrollBar* VScroll1 = nullptr; // the surface's scroll bars
    QScrollBar* HScroll1 = nullptr;
    QPushButton* btnTemplate = nullptr;
    QPushButton* btnRecordDataManager = nullptr;
    QPushButton* btnProgress = nullptr;
    QPushButton* btnFNW = nullptr;

    // ---- "General Orvane Settings" ----
    QGroupBox* fraORVSettings = nullptr;
    QComboBox* cboDataFileType = nullptr;
    std::array<QRadioButton*, 2> optRunSettings{};
    std::array<QGroupBox*, 2> fraRunSettings{};
    QLineEdit* txtDataFilename = nullptr;
    QLineEdit* txtDataFile = nullptr;
    QPushButton* cmdDataFileBrowser = nullptr;
    QLineEdit* txtEBMSBookingFilename = nullptr;
    QLineEdit* txtEBMSBookingFile = nullptr;
    QPushButton* btnEBMSBookingBrowser = nullptr;
    QLineEdit* txtFTPFilename = nullptr;
    QLineEdit* txtFTPServer = nullptr;
    QLineEdit* txtFTPUsername = nullptr;
    QLineEdit* txtFTPPassword = nullptr;
    QLineEdit* txtFTPBookingFilename = nullptr;
    QGroupBox* fraEBMSIDLookup = nullptr;
    QLineEdit* txtEBMSIDLookupFilename = nullptr;
    QLineEdit* txtEBMSIDLookupFile = nullptr;
    QPushButton* btnEBMSIDLookupBrowser = nullptr;
    QLineEdit* txtImageFilename = nullptr;
    QLineEdit* txtImageFile = nullptr;
    QPushButton* btnImgBrowser = nullptr;
    QLineEdit* txtDwellTime = nullptr;
    QScrollBar* vsDwellTime = nullptr;
    QCheckBox* chkRunAsStandAlone = nullptr;
    GridView* igTemplatesView = nullptr; // shows dataGrids().igTemplates
    QPushButton* btnAddTemplate = nullptr;
    QPushButton* btnRemoveTemplate = nullptr;
    QCheckBox* chkDayTimeValidation = nullptr;
    QLineEdit* txtValidStartTime = nullptr;
    QLineEdit* txtValidEndTime = nullptr;
    QLineEdit* txtValidStartDays = nullptr;
    QLineEdit* txtValidEndDays = nullptr;
    QComboBox* cboAssignedField = nullptr;
    QLineEdit* txtAssignedLocation = nullptr;
    QComboBox* cboSortSelection = nullptr;
    QComboBox* cboSortGroup = nullptr;
    QComboBox* cboSortLine = nullptr;

    // ---- "Record": the twelve line rows ----
    QGroupBox* fraRecord = nullptr;
    std::array<QLabel*, 12> lblLine{};
    std::array<QLineEdit*, 12> txtLine{};
    std::array<QPushButton*, 12> btnLineFormat{};
    std::array<QCheckBox*, 12> chkLine{};
    std::array<QCheckBox*, 12> chkRecordLines{};
    std::map<int, QRadioButton*> optGroup; // 0..11 "Group this line", 99 "No Group"
    QGroupBox* fraDateTimeValidation = nullptr;

    // ---- "Template Settings" ----
    QGroupBox* fraTemplates = nullptr;
    QComboBox* cboTemplateSelection = nullptr;
    QLineEdit* TxtTplName = nullptr;
    QComboBox* cboRecordLines = nullptr;
    QLineEdit* txtRecordsPerPage = nullptr;
    QScrollBar* vsRecordsPerPage = nullptr;
    QLineEdit* txtSelRecord = nullptr; // the selected template record, from 1
    QScrollBar* vsSelRecord = nullptr; // its selector, counting downwards
    std::array<QRadioButton*, 2> optLayout{};
    QComboBox* cboResolution = nullptr;
    QComboBox* cboRotation = nullptr;
    std::array<QRadioButton*, 2> optBackgroundType{};
    QLabel* lblBackgroundColor = nullptr;
    QLineEdit* txtBackgroundColor = nullptr;
    QPushButton* btnBackgroundColor = nullptr;
    QLabel* lblBackgroundImage = nullptr;
    QLineEdit* txtBackgroundImage = nullptr;
    QLineEdit* txtBackgroundImagename = nullptr;
    QPushButton* btnBackgroundImageBrowser = nullptr;
    QCheckBox* chkTitle = nullptr;
    QLineEdit* txtTitle = nullptr;
    QCheckBox* chkDateFormat = nullptr;
    QComboBox* cboDateFormat = nullptr;
    QCheckBox* chkTimeFormat = nullptr;
    QComboBox* cboTimeFormat = nullptr;
    std::array<QPushButton*, 3> btnLayout{}; // font of the title, date and time
    QCheckBox* chkPiP = nullptr;
    QLineEdit* txtPiP = nullptr;
    QPushButton* btnPiPBrowser = nullptr;
    QWidget* picBackgroundHost = nullptr; // where the designer preview goes
    QLabel* lblBGVideo = nullptr;         // "Background Video" marker on the preview
    QWidget* templateCommandsHost = nullptr;

    // ---- "Progress Status" ----
    QGroupBox* fraProgress = nullptr;
    QListView* lstStatus = nullptr;
    StatusListModel* statusModel = nullptr;

    // ---- "Record Data Manager" ----
    QGroupBox* fraRDM = nullptr;
    QLineEdit* txtRecord = nullptr;
    QScrollBar* vsRecord = nullptr;
    QWidget* rdmHost = nullptr;
    QGroupBox* fraRDMControls = nullptr;

    // ---- "Font" ----
    QGroupBox* fraFont = nullptr;
    QComboBox* CmbFontName = nullptr;
    QComboBox* CmbFontSize = nullptr;
    QComboBox* cmbFontAlignment = nullptr;
    QWidget* fontHost = nullptr;

Q_SIGNALS:
    // The shut-down has run and the window is closed: the program may end.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildSurface();
    QWidget* buildSideButtons();
    QGroupBox* buildSettingsFrame();
    QGroupBox* buildRecordFrame();
    QGroupBox* buildTemplatesFrame();
    QGroupBox* buildProgressFrame();
    QGroupBox* buildRDMFrame();
    QGroupBox* buildFontFrame();
    void connectHandlers();
    void runHandler(const QString& name, const std::function<void()>& handler);
    void placeWindow();
    // Ends the hiding in the notification area: the icon goes, and the
    // tray timer stops.
    void removeTrayIcon();
    // Whether the window's icon is in a notification area that is there:
    // shown by a hiding that has not ended, and the area still answering.
    bool iconInArea() const;
    // Removes the icon and puts the window on the screen: not minimised,
    // shown, raised and active; during a stand-alone run, under the
    // full-screen page, which keeps the focus.
    void bringBack();

    bool trayIconPresent_ = false;
    bool shutDown_ = false;
    bool loaded_ = false; // Form_Load has finished
    bool ended_ = false;
};
