#include "records/datasourcewidgets.h"

#include "platform/vbvalue.h"

#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>

void WidgetDataSourceView::setEnabled(DataSourceControl c, bool enabled)
{
    if (QWidget* w = control(c))
        w->setEnabled(enabled);
}

void WidgetDataSourceView::setBackColor(DataSourceControl c, uint32_t color)
{
    QWidget* w = control(c);
    if (!w)
        return;
    QPalette pal = w->palette();
    // The closed colour is the system's button face, not a fixed value.
    const QColor bg = color == kClosedInputColor ? pal.color(QPalette::Button) : vb::ToQColor(color);
    pal.setColor(QPalette::Base, bg);
    w->setPalette(pal);
}

QString WidgetDataSourceView::text(DataSourceControl c) const
{
    if (auto* e = qobject_cast<QLineEdit*>(control(c)))
        return e->text();
    return QString();
}

void WidgetDataSourceView::setText(DataSourceControl c, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(control(c)))
        e->setText(text);
}

void WidgetDataSourceView::selectLocalOption()
{
    if (auto* o = qobject_cast<QRadioButton*>(control(DataSourceControl::optRunSettings0)))
        o->setChecked(true);
}

bool WidgetDataSourceView::isRDMVisible() const
{
    // The frame's own visibility setting, whatever its window shows.
    return fraRDM_ && !fraRDM_->isHidden();
}

void WidgetDataSourceView::setRDMControlsVisible(bool visible)
{
    if (fraRDMControls_)
        fraRDMControls_->setVisible(visible);
}
