// The layout tools in the main window: the line controls through the view
// switches, the page's pop-up menu and grid, and the element labels.
#include "tests/integration/integrationfixture.h"

#include "designer/preview/previewpaint.h"
#include "platform/inifile.h"
#include "templates/geometry.h"
#include "templates/model/previewmodel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace {

class LayoutToolsWindowTest : public IntegrationTest {
protected:
    // A point of the page with no control on it.
    QPointF emptySpot() const
    {
        const preview::PreviewModel& m = std::as_const(side->previewModel());
        for (double y = 1; y < m.picBackground().height(); y += 7)
            for (double x = 1; x < m.picBackground().width(); x += 7)
                if (!m.itemAt(x, y))
                    return {x, y};
        return {-1, -1};
    }
};

struct LineControls {
    std::vector<bool> shown;
    std::vector<int> values;
};

LineControls lineControls(const frmMain& w)
{
    LineControls c;
    for (int i = 0; i < 12; ++i) {
        for (const QWidget* b : std::initializer_list<const QWidget*>{w.chkLine[i], w.chkRecordLines[i],
                                                                      w.optGroup.at(i), w.btnLineFormat[i]})
            c.shown.push_back(!b->isHidden());
        c.values.push_back(w.chkLine[i]->checkState());
        c.values.push_back(w.chkRecordLines[i]->checkState());
        c.values.push_back(w.optGroup.at(i)->isChecked());
    }
    c.shown.push_back(!w.optGroup.at(99)->isHidden());
    return c;
}

TEST_F(LayoutToolsWindowTest, TheViewSwitchesLockAndUnlockTheLineControls)
{
    frmMain& w = *window;
    w.btnTemplate->click();
    w.btnLineFormat[4]->setEnabled(true);
    w.btnLineFormat[4]->click();
    ASSERT_FALSE(w.fraFont->isHidden());
    const LineControls before = lineControls(w);
    EXPECT_EQ(std::count(before.shown.begin(), before.shown.end(), true), 49);

    for (auto toRecords : {std::function<void()>([&] { w.btnRecordDataManager->click(); }),
                           std::function<void()>([&] { w.mnuRenderDataManager->trigger(); })}) {
        toRecords();
        const LineControls locked = lineControls(w);
        EXPECT_EQ(std::count(locked.shown.begin(), locked.shown.end(), true), 0);
        EXPECT_TRUE(w.fraFont->isHidden());
        EXPECT_TRUE(w.txtLine[0]->isEnabled());
    }

    for (auto toTemplates : {std::function<void()>([&] { w.btnTemplate->click(); }),
                             std::function<void()>([&] { w.mnuTemplateSettings->trigger(); }),
                             std::function<void()>([&] { w.btnProgress->click(); })}) {
        toTemplates();
        toTemplates(); // twice is once
        const LineControls unlocked = lineControls(w);
        EXPECT_EQ(unlocked.shown, before.shown);
        EXPECT_EQ(unlocked.values, before.values);
        EXPECT_TRUE(w.fraFont->isHidden()); // the font panel does not come back
        for (int i = 0; i < 12; ++i) {
            EXPECT_FALSE(w.btnLineFormat[i]->isEnabled()) << i;
            EXPECT_FALSE(w.txtLine[i]->isEnabled()) << i;
        }
    }
}

TEST_F(LayoutToolsWindowTest, ThePagesMenuShowsTheGridThatSurvivesALayoutChange)
{
    frmMain& w = *window;
    preview::PreviewModel& m = side->previewModel();
    auto checked = [](const auto& actions) {
        QList<bool> marks;
        for (const QAction* a : actions)
            marks << a->isChecked();
        return marks;
    };
    auto rightClick = [&] {
        const QPointF at = emptySpot();
        m.mouseDown(at.x(), at.y(), 2, 0);
        m.mouseUp(at.x(), at.y(), 2, 0);
        const bool opened = w.mnuPicPopup->isVisible();
        w.mnuPicPopup->hide();
        return opened;
    };

    w.mnuGridScale[2]->trigger();
    w.mnuGridLineColor[0]->trigger();
    EXPECT_EQ(checked(w.mnuGridScale), (QList<bool>{false, false, true}));
    w.mnuGridLineColor[0]->trigger(); // choosing the checked colour keeps it checked
    EXPECT_TRUE(w.mnuGridLineColor[0]->isChecked());
    EXPECT_TRUE(rightClick());
    EXPECT_TRUE(w.mnuGridLinesColor->menuAction()->isEnabled());

    w.neighbours.loadDefaultTemplateLayout(2);
    EXPECT_EQ(preview::designGridLines(m).size(), 14u + 8u);

    w.mnuHideGrid->trigger();
    EXPECT_EQ(checked(w.mnuGridScale), (QList<bool>{false, false, false}));
    w.neighbours.loadDefaultTemplateLayout(2);
    EXPECT_FALSE(m.state().mblnGridShown);
}

TEST_F(LayoutToolsWindowTest, ElementLabelsShowTheWindowsTitleAndPatterns)
{
    frmMain& w = *window;
    preview::PreviewModel& m = side->previewModel();
    w.neighbours.loadDefaultTemplateLayout(0);
    w.txtTitle->setText(QStringLiteral(" Welcome "));
    w.chkTitle->setChecked(true);
    EXPECT_EQ(std::as_const(m).lblTDT(0).caption, "Welcome");
}

TEST_F(LayoutToolsWindowTest, AnElementDraggedAndResizedWithTheMouseIsSavedAsShown)
{
    frmMain& w = *window;
    preview::PreviewModel& m = side->previewModel();
    w.cboTemplateSelection->setCurrentIndex(2);
    Q_EMIT w.cboTemplateSelection->activated(2);
    w.txtTitle->setText(QStringLiteral("Welcome"));
    w.chkTitle->setChecked(true);
    const preview::PreviewItem& title = std::as_const(m).lblTDT(0);
    auto drag = [&](QPointF from, QPointF by) {
        m.mouseDown(from.x(), from.y(), 1, 0);
        m.mouseMove(from.x() + by.x(), from.y() + by.y(), 1, 0);
        m.mouseUp(from.x() + by.x(), from.y() + by.y(), 1, 0);
    };

    const QRectF before = title.rect();
    drag(QPointF(before.center().x(), before.top() + before.height() / 3), QPointF(9, 40));
    EXPECT_EQ(title.rect(), before.translated(9, 40));
    ASSERT_TRUE(m.PicEdge(3).visible);
    // The bottom strip makes it taller; the frame follows it.
    const QRectF bottom = m.PicEdge(3).rect();
    drag(QPointF(bottom.center().x(), bottom.top() + 0.5), QPointF(0, 12));
    EXPECT_EQ(title.rect(), before.translated(9, 40).adjusted(0, 0, 0, 12));
    EXPECT_EQ(m.PicEdge(3).top(), title.top() + title.height() - 1);

    w.neighbours.btnSetTemplate_Click();
    const QString file = paths::join(gstrDataFolder, QStringLiteral("Template with 2 records.ORVT"));
    const QString style = IniFile(file).value(QStringLiteral("TEMPLATE"), QStringLiteral("Title Font Style"));
    EXPECT_EQ(style.section(QLatin1Char('`'), 2, 2), *templates::layoutRectOf(title, m.picBackground()));
}

} // namespace
