// The font panel, the line rows and the designer preview in the main window.
#include "integrationfixture.h"

#include "designer/preview/previewcanvas.h"
#include "templates/model/previewmodel.h"
#include "templates/template.h"
#include "text/fontpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QWheelEvent>

namespace {

bool hasColour(const QImage& image, QColor colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) < 24 && qAbs(c.green() - colour.green()) < 24 &&
                qAbs(c.blue() - colour.blue()) < 24)
                return true;
        }
    return false;
}

} // namespace

TEST_F(IntegrationTest, ActivatingTheWindowRedrawsTheFontSample)
{
    FontPanel& font = *side->fontPanel();
    // The window's font lists are the panel's, filled by the control set-up.
    EXPECT_EQ(window->CmbFontName, font.CmbFontName);

    font.setTextColor(0x0000FF); // red, not yet drawn
    EXPECT_FALSE(hasColour(font.sampleImage(), Qt::red));
    window->Form_Activate();
    EXPECT_TRUE(hasColour(font.sampleImage(), Qt::red));
}

TEST_F(IntegrationTest, TheLineFormatButtonOpensTheFontPanelInTheWindow)
{
    frmMain& w = *window;
    FontPanel& font = *side->fontPanel();
    w.btnLineFormat[2]->setEnabled(true);
    w.btnLineFormat[2]->click();
    EXPECT_FALSE(font.isHidden());
    EXPECT_EQ(font.title(), "Font: Record Display 1 line 3");

    font.btnFontCancel->click();
    EXPECT_TRUE(w.fraFont->isHidden());

    // The Record Data Manager view hides an open panel, and the template
    // view does not bring it back.
    w.btnLineFormat[2]->setEnabled(true);
    w.btnLineFormat[2]->click();
    w.btnRecordDataManager_Click();
    EXPECT_TRUE(font.isHidden());
    w.btnTemplate_Click();
    EXPECT_TRUE(w.fraFont->isHidden());
}

TEST_F(IntegrationTest, TheElementButtonsOpenTheFontPanelForTheirElementAndSetItsFont)
{
    frmMain& w = *window;
    FontPanel& font = *side->fontPanel();
    templates::Template& t = templates::designerTemplate();
    const templates::Template saved = t;
    t.gstrTitleFont = templates::kDefaultFontDescriptor;

    w.btnLayout[0]->click();
    EXPECT_EQ(side->previewModel().state().mintSelectedGroup, kTitleGroup);
    EXPECT_EQ(font.title(), "Font: Title");
    font.CmbFontSize->setCurrentText(QStringLiteral("24"));
    font.btnFontSet[0]->click();
    EXPECT_TRUE(w.fraFont->isHidden());
    EXPECT_EQ(t.gstrTitleFont.section(QLatin1Char(','), 1, 1), "24");
    t = saved;
}

TEST_F(IntegrationTest, LineRowsAreWhiteAndFollowTheViews)
{
    frmMain& w = *window;
    w.btnTemplate_Click();
    for (int i = 0; i < 12; ++i) {
        EXPECT_FALSE(w.txtLine[i]->isEnabled()) << i;
        EXPECT_TRUE(frmMain::inputIsWhite(w.txtLine[i])) << i;
        EXPECT_FALSE(w.chkLine[i]->isHidden()) << i;
    }
    w.btnRecordDataManager_Click();
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(w.txtLine[i]->isEnabled() && frmMain::inputIsWhite(w.txtLine[i])) << i;
        EXPECT_FALSE(w.btnLineFormat[i]->isEnabled()) << i;
        EXPECT_TRUE(w.optGroup[i]->isHidden()) << i;
    }
    w.btnProgress_Click();
    EXPECT_FALSE(w.txtLine[0]->isEnabled());
    EXPECT_FALSE(w.optGroup[99]->isHidden());
}

TEST_F(IntegrationTest, ThePreviewShowsTheDesignerTemplate)
{
    frmMain& w = *window;
    preview::PreviewCanvas* canvas = side->previewCanvas();
    ASSERT_NE(canvas, nullptr);
    preview::PreviewModel& m = side->previewModel();

    templates::Template& t = templates::designerTemplate();
    const templates::Template saved = t;
    t.gstrRecordsPerPage = QStringLiteral("1");
    t.gstrBackgroundType = QStringLiteral("0");
    t.gstrBackgroundColor = QStringLiteral("&H800000"); // dark blue
    t.gstrTemplateLines[0][templates::kFieldEnabled][0] = QStringLiteral("1");
    t.gstrTemplateLines[0][templates::kFieldRect][0] = QStringLiteral("0.5|0.1|0.05|0.8");
    t.gstrTemplateLines[0][templates::kFieldEnabled][1] = QStringLiteral("0");

    side->showDesignerTemplate();
    EXPECT_FALSE(m.lblEvent(0, 1).visible);
    EXPECT_DOUBLE_EQ(m.lblEvent(0, 0).top(), 210);
    EXPECT_TRUE(hasColour(canvas->grab().toImage(), QColor(0, 0, 0x80)));

    // Landscape: the page and its frame turn.
    w.optLayout[1]->setChecked(true);
    side->showDesignerTemplate();
    EXPECT_GT(m.picBackground().width(), m.picBackground().height());
    EXPECT_GE(w.picBackgroundHost->minimumWidth(), int(m.picBackground().width()));
    t = saved;
}

TEST_F(IntegrationTest, TheSettingsPanelDrawsOnThePreviewAndSetsTheGroupLine)
{
    frmMain& w = *window;
    preview::PreviewModel& m = side->previewModel();
    templates::Template& t = templates::designerTemplate();
    const templates::Template saved = t;

    m.picBackground().drawLine(0, 0, 10, 10);
    w.setBackgroundColor(QStringLiteral("&H0000FF")); // red
    EXPECT_TRUE(m.picBackground().drawing.empty());
    EXPECT_TRUE(hasColour(side->previewCanvas()->grab().toImage(), Qt::red));

    w.txtTitle->setText(QStringLiteral("Welcome"));
    w.chkTitle->setChecked(true);
    EXPECT_TRUE(m.lblTDT(0).visible);
    w.chkTitle->setChecked(false);
    EXPECT_FALSE(m.lblTDT(0).visible);

    w.txtRecordsPerPage->setText(QStringLiteral("2"));
    w.optGroup[4]->setChecked(true);
    EXPECT_EQ(t.gstrGroupLine, "5");
    EXPECT_EQ(t.gstrTemplateLines[1][templates::kFieldGroupFlag][4], "1");
    w.optGroup[99]->setChecked(true);
    EXPECT_EQ(t.gstrGroupLine, "0");
    t = saved;
}

TEST_F(IntegrationTest, TheSidesGoBeforeTheControlsTheyWatch)
{
    // A side's event filter on a panel must never run once the window is
    // being taken down: the sides go while every control is still there.
    QStringList order;
    QObject::connect(side, &QObject::destroyed, [&] { order << QStringLiteral("side"); });
    for (QObject* o : std::initializer_list<QObject*>{side->fontPanel(), window->fraFont, window->txtDwellTime})
        QObject::connect(o, &QObject::destroyed, [&order, name = o->objectName()] { order << name; });
    window->show();
    side->fontPanel()->show();
    window.reset();
    ASSERT_EQ(order.size(), 4);
    EXPECT_EQ(order.first(), "side");
}

TEST_F(IntegrationTest, NoValueControlOfTheWindowTakesTheWheelWithoutFocus)
{
    // Every list, spin box, spinner and tab bar of the window, its panels
    // and the designer's pop-ups, as the program hosts them.
    window->show();
    side->fontPanel()->show();
    QStringList changed;
    int tried = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        auto* list = qobject_cast<QComboBox*>(w);
        auto* spin = qobject_cast<QAbstractSpinBox*>(w);
        auto* slider = qobject_cast<QAbstractSlider*>(w);
        auto* tabs = qobject_cast<QTabBar*>(w);
        if (slider &&
            qobject_cast<QAbstractScrollArea*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr))
            continue; // a scroll area's own bar
        if (!list && !spin && !slider && !tabs)
            continue;
        const bool enabled = w->isEnabled();
        w->setEnabled(true);
        w->clearFocus();
        auto value = [&] {
            return list   ? QString::number(list->currentIndex()) + list->currentText()
                   : spin ? spin->text()
                   : tabs ? QString::number(tabs->currentIndex())
                          : QString::number(slider->value());
        };
        if (list && list->count() > 1)
            list->setCurrentIndex(list->count() / 2);
        if (tabs)
            tabs->setCurrentIndex(0);
        const QString before = value();
        bool moved = false;
        for (int delta : {-120, 120}) {
            const QPointF at(w->width() / 2.0, w->height() / 2.0);
            QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(w, &e);
            moved = moved || value() != before;
        }
        if (moved)
            changed << w->objectName() + QLatin1Char(' ') + QString::fromLatin1(w->metaObject()->className());
        w->setEnabled(enabled);
        ++tried;
    }
    EXPECT_GT(tried, 15);
    EXPECT_TRUE(changed.isEmpty()) << changed.join(QStringLiteral(", ")).toStdString();
}
