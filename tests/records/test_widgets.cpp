// The Record Data Manager panel and the data-source view over real widgets.
#include "core/globals.h"
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
    EXPECT_FALSE(recordshooks::recordsLoaded);
    EXPECT_FALSE(grids.igRDM.onRowEvent);
}

TEST(RDMPanelWidget, EditorFollowsEveryLoadOfTheStore)
{
    // After a load the editor shows the first record of the new store (and
    // asks the window to make it current), or nothing when the store is
    // empty: Update never writes a record of the store that was replaced.
    QTemporaryDir dir;
    DataGrids grids;
    FakeRows rows;
    RDMPanel panel(grids, &rows);
    std::vector<int> asked;
    QObject::connect(&panel, &RDMPanel::showRecordInLinesRequested, [&asked](int row) { asked.push_back(row); });
    gstrDataType = "3";
    auto load = [&](const QByteArray& bytes) {
        const QString path = dir.filePath("_Orvane.orv");
        testsupport::writeAll(path, bytes);
        ASSERT_TRUE(loadRDMFromOrvFile(grids, path));
    };
    auto window = [&panel] {
        return QStringList({panel.txtDTStartTime->text(), panel.txtDTEndTime->text(), panel.txtDTStartDate->text(),
                            panel.txtDTEndDate->text()});
    };

    load(recordBytes({"Old one"}, "0800|0900|0|0") + recordBytes({"Old two"}, "1000|1100|20240101|20240102"));
    panel.showRDMRecord(2);
    EXPECT_EQ(rows.lines[0], "Old two");

    load(recordBytes({"New"}, "1200|1300|0|0"));
    EXPECT_EQ(rows.lines[0], "New");
    EXPECT_EQ(window(), QStringList({"1200", "1300", "0", "0"}));
    EXPECT_EQ(panel.editor().mlngRDMRow, 1);
    EXPECT_EQ(asked, std::vector<int>({1, 1}));
    panel.btnUpdateRDM->click();
    EXPECT_EQ(grids.igRDM.RowValues(1).first(), "New");
    EXPECT_EQ(grids.igRDM.CellValue(1, "DateTime"), "1200|1300|0|0");

    load(QByteArray());
    EXPECT_EQ(rows.lines, (std::array<QString, 12>{}));
    EXPECT_EQ(window(), QStringList({"00:00", "00:00", "0", "0"}));
    EXPECT_EQ(panel.editor().mlngRDMRow, 0);
    gstrDataType.clear();
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
