// The lists and start values of the main window's inputs, and the wiring of
// every control to its handler. A value set from code runs the same handler
// as the user's action whenever it really changes the control's value.
#include "shell/frmmain.h"

#include "core/datagrids.h"
#include "platform/gridview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

QStringList numberedLines(int count)
{
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items << QStringLiteral("Line %1").arg(i);
    return items;
}

// Fills a list without selecting anything and without running its handler.
void fillList(QComboBox* list, const QStringList& items)
{
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1);
    if (list->isEditable())
        list->clearEditText();
}

} // namespace

void frmMain::runHandler(const QString& name, const std::function<void()>& handler)
{
    if (handlerObserver)
        handlerObserver(name);
    handler();
}

void frmMain::InitControls()
{
    fillList(cboDataFileType, {QStringLiteral("Micros/Opera/Tamrisk"), QStringLiteral("Delphi"), QStringLiteral("EBMS"),
                               QStringLiteral("Rizura Vivud"), QStringLiteral("Basic Text")});
    // Wide enough to show its longest entry whole.
    cboDataFileType->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cboDataFileType->setCurrentIndex(3);

    fillList(CmbFontName, QFontDatabase::families());
    CmbFontName->setEditText(QStringLiteral("Arial"));

    QStringList sizes;
    for (int size = 2; size <= 200; size += 2)
        sizes << QString::number(size);
    fillList(CmbFontSize, sizes);
    CmbFontSize->setEditText(QStringLiteral("30"));

    fillList(cmbFontAlignment, {QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Center")});
    cmbFontAlignment->setCurrentIndex(0);

    fillList(cboTemplateSelection,
             {QStringLiteral("Default Template"), QStringLiteral("Template with 1 record"),
              QStringLiteral("Template with 2 records"), QStringLiteral("Template with 3 records"),
              QStringLiteral("Template with 4 records"), QStringLiteral("Template with 5 records"),
              QStringLiteral("Template with 6 records")});
    fillList(cboRecordLines, numberedLines(12));

    Grid& playList = dataGrids().igTemplates;
    playList.SetRedraw(false);
    playList.Clear(true);
    playList.AddCol(QStringLiteral("Template"), QString(), true, 2);
    playList.SetRedraw(true);

    fillList(cboAssignedField, numberedLines(17));
    fillList(cboSortSelection, {QStringLiteral("None"), QStringLiteral("Ascending"), QStringLiteral("Descending")});
    cboSortSelection->setCurrentIndex(0);
    fillList(cboSortGroup, QStringList{QStringLiteral("None")} + numberedLines(17));
    fillList(cboSortLine, numberedLines(17));

    optLayout[0]->setChecked(true);
    txtRecordsPerPage->setText(QStringLiteral("1"));
    vsRecordsPerPage->setMaximum(6);
    vsRecordsPerPage->setValue(vsRecordsPerPage->maximum());
    vsRecordsPerPage->setMinimum(1);
    txtDwellTime->setText(QStringLiteral("10"));
    optBackgroundType[0]->setChecked(true);
    chkTitle->setChecked(false);
    chkDateFormat->setChecked(false);
    chkTimeFormat->setChecked(false);
    runHandler(QStringLiteral("DisableLineRows"), [this] { neighbours.DisableLineRows(); });
    runHandler(QStringLiteral("initURGridColumns"), [this] { initURGridColumns(); });
}

void frmMain::connectHandlers()
{
    // A list's Click runs when an entry becomes selected.
    auto onSelect = [this](QComboBox* list, const QString& name, std::function<void()> handler) {
        connect(list, &QComboBox::currentIndexChanged, this, [this, name, handler](int index) {
            if (index >= 0)
                runHandler(name, handler);
        });
    };
    auto onText = [this](QLineEdit* box, const QString& name, std::function<void()> handler) {
        connect(box, &QLineEdit::textChanged, this, [this, name, handler] { runHandler(name, handler); });
    };
    auto onCheck = [this](QCheckBox* box, const QString& name, std::function<void()> handler) {
        connect(box, &QCheckBox::stateChanged, this, [this, name, handler] { runHandler(name, handler); });
    };
    auto onScroll = [this](QScrollBar* bar, const QString& name, std::function<void()> handler) {
        connect(bar, &QScrollBar::valueChanged, this, [this, name, handler] { runHandler(name, handler); });
    };
    auto onClick = [this](QAbstractButton* button, const QString& name, std::function<void()> handler) {
        connect(button, &QAbstractButton::clicked, this, [this, name, handler] { runHandler(name, handler); });
    };
    auto onOption = [this](QRadioButton* option, const QString& name, std::function<void()> handler) {
        connect(option, &QRadioButton::toggled, this, [this, name, handler](bool on) {
            if (on)
                runHandler(name, handler);
        });
    };
    auto onMenu = [this](QAction* action, std::function<void()> handler) {
        connect(action, &QAction::triggered, this, [handler] { handler(); });
    };

    // General settings.
    onSelect(cboDataFileType, QStringLiteral("cboDataFileType_Click"), [this] { cboDataFileType_Click(); });
    for (int i = 0; i < 2; ++i)
        onOption(optRunSettings[i], QStringLiteral("optRunSettings_Click(%1)").arg(i),
                 [this, i] { optRunSettings_Click(i); });
    onClick(cmdDataFileBrowser, QStringLiteral("cmdDataFileBrowser_Click"), [this] { cmdDataFileBrowser_Click(); });
    onClick(btnEBMSBookingBrowser, QStringLiteral("btnEBMSBookingBrowser_Click"),
            [this] { btnEBMSBookingBrowser_Click(); });
    onClick(btnEBMSIDLookupBrowser, QStringLiteral("btnEBMSIDLookupBrowser_Click"),
            [this] { btnEBMSIDLookupBrowser_Click(); });
    onClick(btnImgBrowser, QStringLiteral("btnImgBrowser_Click"), [this] { btnImgBrowser_Click(); });
    onText(txtDwellTime, QStringLiteral("txtDwellTime_Change"), [this] { txtDwellTime_Change(); });
    onScroll(vsDwellTime, QStringLiteral("vsDwellTime_Change"), [this] { vsDwellTime_Change(); });
    onCheck(chkDayTimeValidation, QStringLiteral("chkDayTimeValidation_Click"),
            [this] { chkDayTimeValidation_Click(); });
    onSelect(cboSortSelection, QStringLiteral("cboSortSelection_Click"), [this] { cboSortSelection_Click(); });

    // Record Data Manager and template designer spinners.
    onScroll(vsRecord, QStringLiteral("vsRecord_Change"), [this] { vsRecord_Change(); });
    onScroll(vsRecordsPerPage, QStringLiteral("vsRecordsPerPage_Change"), [this] { vsRecordsPerPage_Change(); });

    // Template view.
    // The slot change runs on the user's choice only (also when the same
    // entry is chosen again), never when code selects an entry.
    connect(cboTemplateSelection, &QComboBox::activated, this, [this] {
        runHandler(QStringLiteral("cboTemplateSelection_Click"), [this] { neighbours.cboTemplateSelection_Click(); });
    });
    for (int i = 0; i < 2; ++i)
        onOption(optLayout[i], QStringLiteral("optLayout_Click(%1)").arg(i), [this, i] { optLayout_Click(i); });
    onSelect(cboResolution, QStringLiteral("cboResolution_Click"), [this] { cboResolution_Click(); });
    onSelect(cboRotation, QStringLiteral("cboRotation_Click"), [this] { cboRotation_Click(); });
    for (int i = 0; i < 2; ++i)
        onOption(optBackgroundType[i], QStringLiteral("optBackgroundType_Click(%1)").arg(i),
                 [this, i] { optBackgroundType_Click(i); });
    onClick(btnBackgroundColor, QStringLiteral("btnBackgroundColor_Click"), [this] { btnBackgroundColor_Click(); });
    onClick(btnBackgroundImageBrowser, QStringLiteral("btnBackgroundImageBrowser_Click"),
            [this] { btnBackgroundImageBrowser_Click(); });
    onText(txtBackgroundImagename, QStringLiteral("txtBackgroundImagename_Change"),
           [this] { txtBackgroundImagename_Change(); });
    onClick(btnPiPBrowser, QStringLiteral("btnPiPBrowser_Click"), [this] { btnPiPBrowser_Click(); });
    onCheck(chkTitle, QStringLiteral("chkTitle_Click"), [this] { chkTitle_Click(); });
    onCheck(chkDateFormat, QStringLiteral("chkDateFormat_Click"), [this] { chkDateFormat_Click(); });
    onCheck(chkTimeFormat, QStringLiteral("chkTimeFormat_Click"), [this] { chkTimeFormat_Click(); });
    onCheck(chkPiP, QStringLiteral("chkPiP_Click"), [this] { chkPiP_Click(); });
    for (auto& [index, option] : optGroup) {
        const int i = index;
        onOption(option, QStringLiteral("optGroup_Click(%1)").arg(i), [this, i] { optGroup_Click(i); });
    }

    // Side buttons.
    onClick(btnTemplate, QStringLiteral("btnTemplate_Click"), [this] { btnTemplate_Click(); });
    onClick(btnRecordDataManager, QStringLiteral("btnRecordDataManager_Click"),
            [this] { btnRecordDataManager_Click(); });
    onClick(btnProgress, QStringLiteral("btnProgress_Click"), [this] { btnProgress_Click(); });
    onClick(btnFNW, QStringLiteral("btnFNW_Click"), [this] { btnFNW_Click(); });

    // Menus.
    onMenu(mnuSaveTemplate, [this] { mnuSaveTemplate_Click(); });
    onMenu(mnuSave, [this] { mnuSave_Click(); });
    onMenu(mnuExit, [this] { mnuExit_Click(); });
    for (int i = 0; i < 2; ++i)
        onMenu(mnuSetStatus[i], [this, i] { mnuSetStatus_Click(i); });
    onMenu(mnuTemplateSettings, [this] { mnuTemplateSettings_Click(); });
    onMenu(mnuRenderDataManager, [this] { mnuRenderDataManager_Click(); });
    onMenu(mnuRestart, [this] { neighbours.mnuRestart_Click(); });
    onMenu(mnuStop, [this] { neighbours.mnuStop_Click(); });
    onMenu(mnuCommunication, [this] { mnuCommunication_Click(); });
    onMenu(mnuFNW, [this] { mnuFNW_Click(); });
    onMenu(mnuHide, [this] { mnuHide_Click(); });

    // Typed-key filters.
    for (QObject* o : std::initializer_list<QObject*>{txtDwellTime, cboRotation, cboSortGroup, cboSortLine,
                                                      cboSortSelection, cboTemplateSelection})
        o->installEventFilter(this);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (typed.isEmpty())
        return QMainWindow::eventFilter(watched, event);
    const int original = typed.at(0).unicode();
    int key = original;
    if (watched == txtDwellTime)
        txtDwellTime_KeyPress(key);
    else if (watched == cboRotation)
        cboRotation_KeyPress(key);
    else if (watched == cboSortGroup)
        cboSortGroup_KeyPress(key);
    else if (watched == cboSortLine)
        cboSortLine_KeyPress(key);
    else if (watched == cboSortSelection)
        cboSortSelection_KeyPress(key);
    else if (watched == cboTemplateSelection)
        cboTemplateSelection_KeyPress(key);
    // A handler that replaces the typed character swallows the key.
    if (key != original)
        return true;
    return QMainWindow::eventFilter(watched, event);
}
