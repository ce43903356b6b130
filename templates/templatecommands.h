#pragma once
// The Editor's template workflow on the designer: loading a template file
// onto the designer's controls and preview, the built-in layout of each
// slot, the new-template reset, and the commands of the template panel
// (slot change, Set, Set As Default, Reset, Load, Save As, New, Save).
//
// The main window owns the controls (TemplateViewControls) and the preview
// (PreviewModel); one TemplateDesigner holds the template being edited and
// which slot it belongs to. Every path is built in the Data folder
// (gstrDataFolder) as "<slot or template name>.ORVT".
#include "templates/model/previewmodel.h"
#include "templates/template.h"
#include "templates/templateview.h"

#include <QString>

namespace templates {

// The Data-folder file of a slot (0 "Default Template" .. 6); "" outside 0..6.
QString slotFilePath(int slot);
// The Data-folder file of a template name (slots and play-list entries):
// the exact name when it is there, else the one file whose name matches
// without regard to case.
QString templateFilePath(const QString& name);
// The base name of a path: the text after the last "\" or "/", without the
// text from its last "." on ("a.b.ORVT" gives "a.b", "plain" stays).
QString templateBaseName(const QString& path);

// The caption prefix of record display `display` (0..9): "Record Display 1 line " ..
QString recordDisplayPrefix(int display);

class TemplateDesigner {
public:
    TemplateDesigner(TemplateViewControls& view, preview::PreviewModel& model, Template& t = designerTemplate());

    // ---- loading onto the designer ----
    // Reads the file into the template and brings the designer in line;
    // with `bApply` also paints the background and rebuilds the record
    // displays. Shows the base name in TxtTplName and in the slot list
    // without running the slot change, and from then on the remembered slot
    // is the one the list shows (none for a name that is no slot). False
    // (with the reason in `error`) when there is no file or it cannot be
    // read; the designer is then untouched.
    bool LoadTemplate(const QString& path, bool bApply, QString* error = nullptr);

    // The built-in layout of a slot: N = slot index - 1 (-1 "Default Template").
    void loadDefaultTemplateLayout(int N);
    // A fresh template: one record per page, fixed places.
    void ResetTemplateLayout();

    // ---- template panel ----
    // The slot list's selection changed (connect to the user's choice, also
    // when the same entry is chosen again): stores the slot left, then loads
    // the chosen slot's file or builds its built-in layout; either way
    // TxtTplName then shows the chosen slot's name. When the slot left
    // cannot be stored, or the chosen slot's file cannot be read, says so
    // and stays on the slot left.
    void cboTemplateSelection_Click();
    // Selects slot `index` and runs the slot change (Stop, settings load).
    void selectTemplateSlot(int index);
    void btnSetTemplate_Click();
    void btnSetDefaulTemplate_Click();
    void btnResetTemplate_Click();
    void CmdSelTpl_Click();    // Load
    void CmdSaveTplAs_Click(); // Save As
    void CmdNewTpl_Click();
    void btnSaveTemplate_Click();
    // The preview's "Restore to last saved": the current slot's file again
    // (or its built-in layout), storing nothing.
    void mnuAdjustBackToOriginal_Click();

    // Writes the designer's template to `path` (control values first); a
    // failure is logged and false is returned.
    bool saveDesigner(const QString& path, QString* error = nullptr);

    // The slot whose template the designer holds; -1 until a slot is shown,
    // so nothing is ever stored into a slot that was not loaded from it.
    int mintPrevTemplateIndex = -1;
    QString mstrTemplateFile; // last file chosen in Load or written by Save As

    Template& tmpl() { return t_; }

private:
    enum class LayoutKind { BuiltIn, Fresh };
    void layOutPreview(LayoutKind kind, int N);
    void placeElementFromRect(int index, const QString& rect);
    void setFormatText(FormatList list, const QString& text);
    void rememberShownSlot();
    // A slot file that could not be read: a "!!!" status line, and outside
    // a run a box that says so, then `outcome` (", so ..."), then `why`.
    void reportUnreadable(const QString& path, const QString& why, const QString& outcome = QString());

    TemplateViewControls& view_;
    preview::PreviewModel& model_;
    Template& t_;
};

} // namespace templates
