#pragma once
// The text drawer: measures a text in a font made from its properties and
// fits and draws it into a box on a page picture, plain or with an edge.
//
// Sizes are in points and become pixels at a fixed 96 dots per inch. Every
// measurement and every text item uses an instance of its own; an instance
// keeps the font of its last preparation until the next one.
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

// Edge widths above this are drawn with it; 0 or less means 2.
inline constexpr int kMaxEdgeWidth = 12;

// One line that a layout decided to draw: its text and the top-left
// position of the text in pixels.
struct TextLine {
    QString text;
    int x = 0;
    int y = 0;
};

struct TextLayout {
    QVector<TextLine> lines;
    bool stopped = false; // the stop flag ended the layout early
};

class CFontTexture {
public:
    CFontTexture() = default;

    int FontWeight() const { return m_weight; }
    void setFontWeight(int weight) { m_weight = weight; }
    bool Italic() const { return m_italic; }
    void setItalic(bool on) { m_italic = on; }
    bool Underline() const { return m_underline; }
    void setUnderline(bool on) { m_underline = on; }
    int FontHeight() const { return m_height; }
    void setFontHeight(int points) { m_height = points; }
    int FontWidth() const { return m_width; }
    void setFontWidth(int points) { m_width = points; }
    // Text angle in tenths of a degree, counter-clockwise.
    int FontEscapement() const { return m_escapement; }
    void setFontEscapement(int tenths) { m_escapement = tenths; }

    // Width in pixels of `Text`: 9 plus the width of every character. 0 when
    // the face name is empty (the instance then keeps its earlier font).
    int GetFontWidth(const QString& FontName, const QString& Text);

    // Fits `Text` into the box (X1, Y1)-(X2, Y2) and draws it on `Target` in
    // `TextColor` (decimal colour text, red in the low byte). TightFit with
    // LineMode other than 2 is the page layout: one line, cut to the box,
    // "..." when fewer than two characters fit. Effect 1 draws an edge of
    // `EdgeColor`, `EdgeWidth` pixels wide (0 or less means 2). The two-line
    // loose layout leaves in `Text` the part that opens its second line.
    void ShowFont(double X1, double Y1, double X2, double Y2, const QString& FontName, const QString& TextColor,
                  QString& Text, QImage& Target, bool TightFit, int LineMode, int CharSpacing, int Effect,
                  uint32_t EdgeColor, int EdgeWidth);

    // The layout decisions of ShowFont without drawing: which text goes
    // where. Returns nothing (no lines) when the face name is empty.
    TextLayout LayoutText(double X1, double Y1, double X2, double Y2, const QString& FontName, QString& Text,
                          bool TightFit, int LineMode, int CharSpacing);

    // Draws `Text` with its top-left at (X + w, Y + w) in `TextColor` over
    // (2w + 1)^2 prints in `EdgeColor` at the offsets 0..2w in both
    // directions, w being `EdgeWidth` (0 or less means 2), in this
    // instance's current font.
    void addTextEdgeAA(QImage& Target, double X, double Y, const QString& Text, uint32_t TextColor, uint32_t EdgeColor,
                       int EdgeWidth);

    // The font of the last preparation, if any.
    const std::optional<QFont>& font() const { return m_font; }
    // Width that the fitting rules count for one character (code point).
    int charWidth(char32_t code);

private:
    // Widths of codes 0..255, -1 until first asked; the black-box table is
    // for the two-line tight layout. Shared by every instance with the same
    // font.
    struct WidthTables {
        std::array<int, 256> advance;
        std::array<int, 256> blackBox;
    };

    bool prepare(const QString& FontName);
    int blackBoxWidth(char32_t code);
    // Shared by the two widths above, each with its own table.
    int glyphWidth(char32_t code, std::array<int, 256>& table, bool blackBox);
    void printLine(QImage& Target, int x, int y, const QString& text, uint32_t color);

    int m_weight = 0;
    bool m_italic = false;
    bool m_underline = false;
    int m_height = 0;
    int m_width = 0;
    int m_escapement = 0;

    std::optional<QFont> m_font;
    double m_ascent = 0;
    std::shared_ptr<WidthTables> m_tables;
};

// Where a text item of measured width `measured` starts in `box`: the left
// edge for left alignment (0); for right (1) and centre (2) the right-aligned
// or centred start, only when the text is not wider than the box.
double alignedLeft(const QRectF& box, int alignment, int measured);

// Draws one text item of a page the way the page renderer does: the font
// from `descriptor` (face, size, colour, bold, italic, underline, effect,
// effect colour; a style counts only when its field is exactly "1"), the
// text placed in `box` by `alignment` (0 left, 1 right, 2 centre) and drawn
// in the one-line tight layout; only effect 1 (edge) changes the drawing.
// Text and effect colours below 5 are drawn as 5, so that no text turns into
// the see-through black of the display window.
void paintTextItem(QImage& page, const QRectF& box, int alignment, const QString& descriptor, const QString& text);
