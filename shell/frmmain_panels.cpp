// The panels of other parts of the program in the main window: the Record
// Data Manager (grids, edit buttons, validity boxes), the font panel and
// the designer preview.
#include "shell/dataside.h"
#include "shell/frmmain.h"

#include "core/datagrids.h"
#include "designer/preview/previewcanvas.h"
#include "designer/preview/previewguides.h"
#include "designer/tools/elements.h"
#include "platform/grid.h"
#include "platform/gridview.h"
#include "platform/services.h"
#include "platform/vbvalue.h"
#include "records/rdmpanel.h"
#include "shell/designerside.h"
#include "shell/layouttoolsside.h"
#include "shell/templateside.h"
#include "templates/geometry.h"
#include "templates/layouts.h"
#include "templates/model/previewmodel.h"
#include "templates/recorddisplay.h"
#include "templates/template.h"
#include "text/fontpanel.h"
#include "text/fontpaneltemplate.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

// The margin of picScreen, the frame around the page in miniature (pixels).
constexpr int kScreenMargin = 6;
// The page in miniature for each orientation.
constexpr double kPortraitWidth = 236.25, kPortraitHeight = 420;
constexpr double kLandscapeWidth = 470.4, kLandscapeHeight = 264.6;

// The window's twelve line rows as the Record Data Manager panel sees them.
class WindowLineRows final : public RecordLineRows {
public:
    explicit WindowLineRows(frmMain& w)
        : w_(w)
    {
    }
    QString lineText(int index) const override
    {
        return index >= 0 && index < 12 && w_.txtLine[size_t(index)] ? w_.txtLine[size_t(index)]->text() : QString();
    }
    void setLineText(int index, const QString& text) override
    {
        if (index >= 0 && index < 12 && w_.txtLine[size_t(index)])
            w_.txtLine[size_t(index)]->setText(text);
    }
    void enableLineRows() override { w_.neighbours.EnableLineRows(); }

private:
    frmMain& w_;
};

// Shows a template's records on the preview without touching the template:
// a line's label is shown exactly when its stored flag is "1".
class PreviewRecordPanel final : public templates::RecordPanel {
public:
    explicit PreviewRecordPanel(preview::PreviewModel& m)
        : m_(m)
    {
    }
    void setLineCheck(int line, int value) override { checks_[size_t(line)] = value; }
    void chkLine_Click(int line) override
    {
        const int group = m_.state().mintSelectedGroup;
        if (preview::PreviewModel::isValid({preview::ItemKind::RecordLine, group, line}))
            m_.lblEvent(group, line).visible = checks_[size_t(line)] == 1;
    }

private:
    preview::PreviewModel& m_;
    std::array<int, templates::kLines> checks_{};
};

// An element label from its stored shown flag, place, font and caption.
void placeElement(preview::PreviewModel& m, int index, const QString& on, const QString& region, const QString& font,
                  const QString& caption)
{
    preview::PreviewItem& label = m.lblTDT(index);
    templates::placeFromLayoutRect(label, region, std::as_const(m).picBackground());
    label.visible = on == QLatin1String("1");
    if (!font.isEmpty())
        layouttools::applyElementFont(label, font, layouttools::elementSizeDivisor(index));
    if (!caption.isEmpty())
        label.caption = caption;
}

} // namespace

// ---- Creation ----

DataSide* DataSide::install(frmMain& window)
{
    if (DataSide* existing = of(window))
        return existing;
    installRecordListHooks();
    auto* side = new DataSide(window);
    TemplateSide::install(window);
    DesignerSide::install(window);
    LayoutToolsSide::install(window);
    return side;
}

DataSide* DataSide::of(const frmMain& window)
{
    return window.findChild<DataSide*>(QString(), Qt::FindDirectChildrenOnly);
}

DataSide::DataSide(frmMain& window)
    : QObject(&window)
    , window_(window)
{
    model_ = new preview::PreviewModel(this);
    hostRecordDataManager();
    hostFontPanel();
    hostPreview();
    installNeighbours();
    showDesignerTemplate();
}

RDMPanel* DataSide::rdmPanel() const
{
    return rdm_;
}

FontPanel* DataSide::fontPanel() const
{
    return font_;
}

DataSide::~DataSide()
{
    if (rdm_)
        rdm_->setLineRows(nullptr);
    if (model_)
        model_->setHandlers(nullptr);
}

void DataSide::installNeighbours()
{
    frmMain* w = &window_;
    QPointer<DataSide> self(this);
    ShellNeighbours& n = window_.neighbours;
    n.showRecordInEditor = [self](int row) {
        if (self && self->rdm_)
            self->rdm_->showRecord(row);
    };
    n.DisableLineRows = [w] { DisableLineRows(*w); };
    n.EnableLineRows = [w] { EnableLineRows(*w); };
    n.lockTemplateLineControls = [w] { lockTemplateLineControls(*w); };
    n.unlockTemplateLineControls = [w] { unlockTemplateLineControls(*w); };
    n.PositionGuideLines = [self] {
        if (self)
            preview::placeGuides(*self->model_);
    };
    n.ShowFontSample = [self] {
        if (self && self->font_)
            self->font_->ShowFontSample();
    };

    // The preview page and its element labels.
    preview::PreviewModel* m = model_;
    n.setPreviewBackground = [m](uint32_t backColor, const QImage& picture) {
        preview::Background& bg = m->picBackground();
        bg.Cls();
        bg.picture = picture;
        bg.backColor = backColor & 0xFFFFFFu;
        m->touch();
    };
    n.setTDTLabelCaption = [m](int index, const QString& caption) {
        if (preview::PreviewModel::isValid({preview::ItemKind::Element, 0, index})) {
            m->lblTDT(index).caption = caption;
            m->touch();
        }
    };
    n.setTDTLabelVisible = [m](int index, bool visible) {
        if (preview::PreviewModel::isValid({preview::ItemKind::Element, 0, index})) {
            m->lblTDT(index).visible = visible;
            m->touch();
        }
    };

    // The group line of the designer's template.
    n.applyGroupLine = [](int records, int line) {
        templates::Template& t = templates::designerTemplate();
        const int last = std::min(records, templates::kRecords) - 1;
        for (int r = 0; r <= last; ++r)
            for (int l = 0; l < templates::kLines; ++l)
                t.gstrTemplateLines[size_t(r)][templates::kFieldGroupFlag][size_t(l)] = QStringLiteral("0");
        if (line == 99) {
            t.gstrGroupLine = QStringLiteral("0");
        } else if (line >= 0 && line < templates::kLines) {
            for (int r = 0; r <= last; ++r)
                t.gstrTemplateLines[size_t(r)][templates::kFieldGroupFlag][size_t(line)] = QStringLiteral("1");
            t.gstrGroupLine = QString::number(line + 1);
        }
    };
}

// ---- Record Data Manager ----

void DataSide::hostRecordDataManager()
{
    lineRows_ = std::make_unique<WindowLineRows>(window_);
    rdm_ = new RDMPanel(dataGrids(), lineRows_.get());

    // The window's own frames carry the captions and the record spinner.
    unframe(rdm_->fraRDM);
    rdm_->vsRecord->hide();
    rdm_->txtRecord->hide();
    for (QLabel* l : rdm_->fraRDM->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        if (l->text() == QLatin1String("Record:"))
            l->hide();
    rdm_->igRDMView->setMinimumHeight(260); // room for a dozen records
    window_.setRecordDataManagerPanel(rdm_);

    // Arrow buttons need no more room than their arrows.
    for (QPushButton* b : {rdm_->btnUpRDM, rdm_->btnDownRDM})
        b->setFixedWidth(36);
    unframe(rdm_->fraRDMControls);
    window_.setRecordEditControlsPanel(rdm_->fraRDMControls);
    rdm_->fraRDMControls->show(); // the window's frame shows and hides it

    unframe(rdm_->fraDateTimeValidation);
    window_.setDateTimeValidationPanel(rdm_->fraDateTimeValidation);

    frmMain* w = &window_;
    connect(rdm_, &RDMPanel::showRecordInLinesRequested, this, [w](int row) { w->ShowRecordInLines(row); });

    // The buttons that read or move the current record work on the window's
    // current record.
    auto rewire = [this](QPushButton* button, void (RDMPanel::*slot)()) {
        disconnect(button, &QPushButton::clicked, rdm_, slot);
        connect(button, &QPushButton::clicked, this, [this, slot] {
            pullCurrentRecord();
            (rdm_->*slot)();
            pushCurrentRecord();
        });
    };
    rewire(rdm_->btnAddRDM, &RDMPanel::btnAddRDM_Click);
    rewire(rdm_->btnUpdateRDM, &RDMPanel::btnUpdateRDM_Click);
    rewire(rdm_->btnDeleteRDM, &RDMPanel::btnDeleteRDM_Click);
    rewire(rdm_->btnUpRDM, &RDMPanel::btnUpRDM_Click);
    rewire(rdm_->btnDownRDM, &RDMPanel::btnDownRDM_Click);

    // A cell or row chosen in the grid changes it too.
    Grid& igRDM = dataGrids().igRDM;
    QPointer<DataSide> self(this);
    auto cell = igRDM.onCellEvent;
    auto row = igRDM.onRowEvent;
    igRDM.onCellEvent = [self, cell](int r, int c) {
        if (self)
            self->pullCurrentRecord();
        if (cell)
            cell(r, c);
        if (self)
            self->pushCurrentRecord();
    };
    igRDM.onRowEvent = [self, row](int r) {
        if (self)
            self->pullCurrentRecord();
        if (row)
            row(r);
        if (self)
            self->pushCurrentRecord();
    };
}

void DataSide::pullCurrentRecord()
{
    RDMEditor& e = rdm_->editor();
    e.mlngRDMRow = window_.mlngRDMRow;
    e.mlngRDMCol = window_.mlngRDMCol;
}

void DataSide::pushCurrentRecord()
{
    RDMEditor& e = rdm_->editor();
    window_.mlngRDMRow = e.mlngRDMRow;
    window_.mlngRDMCol = e.mlngRDMCol;
}

// ---- Font panel ----

void DataSide::hostFontPanel()
{
    font_ = new FontPanel;
    font_->setTemplate(fontPanelTemplateOf(templates::designerTemplate()));

    preview::PreviewModel* m = model_;
    frmMain* w = &window_;
    auto lineLabel = [m](int display, int line) -> preview::PreviewItem* {
        const preview::ItemRef ref{preview::ItemKind::RecordLine, display, line};
        return preview::PreviewModel::isValid(ref) ? &m->item(ref) : nullptr;
    };
    auto element = [m](int index) -> preview::PreviewItem* {
        const preview::ItemRef ref{preview::ItemKind::Element, 0, index};
        return preview::PreviewModel::isValid(ref) ? &m->item(ref) : nullptr;
    };
    FontPanelHooks hooks;
    hooks.lineCaption = [lineLabel](int d, int l) {
        const preview::PreviewItem* it = lineLabel(d, l);
        return it ? it->caption : QString();
    };
    hooks.lineAlignment = [lineLabel](int d, int l) {
        const preview::PreviewItem* it = lineLabel(d, l);
        return it ? it->alignment : 0;
    };
    hooks.setLineAlignment = [lineLabel, m](int d, int l, int alignment) {
        if (preview::PreviewItem* it = lineLabel(d, l)) {
            it->alignment = alignment;
            m->touch();
        }
    };
    hooks.elementAlignment = [element](int e) {
        const preview::PreviewItem* it = element(e);
        return it ? it->alignment : 0;
    };
    hooks.setElementAlignment = [element, m](int e, int alignment) {
        if (preview::PreviewItem* it = element(e)) {
            it->alignment = alignment;
            m->touch();
        }
    };
    hooks.applyTDTLabelSettings = [w](int e) { w->neighbours.applyTDTLabelSettings(e); };
    hooks.recordsPerPageText = [w] { return w->txtRecordsPerPage ? w->txtRecordsPerPage->text() : QString(); };
    hooks.selectedGroup = [m] { return m->state().mintSelectedGroup; };
    hooks.setSelectedGroup = [m](int g) { m->state().mintSelectedGroup = g; };
    hooks.selectedLine = [m] { return m->state().mintSelectedLine; };
    font_->setHooks(hooks);

    // The panel brings its own lists: the window's give way, and its
    // members name the panel's from now on (the control set-up fills them).
    QGroupBox* fra = window_.fraFont;
    for (QLabel* l : fra->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        delete l;
    delete window_.CmbFontName;
    delete window_.CmbFontSize;
    delete window_.cmbFontAlignment;
    window_.CmbFontName = font_->CmbFontName;
    window_.CmbFontSize = font_->CmbFontSize;
    window_.cmbFontAlignment = font_->cmbFontAlignment;
    unframe(fra);
    window_.setFontPanel(font_);
    // The window's frame is shown exactly while the panel is.
    font_->installEventFilter(this);

    for (int i = 0; i < 12; ++i)
        if (QPushButton* b = window_.btnLineFormat[size_t(i)])
            connect(b, &QPushButton::clicked, font_, [this, i] { font_->btnLineFormat_Click(i); });
    for (int i = 0; i < 3; ++i)
        if (QPushButton* b = window_.btnLayout[size_t(i)])
            connect(b, &QPushButton::clicked, font_, [this, i] { font_->btnLayout_Click(i); });
}

bool DataSide::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == font_ && window_.fraFont) {
        if (event->type() == QEvent::ShowToParent)
            window_.fraFont->show();
        else if (event->type() == QEvent::HideToParent)
            window_.fraFont->hide();
    }
    return QObject::eventFilter(watched, event);
}

// ---- Designer preview ----

void DataSide::hostPreview()
{
    model_->setHandlers(&handlers_);
    canvas_ = new preview::PreviewCanvas(model_);
    canvas_->setObjectName(QStringLiteral("picScreen"));
    window_.setDesignerPreview(canvas_);
}

void DataSide::fitPreviewScreen()
{
    preview::PreviewModel& m = *model_;
    const bool landscape = window_.optLayout[1] && window_.optLayout[1]->isChecked();
    const double W = landscape ? kLandscapeWidth : kPortraitWidth;
    const double H = landscape ? kLandscapeHeight : kPortraitHeight;
    // picScreen fits the page with a small margin around it.
    const QSize screen(int(std::ceil(W)) + 2 * kScreenMargin, int(std::ceil(H)) + 2 * kScreenMargin);
    m.setScreenSize(screen.width(), screen.height());
    m.picBackground().setGeometry(kScreenMargin, kScreenMargin, W, H);
    canvas_->setFixedSize(screen);
    if (window_.picBackgroundHost)
        window_.picBackgroundHost->setMinimumSize(screen);
    preview::placeGuides(m);
    // A landscape page is too wide beside the inputs: it goes below them.
    if (auto* body = window_.fraTemplates ? window_.fraTemplates->findChild<QBoxLayout*>(QStringLiteral("templateBody"))
                                          : nullptr)
        body->setDirection(landscape ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
}

void DataSide::showDesignerTemplate()
{
    using namespace templates;
    preview::PreviewModel& m = *model_;
    fitPreviewScreen();

    for (int d = 0; d < preview::kRecordDisplays; ++d)
        for (int l = 0; l < preview::kDisplayLines; ++l) {
            preview::PreviewItem& label = m.lblEvent(d, l);
            if (label.caption.isEmpty()) {
                label.caption = QStringLiteral("Record Display %1 line %2").arg(d + 1).arg(l + 1);
                label.toolTip = label.caption;
            }
        }

    const Template& t = designerTemplate();
    if (t.gstrRecordsPerPage.isEmpty()) {
        // Nothing loaded yet: the element labels follow their check boxes.
        const std::array<QCheckBox*, 4> boxes{window_.chkTitle, window_.chkDateFormat, window_.chkTimeFormat,
                                              window_.chkPiP};
        for (int i = 0; i < 4; ++i)
            m.lblTDT(i).visible = boxes[size_t(i)] && boxes[size_t(i)]->isChecked();
        m.touch();
        return;
    }
    if (t.gstrBackgroundType != QLatin1String("1"))
        m.picBackground().backColor = parseColorText(t.gstrBackgroundColor);

    const QDateTime now = services::clock().now();
    placeElement(m, 0, t.gstrTitleOn, t.gstrTitleRegion, t.gstrTitleFont, t.gstrTitleText);
    placeElement(m, 1, t.gstrDateOn, t.gstrDateRegion, t.gstrDateFont, vb::FormatDateTime(now, t.gstrDateFormat));
    placeElement(m, 2, t.gstrTimeOn, t.gstrTimeRegion, t.gstrTimeFont, vb::FormatDateTime(now, t.gstrTimeFormat));
    placeElement(m, 3, t.gstrPiPOn, t.gstrPiPRegion, QString(), QString());

    PreviewRecordPanel panel(m);
    const int inUse = t.recordsInUse();
    for (int r = kRecords - 1; r >= 0; --r) {
        if (r < inUse)
            ShowTemplateRecord(r, t, m, panel);
        else
            SelectTemplateRecord(r, m, panel);
    }
    if (inUse > 0)
        ShowTemplateRecord(inUse - 1, t, m, panel);
    m.touch();
}
