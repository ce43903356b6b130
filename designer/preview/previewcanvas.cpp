#include "designer/preview/previewcanvas.h"

#include "designer/preview/previewpaint.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace preview {

namespace {

int buttonCode(Qt::MouseButtons b)
{
    int code = 0;
    if (b & Qt::LeftButton)
        code |= 1;
    if (b & Qt::RightButton)
        code |= 2;
    if (b & Qt::MiddleButton)
        code |= 4;
    return code;
}

int shiftCode(Qt::KeyboardModifiers m)
{
    int code = 0;
    if (m & Qt::ShiftModifier)
        code |= 1;
    if (m & Qt::ControlModifier)
        code |= 2;
    if (m & Qt::AltModifier)
        code |= 4;
    return code;
}

} // namespace

PreviewCanvas::PreviewCanvas(PreviewModel* model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(model_, &PreviewModel::changed, this, qOverload<>(&QWidget::update));
}

QSize PreviewCanvas::sizeHint() const
{
    if (!model_)
        return {400, 450};
    const Background& bg = model_->picBackground();
    const double w = model_->screenWidth() > 0 ? model_->screenWidth() : bg.left() * 2 + bg.width();
    const double h = model_->screenHeight() > 0 ? model_->screenHeight() : bg.top() * 2 + bg.height();
    return {int(std::ceil(w)), int(std::ceil(h))};
}

QPointF PreviewCanvas::toCanvas(const QPointF& p) const
{
    if (!model_)
        return p;
    const Background& bg = std::as_const(*model_).picBackground();
    return {p.x() + bg.left(), p.y() + bg.top()};
}

QPointF PreviewCanvas::toBackground(const QPointF& p) const
{
    if (!model_)
        return p;
    const Background& bg = std::as_const(*model_).picBackground();
    return {p.x() - bg.left(), p.y() - bg.top()};
}

void PreviewCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x40, 0x40, 0x40));
    if (!model_)
        return;
    const Background& bg = std::as_const(*model_).picBackground();
    p.translate(bg.left(), bg.top());
    paintBackground(p, *model_);
}

void PreviewCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (model_)
        model_->setScreenSize(width(), height());
}

void PreviewCanvas::updatePointer(const QPointF& at)
{
    switch (std::as_const(*model_).pointerAt(at.x(), at.y())) {
    case PointerShape::SizeWE:
        setCursor(Qt::SizeHorCursor);
        break;
    case PointerShape::SizeNS:
        setCursor(Qt::SizeVerCursor);
        break;
    case PointerShape::Arrow:
        unsetCursor();
        break;
    }
}

void PreviewCanvas::mousePressEvent(QMouseEvent* e)
{
    if (!model_)
        return;
    const QPointF at = toBackground(e->position());
    model_->buttonsHeld(buttonCode(e->buttons() & ~e->button()));
    model_->mouseDown(at.x(), at.y(), buttonCode(e->button()), shiftCode(e->modifiers()));
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* e)
{
    if (!model_)
        return;
    const QPointF at = toBackground(e->position());
    model_->buttonsHeld(buttonCode(e->buttons()));
    model_->mouseMove(at.x(), at.y(), buttonCode(e->buttons()), shiftCode(e->modifiers()));
    if (model_)
        updatePointer(at);
}

void PreviewCanvas::mouseReleaseEvent(QMouseEvent* e)
{
    if (!model_)
        return;
    const QPointF at = toBackground(e->position());
    model_->mouseUp(at.x(), at.y(), buttonCode(e->button()), shiftCode(e->modifiers()));
}

void PreviewCanvas::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (!model_)
        return;
    const QPointF at = toBackground(e->position());
    model_->buttonsHeld(buttonCode(e->buttons() & ~e->button()));
    model_->doubleClick(at.x(), at.y(), buttonCode(e->button()), shiftCode(e->modifiers()));
}

bool PreviewCanvas::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && model_) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QPointF at = toBackground(help->pos());
        const auto hit = std::as_const(*model_).itemAt(at.x(), at.y());
        const QString tip = hit ? std::as_const(*model_).item(*hit).toolTip : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(e);
}

} // namespace preview
