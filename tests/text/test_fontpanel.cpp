// The font panel on a template line table: loading a target into the
// panel, storing the panel into one line, a record, the page or one line of
// every record in use, and the element fonts.
#include "platform/services.h"
#include "tests/testsupport.h"
#include "text/fontpanel.h"
#include "text/fontpaneltemplate.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class FontPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto& rec : table)
            for (int l = 0; l < 12; ++l) {
                rec[3][l] = kDefaultFontDescriptor;
                rec[1][l] = QStringLiteral("2");
            }
        panel.setTemplate({&table, &titleFont, &titleAlign, &dateFont, &dateAlign, &timeFont, &timeAlign});
        FontPanelHooks h;
        h.lineCaption = [](int g, int l) { return QStringLiteral("Line %1.%2").arg(g).arg(l); };
        h.lineAlignment = [this](int g, int l) { return labelAlign[g][l]; };
        h.setLineAlignment = [this](int g, int l, int a) { labelAlign[g][l] = a; };
        h.elementAlignment = [this](int e) { return elementAlign[e]; };
        h.setElementAlignment = [this](int e, int a) { elementAlign[e] = a; };
        h.applyTDTLabelSettings = [this](int e) { redrawn << e; };
        h.recordsPerPageText = [this] { return recordsPerPage; };
        h.selectedGroup = [this] { return group; };
        h.setSelectedGroup = [this](int g) { group = g; };
        h.selectedLine = [this] { return line; };
        panel.setHooks(h);
    }

    int storedLines(const QString& descriptor) const
    {
        int n = 0;
        for (const auto& rec : table)
            for (int l = 0; l < 12; ++l)
                n += rec[3][l] == descriptor;
        return n;
    }

    testsupport::RecordedMessages messages;
    testsupport::ChosenColors colors;
    FontLineTable table;
    QString titleFont, titleAlign, dateFont = kDefaultFontDescriptor, dateAlign, timeFont, timeAlign;
    int labelAlign[10][12] = {};
    int elementAlign[3] = {};
    QList<int> redrawn;
    QString recordsPerPage = QStringLiteral("3");
    int group = 0;
    int line = 0;
    FontPanel panel;
};

const QString kCustom = QStringLiteral("Liberation Serif,24,255,0,2,1,0,3,123");

} // namespace

TEST_F(FontPanelTest, LoadsTheDefaultDescriptor)
{
    table[1][3][4] = kDefaultFontDescriptor;
    labelAlign[1][4] = 1;
    panel.CheckStyle[1]->setChecked(true);
    panel.LoadFontPanel(1, 4);
    EXPECT_EQ(panel.title(), QStringLiteral("Font: Line 1.4"));
    EXPECT_EQ(panel.panelDescriptor().toString(), kDefaultFontDescriptor);
    EXPECT_EQ(panel.CheckStyle[1]->checkState(), Qt::Unchecked);
    EXPECT_EQ(panel.cmbFontAlignment->currentIndex(), 1); // from the preview label
}

TEST_F(FontPanelTest, LoadThenApplyCopiesALine)
{
    table[0][3][2] = kCustom;
    panel.LoadFontPanel(0, 2);
    panel.cmbFontAlignment->setCurrentIndex(0);

    panel.ApplyFontToLine(5, 11);
    EXPECT_EQ(table[5][3][11], kCustom);
    EXPECT_EQ(table[5][1][11], QStringLiteral("0"));
    EXPECT_EQ(labelAlign[5][11], 0);

    // A descriptor without a comma only changes the caption.
    table[2][3][0] = QStringLiteral("Broken");
    panel.LoadFontPanel(2, 0);
    EXPECT_EQ(panel.title(), QStringLiteral("Font: Line 2.0"));
    EXPECT_EQ(panel.panelDescriptor().toString(), kCustom);
}

TEST_F(FontPanelTest, TargetsWithoutADescriptorStoreNothing)
{
    panel.CmbFontName->setEditText(QStringLiteral("Liberation Mono"));
    const auto before = table;
    panel.ApplyFontToLine(6, 0);   // record display with no template record
    panel.ApplyFontToLine(103, 0); // the PiP window
    panel.ApplyFontToLine(0, 12);
    panel.ApplyFontToLine(0, -1);
    EXPECT_EQ(table, before);
    panel.LoadFontPanel(7, 0);
    EXPECT_EQ(panel.CmbFontName->currentText(), QStringLiteral("Liberation Mono"));
}

TEST_F(FontPanelTest, TypedSeparatorsAndColoursAreCleaned)
{
    panel.CmbFontName->setEditText(QStringLiteral("Liberation, Sans"));
    panel.CmbFontSize->setEditText(QStringLiteral("2|0"));
    colors.answer = QColor(0x11, 0x22, 0x33);
    panel.ImageColor_Click();
    colors.answer = QColor();
    panel.ImageEColor_Click(); // cancelled: unchanged
    panel.ApplyFontToLine(0, 0);
    EXPECT_EQ(table[0][3][0], QStringLiteral("Liberation Sans,20,3351057,1,0,0,0,1,65535"));

    // Typed texts confirmed with Enter are used but never join the lists.
    const int sizes = panel.CmbFontSize->count(), names = panel.CmbFontName->count();
    panel.CmbFontSize->setEditText(QStringLiteral("17"));
    Q_EMIT panel.CmbFontSize->lineEdit()->returnPressed();
    panel.CmbFontName->setEditText(QStringLiteral("No Such Face"));
    Q_EMIT panel.CmbFontName->lineEdit()->returnPressed();
    EXPECT_EQ(std::pair(panel.CmbFontSize->count(), panel.CmbFontName->count()), std::pair(sizes, names));
    EXPECT_EQ(panel.panelDescriptor().FontSize, QStringLiteral("17"));
}

TEST_F(FontPanelTest, ElementsStoreFontAlignmentAndRedraw)
{
    dateFont = kCustom;
    elementAlign[1] = 2;
    panel.btnLayout_Click(1);
    EXPECT_EQ(group, kDateGroup);
    EXPECT_TRUE(panel.btnFontSet[2]->isHidden());
    EXPECT_EQ(panel.cmbFontAlignment->currentIndex(), 2);

    panel.CheckStyle[0]->setChecked(true);
    panel.cmbFontAlignment->setCurrentIndex(1);
    panel.btnFontSet_Click(0);
    EXPECT_EQ(dateFont, QStringLiteral("Liberation Serif,24,255,1,2,1,0,3,123"));
    EXPECT_EQ(dateAlign, QStringLiteral("1"));
    EXPECT_EQ(elementAlign[1], 1);
    EXPECT_EQ(redrawn, QList<int>{1});
    EXPECT_TRUE(titleFont.isEmpty() && timeFont.isEmpty());
}

TEST_F(FontPanelTest, RecordPageAndGroupButtons)
{
    group = 4;
    line = 3;
    panel.btnLineFormat_Click(3);
    EXPECT_FALSE(panel.btnFontSet[3]->isHidden());
    panel.CmbFontName->setEditText(QStringLiteral("Liberation Mono"));
    const QString mono = panel.panelDescriptor().toString();
    panel.btnFontSet_Click(1); // the whole record display
    EXPECT_EQ(std::count(table[4][3].begin(), table[4][3].end(), mono), 12);

    // One line of each record in use: records 0..2 for "3".
    panel.CmbFontName->setEditText(QStringLiteral("Liberation Serif"));
    const QString serif = panel.panelDescriptor().toString();
    line = 4;
    panel.btnFontSet_Click(3);
    EXPECT_EQ(storedLines(serif), 3);
    EXPECT_EQ(table[2][3][4], serif);

    // A template without records: a message, nothing stored.
    recordsPerPage = QStringLiteral("0");
    panel.CmbFontName->setEditText(QStringLiteral("DejaVu Sans"));
    const QString dejavu = panel.panelDescriptor().toString();
    panel.btnFontSet_Click(3);
    EXPECT_EQ(messages.texts,
              QStringList{QStringLiteral("Please select a template with lines to apply the Font Style.")});
    EXPECT_EQ(storedLines(dejavu), 0);

    // The page: all 72 lines whatever the records per page.
    panel.btnFontSet_Click(2);
    EXPECT_EQ(storedLines(dejavu), 72);
    EXPECT_TRUE(panel.isHidden());
}

TEST(FontPanelOnTemplate, EditsTheTemplateObject)
{
    templates::Template t;
    FontPanel panel;
    panel.setTemplate(fontPanelTemplateOf(t));
    t.gstrTimeFont = QStringLiteral("Liberation Mono,40,255,0,0,1,0,2,0");
    panel.LoadFontPanel(kTimeGroup, 2);
    panel.ApplyFontToLine(3, 7);
    panel.ApplyFontToLine(kTitleGroup, 0);
    EXPECT_EQ(t.gstrTemplateLines[3][templates::kFieldFont][7], t.gstrTimeFont);
    EXPECT_EQ(t.gstrTemplateLines[3][templates::kFieldAlignment][7], QStringLiteral("0"));
    EXPECT_EQ(t.gstrTitleFont, t.gstrTimeFont);
    EXPECT_EQ(t.gstrTitleAlign, QStringLiteral("0"));
}
