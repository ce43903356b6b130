#include "platform/wheelguard.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTabBar>
#include <QWheelEvent>
#include <QWidget>

namespace wheelguard {
namespace {

const char* const kGuarded = "orvWheelGuarded";

// One filter for the whole program; it lives until the program ends and
// holds no state, so it never outlives anything it reads.
class WheelFilter final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto* control = qobject_cast<QWidget*>(watched);
        if (!control || control->hasFocus())
            return false;
        // The control lets the wheel pass: the nearest panel around it that
        // can still scroll that way takes it.
        auto* wheel = static_cast<QWheelEvent*>(event);
        for (QWidget* p = control->parentWidget(); p; p = p->parentWidget()) {
            auto* area = qobject_cast<QAbstractScrollArea*>(p);
            if (!area)
                continue;
            QWheelEvent passed(area->viewport()->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                               wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(), wheel->modifiers(),
                               wheel->phase(), wheel->inverted(), wheel->source());
            passed.ignore();
            QCoreApplication::sendEvent(area->viewport(), &passed);
            if (passed.isAccepted()) {
                event->accept();
                return true;
            }
        }
        event->ignore();
        return true;
    }
};

WheelFilter& filter()
{
    static auto* f = new WheelFilter;
    return *f;
}

bool isScrollAreaBar(const QWidget* w)
{
    const auto* bar = qobject_cast<const QScrollBar*>(w);
    if (!bar)
        return false;
    for (QWidget* p = bar->parentWidget(); p; p = p->parentWidget())
        if (auto* area = qobject_cast<QAbstractScrollArea*>(p))
            return area->verticalScrollBar() == bar || area->horizontalScrollBar() == bar;
    return false;
}

bool isValueControl(const QWidget* w)
{
    // A tab bar is one too: the wheel would switch the page it shows.
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QTabBar*>(w) || (qobject_cast<const QAbstractSlider*>(w) && !isScrollAreaBar(w));
}

void guard(QWidget* w)
{
    if (!isValueControl(w) || w->property(kGuarded).toBool())
        return;
    w->setProperty(kGuarded, true);
    // The wheel alone never gives the focus.
    if (w->focusPolicy() == Qt::WheelFocus)
        w->setFocusPolicy(Qt::StrongFocus);
    w->installEventFilter(&filter());
}

} // namespace

void wheelOnlyWithFocus(QWidget* root)
{
    if (!root)
        return;
    guard(root);
    for (QWidget* w : root->findChildren<QWidget*>())
        guard(w);
}

} // namespace wheelguard
