#include "designer/lines/lineswitches.h"

#include "platform/services.h"
#include "platform/vbvalue.h"
#include "templates/geometry.h"
#include "templates/recorddisplay.h"

#include <algorithm>

namespace lines {

LineSwitches::LineSwitches(preview::PreviewModel& model, templates::Template& t, FrameTools& frame, LinePanel& panel)
    : m_(model)
    , t_(t)
    , frame_(frame)
    , panel_(panel)
{
}

void LineSwitches::chkLine_Click(int index)
{
    frame_.HideSelectionFrame();
    preview::DesignerState& s = m_.state();
    if (!templateRecord(s.mintSelectedGroup) || !validLine(index))
        return;
    s.mintSelectedLine = index;
    const int value = panel_.lineCheck(index);
    if (QString* shown = t_.line(s.mintSelectedGroup, templates::kFieldEnabled, index))
        *shown = QString::number(value);
    m_.lblEvent(s.mintSelectedGroup, index).visible = value != 0;
    m_.touch();
}

void LineSwitches::chkRecordLines_Click(int index)
{
    const BusyGuard busy;
    if (mblnUpdatingChecks || !validLine(index))
        return;
    preview::DesignerState& s = m_.state();
    const int kept = s.mintSelectedGroup;
    // Slots past the table would only set the check box again.
    const int last = std::min(vb::CInt(vb::Val(panel_.recordsPerPageText()) - 1), templates::kRecords - 1);
    for (int r = 0; r <= last; ++r) {
        s.mintSelectedGroup = r;
        panel_.setLineCheck(index, panel_.recordLinesCheck(index));
        chkLine_Click(index);
    }
    s.mintSelectedGroup = kept;
}

void LineSwitches::syncRecordLineCheck(int line)
{
    if (!validLine(line))
        return;
    bool shown = false;
    for (int r = 0; r < templates::kRecords && !shown; ++r)
        shown = t_.gstrTemplateLines[size_t(r)][templates::kFieldEnabled][size_t(line)] == QLatin1String("1");
    mblnUpdatingChecks = true;
    panel_.setRecordLinesCheck(line, shown ? 1 : 0);
    chkRecordLines_Click(line);
    mblnUpdatingChecks = false;
}

void LineSwitches::ApplyTemplateRecord(int slot)
{
    m_.state().mintSelectedGroup = slot;
    if (!templateRecord(slot))
        return;
    const auto& record = t_.gstrTemplateLines[size_t(slot)];
    for (int i = 0; i < templates::kLines; ++i) {
        const auto v = templates::wholeNumberOf(record[templates::kFieldEnabled][size_t(i)]);
        panel_.setLineCheck(i, v && *v >= 0 && *v <= 2 ? *v : 0);
        chkLine_Click(i);
        panel_.showLineCheck(i);
    }
    for (int i = 0; i < templates::kLines; ++i)
        syncRecordLineCheck(i);
    const preview::Background& bg = std::as_const(m_).picBackground();
    for (int i = 0; i < templates::kLines; ++i) {
        preview::PreviewItem& label = m_.lblEvent(slot, i);
        const auto align = templates::wholeNumberOf(record[templates::kFieldAlignment][size_t(i)]);
        if (align && *align >= 0 && *align <= 2)
            label.alignment = *align;
        templates::placeFromLayoutRect(label, record[templates::kFieldRect][size_t(i)], bg);
        m_.ZOrder({preview::ItemKind::RecordLine, slot, i});
    }
    panel_.ShowRecordInLines(slot + 1);
    panel_.DisableLineRows();
}

} // namespace lines
