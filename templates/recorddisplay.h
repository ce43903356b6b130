#pragma once
// The record displays of the designer preview: one template record shown
// on its column of twelve line labels (record r on lblEvent for r = 0,
// lblEvent1 .. lblEvent5 for r = 1..5) and on the per-line controls of the
// template panel, one record's lines switched off, and the record selector.
#include "templates/model/previewmodel.h"
#include "templates/template.h"

#include <QString>

namespace templates {

// The template panel's per-line controls and the record-line designer's
// procedures that the record displays drive. Each does nothing until the
// main window's panel overrides it.
class RecordPanel {
public:
    virtual ~RecordPanel() = default;
    // chkLine(line).Value = value (0 clear, 1 checked, 2 grey); when the
    // value changes the box's Click handler runs at once.
    virtual void setLineCheck(int line, int value);
    // The line check box's handler: shows or hides label `line` of the
    // current record display and writes the box's value into field 0.
    virtual void chkLine_Click(int line);
    // Makes chkLine(line) enabled and visible.
    virtual void showLineCheck(int line);
    virtual void syncRecordLineCheck(int line);
    // optGroup(line).Value; selecting an option runs its Click handler.
    virtual void setGroupOption(int line, bool selected);
    virtual void DisableLineRows();
    virtual void setSelRecordText(const QString& text);
    virtual void ApplyTemplateRecord(int record);
    virtual void focusSelRecord();
};

// Shows template record `record` on its record display and on the panel and
// makes it current (state().mintSelectedGroup). An index outside 0..5 only
// sets the current display. Field values that cannot be read leave their
// control as it was.
void ShowTemplateRecord(int record, const Template& t, preview::PreviewModel& model, RecordPanel& panel);

// Makes `record` current and switches its twelve lines off through the line
// check boxes; geometry, fonts, line-up and group fields stay.
void SelectTemplateRecord(int record, preview::PreviewModel& model, RecordPanel& panel);

// The record selector counts backwards: it shows record maximum - value + 1.
int selectedRecordNumber(int maximum, int value);
// The selector's Change: shows the number and applies that record.
void vsSelRecord_Change(int maximum, int value, RecordPanel& panel);

// A template text read as a whole number the way a control assignment reads
// it: blanks around a number (with an optional fraction, rounded half to
// even) are allowed, anything else is no number.
std::optional<int> wholeNumberOf(const QString& text);
// A template text read as a truth value: "True"/"False" in any letter case,
// or a number (not zero is true); anything else is neither.
std::optional<bool> truthOf(const QString& text);

} // namespace templates
