// Shows a template file on the designer canvas and saves the picture:
//   preview_demo <template.ORVT> <out.png> [portrait|landscape]
// Run with QT_QPA_PLATFORM=offscreen. The template's background colour,
// its title, date, time and PiP elements, its records in use (each line
// captioned with its display and line) and the four guides are shown, with
// the selection frame around line 1 of the last record in use.
#include "designer/preview/previewcanvas.h"
#include "designer/preview/previewguides.h"
#include "platform/vbvalue.h"
#include "templates/geometry.h"
#include "templates/layouts.h"
#include "templates/recorddisplay.h"
#include "templates/templatefile.h"

#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QPixmap>
#include <QTextStream>

#include <cstdio>

using namespace preview;
using namespace templates;

namespace {

// Line check boxes kept in memory: a checked line shows its label.
class DemoPanel : public RecordPanel {
public:
    DemoPanel(PreviewModel& model, Template& t) : model_(model), t_(t) {}
    void setLineCheck(int line, int value) override { checks_[line] = value; }
    void chkLine_Click(int line) override
    {
        const int group = model_.state().mintSelectedGroup;
        t_.gstrTemplateLines[group][kFieldEnabled][line] = QString::number(checks_[line]);
        model_.lblEvent(group, line).visible = checks_[line] == 1;
    }

private:
    PreviewModel& model_;
    Template& t_;
    int checks_[kLines] = {};
};

void placeElement(PreviewModel& m, int i, const QString& on, const QString& region, const QString& font,
                  const QString& caption, double divisor)
{
    PreviewItem& label = m.lblTDT(i);
    placeFromLayoutRect(label, region, std::as_const(m).picBackground());
    label.visible = on == QLatin1String("1");
    const QStringList f = font.split(QLatin1Char(','));
    if (divisor > 0 && f.size() >= 3) {
        label.fontName = f[0];
        label.fontSize = vb::Val(f[1]) / divisor;
        label.foreColor = uint32_t(vb::Val(f[2]));
    }
    if (!caption.isEmpty())
        label.caption = caption;
}

void showFrame(PreviewModel& m, const PreviewItem& label)
{
    const double L = label.left(), T = label.top(), W = label.width(), H = label.height();
    m.PicEdge(0).setGeometry(L, T, 1, H);
    m.PicEdge(1).setGeometry(L, T, W, 1);
    m.PicEdge(2).setGeometry(L + W - 1, T, 1, H);
    m.PicEdge(3).setGeometry(L, T + H - 1, W, 1);
    for (int i = 0; i < 4; ++i)
        m.PicEdge(i).visible = true;
    m.btnAdjust().setLeft(L + 3);
    m.btnAdjust().setTop(T - m.btnAdjust().width() / 2);
    m.btnAdjust().visible = true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: preview_demo <template.ORVT> <out.png> [portrait|landscape]\n");
        return 2;
    }
    const bool portrait = argc > 3 && QString::fromLocal8Bit(argv[3]) == QLatin1String("portrait");
    auto loaded = loadTemplateFresh(QString::fromLocal8Bit(argv[1]));
    if (!loaded) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    Template& t = *loaded;

    PreviewModel model;
    const double W = portrait ? 236.25 : 470.4, H = portrait ? 420 : 264.6;
    const double screenW = 520, screenH = 460;
    model.picBackground().setGeometry(screenW / 2 - W / 2, screenH / 2 - H / 2, W, H);
    if (t.gstrBackgroundType != QLatin1String("1"))
        model.picBackground().backColor = parseColorText(t.gstrBackgroundColor);
    placeGuides(model);

    const QDateTime now = QDateTime::currentDateTime();
    placeElement(model, 0, t.gstrTitleOn, t.gstrTitleRegion, t.gstrTitleFont, t.gstrTitleText, 3);
    placeElement(model, 1, t.gstrDateOn, t.gstrDateRegion, t.gstrDateFont,
                 vb::FormatDateTime(now, t.gstrDateFormat), 2.5);
    placeElement(model, 2, t.gstrTimeOn, t.gstrTimeRegion, t.gstrTimeFont,
                 vb::FormatDateTime(now, t.gstrTimeFormat), 2.5);
    placeElement(model, 3, t.gstrPiPOn, t.gstrPiPRegion, QString(), QString(), 0);

    for (int d = 0; d < kRecordDisplays; ++d)
        for (int l = 0; l < kDisplayLines; ++l) {
            const QString caption =
                QStringLiteral("Record Display %1 line %2").arg(d + 1).arg(l + 1);
            model.lblEvent(d, l).caption = caption;
            model.lblEvent(d, l).toolTip = caption;
        }
    DemoPanel panel(model, t);
    const int n = t.recordsInUse();
    for (int r = kRecords - 1; r >= 0; --r) {
        if (r <= n - 1)
            ShowTemplateRecord(r, t, model, panel);
        else
            SelectTemplateRecord(r, model, panel);
    }
    if (n > 0) {
        ShowTemplateRecord(n - 1, t, model, panel);
        showFrame(model, model.lblEvent(n - 1, 0));
    }

    PreviewCanvas canvas(&model);
    canvas.resize(int(screenW), int(screenH));
    const QPixmap shot = canvas.grab();
    if (!shot.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    QTextStream(stdout) << "records in use " << n << ", background " << W << " x " << H << Qt::endl;
    return 0;
}
