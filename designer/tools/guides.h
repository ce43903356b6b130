#pragma once
// Dragging the four guides of the preview with the left button. A handle
// follows the pointer, its line follows the handle: the vertical ruler and
// the left guide's line stand at the handle's Left, the right guide's line
// ends flush with the handle's right edge (Left + Width - line Width), the
// horizontal ruler's line at the handle's Top. Nothing is clamped while
// dragging; the left release pulls the handle back inside the preview
// (Left 0 .. preview Width - handle Width, or Top 0 .. Height - handle
// Height) and places the line again. Any other button does nothing.
// Positions are preview pixels (templates/model/previewmodel.h).
#include "templates/model/previewmodel.h"

namespace tools {

class GuideHandlers final : public preview::PreviewHandlers {
public:
    explicit GuideHandlers(preview::PreviewModel& model);

    // Installs these handlers for the guide handles.
    void install();

    void lblAdjustLRLine_MouseDown(int button, int shift, double x, double y) override;
    void lblAdjustLRLine_MouseMove(int button, int shift, double x, double y) override;
    void lblAdjustLRLine_MouseUp(int button, int shift, double x, double y) override;
    void lblAdjustUDLine_MouseDown(int button, int shift, double x, double y) override;
    void lblAdjustUDLine_MouseMove(int button, int shift, double x, double y) override;
    void lblAdjustUDLine_MouseUp(int button, int shift, double x, double y) override;
    void lblAlignLeft_MouseDown(int button, int shift, double x, double y) override;
    void lblAlignLeft_MouseMove(int button, int shift, double x, double y) override;
    void lblAlignLeft_MouseUp(int button, int shift, double x, double y) override;
    void lblAlignRight_MouseDown(int button, int shift, double x, double y) override;
    void lblAlignRight_MouseMove(int button, int shift, double x, double y) override;
    void lblAlignRight_MouseUp(int button, int shift, double x, double y) override;

private:
    void press(int button, double x, double y);
    void drag(preview::Guide g, int button, double x, double y);
    void release(preview::Guide g, int button);
    // Places the guide's line by its handle.
    void follow(preview::Guide g);

    preview::PreviewModel& m_;
};

} // namespace tools
