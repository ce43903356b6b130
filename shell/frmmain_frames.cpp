// The frames "Record", "Template Settings", "Progress Status", "Record Data
// Manager" and "Font", and the hosts where other subsystems put their panels.
#include "shell/frmmain.h"
#include "shell/frmmain_widgets.h"

#include "platform/gridview.h"
#include "platform/statuslog.h"
#include "shell/statuslistmodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace frmmainwidgets;

namespace {

QWidget* host(const char* name)
{
    auto* w = new QWidget;
    w->setObjectName(QString::fromLatin1(name));
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    return w;
}

void putInto(QWidget* target, QWidget* panel)
{
    if (!target || !panel)
        return;
    if (!target->layout()) {
        auto* l = new QVBoxLayout(target);
        l->setContentsMargins(0, 0, 0, 0);
    }
    target->layout()->addWidget(panel);
}

} // namespace

QGroupBox* frmMain::buildRecordFrame()
{
    fraRecord = named(new QGroupBox(QStringLiteral("Record")), "fraRecord");
    auto* col = new QVBoxLayout(fraRecord);
    auto* g = new QGridLayout;
    g->setVerticalSpacing(2);
    auto* groups = new QButtonGroup(this);
    for (int i = 0; i < 12; ++i) {
        const QString n = QString::number(i);
        chkLine[i] = new QCheckBox;
        chkLine[i]->setObjectName(QStringLiteral("chkLine") + n);
        chkLine[i]->setToolTip(QStringLiteral("Show this line"));
        lblLine[i] = new QLabel(QStringLiteral("Line %1").arg(i + 1));
        lblLine[i]->setObjectName(QStringLiteral("lblLine") + n);
        txtLine[i] = textBox();
        txtLine[i]->setObjectName(QStringLiteral("txtLine") + n);
        txtLine[i]->setMinimumWidth(120);
        btnLineFormat[i] = new QPushButton(QStringLiteral("..."));
        btnLineFormat[i]->setObjectName(QStringLiteral("btnLineFormat") + n);
        btnLineFormat[i]->setFixedWidth(28);
        btnLineFormat[i]->setToolTip(QStringLiteral("Line format"));
        chkRecordLines[i] = new QCheckBox;
        chkRecordLines[i]->setObjectName(QStringLiteral("chkRecordLines") + n);
        chkRecordLines[i]->setToolTip(QStringLiteral("Record line"));
        auto* opt = new QRadioButton(QStringLiteral("Group this line"));
        opt->setObjectName(QStringLiteral("optGroup") + n);
        groups->addButton(opt, i);
        optGroup[i] = opt;
        g->addWidget(chkLine[i], i, 0);
        g->addWidget(lblLine[i], i, 1);
        g->addWidget(txtLine[i], i, 2);
        g->addWidget(btnLineFormat[i], i, 3);
        g->addWidget(chkRecordLines[i], i, 4);
        g->addWidget(opt, i, 5);
    }
    auto* noGroup = new QRadioButton(QStringLiteral("No Group"));
    noGroup->setObjectName(QStringLiteral("optGroup99"));
    groups->addButton(noGroup, 99);
    optGroup[99] = noGroup;
    g->addWidget(noGroup, 12, 5);
    col->addLayout(g);

    fraDateTimeValidation = named(new QGroupBox(QStringLiteral("Custom Date/Time")), "fraDateTimeValidation");
    new QVBoxLayout(fraDateTimeValidation);
    fraDateTimeValidation->hide();
    col->addWidget(fraDateTimeValidation);
    return fraRecord;
}

QGroupBox* frmMain::buildTemplatesFrame()
{
    fraTemplates = named(new QGroupBox(QStringLiteral("Template Settings")), "fraTemplates");
    auto* outer = new QVBoxLayout(fraTemplates);

    auto* top = new QGridLayout;
    cboTemplateSelection = named(listBox(), "cboTemplateSelection");
    cboTemplateSelection->setMinimumContentsLength(16);
    TxtTplName = named(textBox(), "TxtTplName");
    templateCommandsHost = host("templateCommandsHost");
    top->addWidget(new QLabel(QStringLiteral("Template:")), 0, 0);
    top->addWidget(cboTemplateSelection, 0, 1);
    top->addWidget(new QLabel(QStringLiteral("Template Name:")), 1, 0);
    top->addWidget(TxtTplName, 1, 1);
    top->addWidget(templateCommandsHost, 2, 0, 1, 2);
    outer->addLayout(top);

    // Inputs and preview side by side; a landscape page goes below the
    // inputs instead (the data side turns the direction).
    auto* body = new QHBoxLayout;
    body->setObjectName(QStringLiteral("templateBody"));
    auto* inputs = new QVBoxLayout;

    auto* layout = new QGroupBox(QStringLiteral("All Templates Layout"));
    {
        auto* g = new QGridLayout(layout);
        optLayout[0] = named(new QRadioButton(QStringLiteral("Portrait")), "optLayout0");
        optLayout[1] = named(new QRadioButton(QStringLiteral("Landscape")), "optLayout1");
        exclusiveGroup(this, {optLayout[0], optLayout[1]});
        cboResolution = named(listBox(), "cboResolution");
        cboRotation = named(listBox(), "cboRotation");
        g->addWidget(optLayout[0], 0, 0);
        g->addWidget(optLayout[1], 0, 1);
        g->addWidget(new QLabel(QStringLiteral("Layout:")), 1, 0);
        g->addWidget(cboResolution, 1, 1);
        g->addWidget(new QLabel(QStringLiteral("Rotation:")), 2, 0);
        g->addWidget(cboRotation, 2, 1);
    }
    inputs->addWidget(layout);

    auto* records = new QGridLayout;
    txtRecordsPerPage = named(textBox(), "txtRecordsPerPage");
    // Set by the layouts and loaded templates only.
    txtRecordsPerPage->setReadOnly(true);
    txtRecordsPerPage->setMinimumWidth(36);
    txtRecordsPerPage->setMaximumWidth(44);
    vsRecordsPerPage = named(spinner(), "vsRecordsPerPage");
    vsRecordsPerPage->hide();
    // The line-up partner list; the designer side takes it into its
    // line-attributes pop-up. Until then the frame owns it, hidden.
    cboRecordLines = named(listBox(true), "cboRecordLines");
    cboRecordLines->setParent(fraTemplates);
    cboRecordLines->hide();
    txtSelRecord = named(textBox(), "txtSelRecord");
    txtSelRecord->setMinimumWidth(36);
    txtSelRecord->setMaximumWidth(44);
    txtSelRecord->setReadOnly(true);
    vsSelRecord = named(spinner(), "vsSelRecord");
    vsSelRecord->setRange(1, 1);
    vsSelRecord->hide();
    records->addWidget(new QLabel(QStringLiteral("Records Per Page:")), 0, 0);
    auto* perPage = new QHBoxLayout;
    perPage->addWidget(txtRecordsPerPage);
    perPage->addWidget(vsRecordsPerPage);
    perPage->addWidget(new QLabel(QStringLiteral("Record:")));
    perPage->addWidget(txtSelRecord);
    perPage->addWidget(vsSelRecord);
    perPage->addStretch(1);
    records->addLayout(perPage, 0, 1);
    inputs->addLayout(records);

    auto* background = new QGroupBox(QStringLiteral("Background"));
    {
        auto* g = new QGridLayout(background);
        g->setHorizontalSpacing(4);
        optBackgroundType[0] = named(new QRadioButton, "optBackgroundType0");
        optBackgroundType[1] = named(new QRadioButton, "optBackgroundType1");
        exclusiveGroup(this, {optBackgroundType[0], optBackgroundType[1]});
        lblBackgroundColor = named(new QLabel(QStringLiteral("Background Color:")), "lblBackgroundColor");
        txtBackgroundColor = named(textBox(), "txtBackgroundColor");
        btnBackgroundColor = named(new QPushButton(QStringLiteral("Color")), "btnBackgroundColor");
        // Room for a whole colour text such as "&H000000".
        txtBackgroundColor->setMinimumWidth(
            txtBackgroundColor->fontMetrics().horizontalAdvance(QStringLiteral("&H000000")) + 12);
        btnBackgroundColor->setFixedWidth(btnBackgroundColor->fontMetrics().horizontalAdvance(QStringLiteral("Color")) +
                                          18);
        lblBackgroundImage = named(new QLabel(QStringLiteral("Background Media:")), "lblBackgroundImage");
        txtBackgroundImagename = named(textBox(), "txtBackgroundImagename");
        txtBackgroundImage = named(textBox(), "txtBackgroundImage");
        btnBackgroundImageBrowser = named(browseButton(), "btnBackgroundImageBrowser");
        btnBackgroundImageBrowser->setToolTip(QStringLiteral("Select a media file"));
        g->addWidget(optBackgroundType[0], 0, 0);
        g->addWidget(lblBackgroundColor, 0, 1);
        g->addWidget(txtBackgroundColor, 0, 2);
        g->addWidget(btnBackgroundColor, 0, 3);
        g->addWidget(optBackgroundType[1], 1, 0);
        g->addWidget(lblBackgroundImage, 1, 1);
        g->addWidget(txtBackgroundImagename, 1, 2);
        g->addWidget(btnBackgroundImageBrowser, 1, 3);
        g->addWidget(txtBackgroundImage, 2, 1, 1, 3);
    }
    inputs->addWidget(background);

    auto* elements = new QGroupBox(QStringLiteral("Page Elements"));
    {
        auto* g = new QGridLayout(elements);
        g->setHorizontalSpacing(4);
        chkTitle = named(new QCheckBox(QStringLiteral("Title:")), "chkTitle");
        txtTitle = named(textBox(), "txtTitle");
        chkDateFormat = named(new QCheckBox(QStringLiteral("Date:")), "chkDateFormat");
        cboDateFormat = named(listBox(), "cboDateFormat");
        cboDateFormat->addItems({QStringLiteral("YYYYMMDD"), QStringLiteral("MM/DD/YY"), QStringLiteral("MM/DD/YYYY"),
                                 QStringLiteral("YY/MM/DD"), QStringLiteral("YYYY-MM-DD"), QStringLiteral("DD-MM-YY"),
                                 QStringLiteral("DD-MM-YYYY")});
        chkTimeFormat = named(new QCheckBox(QStringLiteral("Time:")), "chkTimeFormat");
        cboTimeFormat = named(listBox(), "cboTimeFormat");
        cboTimeFormat->addItems({QStringLiteral("HHMM"), QStringLiteral("HH:MM"), QStringLiteral("HH:MM AM/PM"),
                                 QStringLiteral("H:MM AM/PM")});
        chkPiP = named(new QCheckBox(QStringLiteral("PiP Windows:")), "chkPiP");
        txtPiP = named(textBox(), "txtPiP");
        btnPiPBrowser = named(browseButton(), "btnPiPBrowser");
        btnPiPBrowser->setToolTip(QStringLiteral("Select a media file"));
        // The font of each text element is edited with the button beside it.
        const char* layoutNames[3] = {"btnLayout0", "btnLayout1", "btnLayout2"};
        const QString layoutTips[3] = {QStringLiteral("Title format"), QStringLiteral("Date format"),
                                       QStringLiteral("Time format")};
        for (int i = 0; i < 3; ++i) {
            btnLayout[size_t(i)] = named(browseButton(), layoutNames[i]);
            btnLayout[size_t(i)]->setToolTip(layoutTips[i]);
            btnLayout[size_t(i)]->setFixedWidth(24);
        }
        g->addWidget(chkTitle, 0, 0);
        g->addWidget(txtTitle, 0, 1);
        g->addWidget(btnLayout[0], 0, 2);
        g->addWidget(chkDateFormat, 1, 0);
        g->addWidget(cboDateFormat, 1, 1);
        g->addWidget(btnLayout[1], 1, 2);
        g->addWidget(chkTimeFormat, 2, 0);
        g->addWidget(cboTimeFormat, 2, 1);
        g->addWidget(btnLayout[2], 2, 2);
        g->addWidget(chkPiP, 3, 0);
        g->addWidget(txtPiP, 3, 1);
        g->addWidget(btnPiPBrowser, 3, 2);
    }
    inputs->addWidget(elements);
    inputs->addStretch(1);
    body->addLayout(inputs);

    // The designer's preview goes here; until then a black page stands in.
    picBackgroundHost = host("picBackgroundHost");
    picBackgroundHost->setMinimumSize(150, 200);
    picBackgroundHost->setAutoFillBackground(true);
    QPalette pal = picBackgroundHost->palette();
    pal.setColor(QPalette::Window, Qt::black);
    picBackgroundHost->setPalette(pal);
    lblBGVideo = named(new QLabel(QStringLiteral("Background Video"), picBackgroundHost), "lblBGVideo");
    lblBGVideo->hide();
    body->addWidget(picBackgroundHost, 1, Qt::AlignLeft | Qt::AlignTop);
    outer->addLayout(body);
    return fraTemplates;
}

QGroupBox* frmMain::buildProgressFrame()
{
    fraProgress = named(new QGroupBox(QStringLiteral("Progress Status")), "fraProgress");
    auto* col = new QVBoxLayout(fraProgress);
    col->addWidget(new QLabel(QStringLiteral("Status:")));
    lstStatus = named(new QListView, "lstStatus");
    lstStatus->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstStatus->setUniformItemSizes(true);
    lstStatus->setMinimumHeight(360);
    statusModel = new StatusListModel(StatusLog::instance(), this);
    lstStatus->setModel(statusModel);
    // The newest line is selected, which scrolls it into view.
    connect(statusModel, &StatusListModel::lineAppended, lstStatus, [this](int row) {
        const QModelIndex index = statusModel->index(row, 0);
        lstStatus->setCurrentIndex(index);
        lstStatus->scrollTo(index);
    });
    col->addWidget(lstStatus);
    fraProgress->hide();
    return fraProgress;
}

QGroupBox* frmMain::buildRDMFrame()
{
    fraRDM = named(new QGroupBox(QStringLiteral("Record Data Manager")), "fraRDM");
    auto* col = new QVBoxLayout(fraRDM);
    auto* recordRow = new QHBoxLayout;
    txtRecord = named(textBox(), "txtRecord");
    txtRecord->setMaximumWidth(60);
    vsRecord = named(spinner(), "vsRecord");
    vsRecord->setRange(0, 0);
    recordRow->addWidget(new QLabel(QStringLiteral("Record:")));
    recordRow->addWidget(txtRecord);
    recordRow->addWidget(vsRecord);
    recordRow->addStretch(1);
    col->addLayout(recordRow);
    rdmHost = host("rdmHost");
    col->addWidget(rdmHost, 1);
    fraRDMControls = named(new QGroupBox(QStringLiteral("Local Record Edit Controls")), "fraRDMControls");
    new QVBoxLayout(fraRDMControls);
    fraRDMControls->hide();
    col->addWidget(fraRDMControls);
    fraRDM->hide();
    return fraRDM;
}

QGroupBox* frmMain::buildFontFrame()
{
    fraFont = named(new QGroupBox(QStringLiteral("Font")), "fraFont");
    auto* g = new QGridLayout(fraFont);
    CmbFontName = named(listBox(true), "CmbFontName");
    CmbFontSize = named(listBox(true), "CmbFontSize");
    CmbFontSize->setMinimumContentsLength(4);
    cmbFontAlignment = named(listBox(), "cmbFontAlignment");
    g->addWidget(new QLabel(QStringLiteral("Font:")), 0, 0);
    g->addWidget(CmbFontName, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Size:")), 1, 0);
    g->addWidget(CmbFontSize, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("Alignment:")), 2, 0);
    g->addWidget(cmbFontAlignment, 2, 1);
    fontHost = host("fontHost");
    g->addWidget(fontHost, 3, 0, 1, 2);
    fraFont->hide();
    return fraFont;
}

void frmMain::setRecordDataManagerPanel(QWidget* panel)
{
    putInto(rdmHost, panel);
}

void frmMain::setRecordEditControlsPanel(QWidget* panel)
{
    putInto(fraRDMControls, panel);
}

void frmMain::setDateTimeValidationPanel(QWidget* panel)
{
    putInto(fraDateTimeValidation, panel);
}

void frmMain::setFontPanel(QWidget* panel)
{
    putInto(fontHost, panel);
}

void frmMain::setTemplateCommandsPanel(QWidget* panel)
{
    putInto(templateCommandsHost, panel);
}

void frmMain::setPlayListPanel(QWidget* panel, GridView* view, QPushButton* add, QPushButton* remove)
{
    if (!panel || !igTemplatesView)
        return;
    QWidget* box = igTemplatesView->parentWidget();
    delete box->layout();
    delete igTemplatesView;
    delete btnAddTemplate;
    delete btnRemoveTemplate;
    igTemplatesView = view;
    btnAddTemplate = add;
    btnRemoveTemplate = remove;
    auto* l = new QVBoxLayout(box);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(panel);
}

void frmMain::setDesignerPreview(QWidget* preview)
{
    if (!preview)
        return;
    putInto(picBackgroundHost, preview);
    const bool shown = !lblBGVideo->isHidden();
    lblBGVideo->setParent(preview);
    lblBGVideo->setVisible(shown);
}
