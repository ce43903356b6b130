// Data source selection: which inputs each Data Type opens, and the two
// browse buttons.
#include "core/globals.h"
#include "records/datasource.h"
#include "records/recordstore.h"
#include "tests/records/recordstest.h"
#include "tests/testsupport.h"

#include <map>
#include <optional>

namespace {

using C = DataSourceControl;

class FakeView final : public DataSourceView {
public:
    void setEnabled(C c, bool e) override { enabled[c] = e; }
    void setBackColor(C c, uint32_t color) override { colors[c] = color; }
    QString text(C c) const override { return texts.count(c) ? texts.at(c) : QString(); }
    void setText(C c, const QString& t) override { texts[c] = t; }
    void selectLocalOption() override
    {
        localSelectedWhileEnabled = enabled.count(C::optRunSettings0) == 0 || enabled[C::optRunSettings0];
        ++localSelected;
    }
    bool isRDMVisible() const override { return rdmVisible; }
    void setRDMControlsVisible(bool v) override { rdmControls = v; }

    std::map<C, bool> enabled;
    std::map<C, uint32_t> colors;
    std::map<C, QString> texts;
    int localSelected = 0;
    bool localSelectedWhileEnabled = false;
    bool rdmVisible = false;
    std::optional<bool> rdmControls;
};

class Source : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        gstrDataFolder = dir.path();
        gstrWorkingDataFile = dir.filePath("_Orvane.orv");
        testsupport::writeAll(gstrWorkingDataFile, "old\r\n");
    }
    void TearDown() override
    {
        gstrDataFolder.clear();
        gstrWorkingDataFile.clear();
        gstrDataType.clear();
        gstrBookingDataFile.clear();
    }
    QTemporaryDir dir;
    FakeView view;
    DataGrids grids;
    FakeMessages messages;
    FakeFiles files;
};

} // namespace

TEST_F(Source, EachTypeOpensItsInputs)
{
    cboDataFileType_Click(view, 2);
    for (C c : {C::txtDataFile, C::txtEBMSBookingFile, C::btnEBMSBookingBrowser, C::txtEBMSIDLookupFile,
                C::txtFTPBookingFilename, C::optRunSettings0, C::optRunSettings1})
        EXPECT_TRUE(view.enabled[c]);
    EXPECT_EQ(view.colors[C::txtEBMSIDLookupFile], kOpenInputColor);
    EXPECT_FALSE(view.colors.count(C::txtEBMSBookingFilename)); // no colour for this one
    EXPECT_EQ(view.rdmControls, false);

    cboDataFileType_Click(view, 4);
    EXPECT_TRUE(view.enabled[C::txtFTPServer]);
    EXPECT_FALSE(view.enabled[C::btnEBMSIDLookupBrowser]);
    EXPECT_EQ(view.colors[C::txtFTPBookingFilename], kClosedInputColor);
    EXPECT_EQ(view.localSelected, 0);
}

TEST_F(Source, OwnRecordsClosesEverythingAndShowsEditButtons)
{
    cboDataFileType_Click(view, 0);
    cboDataFileType_Click(view, 3);
    EXPECT_TRUE(view.localSelectedWhileEnabled); // selected before the options close
    EXPECT_FALSE(view.enabled[C::optRunSettings1]);
    EXPECT_FALSE(view.enabled[C::txtFTPPassword]);
    EXPECT_EQ(view.colors[C::txtDataFile], kClosedInputColor);
    EXPECT_FALSE(view.rdmControls.value()); // type "0" hid them; "3" with the manager hidden leaves them

    view.rdmVisible = true;
    cboDataFileType_Click(view, 3);
    EXPECT_TRUE(view.rdmControls.value());
    cboDataFileType_Click(view, 1);
    EXPECT_FALSE(view.rdmControls.value());
}

TEST_F(Source, DataFileBrowserAsksInTheDataFolderAndReportsAFailedConversion)
{
    gstrDataType = "0";
    files.answer.clear(); // cancel: nothing happens
    cmdDataFileBrowser_Click(grids, view);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(files.lastFolder, dir.path());

    // A failing conversion: its own message, then the browse message; nothing changes.
    view.texts[C::txtDataFile] = "kept.txt";
    files.answer = dir.filePath("bad.txt");
    testsupport::writeAll(files.answer, "1\t2\r\n");
    cmdDataFileBrowser_Click(grids, view);
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts[1], "Error converting the file to ORV format.");
    EXPECT_EQ(messages.icons[1], MsgIcon::Exclamation);
    EXPECT_EQ(view.texts[C::txtDataFile], "kept.txt");
    EXPECT_EQ(testsupport::readAll(gstrWorkingDataFile), "old\r\n");

    // While another command is busy the button does nothing.
    BusyGuard busy;
    files.opened = 0;
    cmdDataFileBrowser_Click(grids, view);
    EXPECT_EQ(files.opened, 0);
}
