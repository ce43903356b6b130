// The menu bar, the scrolled surface, the side buttons and the frame
// "General Orvane Settings".
#include "shell/frmmain.h"
#include "shell/frmmain_widgets.h"

#include "core/datagrids.h"
#include "platform/gridview.h"
#include "shell/startup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace frmmainwidgets;

void frmMain::buildMenus()
{
    QMenuBar* bar = menuBar();

    mnuFile = named(bar->addMenu(QStringLiteral("&File")), "mnuFile");
    mnuSaveTemplate = named(mnuFile->addAction(QStringLiteral("Save Template")), "mnuSaveTemplate");
    mnuSaveTemplate->setVisible(false);
    mnuSaveTemplateSeparator = mnuFile->addSeparator();
    mnuSaveTemplateSeparator->setVisible(false);
    mnuSave = named(mnuFile->addAction(QStringLiteral("Save Settings")), "mnuSave");
    mnuFile->addSeparator();
    mnuExit = named(mnuFile->addAction(QStringLiteral("Exit")), "mnuExit");

    mnuStatus = named(bar->addMenu(QStringLiteral("&Status")), "mnuStatus");
    const char* statusNames[] = {"Editor", "Player"};
    for (int i = 0; i < 2; ++i) {
        mnuSetStatus[i] = mnuStatus->addAction(QString::fromLatin1(statusNames[i]));
        mnuSetStatus[i]->setObjectName(QStringLiteral("mnuSetStatus%1").arg(i));
        mnuSetStatus[i]->setCheckable(true);
    }

    mnuEditor = named(bar->addMenu(QStringLiteral("Editor")), "mnuEditor");
    mnuTemplateSettings = named(mnuEditor->addAction(QStringLiteral("Template Settings")), "mnuTemplateSettings");
    mnuRenderDataManager = named(mnuEditor->addAction(QStringLiteral("Render Data Manager")), "mnuRenderDataManager");
    mnuEditor->menuAction()->setVisible(false);

    mnuProcess = named(bar->addMenu(QStringLiteral("&Process")), "mnuProcess");
    mnuRestart = named(mnuProcess->addAction(QStringLiteral("Start Program")), "mnuRestart");
    mnuRun = named(mnuProcess->addAction(QStringLiteral("Run Process")), "mnuRun");
    mnuRun->setVisible(false);
    mnuStop = named(mnuProcess->addAction(QStringLiteral("Stop")), "mnuStop");

    mnuCommunication = named(bar->addAction(QStringLiteral("&Communication")), "mnuCommunication");
    mnuFNW = named(bar->addAction(QStringLiteral("Fenwold")), "mnuFNW");
    mnuHide = named(bar->addAction(QStringLiteral("Hide To Systray")), "mnuHide");
    mnuHide->setVisible(false);

    // The designer's pop-up menus: never on the menu bar.
    mnuPopup = named(new QMenu(QStringLiteral("Popup"), this), "mnuPopup");
    const char* alignNames[] = {"Align All To Left", "Align All To Right", "Align All To Center"};
    for (int i = 0; i < 3; ++i) {
        mnuAlignment[i] = mnuPopup->addAction(QString::fromLatin1(alignNames[i]));
        mnuAlignment[i]->setObjectName(QStringLiteral("mnuAlignment%1").arg(i));
    }
    mnuPopup->addSeparator();
    mnuAlignRecordlines = named(mnuPopup->addAction(QStringLiteral("Align Record Lines")), "mnuAlignRecordlines");

    mnuPicPopup = named(new QMenu(QStringLiteral("PicPopup"), this), "mnuPicPopup");
    mnuAdjustBackToOriginal =
        named(mnuPicPopup->addAction(QStringLiteral("Restore to last saved")), "mnuAdjustBackToOriginal");
    mnuPicPopup->addSeparator();
    mnuHideGrid = named(mnuPicPopup->addAction(QStringLiteral("Hide Grid")), "mnuHideGrid");
    mnuShowGrid = named(mnuPicPopup->addMenu(QStringLiteral("Show Grid")), "mnuShowGrid");
    const char* scaleNames[] = {"Small", "Medium", "Large"};
    for (int i = 0; i < 3; ++i) {
        mnuGridScale[i] = mnuShowGrid->addAction(QString::fromLatin1(scaleNames[i]));
        mnuGridScale[i]->setObjectName(QStringLiteral("mnuGridScale%1").arg(i));
    }
    mnuGridLinesColor = named(mnuPicPopup->addMenu(QStringLiteral("Grid Lines Color")), "mnuGridLinesColor");
    const char* colorNames[] = {"Red", "Green", "Blue", "White", "Black"};
    for (int i = 0; i < 5; ++i) {
        mnuGridLineColor[i] = mnuGridLinesColor->addAction(QString::fromLatin1(colorNames[i]));
        mnuGridLineColor[i]->setObjectName(QStringLiteral("mnuGridLineColor%1").arg(i));
        mnuGridLineColor[i]->setCheckable(true);
    }
    mnuGridLineColor[3]->setChecked(true);
}

void frmMain::buildSurface()
{
    picSettings = new QWidget;
    picSettings->setObjectName(QStringLiteral("picSettings"));

    // The views take turns in one column, with the line rows and the font
    // panel below them.
    auto* views = new QVBoxLayout;
    views->setContentsMargins(0, 0, 0, 0);
    views->addWidget(buildTemplatesFrame());
    views->addWidget(buildProgressFrame());
    views->addWidget(buildRDMFrame());
    views->addWidget(buildRecordFrame());
    views->addWidget(buildFontFrame());
    views->addStretch(1);

    auto* row = new QHBoxLayout(picSettings);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(4);
    row->addWidget(buildSideButtons(), 0, Qt::AlignTop);
    row->addWidget(buildSettingsFrame(), 0, Qt::AlignTop);
    row->addLayout(views, 1);

    scrollArea = new QScrollArea;
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setWidget(picSettings);
    scrollArea->setWidgetResizable(true);
    scrollArea->setFrameShape(QFrame::NoFrame);
    VScroll1 = scrollArea->verticalScrollBar();
    HScroll1 = scrollArea->horizontalScrollBar();
    setCentralWidget(scrollArea);
    resize(startup::kDesignClientWidth, startup::kDesignClientHeight);
}

QWidget* frmMain::buildSideButtons()
{
    auto* box = new QWidget;
    auto* col = new QVBoxLayout(box);
    col->setContentsMargins(0, 0, 0, 0);
    btnTemplate = named(new QPushButton(QStringLiteral("Template Settings")), "btnTemplate");
    btnRecordDataManager = named(new QPushButton(QStringLiteral("Record Data Manager")), "btnRecordDataManager");
    btnProgress = named(new QPushButton(QStringLiteral("Progress Status")), "btnProgress");
    btnFNW = named(new QPushButton(QStringLiteral("Fenwold")), "btnFNW");
    // The column is as wide as its widest shown button: in Editor mode only
    // "Fenwold" is shown, and the narrow column leaves the views their room.
    for (QPushButton* b : {btnTemplate, btnRecordDataManager, btnProgress, btnFNW}) {
        b->setMinimumHeight(44);
        b->setMinimumWidth(qMax(72, b->sizeHint().width() + 8));
        col->addWidget(b);
    }
    col->addStretch(1);
    return box;
}

QGroupBox* frmMain::buildSettingsFrame()
{
    fraORVSettings = named(new QGroupBox(QStringLiteral("General Orvane Settings")), "fraORVSettings");
    auto* col = new QVBoxLayout(fraORVSettings);

    auto* source = new QGridLayout;
    cboDataFileType = named(listBox(), "cboDataFileType");
    source->addWidget(new QLabel(QStringLiteral("Data Type:")), 0, 0);
    source->addWidget(cboDataFileType, 0, 1);
    col->addLayout(source);

    optRunSettings[0] = named(new QRadioButton(QStringLiteral("Retrieve Data From Local")), "optRunSettings0");
    optRunSettings[1] = named(new QRadioButton(QStringLiteral("Retrieve Data From FTP")), "optRunSettings1");
    exclusiveGroup(this, {optRunSettings[0], optRunSettings[1]});
    col->addWidget(optRunSettings[0]);
    col->addWidget(optRunSettings[1]);

    fraRunSettings[0] = named(new QGroupBox(QStringLiteral("Data file settings")), "fraRunSettings0");
    {
        auto* g = new QGridLayout(fraRunSettings[0]);
        g->setHorizontalSpacing(4);
        txtDataFilename = named(textBox(), "txtDataFilename");
        txtDataFile = named(textBox(), "txtDataFile");
        cmdDataFileBrowser = named(browseButton(), "cmdDataFileBrowser");
        txtEBMSBookingFilename = named(textBox(), "txtEBMSBookingFilename");
        txtEBMSBookingFile = named(textBox(), "txtEBMSBookingFile");
        btnEBMSBookingBrowser = named(browseButton(), "btnEBMSBookingBrowser");
        g->addWidget(new QLabel(QStringLiteral("Data File:")), 0, 0);
        g->addWidget(txtDataFilename, 0, 1);
        g->addWidget(cmdDataFileBrowser, 0, 2);
        g->addWidget(txtDataFile, 1, 0, 1, 3);
        g->addWidget(new QLabel(QStringLiteral("EBMS Booking File:")), 2, 0);
        g->addWidget(txtEBMSBookingFilename, 2, 1);
        g->addWidget(btnEBMSBookingBrowser, 2, 2);
        g->addWidget(txtEBMSBookingFile, 3, 0, 1, 3);
    }
    col->addWidget(fraRunSettings[0]);

    fraRunSettings[1] = named(new QGroupBox(QStringLiteral("FTP Settings")), "fraRunSettings1");
    {
        auto* g = new QGridLayout(fraRunSettings[1]);
        txtFTPFilename = named(textBox(), "txtFTPFilename");
        txtFTPServer = named(textBox(), "txtFTPServer");
        txtFTPUsername = named(textBox(), "txtFTPUsername");
        txtFTPPassword = named(textBox(), "txtFTPPassword");
        txtFTPPassword->setEchoMode(QLineEdit::Password);
        txtFTPBookingFilename = named(textBox(), "txtFTPBookingFilename");
        const std::pair<const char*, QLineEdit*> rows[] = {{"FTP Filename:", txtFTPFilename},
                                                           {"FTP Server:", txtFTPServer},
                                                           {"FTP Username:", txtFTPUsername},
                                                           {"FTP Password:", txtFTPPassword},
                                                           {"FTP Booking Filename:", txtFTPBookingFilename}};
        int r = 0;
        for (const auto& [caption, box] : rows) {
            g->addWidget(new QLabel(QString::fromLatin1(caption)), r, 0);
            g->addWidget(box, r++, 1);
        }
    }
    fraRunSettings[1]->hide();
    col->addWidget(fraRunSettings[1]);

    fraEBMSIDLookup = named(new QGroupBox(QStringLiteral("EBMS ID Look Up File")), "fraEBMSIDLookup");
    {
        auto* g = new QGridLayout(fraEBMSIDLookup);
        txtEBMSIDLookupFilename = named(textBox(), "txtEBMSIDLookupFilename");
        txtEBMSIDLookupFile = named(textBox(), "txtEBMSIDLookupFile");
        btnEBMSIDLookupBrowser = named(browseButton(), "btnEBMSIDLookupBrowser");
        g->addWidget(txtEBMSIDLookupFilename, 0, 0);
        g->addWidget(btnEBMSIDLookupBrowser, 0, 1);
        g->addWidget(txtEBMSIDLookupFile, 1, 0, 1, 2);
    }
    col->addWidget(fraEBMSIDLookup);

    auto* run = new QGridLayout;
    txtImageFilename = named(textBox(), "txtImageFilename");
    txtImageFile = named(textBox(), "txtImageFile");
    btnImgBrowser = named(browseButton(), "btnImgBrowser");
    run->addWidget(new QLabel(QStringLiteral("Image File:")), 0, 0);
    run->addWidget(txtImageFilename, 0, 1, 1, 2);
    run->addWidget(btnImgBrowser, 0, 3);
    run->addWidget(txtImageFile, 1, 0, 1, 4);
    txtDwellTime = named(textBox(), "txtDwellTime");
    txtDwellTime->setMaximumWidth(60);
    vsDwellTime = named(spinner(), "vsDwellTime");
    // The spinner rests in the middle of its range, so that it can always
    // step either way; each step moves the number in the box by one.
    vsDwellTime->setRange(0, 2 * kDwellSpinnerRest);
    vsDwellTime->setValue(kDwellSpinnerRest);
    run->addWidget(new QLabel(QStringLiteral("Dwell Time:")), 2, 0);
    auto* dwell = new QHBoxLayout;
    dwell->addWidget(txtDwellTime);
    dwell->addWidget(vsDwellTime);
    dwell->addWidget(new QLabel(QStringLiteral("Seconds")));
    dwell->addStretch(1);
    run->addLayout(dwell, 2, 1, 1, 3);
    chkRunAsStandAlone = named(new QCheckBox(QStringLiteral("Run program as stand alone")), "chkRunAsStandAlone");
    run->addWidget(chkRunAsStandAlone, 3, 0, 1, 4);
    col->addLayout(run);

    auto* playList = new QGroupBox(QStringLiteral("Templates"));
    {
        auto* g = new QGridLayout(playList);
        igTemplatesView = named(new GridView(dataGrids().igTemplates), "igTemplates");
        igTemplatesView->verticalHeader()->hide();
        igTemplatesView->horizontalHeader()->setStretchLastSection(true);
        igTemplatesView->setMinimumHeight(90);
        igTemplatesView->setMaximumHeight(120);
        btnAddTemplate = named(new QPushButton(QStringLiteral("Add")), "btnAddTemplate");
        btnRemoveTemplate = named(new QPushButton(QStringLiteral("Remove")), "btnRemoveTemplate");
        g->addWidget(igTemplatesView, 0, 0, 3, 1);
        g->addWidget(btnAddTemplate, 0, 1);
        g->addWidget(btnRemoveTemplate, 1, 1);
    }
    col->addWidget(playList);

    auto* validity = new QGroupBox;
    {
        auto* g = new QGridLayout(validity);
        chkDayTimeValidation = named(new QCheckBox(QStringLiteral("Day/Time Validation")), "chkDayTimeValidation");
        txtValidStartTime = named(textBox(), "txtValidStartTime");
        txtValidEndTime = named(textBox(), "txtValidEndTime");
        txtValidStartDays = named(textBox(), "txtValidStartDays");
        txtValidEndDays = named(textBox(), "txtValidEndDays");
        g->addWidget(chkDayTimeValidation, 0, 0, 1, 2);
        const std::pair<const char*, QLineEdit*> rows[] = {{"Valid Start Time:", txtValidStartTime},
                                                           {"Valid End Time:", txtValidEndTime},
                                                           {"Valid Start Days:", txtValidStartDays},
                                                           {"Valid End Days:", txtValidEndDays}};
        int r = 1;
        for (const auto& [caption, box] : rows) {
            g->addWidget(new QLabel(QString::fromLatin1(caption)), r, 0);
            g->addWidget(box, r++, 1);
        }
    }
    col->addWidget(validity);

    auto* assigned = new QGridLayout;
    cboAssignedField = named(listBox(true), "cboAssignedField");
    cboAssignedField->setMinimumContentsLength(8); // "Line 17"
    txtAssignedLocation = named(textBox(), "txtAssignedLocation");
    assigned->addWidget(new QLabel(QStringLiteral("Assigned Field:")), 0, 0);
    assigned->addWidget(cboAssignedField, 0, 1);
    assigned->addWidget(new QLabel(QStringLiteral("Assigned Location:")), 1, 0);
    assigned->addWidget(txtAssignedLocation, 1, 1);
    col->addLayout(assigned);

    auto* sorting = new QGroupBox(QStringLiteral("Sorting"));
    {
        auto* g = new QGridLayout(sorting);
        cboSortSelection = named(listBox(), "cboSortSelection");
        cboSortLine = named(listBox(), "cboSortLine");
        cboSortGroup = named(listBox(), "cboSortGroup");
        g->addWidget(new QLabel(QStringLiteral("Sorted:")), 0, 0);
        g->addWidget(cboSortSelection, 0, 1);
        g->addWidget(new QLabel(QStringLiteral("Line:")), 1, 0);
        g->addWidget(cboSortLine, 1, 1);
        g->addWidget(new QLabel(QStringLiteral("Group:")), 2, 0);
        g->addWidget(cboSortGroup, 2, 1);
    }
    col->addWidget(sorting);
    col->addStretch(1);
    return fraORVSettings;
}
