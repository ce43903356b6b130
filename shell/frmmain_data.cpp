// The data source handlers of the main window, the updated-records grid's
// set-up, the record hooks into the list builder, and the states of the
// twelve line rows of the "Record" frame.
#include "shell/dataside.h"
#include "shell/frmmain.h"

#include "core/datagrids.h"
#include "core/globals.h"
#include "recordlist/bookings.h"
#include "recordlist/renderlist.h"
#include "records/datasourcewidgets.h"
#include "records/recordstore.h"
#include "text/fontpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The window's data-source inputs as the data-source handlers see them.
void fillDataSourceView(frmMain& w, WidgetDataSourceView& view)
{
    using C = DataSourceControl;
    view.setControl(C::txtDataFilename, w.txtDataFilename);
    view.setControl(C::txtDataFile, w.txtDataFile);
    view.setControl(C::cmdDataFileBrowser, w.cmdDataFileBrowser);
    view.setControl(C::txtEBMSBookingFilename, w.txtEBMSBookingFilename);
    view.setControl(C::txtEBMSBookingFile, w.txtEBMSBookingFile);
    view.setControl(C::btnEBMSBookingBrowser, w.btnEBMSBookingBrowser);
    view.setControl(C::txtEBMSIDLookupFile, w.txtEBMSIDLookupFile);
    view.setControl(C::btnEBMSIDLookupBrowser, w.btnEBMSIDLookupBrowser);
    view.setControl(C::txtFTPFilename, w.txtFTPFilename);
    view.setControl(C::txtFTPServer, w.txtFTPServer);
    view.setControl(C::txtFTPUsername, w.txtFTPUsername);
    view.setControl(C::txtFTPPassword, w.txtFTPPassword);
    view.setControl(C::txtFTPBookingFilename, w.txtFTPBookingFilename);
    view.setControl(C::optRunSettings0, w.optRunSettings[0]);
    view.setControl(C::optRunSettings1, w.optRunSettings[1]);
    view.setRDMFrames(w.fraRDM, w.fraRDMControls);
}

// A text box that is white whether or not it may be changed.
void setWhite(QWidget* box)
{
    QPalette pal = box->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, Qt::white);
    box->setPalette(pal);
}

void setLineRows(frmMain& w, bool active)
{
    for (int i = 0; i < 12; ++i) {
        if (w.lblLine[i])
            w.lblLine[i]->setEnabled(active);
        if (w.txtLine[i]) {
            setWhite(w.txtLine[i]);
            w.txtLine[i]->setEnabled(active);
        }
        if (w.btnLineFormat[i])
            w.btnLineFormat[i]->setEnabled(false);
    }
}

void setTemplateLineControlsVisible(frmMain& w, bool shown)
{
    for (int i = 0; i < 12; ++i) {
        for (QWidget* c : {static_cast<QWidget*>(w.chkLine[i]), static_cast<QWidget*>(w.chkRecordLines[i]),
                           static_cast<QWidget*>(w.btnLineFormat[i])})
            if (c)
                c->setVisible(shown);
        if (auto it = w.optGroup.find(i); it != w.optGroup.end() && it->second)
            it->second->setVisible(shown);
    }
    if (auto it = w.optGroup.find(99); it != w.optGroup.end() && it->second)
        it->second->setVisible(shown);
}

} // namespace

// ---- Data source handlers ----

void frmMain::cboDataFileType_Click()
{
    WidgetDataSourceView view;
    fillDataSourceView(*this, view);
    ::cboDataFileType_Click(view, cboDataFileType->currentIndex());
}

void frmMain::cmdDataFileBrowser_Click()
{
    WidgetDataSourceView view;
    fillDataSourceView(*this, view);
    ::cmdDataFileBrowser_Click(dataGrids(), view);
}

void frmMain::btnEBMSBookingBrowser_Click()
{
    WidgetDataSourceView view;
    fillDataSourceView(*this, view);
    ::btnEBMSBookingBrowser_Click(dataGrids(), view);
}

void frmMain::initURGridColumns()
{
    ::initURGridColumns(dataGrids().igUR);
}

// ---- Record hooks ----

void installRecordListHooks()
{
    recordshooks::buildRADEList = [](DataGrids& grids) {
        buildRADEList(grids.igRDM, grids.igRADE, grids.igRADE2, ListSortSettings::fromGlobals());
    };
    recordshooks::loadEBMSBookingFile = [](DataGrids& grids, const QString& path) {
        loadEBMSBookingFile(path, grids, gstrAssignedLocation, ListSortSettings::fromGlobals());
    };
}

// ---- Line rows ----

void DisableLineRows(frmMain& window)
{
    setLineRows(window, false);
}

void EnableLineRows(frmMain& window)
{
    setLineRows(window, true);
}

void lockTemplateLineControls(frmMain& window)
{
    setTemplateLineControlsVisible(window, false);
    if (DataSide* side = DataSide::of(window); side && side->fontPanel())
        side->fontPanel()->hide();
    if (window.fraFont)
        window.fraFont->hide();
    window.neighbours.EnableLineRows();
}

void unlockTemplateLineControls(frmMain& window)
{
    setTemplateLineControlsVisible(window, true);
    window.neighbours.DisableLineRows();
}

void unframe(QGroupBox* frame)
{
    if (!frame)
        return;
    frame->setTitle(QString());
    frame->setFlat(true);
    // Scoped by a property of this frame alone, so that frames inside
    // (even ones of the same name) keep their borders.
    frame->setProperty("unframed", true);
    frame->setStyleSheet(QStringLiteral("QGroupBox[unframed=\"true\"] { border: none; margin: 0px; padding: 0px; }"));
}
