#pragma once
// The main window's template controls in memory, with the handlers the
// template commands rely on: a check box, option or scroll bar changed from
// code runs its handler at once (only on a real change), as the window's
// widgets do. Every handler call is logged, so tests can check the order.
// Also fake message boxes and file dialogs, and a temporary Data folder.
#include "core/globals.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "templates/model/previewmodel.h"
#include "templates/recorddisplay.h"
#include "templates/template.h"
#include "templates/templatecommands.h"
#include "templates/templateview.h"
#include "tests/testsupport.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <map>

namespace fake {

using namespace templates;

class View : public TemplateViewControls {
public:
    View(preview::PreviewModel& m, Template& t)
        : m_(m)
        , t_(t)
    {
    }

    QStringList log; // handler calls in order

    // ---- slot list ----
    QStringList slots = slotNames();
    int slot = 0;
    QString shownText = slotNames().front();
    int slotIndex() const override { return slot; }
    QString slotText() const override { return shownText; }
    void setSlotIndex(int index) override
    {
        slot = index;
        shownText = index >= 0 && index < slots.size() ? slots[index] : QString();
    }
    void showSlotText(const QString& text) override
    {
        slot = int(slots.indexOf(text));
        shownText = text;
    }

    // ---- text boxes ----
    QString name, recordsPerPage, title, pip, selRecord;
    QString tplName() const override { return name; }
    void setTplName(const QString& text) override { name = text; }
    QString recordsPerPageText() const override { return recordsPerPage; }
    void setRecordsPerPageText(const QString& text) override { recordsPerPage = text; }
    QString titleText() const override { return title; }
    void setTitleText(const QString& text) override { title = text; }
    QString pipText() const override { return pip; }
    void setPiPText(const QString& text) override { pip = text; }
    void setSelRecordText(const QString& text) override { selRecord = text; }

    // ---- scroll bars (a Value pulled into range counts as a change) ----
    struct Bar {
        int max = 1, min = 1, value = 1;
        bool visible = true;
    };
    Bar rpp{6, 1, 6, true}, sel;
    void setRecordsPerPageMax(int max) override { setLimit(rpp, rpp.max, max, true); }
    void setRecordsPerPageValue(int value) override { setBar(rpp, value, true); }
    void setRecordsPerPageMin(int min) override { setLimit(rpp, rpp.min, min, true); }
    void setSelRecordMax(int max) override { setLimit(sel, sel.max, max, false); }
    void setSelRecordMin(int min) override { setLimit(sel, sel.min, min, false); }
    void setSelRecordValue(int value) override { setBar(sel, value, false); }
    void setSelRecordVisible(bool visible) override { sel.visible = visible; }

    // ---- element check boxes ----
    std::array<bool, 4> elements{};
    bool elementChecked(Element e) const override { return elements[int(e)]; }
    void setElementChecked(Element e, bool checked) override
    {
        if (elements[int(e)] == checked)
            return;
        elements[int(e)] = checked;
        elementClick(e);
    }
    void elementClick(Element e) override
    {
        const int i = int(e);
        static const char* names[] = {"chkTitle_Click", "chkDateFormat_Click", "chkTimeFormat_Click", "chkPiP_Click"};
        log << QString::fromLatin1(names[i]);
        HideSelectionFrame();
        preview::PreviewItem& label = m_.lblTDT(i);
        label.visible = elements[i];
        if (e == Element::Title || e == Element::PiP) {
            if (elements[i]) {
                applyTDTLabelSettings(i);
            } else {
                (e == Element::Title ? title : pip).clear();
                label.caption = e == Element::Title ? QString() : QStringLiteral("PiP Windows");
            }
        } else {
            const FormatList list = e == Element::Date ? FormatList::Date : FormatList::Time;
            if (elements[i])
                setFormatIndex(list, 0);
            label.caption = elements[i] ? formatText(list) : QString();
        }
    }

    // ---- format lists ----
    std::array<QStringList, 2> entries{dateFormats(), timeFormats()}; // by FormatList
    std::array<int, 2> formatIndex{};
    QStringList formatEntries(FormatList list) const override { return entries[int(list)]; }
    void addFormatEntry(FormatList list, const QString& text) override { entries[int(list)] << text; }
    void setFormatIndex(FormatList list, int index) override { formatIndex[int(list)] = index; }
    QString formatText(FormatList l) const override { return entries[int(l)].value(formatIndex[int(l)]); }

    // ---- background ----
    int backgroundType = 0;
    QString colorText = QStringLiteral("&H000000"), imageName, paintedColor, loadedFile;
    bool backgroundIsPicture() const override { return backgroundType == 1; }
    void selectBackgroundType(int index) override
    {
        if (backgroundType == index)
            return;
        backgroundType = index;
        log << QStringLiteral("optBackgroundType_Click(%1)").arg(index);
        if (index == 0) {
            setBackgroundImageName(QString());
        } else {
            colorText = QStringLiteral("&H000000");
        }
    }
    QString backgroundColorText() const override { return colorText; }
    void setBackgroundColorText(const QString& text) override { colorText = text; }
    QString backgroundImageName() const override { return imageName; }
    void setBackgroundImageName(const QString& text) override
    {
        if (imageName == text)
            return;
        imageName = text;
        log << QStringLiteral("txtBackgroundImagename_Change");
        m_.lblBGVideo().visible = text.endsWith(QLatin1String(".mp4"), Qt::CaseInsensitive);
    }
    void setBackgroundImageText(const QString&) override {}
    void setBackgroundColor(const QString& color) override
    {
        paintedColor = color;
        loadedFile.clear();
    }
    void loadBackgroundFile(const QString& path) override { loadedFile = path; }

    // ---- options ----
    bool noGroup = false;
    int groupOption = -1;
    bool portraitLayout = false;
    void selectNoGroup() override
    {
        if (noGroup)
            return;
        noGroup = true;
        groupOption = -1;
        log << QStringLiteral("optGroup_Click(99)");
        const int n = int(recordsPerPage.trimmed().toDouble());
        for (int r = 0; r < std::min(n, kRecords); ++r)
            for (int l = 0; l < kLines; ++l)
                t_.gstrTemplateLines[r][kFieldGroupFlag][l] = QStringLiteral("0");
        t_.gstrGroupLine = QStringLiteral("0");
    }
    bool portrait() const override { return portraitLayout; }

    // ---- layout tools ----
    int gridDraws = 0;
    void HideSelectionFrame() override {}
    void applyTDTLabelSettings(int index) override { log << QStringLiteral("applyTDTLabelSettings(%1)").arg(index); }
    void drawLayoutGrid() override { ++gridDraws; }

    // ---- record panel ----
    std::array<int, 12> checks{};
    void setLineCheck(int line, int value) override
    {
        if (checks[line] == value)
            return;
        checks[line] = value;
        chkLine_Click(line);
    }
    void chkLine_Click(int line) override
    {
        const int g = m_.state().mintSelectedGroup;
        if (g < 0 || g >= kRecords)
            return;
        t_.gstrTemplateLines[g][kFieldEnabled][line] = QString::number(checks[line]);
        m_.lblEvent(g, line).visible = checks[line] == 1;
    }
    void setGroupOption(int line, bool selected) override
    {
        if (selected) {
            groupOption = line;
            noGroup = false;
        }
    }
    void showLineCheck(int) override {}
    void syncRecordLineCheck(int) override {}
    void DisableLineRows() override {}
    void focusSelRecord() override {}
    void ApplyTemplateRecord(int record) override
    {
        log << QStringLiteral("ApplyTemplateRecord(%1)").arg(record);
        m_.state().mintSelectedGroup = record;
        if (record < 0 || record >= kRecords)
            return;
        for (int l = 0; l < kLines; ++l) {
            setLineCheck(l, t_.gstrTemplateLines[record][kFieldEnabled][l] == QLatin1String("1") ? 1 : 0);
            chkLine_Click(l);
        }
    }

private:
    void setLimit(Bar& b, int& limit, int value, bool records)
    {
        limit = value;
        setBar(b, std::clamp(b.value, std::min(b.min, b.max), std::max(b.min, b.max)), records);
    }
    void setBar(Bar& b, int value, bool records)
    {
        if (b.value == value)
            return;
        b.value = value;
        if (records) {
            // vsRecordsPerPage_Change: the spinner counts backwards.
            log << QStringLiteral("vsRecordsPerPage_Change");
            const int n = b.max - b.value + 1;
            recordsPerPage = QString::number(n);
            for (int r = kRecords - 1; r >= n; --r)
                SelectTemplateRecord(r, m_, *this);
            ApplyTemplateRecord(n - 1);
        } else {
            log << QStringLiteral("vsSelRecord_Change");
            templates::vsSelRecord_Change(b.max, b.value, *this);
        }
    }

    preview::PreviewModel& m_;
    Template& t_;
};

// A designer on a fresh template with a temporary program folder (Data,
// Media and Templates inside it) and fake dialogs.
struct Designer {
    QTemporaryDir home;
    std::array<QString*, 3> folders{&gstrDataFolder, &gstrMediaFolder, &gstrTemplatesFolder};
    std::array<QString, 3> saved{gstrDataFolder, gstrMediaFolder, gstrTemplatesFolder};
    Template t;
    preview::PreviewModel model;
    View view{model, t};
    TemplateDesigner designer{view, model, t};
    testsupport::RecordedMessages messages;
    testsupport::ScriptedFiles files;

    Designer()
    {
        const char* names[] = {"Data", "Media", "Templates"};
        for (int i = 0; i < 3; ++i) {
            QDir(home.path()).mkpath(names[i]);
            *folders[i] = home.filePath(names[i]);
        }
        model.setScreenSize(600, 500);
    }
    ~Designer()
    {
        for (int i = 0; i < 3; ++i)
            *folders[i] = saved[i];
    }
    QString data(const QString& name) const { return paths::join(gstrDataFolder, name); }
};

} // namespace fake
