#pragma once
// One set of preview handlers made of several: each designer tool overrides
// the events of its own controls, and the chain hands every event to each
// tool in the order they were added (a tool that does not override an event
// does nothing with it). The model takes the chain as its handlers.
#include "templates/model/previewmodel.h"

#include <vector>

namespace preview {

class HandlerChain final : public PreviewHandlers {
public:
    // The caller keeps ownership; a tool added twice is kept once.
    void add(PreviewHandlers* handlers);
    void remove(PreviewHandlers* handlers);

    void lblEvent_MouseDown(int group, int index, int button, int shift, double x, double y) override;
    void lblEvent_MouseMove(int group, int index, int button, int shift, double x, double y) override;
    void lblEvent_MouseUp(int group, int index, int button, int shift, double x, double y) override;
    void lblEvent_DblClick(int group, int index) override;

    void lblTDT_MouseDown(int index, int button, int shift, double x, double y) override;
    void lblTDT_MouseMove(int index, int button, int shift, double x, double y) override;
    void lblTDT_MouseUp(int index, int button, int shift, double x, double y) override;

    void PicEdge_MouseDown(int index, int button, int shift, double x, double y) override;
    void PicEdge_MouseMove(int index, int button, int shift, double x, double y) override;
    void PicEdge_MouseUp(int index, int button, int shift, double x, double y) override;

    void btnAdjust_MouseDown(int button, int shift, double x, double y) override;
    void btnAdjust_MouseMove(int button, int shift, double x, double y) override;
    void btnAdjust_MouseUp(int button, int shift, double x, double y) override;

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

    void picBackground_MouseDown(int button, int shift, double x, double y) override;
    void picBackground_MouseMove(int button, int shift, double x, double y) override;
    void picBackground_MouseUp(int button, int shift, double x, double y) override;
    void picBackground_Click() override;

private:
    template <typename F> void each(F f)
    {
        // A handler may add or remove tools; the event goes to those present
        // when it arrived.
        const std::vector<PreviewHandlers*> now = handlers_;
        for (PreviewHandlers* h : now)
            f(*h);
    }
    std::vector<PreviewHandlers*> handlers_;
};

} // namespace preview
