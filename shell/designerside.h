#pragma once
// The designer side of the main window: the record-line handlers, the
// selection frame, the line switches, the line-attributes pop-up, the
// alignment commands of the record-line menu and the guides over the
// window's preview and its line rows, installed as the window's neighbours
// (HideSelectionFrame, ShowSelectionFrame, ApplyTemplateRecord).
// install() needs the data side (its preview and font panel); DataSide::install
// does it. The object lives as a child of the window.
#include <QObject>
#include <QPointer>

#include <memory>

class frmMain;

namespace lines {
class LineAttsPanel;
class LineAttsPopup;
class LineSwitches;
class RecordLineHandlers;
} // namespace lines
namespace preview {
class PreviewModel;
} // namespace preview
namespace tools {
class GuideHandlers;
class LineAlignment;
class SelectionFrame;
} // namespace tools

class DesignerSide : public QObject {
    Q_OBJECT
public:
    // A second call returns the first object; nullptr without a data side.
    static DesignerSide* install(frmMain& window);
    static DesignerSide* of(const frmMain& window);
    ~DesignerSide() override;

    lines::RecordLineHandlers& recordLines() { return *lines_; }
    lines::LineSwitches& switches() { return *switches_; }
    tools::SelectionFrame& frame() { return *frame_; }
    lines::LineAttsPopup& lineAtts() { return *lineAtts_; }
    // The pop-up's panel on the preview canvas.
    lines::LineAttsPanel* lineAttsPanel() const;
    tools::LineAlignment& alignment() { return *alignment_; }
    tools::GuideHandlers& guides() { return *guides_; }

private:
    class Window;
    class Panel;
    explicit DesignerSide(frmMain& window);
    void installNeighbours();
    void connectControls();

    frmMain& window_;
    QPointer<preview::PreviewModel> model_;
    std::unique_ptr<Window> windowSide_;
    std::unique_ptr<Panel> panel_;
    std::unique_ptr<tools::SelectionFrame> frame_;
    std::unique_ptr<lines::RecordLineHandlers> lines_;
    std::unique_ptr<lines::LineSwitches> switches_;
    std::unique_ptr<lines::LineAttsPopup> lineAtts_;
    QPointer<QObject> lineAttsPanel_; // owned by the canvas
    std::unique_ptr<tools::LineAlignment> alignment_;
    std::unique_ptr<tools::GuideHandlers> guides_;
};

// The line rows with line `line` the active one: its caption enabled, its
// text box white and read-only, its format button the only one enabled.
void SelectLineRow(frmMain& window, int line);
