// The settings panel's inputs: dwell time and its spinner, retrieval and
// sort rules, file pickers, screen lists, background and page elements.
#include "settingsfakes.h"

#include "core/datagrids.h"
#include "platform/statuslog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

void type(QWidget* target, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
}

} // namespace

TEST_F(SettingsWindowTest, DwellTimeTakesDigitsAndEditingKeysAndStepsFromTheBox)
{
    frmMain& w = *window;
    toPlayer(3);
    w.txtDwellTime->setText(QStringLiteral("1"));
    w.txtDwellTime->end(false);
    type(w.txtDwellTime, Qt::Key_A, QStringLiteral("a"));
    type(w.txtDwellTime, Qt::Key_Minus, QStringLiteral("-"));
    type(w.txtDwellTime, Qt::Key_5, QStringLiteral("5"));
    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("15"));

    // The spinner's up arrow lowers its value and adds a second to the
    // number in the box, whatever was typed before.
    w.txtDwellTime->setText(QStringLiteral("25"));
    w.vsDwellTime->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("26"));
    w.vsDwellTime->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    w.vsDwellTime->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("24"));
    w.txtDwellTime->clear();
    w.vsDwellTime->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(w.txtDwellTime->text(), QStringLiteral("1"));
}

TEST_F(SettingsWindowTest, RetrievalSortAndValidityRules)
{
    frmMain& w = *window;
    toPlayer(0);
    w.optRunSettings[1]->setChecked(true);
    EXPECT_TRUE(w.fraRunSettings[0]->isHidden());
    EXPECT_EQ(gstrRetrieveType, QStringLiteral("1"));

    w.cboSortSelection->setCurrentIndex(1);
    EXPECT_EQ(w.cboSortLine->currentText(), QStringLiteral("Line 1"));
    w.cboSortLine->setCurrentIndex(4);
    w.cboSortSelection->setCurrentIndex(2);
    EXPECT_EQ(w.cboSortLine->currentText(), QStringLiteral("Line 5"));
    w.cboSortSelection->setCurrentIndex(0);
    EXPECT_EQ(w.cboSortLine->currentText(), QString());
    // The sort lists cannot be typed into.
    type(w.cboSortLine, Qt::Key_L, QStringLiteral("L"));
    EXPECT_EQ(w.cboSortLine->currentText(), QString());

    // Validity: the boxes follow the switch, their colour the mode.
    w.chkDayTimeValidation->setChecked(true);
    w.chkDayTimeValidation->setChecked(false);
    EXPECT_FALSE(w.txtValidStartTime->isEnabled());
    EXPECT_TRUE(frmMain::inputIsWhite(w.txtValidStartTime));
}

TEST_F(SettingsWindowTest, OrientationRefillsTheScreenListsAndRebuildsThePreview)
{
    frmMain& w = *window;
    QStringList calls;
    w.neighbours.HideSelectionFrame = [&] { calls << QStringLiteral("hide frame"); };
    w.neighbours.PositionGuideLines = [&] { calls << QStringLiteral("guides"); };
    w.neighbours.loadDefaultTemplateLayout = [&](int n) { calls << QStringLiteral("layout %1").arg(n); };
    w.cboRotation->setCurrentIndex(3);
    w.cboTemplateSelection->setCurrentIndex(2);

    w.optLayout[1]->setChecked(true);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("hide frame"), QStringLiteral("layout 1"), QStringLiteral("guides")}));
    EXPECT_EQ(w.cboResolution->currentText(), QStringLiteral("1024 x 768"));

    w.optLayout[0]->setChecked(true);
    EXPECT_EQ(w.cboResolution->currentText(), QStringLiteral("768 x 1024"));
    w.cboResolution->setCurrentIndex(6);
    EXPECT_EQ(gstrScreenHeight, QStringLiteral("1920"));
}

TEST_F(SettingsWindowTest, BackgroundTypeColourAndPicture)
{
    frmMain& w = *window;
    std::vector<std::pair<uint32_t, QSize>> shown;
    w.neighbours.setPreviewBackground = [&](uint32_t c, const QImage& p) { shown.push_back({c, p.size()}); };

    w.txtBackgroundColor->setText(QStringLiteral("&HFF"));
    w.optBackgroundType[1]->setChecked(true);
    EXPECT_EQ(w.txtBackgroundColor->text(), QStringLiteral("&H000000"));
    w.txtBackgroundImagename->setText(QStringLiteral("intro.MP4"));
    EXPECT_FALSE(w.lblBGVideo->isHidden());
    w.optBackgroundType[0]->setChecked(true);
    EXPECT_EQ(w.txtBackgroundImagename->text(), QString());
    EXPECT_TRUE(w.lblBGVideo->isHidden());

    colors.answer = QColor(0, 0, 255);
    w.btnBackgroundColor_Click();
    EXPECT_EQ(w.txtBackgroundColor->text(), QStringLiteral("&HFF0000"));
    colors.answer = QColor();
    w.btnBackgroundColor_Click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, 0xFF0000u);

    // A picture named bare, or by a folder of another machine, is taken
    // from the Media folder; one found nowhere leaves the page black.
    QImage picture(8, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(mediaFolder() + QStringLiteral("/back.png")));
    for (const char* name : {"back.png", "C:\\ZQ\\Media\\back.png"}) {
        shown.clear();
        w.loadBackgroundFile(QString::fromLatin1(name));
        ASSERT_EQ(shown.size(), 2u) << name;
        EXPECT_EQ(shown[1].second, QSize(8, 4)) << name;
    }
    shown.clear();
    w.loadBackgroundFile(QStringLiteral("missing.png"));
    EXPECT_EQ(shown.size(), 1u);
    shelltest::writeText(mediaFolder() + QStringLiteral("/broken.png"), QStringLiteral("not a picture"));
    w.loadBackgroundFile(QStringLiteral("broken.png"));
    EXPECT_TRUE(shelltest::logged(QStringLiteral("!!!Error loading the Background file.")));

    // The media picker keeps the full path it returns.
    files.answer = mediaFolder() + QStringLiteral("/back.png");
    w.optBackgroundType[1]->setChecked(true);
    w.btnBackgroundImageBrowser_Click();
    EXPECT_EQ(files.lastFolder, mediaFolder());
    EXPECT_EQ(w.txtBackgroundImagename->text(), files.answer);
}

TEST_F(SettingsWindowTest, FilePickersKeepTheFullPath)
{
    frmMain& w = *window;
    QDir(dir.path()).mkpath(QStringLiteral("elsewhere"));
    const QString lookup = folder("elsewhere") + QStringLiteral("/IDS.TXT");
    shelltest::writeText(lookup, QStringLiteral("\"R1\",\"Ballroom\"\r\n\"R2\",\"Terrace\"\r\n"));

    files.answer = lookup;
    w.btnEBMSIDLookupBrowser_Click();
    EXPECT_EQ(files.lastFolder, dataFolder());
    EXPECT_EQ(w.txtEBMSIDLookupFile->text(), lookup);
    EXPECT_EQ(dataGrids().igIDLookup.RowCount(), 2);

    // Cancelling changes nothing; a busy program opens no dialog.
    files.answer.clear();
    w.btnEBMSIDLookupBrowser_Click();
    EXPECT_EQ(w.txtEBMSIDLookupFile->text(), lookup);
    {
        BusyGuard busy;
        const int asked = files.asked;
        w.btnImgBrowser_Click();
        EXPECT_EQ(files.asked, asked);
    }

    files.answer = folder("elsewhere") + QStringLiteral("/page.png");
    w.btnImgBrowser_Click();
    EXPECT_EQ(w.txtImageFile->text(), files.answer);

    // A PiP video from elsewhere is copied into the Media folder; one
    // already there is used where it lies.
    const QString video = folder("elsewhere") + QStringLiteral("/clip.mp4");
    shelltest::writeText(video, QStringLiteral("video"));
    files.answer = video;
    w.btnPiPBrowser_Click();
    EXPECT_EQ(w.txtPiP->text(), mediaFolder() + QStringLiteral("/clip.mp4"));
    EXPECT_TRUE(QFileInfo::exists(mediaFolder() + QStringLiteral("/clip.mp4")));
    QFile::remove(video);
    files.answer = mediaFolder() + QStringLiteral("/clip.mp4");
    w.btnPiPBrowser_Click();
    EXPECT_EQ(w.txtPiP->text(), files.answer);
}

TEST_F(SettingsWindowTest, PageElementSwitches)
{
    frmMain& w = *window;
    QStringList calls;
    w.neighbours.HideSelectionFrame = [&] { calls << QStringLiteral("hide frame"); };
    w.neighbours.applyTDTLabelSettings = [&](int i) { calls << QStringLiteral("apply %1").arg(i); };
    w.neighbours.setTDTLabelCaption = [&](int i, const QString& c) {
        calls << QStringLiteral("caption %1 %2").arg(i).arg(c);
    };
    w.neighbours.setTDTLabelVisible = [&](int i, bool v) { calls << QStringLiteral("visible %1 %2").arg(i).arg(v); };

    w.cboDateFormat->setCurrentIndex(3);
    w.chkDateFormat->setChecked(true);
    w.chkTimeFormat->setChecked(true);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("hide frame"), QStringLiteral("caption 1 20240307"),
                                  QStringLiteral("visible 1 1"), QStringLiteral("hide frame"),
                                  QStringLiteral("caption 2 1405"), QStringLiteral("visible 2 1")}));

    calls.clear();
    w.txtTitle->setText(QStringLiteral("Welcome"));
    w.txtPiP->setText(QStringLiteral("clip.mp4"));
    w.chkTitle->setChecked(true);
    w.chkTitle->setChecked(false);
    w.chkPiP->setChecked(true);
    w.chkPiP->setChecked(false);
    EXPECT_TRUE(calls.contains(QStringLiteral("caption 3 PiP Windows")));
    EXPECT_EQ(calls.last(), QStringLiteral("visible 3 0"));
}

TEST_F(SettingsWindowTest, GroupLineRecordSpinnersAndTheLineEditor)
{
    frmMain& w = *window;
    std::vector<std::pair<int, int>> groups;
    w.neighbours.applyGroupLine = [&](int records, int line) { groups.push_back({records, line}); };
    w.txtRecordsPerPage->setText(QStringLiteral("3"));
    w.optGroup[2]->setChecked(true);
    w.optGroup[99]->setChecked(true);
    EXPECT_EQ(groups, (std::vector<std::pair<int, int>>{{3, 2}, {3, 99}}));

    QStringList calls;
    w.neighbours.SelectTemplateRecord = [&](int r) { calls << QStringLiteral("off %1").arg(r); };
    w.neighbours.ApplyTemplateRecord = [&](int r) { calls << QStringLiteral("edit %1").arg(r); };
    w.vsRecordsPerPage->setValue(4);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("off 5"), QStringLiteral("off 4"), QStringLiteral("off 3"),
                                  QStringLiteral("edit 2")}));

    // The line editor shows rows of the record store only.
    Grid& rdm = dataGrids().igRDM;
    rdm.Clear(true);
    for (int i = 1; i <= 12; ++i)
        rdm.AddCol(QStringLiteral("Line %1").arg(i));
    rdm.AddRow();
    rdm.AddRow();
    std::vector<int> shown;
    w.neighbours.showRecordInEditor = [&](int row) { shown.push_back(row); };
    w.ShowRecordInLines(2);
    EXPECT_EQ(w.mlngRDMRow, 2);
    w.ShowRecordInLines(3);
    EXPECT_EQ(w.mlngRDMRow, 2);
    w.ShowRecordInLines(1);
    EXPECT_EQ(shown, (std::vector<int>{2, 1}));
}
