// Dragging record lines with the mouse in the main window, and the template
// file written afterwards.
#include "tests/integration/integrationfixture.h"

#include "designer/preview/previewcanvas.h"
#include "designer/preview/previewmodel.h"
#include "platform/inifile.h"
#include "templates/geometry.h"

#include <QComboBox>
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

QString storedRect(const QString& file, int record, int line)
{
    const QString value =
        IniFile(file).value(QStringLiteral("RECORD_%1").arg(record), QStringLiteral("Line_%1").arg(line));
    return value.split(QLatin1Char('`')).value(2);
}

} // namespace

TEST_F(IntegrationTest, LinesDraggedWithTheMouseAreSavedAsShown)
{
    frmMain& w = *window;
    w.cboTemplateSelection->setCurrentIndex(3);
    Q_EMIT w.cboTemplateSelection->activated(3);
    preview::PreviewModel& m = side->previewModel();
    preview::PreviewCanvas* canvas = side->previewCanvas();
    const QString file = paths::join(gstrDataFolder, QStringLiteral("Template with 3 records.ORVT"));

    // The line in front at the middle of the first record's line 3.
    const auto hit = m.itemAt(m.lblEvent(0, 2).rect().center().x(), m.lblEvent(0, 2).rect().center().y());
    ASSERT_TRUE(hit && hit->kind == preview::ItemKind::RecordLine && hit->index == 2);
    const int record = hit->group;
    const QRectF before = m.lblEvent(record, 2).rect();
    dragOnCanvas(canvas, before.center(), QPointF(12, 7), Qt::LeftButton);
    EXPECT_EQ(m.lblEvent(record, 2).rect(), before.translated(12, 7));
    EXPECT_EQ(m.state().mintSelectedLine, 2);
    EXPECT_EQ(m.state().mintSelectedGroup, record);
    EXPECT_TRUE(m.btnAdjust().visible);
    EXPECT_TRUE(w.btnLineFormat[2]->isEnabled());
    EXPECT_FALSE(w.btnLineFormat[1]->isEnabled());

    // A whole record by the right button; its menu opens at the release.
    const QRectF eleven = m.lblEvent(record, 11).rect();
    dragOnCanvas(canvas, before.translated(12, 7).center(), QPointF(-4, 9), Qt::RightButton);
    EXPECT_EQ(m.lblEvent(record, 11).rect(), eleven.translated(-4, 9));
    EXPECT_TRUE(w.mnuPopup->isVisible());
    w.mnuPopup->hide();

    w.neighbours.btnSetTemplate_Click();
    const preview::Background& bg = m.picBackground();
    const QString moved = storedRect(file, record, 2);
    EXPECT_EQ(moved, *templates::layoutRectOf(m.lblEvent(record, 2), bg));
    EXPECT_EQ(storedRect(file, record, 11), *templates::layoutRectOf(m.lblEvent(record, 11), bg));
    preview::PreviewItem unmoved;
    unmoved.setGeometry(before.left(), before.top(), before.width(), before.height());
    EXPECT_NE(moved, *templates::layoutRectOf(unmoved, bg));
}
