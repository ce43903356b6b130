#pragma once
// What the main window asks of the other subsystems: templates, the font
// panel, the run cycle, the designer, the administration window and the
// FTP window. Each starts as a stand-in that does nothing visible; the
// subsystem that owns the operation installs the real one at start-up.
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>

struct ShellNeighbours {
    using Action = std::function<void()>;
    using IndexAction = std::function<void(int)>;

    // Templates.
    Action btnSetTemplate_Click = [] {};       // save the designer's template into the selected slot
    Action btnSaveTemplate_Click = [] {};      // save it under the typed template name
    Action cboTemplateSelection_Click = [] {}; // the template slot list's selection changed
    IndexAction loadDefaultTemplateLayout = [](int) {};
    IndexAction SelectTemplateRecord = [](int) {};
    // Selects slot `index` of the slot list and runs the slot change (the
    // settings loads, the start-up and Stop). The window's own stand-in
    // selects the entry and runs cboTemplateSelection_Click.
    IndexAction selectTemplateSlot = [](int) {};

    // Font panel.
    Action ShowFontSample = [] {};

    // Run cycle: Process > Start Program and Stop, and its windows.
    Action mnuRestart_Click = [] {};
    Action mnuStop_Click = [] {};
    Action closeConvertWindow = [] {}; // the conversion wait window
    Action closeRenderWindow = [] {};  // the off-screen page render window
    Action closeDisplayWindow = [] {}; // the full-screen stand-alone display
    // Whether the full-screen display is open, and, while it is, putting it
    // back above the program's other windows, with the focus.
    std::function<bool()> displayWindowOpen = [] { return false; };
    Action raiseDisplayWindow = [] {};

    // Record Data Manager: shows row `row` of the record store in the line
    // editor - its twelve lines and its validity boxes, as choosing the row
    // in the grid does - and makes it the panel's current record.
    IndexAction showRecordInEditor = [](int) {};

    // Designer, record lines.
    Action DisableLineRows = [] {};
    Action EnableLineRows = [] {};
    IndexAction ApplyTemplateRecord = [](int) {};
    Action PositionGuideLines = [] {};
    // The template line table's group flags: those of records 0..records-1
    // are cleared, then `line` (0..11) is flagged in each of them and
    // becomes the group line (line + 1); 99 ("No Group") sets the group line
    // to "0"; -1 only clears.
    std::function<void(int records, int line)> applyGroupLine = [](int, int) {};

    // Designer, layout tools.
    Action HideSelectionFrame = [] {};
    // Frames the selected label (index within the array that the selection
    // group names).
    IndexAction ShowSelectionFrame = [](int) {};
    IndexAction applyTDTLabelSettings = [](int) {};
    Action drawLayoutGrid = [] {}; // the design grid again with its count
    Action lockTemplateLineControls = [] {};
    Action unlockTemplateLineControls = [] {};

    // The preview page (picBackground): its drawing and picture are removed,
    // then it takes `backColor` (blue-green-red) and, when not null,
    // `picture` stretched over the page.
    std::function<void(uint32_t backColor, const QImage& picture)> setPreviewBackground = [](uint32_t, const QImage&) {
    };
    // The element labels lblTDT(0..3) on the preview: title, date, time, PiP.
    std::function<void(int index, const QString& caption)> setTDTLabelCaption = [](int, const QString&) {};
    std::function<void(int index, bool visible)> setTDTLabelVisible = [](int, bool) {};

    // Remote update: the administration window, shown modally until closed,
    // and its closing by the program at shut-down.
    Action showAdministration = [] {};
    Action closeAdministration = [] {};

    // Fetching source files: cancel an open transfer, close the FTP window.
    Action cancelFtpTransfer = [] {};
    Action closeFtpWindow = [] {};
};
