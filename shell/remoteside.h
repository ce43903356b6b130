#pragma once
// The remote side of the main window: "Communication" opens the
// administration window modally, and the shut-down closes it (cancelling a
// running update first).
class frmMain;

namespace RemoteSide {
// Installs showAdministration and closeAdministration into the window's
// neighbours.
void install(frmMain& window);
} // namespace RemoteSide
