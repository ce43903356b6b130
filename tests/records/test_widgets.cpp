// The Record Data Manager panel and the data-source view over real widgets.
#include "records/datasourcewidgets.h"
#include "records/rdmpanel.h"
#include "records/recordstore.h"
#include "tests/records/recordstest.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

class FakeRows final : public RecordLineRows {
public:
    QString lineText(int i) const override { return lines[size_t(i)]; }
    void setLineText(int i, const QString& t) override { lines[size_t(i)] = t; }
    void enableLineRows() override { ++enabled; }
    std::array<QString, 12> lines;
    int enabled = 0;
};

} // namespace

TEST(RDMPanelWidget, ButtonsEditThroughTheLineRows)
{
    DataGrids grids;
    FakeRows rows;
    RDMPanel panel(grids, &rows);

    panel.btnAddRDM->click();
    EXPECT_EQ(rows.enabled, 1);
    rows.lines[0] = "Gala\t";
    panel.txtDTStartTime->setText("0900");
    panel.txtDTEndDate->setText("");
    panel.btnUpdateRDM->click();
    EXPECT_EQ(grids.igRDM.RowValues(1).first(), "Gala");
    EXPECT_EQ(grids.igRDM.CellValue(1, "DateTime"), "0900|00:00|0|");
    panel.btnAddRDM->click();
    EXPECT_EQ(panel.txtDTEndDate->text(), "0");
    EXPECT_EQ(panel.lblTotalRecords->text(), "2");

    // A load elsewhere updates the count through the hook.
    recordshooks::showTotalRecords(7);
    EXPECT_EQ(panel.lblTotalRecords->text(), "7");

    std::vector<int> asked;
    QObject::connect(&panel, &RDMPanel::showRecordInLinesRequested, [&asked](int row) { asked.push_back(row); });
    panel.vsRecord_Change(0);
    EXPECT_EQ(panel.txtRecord->text(), "1");
    EXPECT_EQ(asked, std::vector<int>{1});
}

TEST(RDMPanelWidget, HooksAreRemovedWithThePanel)
{
    DataGrids grids;
    {
        RDMPanel panel(grids);
    }
    EXPECT_FALSE(recordshooks::showTotalRecords);
    EXPECT_FALSE(grids.igRDM.onRowEvent);
}

TEST(DataSourceWidgets, TypeChangeDrivesTheRealControls)
{
    QWidget window;
    auto* local = new QRadioButton(&window);
    auto* ftp = new QRadioButton(&window);
    auto* dataFile = new QLineEdit(&window);
    auto* rdm = new QGroupBox(&window);
    auto* rdmControls = new QGroupBox(&window);
    ftp->setChecked(true);
    WidgetDataSourceView view;
    view.setControl(DataSourceControl::optRunSettings0, local);
    view.setControl(DataSourceControl::optRunSettings1, ftp);
    view.setControl(DataSourceControl::txtDataFile, dataFile);
    view.setRDMFrames(rdm, rdmControls);

    cboDataFileType_Click(view, 3);
    EXPECT_TRUE(local->isChecked());
    EXPECT_FALSE(dataFile->isEnabled());
    EXPECT_EQ(dataFile->palette().color(QPalette::Base), dataFile->palette().color(QPalette::Button));
    EXPECT_FALSE(rdmControls->isHidden()); // the manager frame was never hidden

    cboDataFileType_Click(view, 0);
    EXPECT_TRUE(ftp->isEnabled());
    EXPECT_EQ(dataFile->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_TRUE(rdmControls->isHidden());
}
