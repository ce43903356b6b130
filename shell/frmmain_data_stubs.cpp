// Stand-ins for the data source handlers of the main window and the
// updated-records grid's set-up. The record store's files replace them
// (remove the definition here when adding the real one).
#include "shell/frmmain.h"

void frmMain::cboDataFileType_Click() {}
void frmMain::cmdDataFileBrowser_Click() {}
void frmMain::btnEBMSBookingBrowser_Click() {}
void frmMain::initURGridColumns() {}
