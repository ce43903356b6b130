#pragma once
// The fixed lists and value rules of the screen inputs on the settings panel.
//
// How the main window uses it: FillResolutionList fills cboResolution with
// resolutionList(optLayout(1) selected) and cboRotation with rotationList();
// cboResolution_Click takes width and height from parseResolution() of the
// chosen entry; btnBackgroundColor_Click shows backgroundColorText() of the
// chosen colour in txtBackgroundColor.
#include <QString>
#include <QStringList>

#include <cstdint>

namespace screenlists {

// The resolution entries ("768 x 1024", ...) of one orientation, in list order.
QStringList resolutionList(bool landscape);
// "0", "90", "180", "270".
QStringList rotationList();
// The entry selected after a change of orientation.
constexpr int kDefaultResolutionIndex = 3;

struct Resolution {
    int width = 0;
    int height = 0;
};
// Width and height of an entry "<width> x <height>": the numeric values of
// the text before and after the "x"; 0 for a part that holds no number.
Resolution parseResolution(const QString& entry);

// The colour box text of a chosen colour (blue-green-red value): "&H000000"
// for black, else "&H" and upper-case hexadecimal without leading zeros.
QString backgroundColorText(uint32_t bgr);

} // namespace screenlists
