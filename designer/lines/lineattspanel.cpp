#include "designer/lines/lineattspanel.h"

#include "designer/preview/previewcanvas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRegion>

#include <cmath>

namespace lines {

LineAttsPanel::LineAttsPanel(LineAttsPopup& popup, preview::PreviewCanvas* canvas, QComboBox* partnerList)
    : QFrame(canvas)
    , popup_(popup)
    , canvas_(canvas)
{
    setObjectName(QStringLiteral("PicEventAtts"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    // The window's own colours, not the dark canvas's.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
    resize(int(LineAttsPopup::kWidth), int(LineAttsPopup::kHeight));

    fraEvent = new QGroupBox(this);
    fraEvent->setObjectName(QStringLiteral("fraEvent"));
    fraEvent->setGeometry(8, 0, 193, 65);
    chkLineUp = new QCheckBox(QStringLiteral("Line Up with:"), fraEvent);
    chkLineUp->setObjectName(QStringLiteral("chkLineUp"));
    chkLineUp->setGeometry(8, 16, 89, 17);
    cboRecordLines = partnerList ? partnerList : new QComboBox;
    if (!partnerList)
        for (int i = 1; i <= templates::kLines; ++i)
            cboRecordLines->addItem(QStringLiteral("Line %1").arg(i));
    cboRecordLines->setObjectName(QStringLiteral("cboRecordLines"));
    cboRecordLines->setParent(fraEvent);
    cboRecordLines->setEditable(true);
    cboRecordLines->setInsertPolicy(QComboBox::NoInsert);
    cboRecordLines->setMinimumSize(0, 0);
    cboRecordLines->setGeometry(96, 14, 81, 21);
    cboRecordLines->setFocusPolicy(Qt::StrongFocus);
    cboRecordLines->installEventFilter(this);
    cboRecordLines->show();
    auto* midLabel = new QLabel(QStringLiteral("Middle word:"), fraEvent);
    midLabel->setGeometry(12, 40, 80, 17);
    midLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtMidWord = new QLineEdit(fraEvent);
    txtMidWord->setObjectName(QStringLiteral("txtMidWord"));
    txtMidWord->setGeometry(96, 39, 41, 20);
    CmdSaveAtts = new QPushButton(QStringLiteral("OK"), this);
    CmdSaveAtts->setObjectName(QStringLiteral("CmdSaveAtts"));
    CmdSaveAtts->setGeometry(72, 72, 57, 17);
    CmdCancelAtts = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCancelAtts->setObjectName(QStringLiteral("CmdCancelAtts"));
    CmdCancelAtts->setGeometry(144, 72, 57, 17);
    lbl2ndLine = new QLabel(this);
    lbl2ndLine->setObjectName(QStringLiteral("lbl2ndLine"));
    lbl2ndLine->setGeometry(8, 72, 33, 17);
    lbl2ndLine->hide();

    connect(chkLineUp, &QCheckBox::clicked, this, [this] {
        if (syncing_)
            return;
        const Qt::CheckState s = chkLineUp->checkState();
        popup_.setLineUpCheck(s == Qt::Checked ? 1 : s == Qt::PartiallyChecked ? 2 : 0);
        sync();
    });
    connect(cboRecordLines, &QComboBox::activated, this, [this](int index) {
        if (!syncing_)
            popup_.setPartnerIndex(index);
    });
    connect(cboRecordLines, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!syncing_)
            popup_.setPartnerIndex(cboRecordLines->findText(text.trimmed(), Qt::MatchFixedString));
    });
    connect(txtMidWord, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!syncing_)
            popup_.setMidWord(text);
    });
    connect(CmdSaveAtts, &QPushButton::clicked, &popup_, &LineAttsPopup::CmdSaveAtts_Click);
    connect(CmdCancelAtts, &QPushButton::clicked, &popup_, &LineAttsPopup::CmdCancelAtts_Click);
    connect(&popup_, &LineAttsPopup::changed, this, &LineAttsPanel::sync);
    if (canvas_ && canvas_->model())
        connect(canvas_->model(), &preview::PreviewModel::changed, this, &LineAttsPanel::place);
    sync();
}

bool LineAttsPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The partner list takes the wheel only when it has the focus.
    if (watched == cboRecordLines && event->type() == QEvent::Wheel && !cboRecordLines->hasFocus()) {
        event->ignore();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void LineAttsPanel::sync()
{
    syncing_ = true;
    fraEvent->setTitle(popup_.caption());
    const int check = popup_.lineUpCheck();
    chkLineUp->setTristate(check == 2);
    chkLineUp->setCheckState(check == 1 ? Qt::Checked : check == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    const int partner = popup_.partnerIndex();
    // A text being typed that names the same entry (or none) stays as typed.
    const int named = cboRecordLines->findText(cboRecordLines->currentText().trimmed(), Qt::MatchFixedString);
    if (named != partner) {
        cboRecordLines->setCurrentIndex(partner);
        if (partner < 0)
            cboRecordLines->setEditText(QString());
    }
    if (txtMidWord->text() != popup_.midWord())
        txtMidWord->setText(popup_.midWord());
    const bool on = popup_.controlsEnabled();
    for (QWidget* w : {static_cast<QWidget*>(chkLineUp), static_cast<QWidget*>(cboRecordLines),
                       static_cast<QWidget*>(txtMidWord), static_cast<QWidget*>(CmdSaveAtts)})
        w->setEnabled(on);
    lbl2ndLine->setText(QString::number(popup_.recordedPartner()));
    syncing_ = false;
    place();
    if (popup_.visible()) {
        raise();
        show();
    } else {
        hide();
    }
}

void LineAttsPanel::place()
{
    if (!canvas_ || !canvas_->model())
        return;
    const QPointF at = canvas_->toCanvas(QPointF(popup_.left(), popup_.top()));
    const QRect panel(int(std::lround(at.x())), int(std::lround(at.y())), width(), height());
    if (geometry() != panel)
        setGeometry(panel);
    const preview::Background& bg = std::as_const(*canvas_->model()).picBackground();
    const QPointF origin = canvas_->toCanvas(QPointF(0, 0));
    const QRect page(int(std::lround(origin.x())), int(std::lround(origin.y())), int(std::lround(bg.width())),
                     int(std::lround(bg.height())));
    if (page.contains(panel))
        clearMask();
    else
        setMask(QRegion(page.intersected(panel).translated(-panel.topLeft())));
}

} // namespace lines
