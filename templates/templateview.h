#pragma once
// The controls of the main window that the template commands read and
// write: the slot list, the template name, the records-per-page and record
// selector boxes, the title, date, time and PiP inputs, the background
// inputs, the group and orientation options, and the layout tools' calls.
//
// Handler cascades: a setter that changes a check box, an option button, a
// scroll bar's Value or the picture name box runs that control's Click or
// Change handler at once, before it returns, exactly as a user's change
// would; setting the value it already has runs nothing. A Qt widget set from
// code behaves this way when its handler is connected to its value-changed
// signal. The slot list is the exception: nothing here ever runs the slot
// change (its handler is connected to the user's choice only).
#include "templates/recorddisplay.h"

#include <QString>
#include <QStringList>

namespace templates {

// The title, date, time and PiP elements (the index of lblTDT).
enum class Element { Title = 0, Date = 1, Time = 2, PiP = 3 };

// The designer's two format lists.
enum class FormatList { Date, Time };

class TemplateViewControls : public RecordPanel {
public:
    // ---- cboTemplateSelection (none of these runs the slot change) ----
    // The selected entry, -1 when none.
    virtual int slotIndex() const = 0;
    // The text the list shows.
    virtual QString slotText() const = 0;
    virtual void setSlotIndex(int index) = 0;
    // Shows `text`: the entry equal to it becomes selected; when no entry
    // is, none is selected and the list shows the text as plain text.
    virtual void showSlotText(const QString& text) = 0;

    // ---- text boxes ----
    virtual QString tplName() const = 0;                     // TxtTplName
    virtual void setTplName(const QString& text) = 0;
    virtual QString recordsPerPageText() const = 0;          // txtRecordsPerPage
    virtual void setRecordsPerPageText(const QString& text) = 0;
    virtual QString titleText() const = 0;                   // txtTitle
    virtual void setTitleText(const QString& text) = 0;
    virtual QString pipText() const = 0;                     // txtPiP
    virtual void setPiPText(const QString& text) = 0;
    // (txtSelRecord is RecordPanel::setSelRecordText.)

    // ---- vsRecordsPerPage: a change of Value (also by Max or Min pulling
    // it into range) runs vsRecordsPerPage_Change ----
    virtual void setRecordsPerPageMax(int max) = 0;
    virtual void setRecordsPerPageValue(int value) = 0;
    virtual void setRecordsPerPageMin(int min) = 0;

    // ---- vsSelRecord: a change of Value runs vsSelRecord_Change ----
    virtual void setSelRecordMax(int max) = 0;
    virtual void setSelRecordMin(int min) = 0;
    virtual void setSelRecordValue(int value) = 0;
    virtual void setSelRecordVisible(bool visible) = 0;

    // ---- chkTitle, chkDateFormat, chkTimeFormat, chkPiP ----
    virtual bool elementChecked(Element e) const = 0;
    // A change runs the box's Click handler.
    virtual void setElementChecked(Element e, bool checked) = 0;
    // Runs the box's Click handler (chkTitle_Click, chkDateFormat_Click,
    // chkTimeFormat_Click, chkPiP_Click) whatever its state.
    virtual void elementClick(Element e) = 0;

    // ---- cboDateFormat, cboTimeFormat ----
    virtual QStringList formatEntries(FormatList list) const = 0;
    virtual void addFormatEntry(FormatList list, const QString& text) = 0;
    virtual void setFormatIndex(FormatList list, int index) = 0;
    virtual QString formatText(FormatList list) const = 0;

    // ---- background ----
    // optBackgroundType(1) (picture or video) is selected.
    virtual bool backgroundIsPicture() const = 0;
    // Selects optBackgroundType(index); when it was not selected its Click
    // handler runs.
    virtual void selectBackgroundType(int index) = 0;
    virtual QString backgroundColorText() const = 0;            // txtBackgroundColor
    virtual void setBackgroundColorText(const QString& text) = 0;
    virtual QString backgroundImageName() const = 0;            // txtBackgroundImagename
    // A change runs txtBackgroundImagename_Change (the video marker).
    virtual void setBackgroundImageName(const QString& text) = 0;
    virtual void setBackgroundImageText(const QString& text) = 0; // txtBackgroundImage
    // Paints the preview: setBackgroundColor and loadBackgroundFile.
    virtual void setBackgroundColor(const QString& colorText) = 0;
    virtual void loadBackgroundFile(const QString& path) = 0;

    // ---- options ----
    // Selects optGroup(99) "No Group"; when it was not selected its Click
    // handler (optGroup_Click(99)) runs.
    virtual void selectNoGroup() = 0;
    // optLayout(0) (portrait) is selected.
    virtual bool portrait() const = 0;

    // ---- layout tools ----
    virtual void HideSelectionFrame() = 0;
    virtual void applyTDTLabelSettings(int index) = 0;
    // drawLayoutGrid(picBackground, 0): the grid again with its count.
    virtual void drawLayoutGrid() = 0;
};

} // namespace templates
