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
        recordshooks::loadEBMSBookingFile = nullptr;
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
    EXPECT_EQ(gstrDataType, "2");
    for (C c : {C::txtDataFile, C::txtEBMSBookingFile, C::btnEBMSBookingBrowser, C::txtEBMSIDLookupFile,
                C::txtFTPBookingFilename, C::optRunSettings0, C::optRunSettings1})
        EXPECT_TRUE(view.enabled[c]);
    EXPECT_EQ(view.colors[C::txtEBMSIDLookupFile], kOpenInputColor);
    EXPECT_FALSE(view.colors.count(C::txtEBMSBookingFilename)); // no colour for this one
    EXPECT_EQ(view.rdmControls, false);

    cboDataFileType_Click(view, 4);
    EXPECT_TRUE(view.enabled[C::txtDataFile]);
    EXPECT_TRUE(view.enabled[C::txtFTPServer]);
    EXPECT_FALSE(view.enabled[C::txtEBMSBookingFile]);
    EXPECT_FALSE(view.enabled[C::btnEBMSIDLookupBrowser]);
    EXPECT_EQ(view.colors[C::txtFTPBookingFilename], kClosedInputColor);
    EXPECT_EQ(view.localSelected, 0);
}

TEST_F(Source, OwnRecordsClosesEverythingAndShowsEditButtons)
{
    cboDataFileType_Click(view, 0);
    cboDataFileType_Click(view, 3);
    EXPECT_EQ(gstrDataType, "3");
    EXPECT_EQ(view.localSelected, 1);
    EXPECT_TRUE(view.localSelectedWhileEnabled); // selected before the options close
    EXPECT_FALSE(view.enabled[C::optRunSettings0]);
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

TEST_F(Source, DataFileBrowserConvertsAndLoads)
{
    gstrDataType = "0";
    int shownTotal = -1;
    recordshooks::showTotalRecords = [&shownTotal](int n) { shownTotal = n; };

    files.answer.clear(); // cancel: nothing happens
    cmdDataFileBrowser_Click(grids, view);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(files.lastTitle, "Select a file");
    EXPECT_EQ(files.lastFilter, kDataFileFilter);
    EXPECT_EQ(files.lastFolder, dir.path());

    const QString src = dir.filePath("export.TXT");
    testsupport::writeAll(src, "1\t2\t3\t4\t5\t6\t7\t8\t9\r\n1\t2\t3\t4\t5\t6\t7\t8\t9\r\n");
    files.answer = src;
    cmdDataFileBrowser_Click(grids, view);
    EXPECT_EQ(grids.igRDM.RowCount(), 2);
    EXPECT_EQ(shownTotal, 2);
    EXPECT_EQ(view.texts[C::txtDataFile], src);
    EXPECT_EQ(view.texts[C::txtDataFilename], "export.TXT");

    // A failing conversion: its own message, then the browse message; nothing changes.
    const QString bad = dir.filePath("bad.txt");
    testsupport::writeAll(bad, "1\t2\r\n");
    files.answer = bad;
    cmdDataFileBrowser_Click(grids, view);
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts[1], "Error converting the file to ORV format.");
    EXPECT_EQ(messages.icons[1], MsgIcon::Exclamation);
    EXPECT_EQ(view.texts[C::txtDataFile], src);

    // While another command is busy the button does nothing.
    {
        BusyGuard busy;
        files.opened = 0;
        cmdDataFileBrowser_Click(grids, view);
        EXPECT_EQ(files.opened, 0);
    }
    recordshooks::showTotalRecords = nullptr;
}

TEST_F(Source, BookingBrowserNeedsAFunctionFileFirst)
{
    QString loaded;
    recordshooks::loadEBMSBookingFile = [&loaded](DataGrids&, const QString& p) { loaded = p; };
    view.texts[C::txtDataFile] = dir.filePath("missing.txt");
    btnEBMSBookingBrowser_Click(grids, view);
    EXPECT_EQ(messages.texts, QStringList{"Please select/enter an EBMS Function Data File first."});
    EXPECT_EQ(files.opened, 0);

    const QString func = dir.filePath("func.txt");
    testsupport::writeAll(func, "x");
    view.texts[C::txtDataFile] = func;
    files.answer = dir.filePath("Book ings.txt");
    btnEBMSBookingBrowser_Click(grids, view);
    EXPECT_EQ(files.lastFilter, kBookingFileFilter);
    EXPECT_EQ(view.texts[C::txtEBMSBookingFilename], "Book ings.txt");
    EXPECT_EQ(gstrBookingDataFile, "Book ings.txt");
    EXPECT_EQ(loaded, files.answer);
}
