// Dragging and pairing record lines with the mouse in the main window, and
// the template file written afterwards.
#include "tests/integration/integrationfixture.h"

#include "designer/lines/lineattspanel.h"
#include "designer/preview/previewcanvas.h"
#include "platform/inifile.h"
#include "shell/designerside.h"
#include "templates/geometry.h"
#include "templates/model/previewmodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

namespace {

void mouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// Presses on background point `from`, moves in two steps by `by`, releases.
void dragOnCanvas(preview::PreviewCanvas* c, QPointF from, QPointF by, Qt::MouseButton button)
{
    const QPointF at = c->toCanvas(from);
    mouse(c, QEvent::MouseButtonPress, at, button, button);
    mouse(c, QEvent::MouseMove, at + by / 2, Qt::NoButton, button);
    mouse(c, QEvent::MouseMove, at + by, Qt::NoButton, button);
    mouse(c, QEvent::MouseButtonRelease, at + by, button, Qt::NoButton);
}

// Field `field` of a line as the template with three records stores it.
QString storedField(int record, int line, int field = 2)
{
    const QString file = paths::join(gstrDataFolder, QStringLiteral("Template with 3 records.ORVT"));
    const QString value =
        IniFile(file).value(QStringLiteral("RECORD_%1").arg(record), QStringLiteral("Line_%1").arg(line));
    return value.split(QLatin1Char('`')).value(field);
}

// Shows the template with three records and gives the record display
// whose line `line` is in front on the preview; -1 when none is.
int showThreeRecords(frmMain& w, const preview::PreviewModel& m, int line)
{
    w.cboTemplateSelection->setCurrentIndex(3);
    Q_EMIT w.cboTemplateSelection->activated(3);
    const QPointF centre = m.lblEvent(0, line).rect().center();
    const auto hit = m.itemAt(centre.x(), centre.y());
    return hit && hit->kind == preview::ItemKind::RecordLine && hit->index == line ? hit->group : -1;
}

} // namespace

TEST_F(IntegrationTest, LinesDraggedWithTheMouseAreSavedAsShown)
{
    frmMain& w = *window;
    preview::PreviewModel& m = side->previewModel();
    preview::PreviewCanvas* canvas = side->previewCanvas();
    const int record = showThreeRecords(w, m, 2);
    ASSERT_GE(record, 0);
    const QRectF before = m.lblEvent(record, 2).rect();
    dragOnCanvas(canvas, before.center(), QPointF(12, 7), Qt::LeftButton);
    EXPECT_EQ(m.lblEvent(record, 2).rect(), before.translated(12, 7));
    EXPECT_EQ(m.state().mintSelectedLine, 2);
    EXPECT_TRUE(w.btnLineFormat[2]->isEnabled());
    EXPECT_FALSE(w.btnLineFormat[1]->isEnabled());
    dragOnCanvas(canvas, before.translated(12, 7).center(), QPointF(-4, 9), Qt::RightButton);
    EXPECT_TRUE(w.mnuPopup->isVisible()); // the record menu opens at the release
    w.mnuPopup->hide();

    w.neighbours.btnSetTemplate_Click();
    EXPECT_EQ(storedField(record, 2), *templates::layoutRectOf(m.lblEvent(record, 2), m.picBackground()));
}

TEST_F(IntegrationTest, LinesPairedInThePopupAreSavedWithTheirLineUp)
{
    frmMain& w = *window;
    preview::PreviewModel& m = side->previewModel();
    preview::PreviewCanvas* canvas = side->previewCanvas();
    lines::LineAttsPanel* panel = DesignerSide::of(w)->lineAttsPanel();
    ASSERT_TRUE(panel);
    const int record = showThreeRecords(w, m, 4);
    ASSERT_GE(record, 0);
    const QPointF centre = m.lblEvent(record, 4).rect().center();
    const QPointF at = canvas->toCanvas(centre);
    mouse(canvas, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    mouse(canvas, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    mouse(canvas, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    mouse(canvas, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    ASSERT_FALSE(panel->isHidden());
    // At the line, moved left to stay on the narrow preview.
    const preview::PreviewItem& opened = m.lblEvent(record, 4);
    const double left = std::min(opened.left(), m.picBackground().width() - lines::LineAttsPopup::kWidth);
    EXPECT_EQ(panel->pos(), canvas->toCanvas(QPointF(left, opened.top())).toPoint());

    panel->chkLineUp->click();
    EXPECT_EQ(w.cboRecordLines->currentText(), "Line 6");
    const lines::LineAttsPopup& atts = DesignerSide::of(w)->lineAtts();
    w.cboRecordLines->setEditText(QStringLiteral("x")); // typed: names no line
    EXPECT_EQ(atts.partnerIndex(), -1);
    EXPECT_EQ(w.cboRecordLines->currentText(), "x");
    w.cboRecordLines->setEditText(QStringLiteral("line 6"));
    EXPECT_EQ(atts.partnerIndex(), 5);
    panel->txtMidWord->setText(QStringLiteral("until"));
    Q_EMIT panel->txtMidWord->textEdited(QStringLiteral("until"));
    panel->CmdSaveAtts->click();
    EXPECT_TRUE(panel->isHidden());
    EXPECT_TRUE(messages.texts.isEmpty());

    w.neighbours.btnSetTemplate_Click();
    EXPECT_EQ(storedField(record, 4, 4), "1,5,L,until");
    EXPECT_EQ(storedField(record, 5, 4), "1,4,R,");
    EXPECT_EQ(storedField(record, 5), *templates::layoutRectOf(m.lblEvent(record, 5), m.picBackground()));
}

TEST_F(IntegrationTest, APressAfterAReleaseLostToAMessageGoesWhereItLands)
{
    frmMain& w = *window;
    preview::PreviewModel& m = side->previewModel();
    preview::PreviewCanvas* canvas = side->previewCanvas();
    const int record = showThreeRecords(w, m, 3);
    ASSERT_GE(record, 0);
    const QPointF three = m.lblEvent(record, 3).rect().center();
    templates::Template& t = templates::designerTemplate();
    *t.line(record, templates::kFieldLineUp, 2) = QStringLiteral("1,3,L,to");
    *t.line(record, templates::kFieldLineUp, 3) = QStringLiteral("1,2,R,");

    // The refusal's box takes the right button's release.
    const QPointF at = canvas->toCanvas(three);
    mouse(canvas, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    mouse(canvas, QEvent::MouseMove, at + QPointF(5, 5), Qt::NoButton, Qt::RightButton);
    ASSERT_EQ(messages.texts.size(), 1);

    const QPointF eight = m.lblEvent(record, 8).rect().center();
    const QRectF before = m.lblEvent(record, 8).rect();
    mouse(canvas, QEvent::MouseMove, canvas->toCanvas(eight), Qt::NoButton, Qt::NoButton);
    dragOnCanvas(canvas, eight, QPointF(3, 2), Qt::LeftButton);
    EXPECT_EQ(m.state().mintSelectedLine, 8);
    EXPECT_EQ(m.lblEvent(record, 8).rect(), before.translated(3, 2));
    EXPECT_FALSE(w.mnuPopup->isVisible());
}

TEST_F(IntegrationTest, AGreyLineBoxFromATemplateTurnsOnAndOffWhenClicked)
{
    frmMain& w = *window;
    ASSERT_GE(showThreeRecords(w, side->previewModel(), 0), 0);
    templates::Template& t = templates::designerTemplate();
    *t.line(1, templates::kFieldEnabled, 3) = QStringLiteral("2");
    w.neighbours.ApplyTemplateRecord(1);
    EXPECT_EQ(w.chkLine[3]->checkState(), Qt::PartiallyChecked);
    QStringList stored;
    for (int click = 0; click < 3; ++click) {
        w.chkLine[3]->click();
        stored << *t.line(1, templates::kFieldEnabled, 3);
    }
    EXPECT_EQ(stored, (QStringList{"1", "0", "1"}));

    // Another slot's hidden line after the grey one: a click shows it.
    *t.line(1, templates::kFieldEnabled, 3) = QStringLiteral("2");
    *t.line(2, templates::kFieldEnabled, 3) = QStringLiteral("0");
    w.neighbours.ApplyTemplateRecord(1);
    w.neighbours.ApplyTemplateRecord(2);
    w.chkLine[3]->click();
    EXPECT_EQ(*t.line(2, templates::kFieldEnabled, 3), "1");
}
