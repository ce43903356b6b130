#pragma once
// The line-attributes pop-up on screen: a small panel over the preview
// canvas that mirrors a LineAttsPopup and hands it the user's input. The
// panel is cut off where it passes picBackground's edges.
#include "designer/lines/lineatts.h"

#include <QFrame>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace preview {
class PreviewCanvas;
} // namespace preview

namespace lines {

class LineAttsPanel final : public QFrame {
    Q_OBJECT
public:
    // `partnerList` is the window's cboRecordLines (filled at start-up),
    // taken into the panel; nullptr makes one with "Line 1" .. "Line 12".
    LineAttsPanel(LineAttsPopup& popup, preview::PreviewCanvas* canvas, QComboBox* partnerList = nullptr);

    QGroupBox* fraEvent = nullptr;
    QCheckBox* chkLineUp = nullptr;
    QComboBox* cboRecordLines = nullptr;
    QLineEdit* txtMidWord = nullptr;
    QPushButton* CmdSaveAtts = nullptr;
    QPushButton* CmdCancelAtts = nullptr;
    QLabel* lbl2ndLine = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sync();
    void place();

    LineAttsPopup& popup_;
    QPointer<preview::PreviewCanvas> canvas_;
    bool syncing_ = false;
};

} // namespace lines
