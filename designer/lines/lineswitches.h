#pragma once
// The line switches of the template panel and the current record slot.
// chkLine(i) shows or hides line i of the current slot, chkRecordLines(i)
// line i of every slot of the page; ApplyTemplateRecord makes a slot
// current and brings its check boxes and its line labels into line with
// the designer's template. Every change of a line's shown flag is written
// into field 0 of the template line table.
//
// Slots outside 0..5 have no template row: they change only the current
// slot. A shown flag that is not 0, 1 or 2 counts as hidden (it is read as
// 0 and stored as "0"), so a slot never takes another slot's value.
#include "designer/lines/recordlines.h"

#include <QString>

namespace lines {

// The check boxes of the twelve line rows and what the slot change needs
// of the window. Setting a value from here runs no handler: the switches
// run the handler themselves.
class LinePanel {
public:
    virtual ~LinePanel() = default;
    // chkLine(line): 0 clear, 1 checked, 2 grey.
    virtual int lineCheck(int line) const = 0;
    virtual void setLineCheck(int line, int value) = 0;
    // Makes chkLine(line) enabled and visible.
    virtual void showLineCheck(int line) = 0;
    // chkRecordLines(line): 0 clear, 1 checked.
    virtual int recordLinesCheck(int line) const = 0;
    virtual void setRecordLinesCheck(int line, int value) = 0;
    // txtRecordsPerPage.
    virtual QString recordsPerPageText() const = 0;
    // Shows data row `row` (from 1) of the record grid in the line rows.
    virtual void ShowRecordInLines(int row) = 0;
    virtual void DisableLineRows() = 0;
};

class LineSwitches {
public:
    LineSwitches(preview::PreviewModel& model, templates::Template& t, FrameTools& frame, LinePanel& panel);

    // Hides the frame; for a template slot makes `index` the selected line,
    // stores chkLine(index) into field 0 and shows line `index` of the
    // slot's display unless the value is 0.
    void chkLine_Click(int index);
    // Gives chkLine(index) of every slot of the page (txtRecordsPerPage,
    // rounded half to even; slots beyond 5 change nothing) the value of
    // chkRecordLines(index) and runs chkLine_Click for it; the current
    // slot stays. Does nothing while mblnUpdatingChecks is set.
    void chkRecordLines_Click(int index);
    // chkRecordLines(line) = 1 when any slot's field 0 of `line` is exactly
    // "1", else 0; no slot changes.
    void syncRecordLineCheck(int line);
    // Makes `slot` current (state().mintSelectedGroup); for slot 0..5 sets
    // the twelve line checks from field 0, the all-records checks, and
    // places the slot's labels from fields 1 and 2 (each product rounded to
    // 2 decimals); then shows data row slot + 1 in the line rows and makes
    // them inactive. Leaves line 11 selected and the frame hidden.
    void ApplyTemplateRecord(int slot);

    bool mblnUpdatingChecks = false;

private:
    preview::PreviewModel& m_;
    templates::Template& t_;
    FrameTools& frame_;
    LinePanel& panel_;
};

} // namespace lines
