#include "records/rdmpanel.h"

#include "core/globals.h"
#include "platform/gridview.h"
#include "records/recordstore.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

RDMPanel::RDMPanel(DataGrids& grids, RecordLineRows* lineRows, QWidget* parent)
    : QWidget(parent)
    , grids_(grids)
    , lineRows_(lineRows)
    , editor_(grids.igRDM)
{
    if (grids_.igRDM.ColCount() == 0)
        initRDMGridColumns(grids_.igRDM);
    initURGridColumns(grids_.igUR);

    fraRDM = new QGroupBox(QStringLiteral("Record Data Manager"), this);
    igRDMView = new GridView(grids_.igRDM, fraRDM);
    igURView = new GridView(grids_.igUR, fraRDM);
    auto* tabs = new QTabWidget(fraRDM);
    tabs->addTab(igRDMView, QStringLiteral("Records"));
    tabs->addTab(igURView, QStringLiteral("Updated Records"));

    vsRecord = new QScrollBar(Qt::Vertical, fraRDM);
    vsRecord->setRange(0, 0);
    txtRecord = new QLineEdit(fraRDM);
    txtRecord->setReadOnly(true);
    txtRecord->setMaximumWidth(60);
    lblTotalRecords = new QLabel(QStringLiteral("0"), fraRDM);
    btnSaveRADE = new QPushButton(QStringLiteral("Save RADE"), fraRDM);

    fraRDMControls = new QGroupBox(QStringLiteral("Local Record Edit Controls"), fraRDM);
    btnAddRDM = new QPushButton(QStringLiteral("Add"), fraRDMControls);
    btnUpdateRDM = new QPushButton(QStringLiteral("Update"), fraRDMControls);
    btnDeleteRDM = new QPushButton(QStringLiteral("Delete"), fraRDMControls);
    btnUpRDM = new QPushButton(QString(QChar(0x25B2)), fraRDMControls);
    btnUpRDM->setToolTip(QStringLiteral("Move Selected Record Up"));
    btnDownRDM = new QPushButton(QString(QChar(0x25BC)), fraRDMControls);
    btnDownRDM->setToolTip(QStringLiteral("Move Selected Record Down"));
    btnSaveRDM = new QPushButton(QStringLiteral("Save"), fraRDMControls);
    auto* buttons = new QHBoxLayout(fraRDMControls);
    for (QPushButton* b : {btnAddRDM, btnUpdateRDM, btnDeleteRDM, btnUpRDM, btnDownRDM, btnSaveRDM})
        buttons->addWidget(b);
    fraRDMControls->hide();

    auto* side = new QGridLayout;
    side->addWidget(new QLabel(QStringLiteral("Record:"), fraRDM), 0, 0);
    side->addWidget(txtRecord, 0, 1);
    side->addWidget(vsRecord, 0, 2);
    side->addWidget(new QLabel(QStringLiteral("Total Records:"), fraRDM), 1, 0);
    side->addWidget(lblTotalRecords, 1, 1);
    side->addWidget(btnSaveRADE, 2, 0, 1, 3);
    side->setRowStretch(3, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(tabs, 1);
    top->addLayout(side);
    auto* rdmLayout = new QVBoxLayout(fraRDM);
    rdmLayout->addLayout(top, 1);
    rdmLayout->addWidget(fraRDMControls);

    fraDateTimeValidation = new QGroupBox(QStringLiteral("Custom Date/Time"), this);
    auto* dt = new QGridLayout(fraDateTimeValidation);
    const RDMEditTexts defaults;
    auto box = [&](int row, const QString& label, const QString& text) {
        auto* e = new QLineEdit(text, fraDateTimeValidation);
        dt->addWidget(new QLabel(label, fraDateTimeValidation), row, 0);
        dt->addWidget(e, row, 1);
        return e;
    };
    txtDTStartTime = box(0, QStringLiteral("Start Time:"), defaults.startTime);
    txtDTEndTime = box(1, QStringLiteral("End Time:"), defaults.endTime);
    txtDTStartDate = box(2, QStringLiteral("Start Date:"), defaults.startDate);
    txtDTEndDate = box(3, QStringLiteral("End Date:"), defaults.endDate);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(fraRDM, 1);
    layout->addWidget(fraDateTimeValidation);

    editor_.showTotalRecords = [this](int n) { setTotalRecords(n); };
    editor_.enableLineRows = [this] {
        if (lineRows_)
            lineRows_->enableLineRows();
    };
    recordshooks::showTotalRecords = [this](int n) { setTotalRecords(n); };
    recordshooks::recordsLoaded = [this] { showLoadedRecords(); };
    grids_.igRDM.onCellEvent = [this](int row, int col) { editor_.igRDM_RowSelect(row, col); };
    grids_.igRDM.onRowEvent = [this](int row) { showRDMRecord(row); };

    connect(btnAddRDM, &QPushButton::clicked, this, &RDMPanel::btnAddRDM_Click);
    connect(btnUpdateRDM, &QPushButton::clicked, this, &RDMPanel::btnUpdateRDM_Click);
    connect(btnDeleteRDM, &QPushButton::clicked, this, &RDMPanel::btnDeleteRDM_Click);
    connect(btnUpRDM, &QPushButton::clicked, this, &RDMPanel::btnUpRDM_Click);
    connect(btnDownRDM, &QPushButton::clicked, this, &RDMPanel::btnDownRDM_Click);
    connect(btnSaveRDM, &QPushButton::clicked, this, &RDMPanel::btnSaveRDM_Click);
    connect(btnSaveRADE, &QPushButton::clicked, this, &RDMPanel::btnSaveRADE_Click);
    connect(vsRecord, &QScrollBar::valueChanged, this, &RDMPanel::vsRecord_Change);
}

RDMPanel::~RDMPanel()
{
    recordshooks::showTotalRecords = nullptr;
    recordshooks::recordsLoaded = nullptr;
    grids_.igRDM.onCellEvent = nullptr;
    grids_.igRDM.onRowEvent = nullptr;
}

RDMEditTexts RDMPanel::gatherTexts() const
{
    RDMEditTexts t;
    if (lineRows_)
        for (int i = 0; i < int(t.lines.size()); ++i)
            t.lines[size_t(i)] = lineRows_->lineText(i);
    t.startTime = txtDTStartTime->text();
    t.endTime = txtDTEndTime->text();
    t.startDate = txtDTStartDate->text();
    t.endDate = txtDTEndDate->text();
    return t;
}

void RDMPanel::applyTexts(const RDMEditTexts& t)
{
    if (lineRows_)
        for (int i = 0; i < int(t.lines.size()); ++i)
            if (lineRows_->lineText(i) != t.lines[size_t(i)])
                lineRows_->setLineText(i, t.lines[size_t(i)]);
    txtDTStartTime->setText(t.startTime);
    txtDTEndTime->setText(t.endTime);
    txtDTStartDate->setText(t.startDate);
    txtDTEndDate->setText(t.endDate);
}

void RDMPanel::selectCurrentRow()
{
    const int row = editor_.mlngRDMRow;
    if (row >= 1 && row <= grids_.igRDM.RowCount())
        igRDMView->selectRow(row - 1);
}

void RDMPanel::edit(void (RDMEditor::*step)(RDMEditTexts&))
{
    RDMEditTexts t = gatherTexts();
    (editor_.*step)(t);
    applyTexts(t);
    selectCurrentRow();
}

void RDMPanel::show(int row, bool (RDMEditor::*step)(int, RDMEditTexts&))
{
    RDMEditTexts t = gatherTexts();
    if ((editor_.*step)(row, t))
        applyTexts(t);
    selectCurrentRow();
}

void RDMPanel::showRDMRecord(int row)
{
    show(row, &RDMEditor::showRDMRecord);
}

void RDMPanel::showRecord(int row)
{
    show(row, &RDMEditor::showRecord);
}

void RDMPanel::setTotalRecords(int count)
{
    lblTotalRecords->setText(QString::number(count));
}

void RDMPanel::showLoadedRecords()
{
    if (grids_.igRDM.RowCount() > 0) {
        showRecord(1);
        Q_EMIT showRecordInLinesRequested(1);
        return;
    }
    applyTexts(RDMEditTexts());
    editor_.mlngRDMRow = 0;
}

QLineEdit* RDMPanel::validityBox(ValidityBox box) const
{
    switch (box) {
    case ValidityBox::StartTime:
        return txtDTStartTime;
    case ValidityBox::EndTime:
        return txtDTEndTime;
    case ValidityBox::StartDate:
        return txtDTStartDate;
    case ValidityBox::EndDate:
        return txtDTEndDate;
    }
    return nullptr;
}

void RDMPanel::btnAddRDM_Click()
{
    edit(&RDMEditor::btnAddRDM_Click);
}
void RDMPanel::btnDeleteRDM_Click()
{
    edit(&RDMEditor::btnDeleteRDM_Click);
}
void RDMPanel::btnUpRDM_Click()
{
    edit(&RDMEditor::btnUpRDM_Click);
}
void RDMPanel::btnDownRDM_Click()
{
    edit(&RDMEditor::btnDownRDM_Click);
}

void RDMPanel::btnUpdateRDM_Click()
{
    const UpdateResult result = editor_.btnUpdateRDM_Click(gatherTexts());
    selectCurrentRow();
    // As with every check that fails: the focus goes to the box at fault.
    if (result.box)
        if (QLineEdit* box = validityBox(*result.box))
            box->setFocus();
}

void RDMPanel::btnSaveRDM_Click()
{
    editor_.btnSaveRDM_Click();
}

void RDMPanel::btnSaveRADE_Click()
{
    ::btnSaveRADE_Click(grids_.igRADE, gstrDataFolder);
}

void RDMPanel::vsRecord_Change(int value)
{
    const int row = vsRecord->maximum() - value + 1;
    txtRecord->setText(QString::number(row));
    Q_EMIT showRecordInLinesRequested(row);
}
