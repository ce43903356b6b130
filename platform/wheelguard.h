#pragma once
// The mouse wheel changes a value only on purpose: a control that changes a
// value (list, spin box, slider, a scroll bar used as a spinner, a tab bar)
// takes the wheel only while it has the keyboard focus. Otherwise the wheel
// goes on to the panel around it, which scrolls as if the control were not
// there.
class QWidget;

namespace wheelguard {

// Guards every value control under `root` (and `root` itself when it is
// one). The scroll bars of scroll areas keep the wheel. Call it again after
// adding controls; a control is guarded only once. Clicking or tabbing into
// a guarded control gives it the focus, and with it the wheel.
void wheelOnlyWithFocus(QWidget* root);

} // namespace wheelguard
