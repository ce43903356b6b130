#pragma once
// The title, date, time and PiP elements on the designer preview
// (lblTDT(0..3)): picked and dragged with the left button, pulled back
// wholly inside the page on release, where their place is stored as a
// LayoutRect in the template's region setting; and brought in line with the
// template's element settings (text, font face, reduced size, colour,
// alignment).
//
// Positions are preview pixels (templates/model/previewmodel.h); a drag
// keeps the point where the element was grabbed under the pointer.
#include "templates/model/previewmodel.h"

#include <QString>

#include <functional>

namespace templates {
struct Template;
}

namespace layouttools {

constexpr int kElementGroup = 100; // mintSelectedGroup of lblTDT(i) is 100 + i

// The font size on the preview is the descriptor's size divided by this:
// the title by 3, the date and time by 2.5.
double elementSizeDivisor(int index);

// Takes the face, size / `sizeDivisor` and text colour of a font descriptor
// onto `label`. The face is taken whenever the first field is not empty;
// size and colour only from a descriptor with at least three fields whose
// size is a positive number, else the label keeps its size and colour (a
// colour that is no number keeps the colour alone). Returns false when size
// and colour were kept.
bool applyElementFont(preview::PreviewItem& label, const QString& descriptor, double sizeDivisor);

// What the element labels show: the title box's text and the patterns
// chosen in the date and time lists (each trimmed here).
struct ElementTexts {
    std::function<QString()> titleText;
    std::function<QString()> datePattern;
    std::function<QString()> timePattern;
};

class ElementTool final : public preview::PreviewHandlers {
public:
    // `showSelectionFrame` frames the selected element by its index (the
    // selection group is set before it runs).
    ElementTool(preview::PreviewModel& model, templates::Template& t, ElementTexts texts,
                std::function<void(int index)> showSelectionFrame);

    // Left button alone: the press keeps the grab point, brings the element
    // to the front and selects it; moves follow the pointer without limit.
    // Other buttons do nothing. The release of any button drops it.
    void lblTDT_MouseDown(int index, int button, int shift, double x, double y) override;
    void lblTDT_MouseMove(int index, int button, int shift, double x, double y) override;
    void lblTDT_MouseUp(int index, int button, int shift, double x, double y) override;

    // Caps the element's size to the page, clamps its place into it, stores
    // its region, selects and frames it. On a page without width or height
    // the element stays as it is and nothing is stored; it is still
    // selected and framed.
    void dropTDTLabel(int index);
    // Writes the element's LayoutRect into gstrTitleRegion, gstrDateRegion,
    // gstrTimeRegion or gstrPiPRegion. False (nothing stored) for an index
    // outside 0..3 or a page without size.
    bool storeTDTLabelRegion(int index);

    // Title, date, time (0..2): when all four settings (shown flag,
    // alignment, region, font) are set and the label's text (title box, or
    // today's date or the current time in the chosen pattern) is not empty:
    // alignment (kept unless it is 0, 1 or 2), font (applyElementFont),
    // caption, brought to the front and shown. PiP (3): brought to the front
    // and shown when its flag and region are set. Anything else, or a
    // missing setting or text, changes nothing.
    void applyTDTLabelSettings(int index);

private:
    preview::PreviewModel& model_;
    templates::Template& t_;
    ElementTexts texts_;
    std::function<void(int)> showSelectionFrame_;
};

} // namespace layouttools
