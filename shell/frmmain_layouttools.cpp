// The designer's layout tools in the main window: the element labels'
// dragging and settings, and the design grid with the page's pop-up menu.
#include "shell/designerside.h"
#include "shell/layouttoolsside.h"

#include "designer/preview/previewhandlerchain.h"
#include "designer/tools/elements.h"
#include "designer/tools/frame.h"
#include "designer/tools/grid.h"
#include "shell/dataside.h"
#include "shell/frmmain.h"
#include "templates/model/previewmodel.h"
#include "templates/template.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>

LayoutToolsSide* LayoutToolsSide::install(frmMain& window)
{
    if (LayoutToolsSide* existing = of(window))
        return existing;
    if (!DataSide::of(window))
        return nullptr;
    return new LayoutToolsSide(window);
}

LayoutToolsSide* LayoutToolsSide::of(const frmMain& window)
{
    return window.findChild<LayoutToolsSide*>(QString(), Qt::FindDirectChildrenOnly);
}

LayoutToolsSide::LayoutToolsSide(frmMain& window)
    : QObject(&window)
    , window_(window)
{
    DataSide* data = DataSide::of(window);
    data_ = data;
    preview::PreviewModel& model = data->previewModel();
    frmMain* w = &window;

    layouttools::ElementTexts texts;
    texts.titleText = [w] { return w->txtTitle ? w->txtTitle->text() : QString(); };
    texts.datePattern = [w] { return w->cboDateFormat ? w->cboDateFormat->currentText() : QString(); };
    texts.timePattern = [w] { return w->cboTimeFormat ? w->cboTimeFormat->currentText() : QString(); };
    elements_ = std::make_unique<layouttools::ElementTool>(model, templates::designerTemplate(), texts,
                                                           [w](int index) { w->neighbours.ShowSelectionFrame(index); });
    grid_ = std::make_unique<layouttools::DesignGrid>(model, [this] {
        showMenuState();
        if (window_.mnuPicPopup)
            window_.mnuPicPopup->popup(QCursor::pos());
    });

    data->previewHandlers().add(elements_.get());
    data->previewHandlers().add(grid_.get());
    // An element resized by the selection frame is dropped like a dragged one.
    if (DesignerSide* designer = DesignerSide::of(window)) {
        layouttools::ElementTool* e = elements_.get();
        designer->frame().dropTDTLabel = [e](int index) { e->dropTDTLabel(index); };
    }
    installNeighbours();
    connectMenu();
    showMenuState();
}

LayoutToolsSide::~LayoutToolsSide()
{
    // The data side, and with it the preview, usually goes first.
    if (data_) {
        data_->previewHandlers().remove(elements_.get());
        data_->previewHandlers().remove(grid_.get());
    }
}

void LayoutToolsSide::installNeighbours()
{
    ShellNeighbours& n = window_.neighbours;
    layouttools::ElementTool* e = elements_.get();
    layouttools::DesignGrid* g = grid_.get();
    n.applyTDTLabelSettings = [e](int index) { e->applyTDTLabelSettings(index); };
    n.drawLayoutGrid = [g] { g->drawLayoutGrid(0); };
}

void LayoutToolsSide::connectMenu()
{
    frmMain& w = window_;
    layouttools::DesignGrid* g = grid_.get();
    for (int i = 0; i < 3; ++i)
        if (QAction* a = w.mnuGridScale[size_t(i)]) {
            a->setCheckable(true);
            connect(a, &QAction::triggered, this, [this, g, i] {
                g->mnuGridScale_Click(i);
                showMenuState();
            });
        }
    for (int i = 0; i < 5; ++i)
        if (QAction* a = w.mnuGridLineColor[size_t(i)]) {
            a->setCheckable(true);
            connect(a, &QAction::triggered, this, [this, g, i] {
                g->mnuGridLineColor_Click(i);
                showMenuState();
            });
        }
    if (w.mnuHideGrid)
        connect(w.mnuHideGrid, &QAction::triggered, this, [this, g] {
            g->mnuHideGrid_Click();
            showMenuState();
        });
}

void LayoutToolsSide::showMenuState()
{
    frmMain& w = window_;
    const layouttools::CanvasMenuState& s = grid_->menu();
    for (size_t i = 0; i < s.scaleChecked.size(); ++i)
        if (QAction* a = w.mnuGridScale[i])
            a->setChecked(s.scaleChecked[i]);
    for (size_t i = 0; i < s.colorChecked.size(); ++i)
        if (QAction* a = w.mnuGridLineColor[i])
            a->setChecked(s.colorChecked[i]);
    if (w.mnuGridLinesColor)
        w.mnuGridLinesColor->menuAction()->setEnabled(s.colorMenuEnabled);
}
