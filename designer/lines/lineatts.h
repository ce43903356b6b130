#pragma once
// The line-attributes pop-up (PicEventAtts) and the line-up of two lines.
// A double-click on a record line opens the pop-up at that line; it shows
// whether the line is lined up with another line of its record and with
// which, and its OK button pairs the line with the chosen partner (the line
// keeps its place and the left half of its width, the partner takes the
// right half on the same row) or releases the pair. Both lines of a pair
// hold the pairing in their line-up attribute ("1,3,L,to" and "1,2,R,"; a
// free line "0,-1,,").
//
// The pop-up works on the line it was opened for, whatever line is pressed
// while it is open, and a release touches that line and its recorded
// partner only. It is a model without widgets: a panel widget mirrors it
// and hands the user's input to the setters below. Positions are preview
// pixels on picBackground (templates/model/previewmodel.h).
#include "designer/lines/recordlines.h"

#include <QObject>
#include <QString>

namespace lines {

class LineAttsPopup : public QObject {
    Q_OBJECT
public:
    LineAttsPopup(preview::PreviewModel& model, templates::Template& t, RecordLineHandlers& recordLines,
                  FrameTools& frame, QObject* parent = nullptr);

    // The panel's size in pixels.
    static constexpr double kWidth = 209;
    static constexpr double kHeight = 97;

    static constexpr const char* kNoPartner = "Please select a line to line up.";
    static constexpr const char* kPartnerTaken = "Can't line up with this line, it had lined up with another line.";
    static constexpr const char* kMidWordBreak = "The middle word can't hold a line break.";

    // ---- What the panel shows ----
    bool visible() const { return visible_; }
    double left() const { return left_; }
    double top() const { return top_; }
    // fraEvent's caption: the opened line's caption in upper case.
    const QString& caption() const { return caption_; }
    // chkLineUp: 0 clear, 1 checked, 2 grey.
    int lineUpCheck() const { return check_; }
    // cboRecordLines: the chosen entry (entry i is line i), -1 for none.
    int partnerIndex() const { return partnerIndex_; }
    // txtMidWord.
    const QString& midWord() const { return midWord_; }
    // chkLineUp, cboRecordLines, txtMidWord and CmdSaveAtts, enabled
    // together; Cancel is always enabled.
    bool controlsEnabled() const { return controlsEnabled_; }
    // The partner recorded at opening (lbl2ndLine), -1 for none.
    int recordedPartner() const { return recordedPartner_; }
    // The record display and line the pop-up was opened for.
    int group() const { return group_; }
    int line() const { return line_; }

    // ---- Events ----
    // Opens (or fills and places again) the pop-up for line `index` of
    // record display `group`. An attribute that templates::LineUp does not
    // read as lined up (empty, malformed, or none for displays 6..9 and
    // lines outside 0..11) opens as a free line: box clear, controls
    // enabled, no partner. The panel stays inside the preview at the right
    // and bottom edges only.
    void lblEvent_DblClick(int group, int index);
    // The user sets the check box (the click handler runs when the state
    // changes), chooses an entry of the partner list (-1: none, or typed
    // text that names no entry), or edits the middle word. Ignored while
    // the controls are disabled.
    void setLineUpCheck(int state);
    void setPartnerIndex(int index);
    void setMidWord(const QString& text);
    // OK: checks the choice and stores it; a refused choice leaves the
    // pop-up open with a message and stores nothing. Does nothing while
    // disabled or hidden.
    void CmdSaveAtts_Click();
    // Cancel: hides the pop-up; nothing is stored.
    void CmdCancelAtts_Click();

Q_SIGNALS:
    void changed();

private:
    void chkLineUp_Click();
    void applyLineUp(const QString& selected, const QString& partner);
    // Resets `line` of the opened record unless it is lined up with a line
    // other than `with`.
    void releaseLine(int line, int with);
    preview::PreviewItem* label(int line);

    preview::PreviewModel& m_;
    templates::Template& t_;
    RecordLineHandlers& lines_;
    FrameTools& frame_;

    bool visible_ = false;
    double left_ = 0, top_ = 0;
    QString caption_;
    int check_ = 0;
    int partnerIndex_ = -1;
    QString midWord_ = QStringLiteral("To");
    bool controlsEnabled_ = true;
    int recordedPartner_ = -1;
    int group_ = 0, line_ = 0;
};

} // namespace lines
