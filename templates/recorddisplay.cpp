#include "templates/recorddisplay.h"

#include "platform/vbvalue.h"
#include "templates/geometry.h"

#include <QRegularExpression>

namespace templates {

void RecordPanel::setLineCheck(int, int) {}
void RecordPanel::chkLine_Click(int) {}
void RecordPanel::showLineCheck(int) {}
void RecordPanel::syncRecordLineCheck(int) {}
void RecordPanel::setGroupOption(int, bool) {}
void RecordPanel::DisableLineRows() {}
void RecordPanel::setSelRecordText(const QString&) {}
void RecordPanel::ApplyTemplateRecord(int) {}
void RecordPanel::focusSelRecord() {}

std::optional<int> wholeNumberOf(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    const QString t = text.trimmed();
    if (!number.match(t).hasMatch())
        return std::nullopt;
    const double v = vb::Val(t);
    if (v > 2147483647.0 || v < -2147483648.0)
        return std::nullopt;
    return vb::CInt(v);
}

std::optional<bool> truthOf(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto n = wholeNumberOf(t))
        return vb::Val(t) != 0.0;
    return std::nullopt;
}

void ShowTemplateRecord(int r, const Template& t, preview::PreviewModel& model, RecordPanel& panel)
{
    model.state().mintSelectedGroup = r;
    if (r < 0 || r >= kRecords)
        return;
    for (int l = 0; l < kLines; ++l) {
        const auto v = wholeNumberOf(t.gstrTemplateLines[r][kFieldEnabled][l]);
        if (v && *v >= 0 && *v <= 2)
            panel.setLineCheck(l, *v);
        panel.chkLine_Click(l);
        panel.showLineCheck(l);
    }
    for (int l = 0; l < kLines; ++l)
        panel.syncRecordLineCheck(l);
    for (int l = 0; l < kLines; ++l)
        if (const auto selected = truthOf(t.gstrTemplateLines[r][kFieldGroupFlag][l]))
            panel.setGroupOption(l, *selected);
    const preview::Background& bg = std::as_const(model).picBackground();
    for (int l = 0; l < kLines; ++l) {
        preview::PreviewItem& label = model.lblEvent(r, l);
        const auto align = wholeNumberOf(t.gstrTemplateLines[r][kFieldAlignment][l]);
        if (align && *align >= 0 && *align <= 2)
            label.alignment = *align;
        placeFromLayoutRect(label, t.gstrTemplateLines[r][kFieldRect][l], bg);
        model.ZOrder({preview::ItemKind::RecordLine, r, l});
    }
    panel.DisableLineRows();
}

void SelectTemplateRecord(int r, preview::PreviewModel& model, RecordPanel& panel)
{
    model.state().mintSelectedGroup = r;
    if (r < 0 || r >= kRecords)
        return;
    for (int l = 0; l < kLines; ++l) {
        panel.setLineCheck(l, 0);
        panel.chkLine_Click(l);
    }
    for (int l = 0; l < kLines; ++l)
        panel.syncRecordLineCheck(l);
}

int selectedRecordNumber(int maximum, int value)
{
    return maximum - value + 1;
}

void vsSelRecord_Change(int maximum, int value, RecordPanel& panel)
{
    const int number = selectedRecordNumber(maximum, value);
    panel.setSelRecordText(QString::number(number));
    panel.ApplyTemplateRecord(number - 1);
    panel.focusSelRecord();
}

} // namespace templates
