#pragma once
// What the main window asks of the other subsystems: templates, the font
// panel, the run cycle, the designer, the administration window and the
// FTP window. Each starts as a stand-in that does nothing visible; the
// subsystem that owns the operation installs the real one at start-up.
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

    // Font panel.
    Action ShowFontSample = [] {};

    // Run cycle: Process > Start Program and Stop, and its windows.
    Action mnuRestart_Click = [] {};
    Action mnuStop_Click = [] {};
    Action closeConvertWindow = [] {}; // the conversion wait window
    Action closeRenderWindow = [] {};  // the off-screen page render window
    Action closeDisplayWindow = [] {}; // the full-screen stand-alone display

    // Designer, record lines.
    Action DisableLineRows = [] {};
    Action EnableLineRows = [] {};
    IndexAction ApplyTemplateRecord = [](int) {};
    Action PositionGuideLines = [] {};

    // Designer, layout tools.
    Action HideSelectionFrame = [] {};
    IndexAction applyTDTLabelSettings = [](int) {};
    Action lockTemplateLineControls = [] {};
    Action unlockTemplateLineControls = [] {};

    // Remote update: the administration window, shown modally until closed,
    // and its closing by the program at shut-down.
    Action showAdministration = [] {};
    Action closeAdministration = [] {};

    // Fetching source files: cancel an open transfer, close the FTP window.
    Action cancelFtpTransfer = [] {};
    Action closeFtpWindow = [] {};
};
