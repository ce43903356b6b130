// The template workflow in the main window: the slot list, the template
// commands, the play-list and the fit of the template view.
#include "integrationfixture.h"

#include "platform/gridview.h"
#include "platform/inifile.h"
#include "platform/textfile.h"
#include "shell/startup.h"
#include "shell/templateside.h"
#include "templates/model/previewmodel.h"
#include "templates/template.h"
#include "templates/templatecommands.h"
#include "templates/templatefile.h"
#include "templates/templatepanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

QString slotFile(const QString& name)
{
    return paths::join(gstrDataFolder, name + QStringLiteral(".ORVT"));
}

// The user chooses an entry of the slot list.
void chooseSlot(frmMain& w, int index)
{
    w.cboTemplateSelection->setCurrentIndex(index);
    Q_EMIT w.cboTemplateSelection->activated(index);
}

QStringList playList()
{
    QStringList rows;
    const Grid& g = dataGrids().igTemplates;
    for (int r = 1; r <= g.RowCount(); ++r)
        rows << g.CellValue(r, QStringLiteral("Template"));
    return rows;
}

void selectOnly(int row)
{
    Grid& g = dataGrids().igTemplates;
    for (int r = 1; r <= g.RowCount(); ++r)
        g.SetCellSelected(r, 1, r == row);
}

} // namespace

TEST_F(IntegrationTest, StartUpSelectsTheFirstSlotAndBuildsItsLayout)
{
    frmMain& w = *window;
    const preview::PreviewModel& m = side->previewModel();
    // A selector with Max 0 below Min 1 keeps its value: no record is applied.
    EXPECT_EQ(w.txtSelRecord->text(), "0");
    EXPECT_TRUE(w.vsSelRecord->isHidden());
    // No file yet: the layout without records.
    EXPECT_FALSE(m.lblEvent(0, 0).visible);
    // The first selection stores nothing.
    EXPECT_FALSE(QFile::exists(slotFile(QStringLiteral("Default Template"))));
    // The play-list panel took the place of the window's own grid.
    templates::PlayListPanel* playListPanel = TemplateSide::of(w)->playListPanel();
    ASSERT_NE(playListPanel, nullptr);
    EXPECT_EQ(w.igTemplatesView, playListPanel->igTemplatesView);
    EXPECT_EQ(w.btnAddTemplate, playListPanel->btnAddTemplate);
}

TEST_F(IntegrationTest, ASlotChangeStoresTheSlotLeftAndLoadsOrBuildsTheChosenOne)
{
    frmMain& w = *window;
    const preview::PreviewModel& m = side->previewModel();

    chooseSlot(w, 3);
    EXPECT_TRUE(QFile::exists(slotFile(QStringLiteral("Default Template"))));
    EXPECT_FALSE(QFile::exists(slotFile(QStringLiteral("Template with 3 records"))));
    EXPECT_EQ(w.txtSelRecord->text(), "3");
    EXPECT_FALSE(w.vsSelRecord->isHidden());
    EXPECT_TRUE(m.lblEvent(2, 11).visible);
    EXPECT_FALSE(m.lblEvent(3, 0).visible);

    // The record selector counts downwards and makes its record current.
    w.vsSelRecord->setValue(3);
    EXPECT_EQ(w.txtSelRecord->text(), "1");
    EXPECT_EQ(m.state().mintSelectedGroup, 0);

    // Code that selects an entry, and typing into the list, run no slot
    // change: nothing is stored.
    const QString three = slotFile(QStringLiteral("Template with 3 records"));
    w.cboTemplateSelection->setCurrentIndex(5);
    EXPECT_FALSE(QFile::exists(three));
    QKeyEvent key(QEvent::KeyPress, Qt::Key_T, Qt::NoModifier, QStringLiteral("T"));
    QCoreApplication::sendEvent(w.cboTemplateSelection, &key);
    EXPECT_EQ(w.cboTemplateSelection->currentIndex(), 5);
    EXPECT_FALSE(QFile::exists(three));
}

TEST_F(IntegrationTest, TheNameFieldFollowsTheSlotSoSaveWritesTheSlotShown)
{
    frmMain& w = *window;
    const preview::PreviewModel& m = side->previewModel();
    const QString one = slotFile(QStringLiteral("Template with 1 record"));
    const QString four = slotFile(QStringLiteral("Template with 4 records"));

    // The welcome template, stored in slot 1 and loaded from there.
    chooseSlot(w, 1);
    w.txtTitle->setText(QStringLiteral("Welcome"));
    w.chkTitle->setChecked(true);
    chooseSlot(w, 0);
    chooseSlot(w, 1);
    EXPECT_EQ(w.TxtTplName->text(), "Template with 1 record");
    const auto welcomeKept = [&one] {
        const IniFile f(one);
        return f.value("TEMPLATE", "Records Per Page") == "1" && f.value("TEMPLATE", "Title Text") == "Welcome";
    };
    ASSERT_TRUE(welcomeKept());

    // Slot 4 has no file yet: its built-in layout, under its own name.
    chooseSlot(w, 4);
    EXPECT_FALSE(QFile::exists(four));
    EXPECT_TRUE(m.lblEvent(3, 0).visible);
    EXPECT_EQ(w.TxtTplName->text(), "Template with 4 records");
    w.mnuSaveTemplate->trigger();
    EXPECT_EQ(messages.texts.last(), "Template saved.");
    EXPECT_TRUE(testsupport::readAll(four).contains("Records Per Page=4\r\n"));
    EXPECT_TRUE(welcomeKept());

    // Coming back to slot 1 still shows the welcome template.
    chooseSlot(w, 1);
    EXPECT_EQ(w.TxtTplName->text(), "Template with 1 record");
    EXPECT_EQ(m.lblTDT(0).caption, "Welcome");
}

TEST_F(IntegrationTest, SaveTemplateWritesTheNamedFileOrSaysWhyNot)
{
    frmMain& w = *window;
    w.TxtTplName->setText(QStringLiteral("   "));
    w.mnuSaveTemplate->trigger();
    EXPECT_EQ(messages.texts.value(0), "Please enter a Template Name.");

    w.TxtTplName->setText(QStringLiteral("Show"));
    w.mnuSaveTemplate->trigger();
    EXPECT_TRUE(QFile::exists(slotFile(QStringLiteral("Show"))));

    // File > Save Settings also stores the designer into the current slot.
    EXPECT_FALSE(QFile::exists(slotFile(QStringLiteral("Default Template"))));
    w.mnuSave->trigger();
    EXPECT_TRUE(QFile::exists(slotFile(QStringLiteral("Default Template"))));
}

TEST_F(IntegrationTest, LoadTemplateCopiesAFileFromAnotherFolderOntoItsSlot)
{
    frmMain& w = *window;
    const QString outside = dir.filePath(QStringLiteral("mine.ORVT"));
    ASSERT_TRUE(QFile::copy(testsupport::dataDir() + "/templates/Template with 3 records.ORVT", outside));
    chooseSlot(w, 5);
    files.answer = outside;
    TemplateSide::of(w)->commandsPanel()->CmdSelTpl->click();
    EXPECT_EQ(w.cboTemplateSelection->currentIndex(), 3);
    EXPECT_EQ(testsupport::readAll(slotFile(QStringLiteral("Template with 3 records"))), testsupport::readAll(outside));
}

TEST_F(IntegrationTest, RestoreToLastSavedReloadsTheSlotOrRebuildsItsLayout)
{
    frmMain& w = *window;
    const preview::PreviewModel& m = side->previewModel();
    // Leaving slot 3 stores it; coming back loads it.
    chooseSlot(w, 3);
    w.txtTitle->setText(QStringLiteral("Welcome"));
    w.chkTitle->setChecked(true);
    chooseSlot(w, 1);
    chooseSlot(w, 3);
    const QString three = slotFile(QStringLiteral("Template with 3 records"));
    const QByteArray stored = testsupport::readAll(three);
    ASSERT_FALSE(stored.isEmpty());

    w.txtTitle->setText(QStringLiteral("Edited"));
    w.chkTitle_Click();
    templates::designerTemplate().gstrTitleFont = QStringLiteral("Edited,30,0,0,0,0,0,0,0");
    w.mnuAdjustBackToOriginal->trigger();
    EXPECT_EQ(m.lblTDT(0).caption, "Welcome");
    EXPECT_EQ(templates::designerTemplate().gstrTitleFont, templates::kDefaultFontDescriptor);
    EXPECT_EQ(testsupport::readAll(three), stored); // nothing is written

    // A slot without a file goes back to its built-in layout.
    chooseSlot(w, 5);
    QFile::remove(slotFile(QStringLiteral("Template with 5 records")));
    w.txtTitle->setText(QStringLiteral("Edited"));
    w.chkTitle->setChecked(true);
    w.mnuAdjustBackToOriginal->trigger();
    EXPECT_FALSE(m.lblTDT(0).visible);
    EXPECT_FALSE(QFile::exists(slotFile(QStringLiteral("Template with 5 records"))));

    // A slot file that can't be read (far too large) keeps the designer as
    // it is and says why.
    chooseSlot(w, 3);
    w.txtTitle->setText(QStringLiteral("Kept"));
    {
        QFile big(three);
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(textfile::kMaxSmallFileBytes + 1));
    }
    messages.texts.clear();
    w.mnuAdjustBackToOriginal->trigger();
    EXPECT_EQ(w.txtTitle->text(), "Kept");
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].startsWith("The template " + three + " could not be read."))
        << messages.texts[0].toStdString();
}

TEST_F(IntegrationTest, PlayListButtonsSetTheOrderThatTheSettingsStore)
{
    frmMain& w = *window;
    templates::PlayListPanel& p = *TemplateSide::of(w)->playListPanel();
    w.mnuSetStatus_Click(1);
    ASSERT_TRUE(p.btnAddTemplate->isEnabled());

    for (int slot : {3, 1, 2, 6}) {
        w.cboTemplateSelection->setCurrentIndex(slot);
        p.btnAddTemplate->click();
    }
    selectOnly(4);
    p.btnUpTemplate->click();
    selectOnly(2);
    p.btnDownTemplate->click();
    selectOnly(1);
    p.btnRemoveTemplate->click();
    const QStringList order{QStringLiteral("Template with 6 records"), QStringLiteral("Template with 1 record"),
                            QStringLiteral("Template with 2 records")};
    EXPECT_EQ(playList(), order);

    const QString path = dir.filePath(QStringLiteral("saved.ini"));
    w.SaveSettings(path);
    IniFile ini(path);
    QString value;
    ini.read(QStringLiteral("TEMPLATES"), QStringLiteral("List Number"), QString(), value);
    EXPECT_EQ(value, "3");
    for (int i = 0; i < 3; ++i) {
        ini.read(QStringLiteral("TEMPLATES"), QString::number(i + 1), QString(), value);
        EXPECT_EQ(value, order[i]);
    }

    // Editor mode closes the list for adding and removing.
    w.mnuSetStatus_Click(0);
    EXPECT_FALSE(p.btnAddTemplate->isEnabled());
}

TEST_F(IntegrationTest, TheTemplateViewFitsTheWindowWithoutSidewaysScrolling)
{
    frmMain& w = *window;
    chooseSlot(w, 3);
    w.show();
    w.resize(startup::kDesignClientWidth, startup::kDesignClientHeight + w.menuBar()->sizeHint().height());
    auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };
    settle();
    EXPECT_FALSE(w.fraTemplates->isHidden());
    EXPECT_EQ(w.HScroll1->maximum(), 0);

    // Player mode shows the view buttons; a landscape page goes below the
    // inputs.
    w.mnuSetStatus_Click(1);
    settle();
    EXPECT_EQ(w.HScroll1->maximum(), 0);
    w.optLayout[1]->setChecked(true);
    settle();
    EXPECT_EQ(w.HScroll1->maximum(), 0);
    const preview::PreviewModel& m = side->previewModel();
    EXPECT_GT(m.picBackground().width(), m.picBackground().height());
    EXPECT_GE(m.picBackground().left(), 0);
}
