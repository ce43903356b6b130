// The template side of the main window: the designer's controls over the
// window's widgets, the template designer with its command buttons and the
// play-list, and the template operations the window reaches as neighbours.
#include "shell/templateside.h"

#include "core/datagrids.h"
#include "designer/lines/lineswitches.h"
#include "platform/gridview.h"
#include "platform/services.h"
#include "platform/vbvalue.h"
#include "shell/dataside.h"
#include "shell/designerside.h"
#include "shell/frmmain.h"
#include "templates/model/previewmodel.h"
#include "templates/recorddisplay.h"
#include "templates/template.h"
#include "templates/templatecommands.h"
#include "templates/templatepanels.h"
#include "templates/templateview.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

using templates::Element;
using templates::FormatList;

namespace {

bool validLine(int line)
{
    return line >= 0 && line < templates::kLines;
}

// The designer's controls are the window's own widgets. Setting a value
// runs the control's handler through the window's signal connections; the
// slot list runs nothing, since its handler follows the user's choice only.
class WindowTemplateView final : public templates::TemplateViewControls {
public:
    explicit WindowTemplateView(frmMain& w)
        : w_(w)
    {
    }

    // ---- slot list ----
    int slotIndex() const override { return w_.cboTemplateSelection->currentIndex(); }
    QString slotText() const override
    {
        QComboBox* list = w_.cboTemplateSelection;
        return list->currentIndex() >= 0 ? list->currentText() : list->placeholderText();
    }
    void setSlotIndex(int index) override
    {
        w_.cboTemplateSelection->setPlaceholderText(QString());
        w_.cboTemplateSelection->setCurrentIndex(index);
    }
    void showSlotText(const QString& text) override
    {
        QComboBox* list = w_.cboTemplateSelection;
        const int at = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (at >= 0) {
            setSlotIndex(at);
            return;
        }
        // A name that is no slot: nothing selected, the name shown as text.
        list->setCurrentIndex(-1);
        list->setPlaceholderText(text);
    }

    // ---- text boxes ----
    QString tplName() const override { return w_.TxtTplName->text(); }
    void setTplName(const QString& text) override { w_.TxtTplName->setText(text); }
    QString recordsPerPageText() const override { return w_.txtRecordsPerPage->text(); }
    void setRecordsPerPageText(const QString& text) override { w_.txtRecordsPerPage->setText(text); }
    QString titleText() const override { return w_.txtTitle->text(); }
    void setTitleText(const QString& text) override { w_.txtTitle->setText(text); }
    QString pipText() const override { return w_.txtPiP->text(); }
    void setPiPText(const QString& text) override { w_.txtPiP->setText(text); }

    // ---- spinners ----
    void setRecordsPerPageMax(int max) override { w_.vsRecordsPerPage->setMaximum(max); }
    void setRecordsPerPageValue(int value) override { w_.vsRecordsPerPage->setValue(value); }
    void setRecordsPerPageMin(int min) override { w_.vsRecordsPerPage->setMinimum(min); }
    // The selector's Max may lie below its Min (the layout without records
    // sets Max 0, Min 1): the value then stays between the two, and the
    // bar keeps the Max that was set for counting.
    void setSelRecordMax(int max) override
    {
        selMax_ = max;
        applySelRecordRange();
    }
    void setSelRecordMin(int min) override
    {
        selMin_ = min;
        applySelRecordRange();
    }
    int selRecordMax() const { return selMax_; }
    void setSelRecordValue(int value) override { w_.vsSelRecord->setValue(value); }
    void setSelRecordVisible(bool visible) override { w_.vsSelRecord->setVisible(visible); }

    // ---- element check boxes ----
    QCheckBox* box(Element e) const
    {
        switch (e) {
        case Element::Title:
            return w_.chkTitle;
        case Element::Date:
            return w_.chkDateFormat;
        case Element::Time:
            return w_.chkTimeFormat;
        case Element::PiP:
            return w_.chkPiP;
        }
        return w_.chkTitle;
    }
    bool elementChecked(Element e) const override { return box(e)->checkState() == Qt::Checked; }
    void setElementChecked(Element e, bool checked) override
    {
        box(e)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    void elementClick(Element e) override
    {
        switch (e) {
        case Element::Title:
            w_.chkTitle_Click();
            break;
        case Element::Date:
            w_.chkDateFormat_Click();
            break;
        case Element::Time:
            w_.chkTimeFormat_Click();
            break;
        case Element::PiP:
            w_.chkPiP_Click();
            break;
        }
    }

    // ---- format lists ----
    QComboBox* list(FormatList l) const { return l == FormatList::Date ? w_.cboDateFormat : w_.cboTimeFormat; }
    QStringList formatEntries(FormatList l) const override
    {
        QStringList items;
        for (int i = 0; i < list(l)->count(); ++i)
            items << list(l)->itemText(i);
        return items;
    }
    void addFormatEntry(FormatList l, const QString& text) override { list(l)->addItem(text); }
    void setFormatIndex(FormatList l, int index) override { list(l)->setCurrentIndex(index); }
    QString formatText(FormatList l) const override { return list(l)->currentText(); }

    // ---- background ----
    bool backgroundIsPicture() const override { return w_.optBackgroundType[1]->isChecked(); }
    void selectBackgroundType(int index) override
    {
        if (index == 0 || index == 1)
            w_.optBackgroundType[size_t(index)]->setChecked(true);
    }
    QString backgroundColorText() const override { return w_.txtBackgroundColor->text(); }
    void setBackgroundColorText(const QString& text) override { w_.txtBackgroundColor->setText(text); }
    QString backgroundImageName() const override { return w_.txtBackgroundImagename->text(); }
    void setBackgroundImageName(const QString& text) override { w_.txtBackgroundImagename->setText(text); }
    void setBackgroundImageText(const QString& text) override { w_.txtBackgroundImage->setText(text); }
    void setBackgroundColor(const QString& colorText) override { w_.setBackgroundColor(colorText); }
    void loadBackgroundFile(const QString& path) override { w_.loadBackgroundFile(path); }

    // ---- options ----
    void selectNoGroup() override { w_.optGroup.at(99)->setChecked(true); }
    bool portrait() const override { return w_.optLayout[0]->isChecked(); }

    // ---- layout tools ----
    void HideSelectionFrame() override { w_.neighbours.HideSelectionFrame(); }
    void applyTDTLabelSettings(int index) override { w_.neighbours.applyTDTLabelSettings(index); }
    void drawLayoutGrid() override { w_.neighbours.drawLayoutGrid(); }

    // ---- record displays ----
    void setLineCheck(int line, int value) override
    {
        if (!validLine(line) || value < 0 || value > 2)
            return;
        QCheckBox* b = w_.chkLine[size_t(line)];
        if (value == 2)
            b->setTristate(true);
        b->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    }
    // The line switches of the designer side.
    void chkLine_Click(int line) override
    {
        if (DesignerSide* d = DesignerSide::of(w_))
            d->switches().chkLine_Click(line);
    }
    void showLineCheck(int line) override
    {
        if (!validLine(line))
            return;
        w_.chkLine[size_t(line)]->setEnabled(true);
        w_.chkLine[size_t(line)]->setVisible(true);
    }
    void syncRecordLineCheck(int line) override
    {
        if (DesignerSide* d = DesignerSide::of(w_))
            d->switches().syncRecordLineCheck(line);
    }
    void setGroupOption(int line, bool selected) override
    {
        if (!validLine(line))
            return;
        QRadioButton* option = w_.optGroup.at(line);
        if (selected) {
            option->setChecked(true);
        } else if (option->isChecked()) {
            // An exclusive group keeps one option selected; this one is
            // cleared without selecting another.
            QButtonGroup* group = option->group();
            if (group)
                group->setExclusive(false);
            option->setChecked(false);
            if (group)
                group->setExclusive(true);
        }
    }
    void DisableLineRows() override { w_.neighbours.DisableLineRows(); }
    void setSelRecordText(const QString& text) override { w_.txtSelRecord->setText(text); }
    void ApplyTemplateRecord(int record) override { w_.neighbours.ApplyTemplateRecord(record); }
    void focusSelRecord() override { w_.txtSelRecord->setFocus(); }

private:
    void applySelRecordRange() { w_.vsSelRecord->setRange(std::min(selMin_, selMax_), std::max(selMin_, selMax_)); }

    frmMain& w_;
    int selMax_ = 1, selMin_ = 1;
};

} // namespace

// ---- Creation ----

TemplateSide* TemplateSide::install(frmMain& window)
{
    if (TemplateSide* existing = of(window))
        return existing;
    if (!DataSide::of(window))
        return nullptr;
    return new TemplateSide(window);
}

TemplateSide* TemplateSide::of(const frmMain& window)
{
    return window.findChild<TemplateSide*>(QString(), Qt::FindDirectChildrenOnly);
}

TemplateSide::TemplateSide(frmMain& window)
    : QObject(&window)
    , window_(window)
{
    preview::PreviewModel& model = DataSide::of(window)->previewModel();
    view_ = std::make_unique<WindowTemplateView>(window);
    designer_ = std::make_unique<templates::TemplateDesigner>(*view_, model, templates::designerTemplate());

    commands_ = new templates::TemplateCommandsPanel(*designer_);
    window.setTemplateCommandsPanel(commands_);

    playList_ = new templates::PlayListPanel(dataGrids().igTemplates, [this] { return view_->slotText(); });
    QWidget* playListFrame = window.igTemplatesView ? window.igTemplatesView->parentWidget() : nullptr;
    window.setPlayListPanel(playList_, playList_->igTemplatesView, playList_->btnAddTemplate,
                            playList_->btnRemoveTemplate);
    // The panel brings its own caption.
    if (auto* frame = qobject_cast<QGroupBox*>(playListFrame))
        unframe(frame);

    window.cboTemplateSelection->setEditable(false);
    installNeighbours();
    connectControls();
}

// The side goes with its window, whose neighbours are gone by then.
TemplateSide::~TemplateSide() = default;

void TemplateSide::installNeighbours()
{
    templates::TemplateDesigner* d = designer_.get();
    templates::TemplateViewControls* v = view_.get();
    DataSide* data = DataSide::of(window_);
    preview::PreviewModel* m = &data->previewModel();
    ShellNeighbours& n = window_.neighbours;

    n.btnSetTemplate_Click = [d] { d->btnSetTemplate_Click(); };
    n.btnSaveTemplate_Click = [d] { d->btnSaveTemplate_Click(); };
    n.cboTemplateSelection_Click = [d] { d->cboTemplateSelection_Click(); };
    n.selectTemplateSlot = [d](int index) { d->selectTemplateSlot(index); };
    n.loadDefaultTemplateLayout = [d, data](int N) {
        // The page's frame follows the orientation before the layout is
        // centred in it.
        data->fitPreviewScreen();
        d->loadDefaultTemplateLayout(N);
    };
    n.SelectTemplateRecord = [m, v](int record) { templates::SelectTemplateRecord(record, *m, *v); };
}

void TemplateSide::connectControls()
{
    frmMain* w = &window_;
    auto* v = static_cast<WindowTemplateView*>(view_.get());
    for (int i = 0; i < templates::kLines; ++i)
        connect(w->chkLine[size_t(i)], &QCheckBox::stateChanged, this, [v, i] { v->chkLine_Click(i); });
    templates::TemplateDesigner* d = designer_.get();
    if (w->mnuAdjustBackToOriginal)
        connect(w->mnuAdjustBackToOriginal, &QAction::triggered, this, [d] { d->mnuAdjustBackToOriginal_Click(); });
    connect(w->vsSelRecord, &QScrollBar::valueChanged, this,
            [v](int value) { templates::vsSelRecord_Change(v->selRecordMax(), value, *v); });
}
