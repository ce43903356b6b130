#pragma once
// The data side of the main window: the Record Data Manager panel, the font
// panel and the designer preview hosted in the window's frames, the line
// rows' states, the preview's page and element labels and the group line
// of the designer's template, and the hooks that join the record store to
// the list builder. install() is called once, after the window is created and before
// Form_Load (the control initialisation already uses the line rows); it also
// installs the window's template side (shell/templateside.h).
#include "designer/preview/previewhandlerchain.h"

#include <QObject>
#include <QPointer>

#include <memory>

class FontPanel;
class RDMPanel;
class RecordLineRows;
class frmMain;
class QGroupBox;

namespace preview {
class PreviewCanvas;
class PreviewModel;
} // namespace preview

class DataSide : public QObject {
    Q_OBJECT
public:
    // Hosts the panels in `window`, installs its line-row and font-sample
    // operations and the record hooks. The object lives as a child of the
    // window; a second call returns the first object.
    static DataSide* install(frmMain& window);
    // The object install() made for `window`, or nullptr.
    static DataSide* of(const frmMain& window);
    ~DataSide() override;

    RDMPanel* rdmPanel() const;
    FontPanel* fontPanel() const;
    preview::PreviewModel& previewModel() const { return *model_; }
    preview::PreviewCanvas* previewCanvas() const { return canvas_; }
    // The preview's handlers: each designer tool adds its own.
    preview::HandlerChain& previewHandlers() { return handlers_; }

    // Lays the preview out for the current page orientation and shows the
    // designer's template on it: background colour, the title, date, time
    // and PiP elements and the lines of every record in use. A template
    // that holds nothing yet leaves the preview's own start-up look.
    void showDesignerTemplate();
    // Sizes the preview's frame (picScreen) and page for the orientation the
    // window shows, and places the guides along the page.
    void fitPreviewScreen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DataSide(frmMain& window);
    void hostRecordDataManager();
    void hostFontPanel();
    void hostPreview();
    void installNeighbours();

    // The current record lives in the panel's editor and in the window's
    // mlngRDMRow / mlngRDMCol; these keep the two in step around every
    // operation that reads or moves it.
    void pullCurrentRecord();
    void pushCurrentRecord();

    frmMain& window_;
    std::unique_ptr<RecordLineRows> lineRows_;
    QPointer<RDMPanel> rdm_;
    QPointer<FontPanel> font_;
    preview::HandlerChain handlers_;
    preview::PreviewModel* model_ = nullptr;
    preview::PreviewCanvas* canvas_ = nullptr;
};

// The record store's hooks into the list builder: the EBMS render list
// built after every EBMS record-file load, and the booking file loaded by
// the booking browse button (both over the given grids and the assigned
// and sort settings).
void installRecordListHooks();

// The twelve line rows of the "Record" frame. Inactive: labels disabled,
// text boxes white and disabled; active: labels and text boxes enabled and
// white. The format buttons are disabled in both states.
void DisableLineRows(frmMain& window);
void EnableLineRows(frmMain& window);
// Hides (lock) or shows (unlock) the designer's per-line controls of the
// "Record" frame, and puts the rows into their active (lock) or inactive
// (unlock) state. Lock hides the font panel too; unlock leaves it hidden.
void lockTemplateLineControls(frmMain& window);
void unlockTemplateLineControls(frmMain& window);

// A frame that only groups other controls: no caption, no border.
void unframe(QGroupBox* frame);
