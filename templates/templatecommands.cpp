#include "templates/templatecommands.h"

#include "core/globals.h"
#include "core/modmain.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/vbvalue.h"
#include "templates/geometry.h"
#include "templates/layouts.h"
#include "templates/templatefile.h"

#include <QFileInfo>

namespace templates {

namespace {

const QString kExtension = QStringLiteral(".ORVT");
const QString kFilter = QStringLiteral("Orvane Template Files (*.ORVT)|*.ORVT|");

bool fileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// The folder part of a stored path (before its last "\" or "/"), trimmed.
QString folderOf(const QString& path)
{
    const qsizetype cut = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return cut < 0 ? path.trimmed() : path.left(cut).trimmed();
}

bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

void saveFailed(const QString& path, const QString& why)
{
    services::message(QStringLiteral("The template could not be saved to %1.\n%2").arg(path, why),
                      MsgIcon::Exclamation);
}

// A media path as the designer's boxes show it: the file itself when it is
// there, else the file of that name in the Media folder when that is there.
QString mediaPathFor(const QString& value, bool prefixPlainName)
{
    const QString name = paths::fileNameOf(value);
    const bool plain = name == value;
    if (plain && prefixPlainName)
        return paths::join(gstrMediaFolder, value);
    if (fileExists(value))
        return value;
    const QString inMedia = paths::join(gstrMediaFolder, name);
    if (fileExists(inMedia))
        return inMedia;
    return value;
}

} // namespace

QString slotFilePath(int slot)
{
    if (slot < 0 || slot >= slotNames().size())
        return {};
    return templateFilePath(slotNames()[slot]);
}

QString templateFilePath(const QString& name)
{
    // A file stored in another letter case is the same template (boards and
    // copies from other systems keep their own spelling).
    return paths::resolve(gstrDataFolder, name + kExtension);
}

QString templateBaseName(const QString& path)
{
    const QString name = paths::fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

TemplateDesigner::TemplateDesigner(TemplateViewControls& view, preview::PreviewModel& model, Template& t)
    : view_(view)
    , model_(model)
    , t_(t)
{
}

void TemplateDesigner::placeElementFromRect(int index, const QString& rect)
{
    placeFromLayoutRect(model_.lblTDT(index), rect, std::as_const(model_).picBackground());
    model_.touch();
}

void TemplateDesigner::setFormatText(FormatList list, const QString& text)
{
    // A format the list lacks is added rather than lost at the next save.
    qsizetype i = view_.formatEntries(list).indexOf(text);
    if (i < 0) {
        view_.addFormatEntry(list, text);
        i = view_.formatEntries(list).indexOf(text);
    }
    if (i >= 0)
        view_.setFormatIndex(list, int(i));
}

void TemplateDesigner::rememberShownSlot()
{
    // The designer now holds the template of the slot the list shows (or of
    // no slot), so that is the slot the next slot change stores.
    mintPrevTemplateIndex = view_.slotIndex();
}

bool TemplateDesigner::LoadTemplate(const QString& path, bool bApply, QString* error)
{
    BusyGuard busy;
    const auto reader = TemplateReader::open(path, error);
    if (!reader)
        return false;

    QString base = templateBaseName(path);
    // A slot's file in another letter case still shows its slot.
    for (const QString& slot : slotNames())
        if (slot.compare(base, Qt::CaseInsensitive) == 0)
            base = slot;
    view_.setTplName(base);
    view_.showSlotText(base);
    rememberShownSlot();

    if (const auto v = reader->read(TemplateKey::RecordsPerPage)) {
        t_.gstrRecordsPerPage = *v;
        view_.setRecordsPerPageText(*v);
        view_.setSelRecordText(*v);
        // A count outside 0..6 is logged below and used clamped.
        const int n = t_.recordsInUse();
        view_.setSelRecordMax(n <= 0 ? 1 : n);
        view_.setSelRecordMin(1);
        view_.setSelRecordValue(1);
        view_.setSelRecordVisible(n > 0);
    }

    if (const auto v = reader->read(TemplateKey::GroupLine))
        t_.gstrGroupLine = *v;
    if (t_.gstrGroupLine == QLatin1String("0"))
        view_.selectNoGroup();

    std::optional<QString> fileTitle = reader->read(TemplateKey::TitleText);
    if (fileTitle) {
        t_.gstrTitleText = *fileTitle;
        view_.setTitleText(*fileTitle);
    }

    if (const auto v = reader->read(TemplateKey::TitleFontStyle)) {
        const TextElementStyle s = TextElementStyle::parse(*v);
        if (!s.rect.trimmed().isEmpty()) {
            t_.gstrTitleRegion = s.rect;
            placeElementFromRect(0, s.rect);
        }
        if (!s.alignment.trimmed().isEmpty())
            t_.gstrTitleAlign = s.alignment;
        if (!s.font.trimmed().isEmpty())
            t_.gstrTitleFont = s.font;
        if (!s.shown.trimmed().isEmpty()) {
            t_.gstrTitleOn = s.shown;
            view_.setElementChecked(Element::Title, s.shown == QLatin1String("1"));
            view_.elementClick(Element::Title);
        } else {
            t_.gstrTitleOn = QStringLiteral("0");
            view_.setElementChecked(Element::Title, false);
        }
        // The cleared title box empties its text; the file's title text
        // stays in the box so that the next save keeps it.
        if (!view_.elementChecked(Element::Title) && fileTitle)
            view_.setTitleText(*fileTitle);
    }

    struct Timed {
        TemplateKey style, format;
        Element element;
        FormatList list;
        QString *on, *align, *region, *font, *pattern;
    };
    const Timed timed[2] = {
        {TemplateKey::DateFontStyle, TemplateKey::DateFormat, Element::Date, FormatList::Date, &t_.gstrDateOn,
         &t_.gstrDateAlign, &t_.gstrDateRegion, &t_.gstrDateFont, &t_.gstrDateFormat},
        {TemplateKey::TimeFontStyle, TemplateKey::TimeFormat, Element::Time, FormatList::Time, &t_.gstrTimeOn,
         &t_.gstrTimeAlign, &t_.gstrTimeRegion, &t_.gstrTimeFont, &t_.gstrTimeFormat},
    };
    for (const Timed& e : timed) {
        const int index = int(e.element);
        if (const auto v = reader->read(e.style)) {
            const TextElementStyle s = TextElementStyle::parse(*v);
            if (!s.alignment.trimmed().isEmpty())
                *e.align = s.alignment;
            if (!s.rect.trimmed().isEmpty()) {
                *e.region = s.rect;
                placeElementFromRect(index, s.rect);
            }
            if (!s.font.trimmed().isEmpty()) {
                *e.font = s.font;
                view_.applyTDTLabelSettings(index);
            }
            if (!s.shown.trimmed().isEmpty()) {
                *e.on = s.shown;
                view_.setElementChecked(e.element, s.shown == QLatin1String("1"));
                view_.elementClick(e.element);
            }
        }
        if (const auto v = reader->read(e.format)) {
            *e.pattern = *v;
            setFormatText(e.list, *v);
        } else {
            view_.setFormatIndex(e.list, 0);
            *e.pattern = view_.formatText(e.list).trimmed();
        }
    }

    if (const auto v = reader->read(TemplateKey::Type))
        t_.gstrBackgroundType = *v;
    if (t_.gstrBackgroundType == QLatin1String("1")) {
        view_.selectBackgroundType(1);
        if (const auto v = reader->read(TemplateKey::ImageFile)) {
            t_.gstrBackgroundImage = *v;
            view_.setBackgroundImageName(mediaPathFor(*v, true));
            if (bApply)
                view_.loadBackgroundFile(view_.backgroundImageName());
        }
    } else {
        view_.selectBackgroundType(0);
        if (const auto v = reader->read(TemplateKey::Color)) {
            t_.gstrBackgroundColor = *v;
            view_.setBackgroundColorText(*v);
            if (bApply)
                view_.setBackgroundColor(t_.gstrBackgroundColor);
        }
    }

    if (const auto v = reader->read(TemplateKey::PiPWindows)) {
        const PiPWindowStyle s = PiPWindowStyle::parse(*v);
        if (!s.shown.trimmed().isEmpty()) {
            t_.gstrPiPOn = s.shown;
            view_.setElementChecked(Element::PiP, s.shown == QLatin1String("1"));
            view_.elementClick(Element::PiP);
        }
        const QString file = s.mediaFile.trimmed();
        if (!file.isEmpty()) {
            t_.gstrPiPFile = file;
            view_.setPiPText(mediaPathFor(file, false));
        }
        if (!s.rect.trimmed().isEmpty()) {
            t_.gstrPiPRegion = s.rect;
            placeElementFromRect(3, s.rect);
        }
    }

    const int n = t_.recordsInUse();
    for (int r = kRecords - 1; r >= 0; --r) {
        for (int l = 0; l < kLines; ++l)
            if (const auto v = reader->readLine(r, l))
                storeTemplateLine(t_, r, l, *v);
        if (bApply) {
            if (r <= n - 1)
                ShowTemplateRecord(r, t_, model_, view_);
            else
                SelectTemplateRecord(r, model_, view_);
        }
    }
    if (n > 0 && bApply)
        ShowTemplateRecord(n - 1, t_, model_, view_);

    if (model_.state().mblnGridShown)
        view_.drawLayoutGrid();

    logRecordsPerPage(t_, path);
    model_.touch();
    return true;
}

bool TemplateDesigner::saveDesigner(const QString& path, QString* error)
{
    TemplateControls c;
    c.txtRecordsPerPage = view_.recordsPerPageText();
    c.txtTitle = view_.titleText();
    c.chkTitle = view_.elementChecked(Element::Title);
    c.cboDateFormat = view_.formatText(FormatList::Date);
    c.chkDateFormat = view_.elementChecked(Element::Date);
    c.cboTimeFormat = view_.formatText(FormatList::Time);
    c.chkTimeFormat = view_.elementChecked(Element::Time);
    c.backgroundIsPicture = view_.backgroundIsPicture();
    c.txtBackgroundImagename = view_.backgroundImageName();
    c.txtBackgroundColor = view_.backgroundColorText();
    c.chkPiP = view_.elementChecked(Element::PiP);
    c.txtPiP = view_.pipText();
    return SaveTemplate(path, t_, c, error);
}

void TemplateDesigner::cboTemplateSelection_Click()
{
    const int i = view_.slotIndex();
    const int p = mintPrevTemplateIndex;
    if (i != p && p >= 0) {
        const QString left = slotFilePath(p);
        QString why;
        if (!left.isEmpty() && !saveDesigner(left, &why)) {
            // Going on would throw the designer's template away. A run's
            // settings load gets here too: then nobody is there to click.
            modMain::reportProblem(QStringLiteral("The template could not be saved to %1, so the template "
                                                  "selection stays.\n%2")
                                       .arg(left, why),
                                   MsgIcon::Exclamation);
            view_.setSlotIndex(p);
            return;
        }
    }
    mintPrevTemplateIndex = i;
    const QString slot = view_.slotText().trimmed();
    const QString path = templateFilePath(slot);
    if (!fileExists(path)) {
        btnResetTemplate_Click();
        // As a load of the slot's file would: the name field names the
        // template the designer now holds, so Save writes that slot and not
        // the one left.
        if (i >= 0)
            view_.setTplName(slot);
        return;
    }
    view_.HideSelectionFrame();
    QString why;
    if (!LoadTemplate(path, true, &why)) {
        // The designer still holds the template it had (already stored in
        // its own slot's file); staying on that slot keeps the next slot
        // change from writing it over the file that could not be read.
        reportUnreadable(path, why, QStringLiteral(", so the template selection stays"));
        if (i != p) {
            if (p >= 0)
                view_.setSlotIndex(p);
            mintPrevTemplateIndex = p;
        }
    }
}

void TemplateDesigner::selectTemplateSlot(int index)
{
    view_.setSlotIndex(index);
    cboTemplateSelection_Click();
}

void TemplateDesigner::btnSetTemplate_Click()
{
    view_.HideSelectionFrame();
    if (view_.slotIndex() < 0)
        return;
    const QString path = templateFilePath(view_.slotText().trimmed());
    QString why;
    if (!saveDesigner(path, &why))
        saveFailed(path, why);
}

void TemplateDesigner::btnSetDefaulTemplate_Click()
{
    view_.HideSelectionFrame();
    const QString path = slotFilePath(0);
    QString why;
    if (saveDesigner(path, &why))
        services::message(QStringLiteral("Default Template set."));
    else
        saveFailed(path, why);
}

void TemplateDesigner::btnResetTemplate_Click()
{
    view_.HideSelectionFrame();
    const int i = view_.slotIndex();
    if (i >= 0)
        loadDefaultTemplateLayout(i - 1);
}

void TemplateDesigner::CmdSelTpl_Click()
{
    const QString folder = mstrTemplateFile.isEmpty() ? gstrTemplatesFolder : folderOf(mstrTemplateFile);
    QString fileName;
    if (!services::files().chooseOpen(QStringLiteral("Select Orvane Template"), folder, kFilter, fileName) ||
        fileName.isEmpty())
        return;
    const int n = GetTemplateRecordsPerPage(fileName);
    if (n < 0 || n >= slotNames().size())
        return;
    const QString target = slotFilePath(n);
    // Choosing the slot file itself copies nothing.
    if (!sameFile(fileName, target)) {
        QString why;
        if (!atomicfile::copy(fileName, target, &why)) {
            statusMessage(QStringLiteral("!!!Error copying the template %1 to %2: %3").arg(fileName, target, why));
            services::message(QStringLiteral("The template could not be copied to %1.\n%2").arg(target, why),
                              MsgIcon::Exclamation);
            return;
        }
    }
    ResetTemplateLayout();
    LoadTemplate(target, true);
    mstrTemplateFile = fileName;
}

void TemplateDesigner::CmdSaveTplAs_Click()
{
    QString folder = gstrTemplatesFolder;
    QString proposed;
    if (!mstrTemplateFile.isEmpty()) {
        folder = folderOf(mstrTemplateFile);
        proposed = paths::fileNameOf(mstrTemplateFile).trimmed();
    }
    QString fileName;
    if (!services::files().chooseSave(QStringLiteral("Save Orvane Template As"), folder, kFilter, proposed, true,
                                      fileName) ||
        fileName.isEmpty())
        return;
    // The dialog's default suffix: a name typed without an extension gets
    // the one the Load filter shows.
    if (QFileInfo(paths::fileNameOf(fileName)).suffix().isEmpty() && !fileName.endsWith(QLatin1Char('/'))) {
        if (fileName.endsWith(QLatin1Char('.')))
            fileName.chop(1);
        fileName += kExtension;
        if (QFileInfo::exists(fileName) &&
            services::message(QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(fileName),
                              MsgIcon::Exclamation, MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
    }
    if (!paths::isPlainFileName(paths::fileNameOf(fileName))) {
        services::message(QStringLiteral("Please choose a file name without control characters."),
                          MsgIcon::Exclamation);
        return;
    }
    if (paths::isInside(fileName, gstrDataFolder)) {
        services::message(QStringLiteral("Can't save the template to Data folder.  Please save again."));
        return;
    }
    QString why;
    if (!saveDesigner(fileName, &why)) {
        saveFailed(fileName, why);
        return;
    }
    mstrTemplateFile = fileName;
}

void TemplateDesigner::CmdNewTpl_Click()
{
    view_.setTplName(QString());
    ResetTemplateLayout();
}

void TemplateDesigner::btnSaveTemplate_Click()
{
    const QString name = view_.tplName().trimmed();
    if (name.isEmpty()) {
        services::message(QStringLiteral("Please enter a Template Name."));
        return;
    }
    if (!paths::isPlainFileName(name)) {
        services::message(QStringLiteral("Please enter a Template Name without \"\\\", \"/\" or control "
                                         "characters that is not \".\" or \"..\"."),
                          MsgIcon::Exclamation);
        return;
    }
    const QString path = templateFilePath(name);
    if (!paths::isInside(path, gstrDataFolder)) {
        services::message(QStringLiteral("The template can only be saved in the Data folder (%1).").arg(gstrDataFolder),
                          MsgIcon::Exclamation);
        return;
    }
    QString why;
    if (saveDesigner(path, &why))
        services::message(QStringLiteral("Template saved."));
    else
        saveFailed(path, why);
}

void TemplateDesigner::mnuAdjustBackToOriginal_Click()
{
    if (view_.slotIndex() < 1)
        return;
    const QString path = templateFilePath(view_.slotText().trimmed());
    if (!fileExists(path)) {
        btnResetTemplate_Click();
        return;
    }
    view_.HideSelectionFrame();
    // The designer keeps what it holds; the user is told why.
    QString why;
    if (!LoadTemplate(path, true, &why))
        reportUnreadable(path, why);
}

void TemplateDesigner::reportUnreadable(const QString& path, const QString& why, const QString& outcome)
{
    // During a run the status line is all: nobody is there to click.
    statusMessage(QStringLiteral("!!!Error loading the template %1: %2").arg(path, why));
    if (!gblnRunActive)
        services::message(QStringLiteral("The template %1 could not be read%2.\n%3").arg(path, outcome, why),
                          MsgIcon::Exclamation);
}

} // namespace templates
