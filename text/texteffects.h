#pragma once
// Text effects drawn as several prints of one text at shifted positions:
// the edge (outline), the drop shadow and the 3D extrusion, and the font
// sample of the font panel that shows them.
#include "text/fontdescriptor.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QVector>

#include <cstdint>

class QPainter;

// One print: the text's top-left position and its colour (red in the low byte).
struct EffectPass {
    double x = 0;
    double y = 0;
    uint32_t color = 0;
    bool operator==(const EffectPass&) const = default;
};

// Edge: (2w + 1)^2 prints in the edge colour at the offsets 0..2w in both
// directions (column by column), then the text at (X + w, Y + w).
QVector<EffectPass> edgePasses(double X, double Y, int w, uint32_t textColor, uint32_t edgeColor);
// Shadow 3 pixels away at 315 degrees: the shadow to the lower right, then
// the text at (X, Y).
QVector<EffectPass> shadowPasses(double X, double Y, uint32_t textColor, uint32_t effectColor);
// 3D: six layers 5 deep towards the lower right, from the deepest, in a
// colour ramp from the effect colour towards the text colour, then the text
// at (X, Y).
QVector<EffectPass> threeDPasses(double X, double Y, uint32_t textColor, uint32_t effectColor);

// Colour parts of a colour value: red the low byte, then green, then blue.
struct RGBParts {
    int red = 0;
    int green = 0;
    int blue = 0;
};
RGBParts SplitRGB(int64_t color);

// Prints `text` once for each pass, its top-left at the pass's position, in
// the painter's font.
void drawPasses(QPainter& painter, const QString& text, const QVector<EffectPass>& passes);

// The same result as drawPasses(edgePasses(X, Y, w, ...)) with `font` on
// `target`, without printing the text (2w + 1)^2 times: the text's coverage is
// rendered once, the coverage of all edge prints stacked over each other is
// worked out row and column wise, laid down in one step, and the text is
// printed on top. A text drawn again in the same font (by the same thread)
// reuses its coverage: a few pages' worth of texts are kept.
void drawEdgedText(QImage& target, const QFont& font, const QString& text, double X, double Y, int w,
                   uint32_t textColor, uint32_t edgeColor);

// The sample font of the font panel: the face, the leading number of the
// size text in points (0 or none gives the default 12 points), weight bold
// only for a checked Bold box, and italic, underline and strikeout for
// checked boxes (a grey box counts as clear).
QFont CreateSampleFont(const FontDescriptor& panel);

// Clears `target` to `background` and draws "Aa" at (X, Y) with the panel's
// font, colours and effect (no effect chosen draws plain text).
void paintAATextToPicBox(QImage& target, double X, double Y, const FontDescriptor& panel, const QColor& background);
