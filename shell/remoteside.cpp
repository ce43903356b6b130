#include "shell/remoteside.h"

#include "remote/frmorvanecomm.h"
#include "shell/frmmain.h"

#include <QPointer>

namespace RemoteSide {

void install(frmMain& window)
{
    // The one open administration window, if any.
    static QPointer<frmOrvaneComm> open;
    QPointer<frmMain> owner(&window);
    window.neighbours.showAdministration = [owner] {
        if (open || !owner)
            return;
        frmOrvaneComm dialog(owner);
        open = &dialog;
        dialog.exec();
        open = nullptr;
    };
    window.neighbours.closeAdministration = [] {
        if (open)
            open->closeByProgram();
    };
}

} // namespace RemoteSide
