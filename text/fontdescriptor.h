#pragma once
// The font descriptor: nine fields joined by "," that every text of a page
// carries: face, size in points, text colour, bold, italic, underline,
// strikeout, effect and effect colour. Colours are decimal, red in the low
// byte (16711680 is blue).
#include <QString>

#include <cstdint>

inline const QString kDefaultFontDescriptor = QStringLiteral("Arial,18,16711680,1,0,0,0,0,65535");

// Effect numbers.
enum TextEffect { EffectNone = 0, EffectEdge = 1, EffectShadow = 2, Effect3D = 3 };

// Removes the characters that would break a stored descriptor or template
// line: ",", "`", "|", CR and LF.
QString cleanDescriptorText(const QString& text);

struct FontDescriptor {
    QString FontName = QStringLiteral("Arial");
    QString FontSize = QStringLiteral("18"); // as typed; readers take its leading number
    uint32_t FontColor = 16711680;
    // Check-box states: 0 clear, 1 checked, 2 grey.
    int Bold = 1;
    int Italic = 0;
    int Underline = 0;
    int Strikeout = 0;
    int Effect = EffectNone; // -1: no effect chosen, written as an empty field
    uint32_t EffectColor = 65535;

    // The stored form. Face and size lose the characters that
    // cleanDescriptorText removes; colours are written as 24-bit values.
    QString toString() const;

    // Reads a stored descriptor field by field into this one, stopping at the
    // first missing field (the later ones keep their values). Returns false
    // and changes nothing when the text has fewer than two fields. Style
    // states other than 1 and 2 read as 0, effects other than 0..3 (an empty
    // field included) as 0.
    bool read(const QString& text);

    bool operator==(const FontDescriptor&) const = default;
};

// What a page takes from a descriptor: a style is set only when its field
// is exactly "1"; strikeout is not drawn on pages.
struct PageFont {
    QString face;
    int points = 0;
    uint32_t textColor = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int effect = EffectNone;
    uint32_t effectColor = 0;
};
PageFont pageFontOf(const QString& descriptor);

// Leading number of a colour field as a 24-bit colour value.
uint32_t descriptorColor(const QString& field);

// Font sizes in points become pixels at a fixed 96 dots per inch. Pixel
// sizes of a font outside this range are clamped, so a typed "100000" cannot
// stall the program.
inline constexpr int kMinFontPixels = 1;
inline constexpr int kMaxFontPixels = 2000;

// Pixels of `points` at 96 dots per inch, rounded to the nearest (halves
// away from 0), not clamped.
int pixelsFromPoints(int points);
// Pixel size of a font of `points` at 96 dots per inch, clamped.
int fontPixelsFromPoints(int points);
