// The built-in layout of each slot and the new-template reset: the preview
// sized for the orientation and centred, the title, date, time and PiP
// labels and the ten record displays at fixed places, and the template
// rebuilt from that layout.
#include "platform/services.h"
#include "templates/geometry.h"
#include "templates/templatecommands.h"

namespace templates {

namespace {

// Control positions and sizes are single-precision values.
double single(double v)
{
    return static_cast<double>(static_cast<float>(v));
}

// The selection frame hidden and the background back to the default colour.
void resetBackground(TemplateViewControls& view)
{
    view.HideSelectionFrame();
    view.selectBackgroundType(0);
    view.setBackgroundColorText(kDefaultBackgroundColor);
    view.setBackgroundColor(view.backgroundColorText().trimmed());
    view.setBackgroundImageName(QString());
    view.setBackgroundImageText(QString());
}

} // namespace

QString recordDisplayPrefix(int display)
{
    return QStringLiteral("Record Display %1 line ").arg(display + 1);
}

void TemplateDesigner::layOutPreview(LayoutKind kind, int N)
{
    const bool portrait = view_.portrait();
    const double scale = portrait ? 1.25 : 1.4;
    preview::Background& bg = model_.picBackground();

    // Captions and tool tips of every record-line label.
    for (int i = 0; i < kLines; ++i)
        for (int d = 0; d < preview::kRecordDisplays; ++d) {
            preview::PreviewItem& label = model_.lblEvent(d, i);
            label.caption = recordDisplayPrefix(d) + QString::number(i + 1);
            label.toolTip = label.caption;
        }

    bg.setWidth(single((portrait ? 189 : 336) * scale));
    bg.setHeight(single((portrait ? 336 : 189) * scale));
    bg.setLeft(single(model_.screenWidth() / 2 - bg.width() / 2));
    bg.setTop(single(model_.screenHeight() / 2 - bg.height() / 2));

    const double leftColumn = portrait ? 33 : single(110 * scale);
    preview::PreviewItem& title = model_.lblTDT(0);
    title.setLeft(leftColumn);
    title.setTop(5);
    title.setWidth(single(136 * scale));
    title.setHeight(single(30 * scale));

    preview::PreviewItem& date = model_.lblTDT(1);
    date.setLeft(0);
    date.setTop(5);
    date.setWidth(single(68 * scale));
    date.setHeight(single(15 * scale));

    preview::PreviewItem& time = model_.lblTDT(2);
    time.setTop(5);
    time.setWidth(single(68 * scale));
    time.setHeight(single(15 * scale));
    time.setLeft(single(bg.width() - time.width()));

    preview::PreviewItem& pip = model_.lblTDT(3);
    if (kind == LayoutKind::BuiltIn) {
        pip.setWidth(single(bg.width() / 2 * scale));
        pip.setHeight(single(bg.height() / 2 * scale));
    } else {
        pip.setWidth(single(136 * 1.4));
        pip.setHeight(single(64 * 1.4));
    }
    pip.setTop(single(bg.height() / 2 - pip.height() / 2));
    pip.setLeft(single(bg.width() / 2 - pip.width() / 2));

    const bool firstShown = kind == LayoutKind::Fresh || N >= 0;
    for (int d = 0; d < preview::kRecordDisplays; ++d) {
        preview::PreviewItem& line0 = model_.lblEvent(d, 0);
        line0.setLeft(leftColumn);
        line0.setTop(portrait ? 60 : 50);
        line0.setWidth(single(136 * scale));
        line0.setHeight(15);
        line0.alignment = 2;
        line0.visible = d == 0 && firstShown;
    }
    for (int i = 1; i < kLines; ++i)
        for (int d = 0; d < preview::kRecordDisplays; ++d) {
            const preview::PreviewItem& line0 = model_.lblEvent(d, 0);
            const preview::PreviewItem& above = model_.lblEvent(d, i - 1);
            preview::PreviewItem& line = model_.lblEvent(d, i);
            line.setWidth(line0.width());
            line.setLeft(line0.left());
            // The built-in layouts stack the lines on the heights they have.
            if (kind == LayoutKind::Fresh)
                line.setHeight(15);
            line.setTop(single(above.top() + above.height()));
            line.alignment = 2;
            line.visible = d == 0 && firstShown;
        }
    model_.touch();
}

void TemplateDesigner::loadDefaultTemplateLayout(int N)
{
    BusyGuard busy;
    resetBackground(view_);

    view_.setElementChecked(Element::Title, false);
    view_.elementClick(Element::Title);
    view_.setElementChecked(Element::Date, false);
    view_.elementClick(Element::Date);
    view_.setFormatIndex(FormatList::Date, 0);
    view_.setElementChecked(Element::Time, false);
    view_.elementClick(Element::Time);
    view_.setFormatIndex(FormatList::Time, 0);
    view_.setElementChecked(Element::PiP, false);
    view_.elementClick(Element::PiP);
    view_.setPiPText(QString());

    const QString count = QString::number(N + 1);
    view_.setRecordsPerPageText(count);
    view_.setSelRecordText(count);
    view_.setSelRecordMax(N + 1);
    view_.setSelRecordMin(1);
    view_.setSelRecordValue(1);
    view_.setSelRecordVisible(N >= 0);

    layOutPreview(LayoutKind::BuiltIn, N);
    view_.selectNoGroup();
    InitLayoutSettings(N, model_, t_);
    for (int k = 0; k <= N; ++k)
        view_.ApplyTemplateRecord(k);
    if (model_.state().mblnGridShown)
        view_.drawLayoutGrid();
}

void TemplateDesigner::ResetTemplateLayout()
{
    BusyGuard busy;
    resetBackground(view_);

    view_.setElementChecked(Element::Title, false);
    view_.setElementChecked(Element::Date, false);
    view_.setElementChecked(Element::Time, false);
    view_.setElementChecked(Element::PiP, false);

    view_.setRecordsPerPageText(QStringLiteral("1"));
    view_.setRecordsPerPageMax(6);
    view_.setRecordsPerPageValue(6);
    view_.setRecordsPerPageMin(1);

    layOutPreview(LayoutKind::Fresh, 0);
    view_.selectNoGroup();
    InitLayoutSettings(1, model_, t_);
}

} // namespace templates
