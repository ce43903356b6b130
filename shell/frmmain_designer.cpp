// The designer side of the main window: the record lines, the selection
// frame, the line switches, the line-attributes pop-up, the alignment
// commands and the guides over the preview and the line rows.
#include "shell/designerside.h"

#include "designer/lines/lineatts.h"
#include "designer/lines/lineattspanel.h"
#include "designer/lines/lineswitches.h"
#include "designer/lines/recordlines.h"
#include "designer/preview/previewcanvas.h"
#include "designer/tools/align.h"
#include "designer/tools/frame.h"
#include "designer/tools/guides.h"
#include "shell/dataside.h"
#include "shell/frmmain.h"
#include "templates/model/previewmodel.h"
#include "templates/template.h"
#include "text/fontpanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

using lines::validLine;

// The font panel, the line rows and the record-line menu.
class DesignerSide::Window final : public lines::LineWindow {
public:
    explicit Window(frmMain& w)
        : w_(w)
    {
    }
    void LoadFontPanel(int group, int line) override
    {
        if (DataSide* data = DataSide::of(w_); data && data->fontPanel())
            data->fontPanel()->LoadFontPanel(group, line);
    }
    void SelectLineRow(int line) override { ::SelectLineRow(w_, line); }
    void showLineMenu(double x, double y) override
    {
        DataSide* data = DataSide::of(w_);
        if (!w_.mnuPopup || !data || !data->previewCanvas())
            return;
        preview::PreviewCanvas* canvas = data->previewCanvas();
        w_.mnuPopup->popup(canvas->mapToGlobal(canvas->toCanvas(QPointF(x, y)).toPoint()));
    }

private:
    frmMain& w_;
};

// The check boxes of the line rows, set without running their handlers.
class DesignerSide::Panel final : public lines::LinePanel {
public:
    explicit Panel(frmMain& w)
        : w_(w)
    {
    }
    int lineCheck(int line) const override
    {
        if (!validLine(line))
            return 0;
        const Qt::CheckState s = w_.chkLine[size_t(line)]->checkState();
        return s == Qt::Checked ? 1 : s == Qt::PartiallyChecked ? 2 : 0;
    }
    void setLineCheck(int line, int value) override
    {
        if (!validLine(line))
            return;
        QCheckBox* b = w_.chkLine[size_t(line)];
        const QSignalBlocker quiet(b);
        b->setTristate(value == 2);
        b->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    }
    void showLineCheck(int line) override
    {
        if (!validLine(line))
            return;
        w_.chkLine[size_t(line)]->setEnabled(true);
        w_.chkLine[size_t(line)]->setVisible(true);
    }
    int recordLinesCheck(int line) const override
    {
        return validLine(line) && w_.chkRecordLines[size_t(line)]->isChecked() ? 1 : 0;
    }
    void setRecordLinesCheck(int line, int value) override
    {
        if (!validLine(line))
            return;
        QCheckBox* b = w_.chkRecordLines[size_t(line)];
        const QSignalBlocker quiet(b);
        b->setChecked(value != 0);
    }
    QString recordsPerPageText() const override { return w_.txtRecordsPerPage->text(); }
    void ShowRecordInLines(int row) override { w_.ShowRecordInLines(row); }
    void DisableLineRows() override { w_.neighbours.DisableLineRows(); }

private:
    frmMain& w_;
};

// ---- Creation ----

DesignerSide* DesignerSide::install(frmMain& window)
{
    if (DesignerSide* existing = of(window))
        return existing;
    if (!DataSide::of(window))
        return nullptr;
    return new DesignerSide(window);
}

DesignerSide* DesignerSide::of(const frmMain& window)
{
    return window.findChild<DesignerSide*>(QString(), Qt::FindDirectChildrenOnly);
}

DesignerSide::DesignerSide(frmMain& window)
    : QObject(&window)
    , window_(window)
{
    preview::PreviewModel& m = DataSide::of(window)->previewModel();
    model_ = &m;
    templates::Template& t = templates::designerTemplate();
    windowSide_ = std::make_unique<Window>(window);
    panel_ = std::make_unique<Panel>(window);
    frame_ = std::make_unique<tools::SelectionFrame>(m, t);
    lines_ = std::make_unique<lines::RecordLineHandlers>(m, t, *frame_, *windowSide_);
    switches_ = std::make_unique<lines::LineSwitches>(m, t, *frame_, *panel_);
    lineAtts_ = std::make_unique<lines::LineAttsPopup>(m, t, *lines_, *frame_);
    alignment_ = std::make_unique<tools::LineAlignment>(m, t, *frame_);
    guides_ = std::make_unique<tools::GuideHandlers>(m);
    lines::LineAttsPopup* atts = lineAtts_.get();
    lines_->openLineAttributes = [atts](int group, int line) { atts->lblEvent_DblClick(group, line); };
    if (preview::PreviewCanvas* canvas = DataSide::of(window)->previewCanvas())
        lineAttsPanel_ = new lines::LineAttsPanel(*atts, canvas, window.cboRecordLines);
    m.setHandlers(preview::ItemKind::RecordLine, lines_.get());
    frame_->install(*lines_);
    // A click on the empty page hides the frame: the frame joins the page's
    // handler chain beside the other tools.
    DataSide::of(window)->previewHandlers().add(frame_.get());
    guides_->install();
    installNeighbours();
    connectControls();
}

DesignerSide::~DesignerSide()
{
    delete lineAttsPanel_.data();
    if (model_) {
        model_->setHandlers(preview::ItemKind::RecordLine, nullptr);
        model_->setHandlers(preview::ItemKind::EdgeStrip, nullptr);
        model_->setHandlers(preview::ItemKind::AdjustKnob, nullptr);
        model_->setHandlers(preview::ItemKind::GuideHandle, nullptr);
    }
    if (DataSide* data = DataSide::of(window_))
        data->previewHandlers().remove(frame_.get());
}

lines::LineAttsPanel* DesignerSide::lineAttsPanel() const
{
    return qobject_cast<lines::LineAttsPanel*>(lineAttsPanel_.data());
}

void DesignerSide::installNeighbours()
{
    // The guides and the line-row states are the data side's.
    tools::SelectionFrame* frame = frame_.get();
    lines::LineSwitches* switches = switches_.get();
    ShellNeighbours& n = window_.neighbours;
    n.HideSelectionFrame = [frame] { frame->HideSelectionFrame(); };
    n.ShowSelectionFrame = [frame](int index) { frame->ShowSelectionFrame(index); };
    n.ApplyTemplateRecord = [switches](int record) { switches->ApplyTemplateRecord(record); };
}

void DesignerSide::connectControls()
{
    lines::LineSwitches* switches = switches_.get();
    for (int i = 0; i < templates::kLines; ++i) {
        connect(window_.chkRecordLines[size_t(i)], &QCheckBox::clicked, this,
                [switches, i] { switches->chkRecordLines_Click(i); });
        // A grey box comes only from a template: the user's clicks switch
        // the line on and off, never to grey.
        QCheckBox* line = window_.chkLine[size_t(i)];
        connect(line, &QCheckBox::clicked, this, [line] { line->setTristate(false); });
    }
    tools::LineAlignment* align = alignment_.get();
    for (int i = 0; i < 3; ++i)
        if (QAction* item = window_.mnuAlignment[size_t(i)])
            connect(item, &QAction::triggered, this, [align, i] { align->mnuAlignment_Click(i); });
    if (window_.mnuAlignRecordlines)
        connect(window_.mnuAlignRecordlines, &QAction::triggered, this,
                [align] { align->mnuAlignRecordlines_Click(); });
}

// ---- Line rows ----

void SelectLineRow(frmMain& w, int line)
{
    for (int i = 0; i < templates::kLines; ++i) {
        const bool selected = i == line;
        if (QLabel* caption = w.lblLine[size_t(i)])
            caption->setEnabled(selected);
        if (QLineEdit* box = w.txtLine[size_t(i)]) {
            if (selected) {
                QPalette pal = box->palette();
                for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                    pal.setColor(g, QPalette::Base, Qt::white);
                box->setPalette(pal);
            }
            box->setEnabled(false);
        }
        if (QPushButton* format = w.btnLineFormat[size_t(i)])
            format->setEnabled(selected);
    }
}
