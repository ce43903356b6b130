#include "text/fonttexture.h"

#include "core/globals.h"
#include "platform/vbvalue.h"
#include "text/fontdescriptor.h"
#include "text/texteffects.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

int roundEven(double v)
{
    return int(std::clamp<int64_t>(vb::RoundWhole(v), INT32_MIN, INT32_MAX));
}

// One character of a text as the fitting loops see it: a code point, with a
// surrogate pair kept together.
struct Unit {
    qsizetype pos;
    qsizetype len;
    char32_t code;
};

QVector<Unit> unitsOf(const QString& text)
{
    QVector<Unit> units;
    units.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            units.append({i, 2, QChar::surrogateToUcs4(c, text[i + 1])});
            i += 2;
        } else {
            units.append({i, 1, c.unicode()});
            ++i;
        }
    }
    return units;
}

QString unitText(const QString& text, const Unit& u)
{
    return text.mid(u.pos, u.len);
}

const QString kEllipsis = QStringLiteral("...");

// Fonts kept made at most; more are made afresh.
constexpr qsizetype kPreparedFonts = 64;

// The text as it is printed: characters below 32 measure nothing, so they
// draw nothing either (a tab would otherwise open a wide gap and other
// control characters show as boxes, pushing the text out of its box).
QString printable(const QString& text)
{
    const auto isControl = [](QChar c) { return c.unicode() < 32; };
    if (std::none_of(text.begin(), text.end(), isControl))
        return text;
    QString out = text;
    out.removeIf(isControl);
    return out;
}

// Average character width of a font the classic way: the widths of the
// lower-case letters and the space weighted by their frequency in English
// text. A wanted average width is reached against this measure, which keeps
// faces of one metric family the same width whatever their own tables say.
double weightedAverageWidth(const QFont& font)
{
    static constexpr int kWeights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6, 35, 20,
                                         56, 56, 17, 4,  49,  56, 71, 31, 10, 18, 3, 18, 2};
    const QFontMetricsF fm(font);
    double sum = 166 * fm.horizontalAdvance(QLatin1Char(' '));
    for (int i = 0; i < 26; ++i)
        sum += kWeights[i] * fm.horizontalAdvance(QLatin1Char(char('a' + i)));
    return sum / 1000;
}

} // namespace

bool CFontTexture::prepare(const QString& FontName)
{
    if (FontName.isEmpty())
        return false;
    // A page draws dozens of texts in a few fonts: each font is made once,
    // with its metrics and width tables, for every text that follows.
    struct Prepared {
        QFont font;
        double ascent = 0;
        std::shared_ptr<WidthTables> tables;
    };
    thread_local QHash<QString, Prepared> made;
    // A weight from the light end (the page renderer asks 100 for "not bold")
    // must not pick a thin face.
    const bool bold = m_weight >= 600;
    const QString key = QString::number(m_height) + QLatin1Char(',') + QString::number(m_width) + QLatin1Char(',') +
                        QLatin1Char(bold ? '1' : '0') + QLatin1Char(m_italic ? '1' : '0') +
                        QLatin1Char(m_underline ? '1' : '0') + QLatin1Char(',') + FontName;
    auto it = made.constFind(key);
    if (it == made.cend()) {
        QFont f;
        f.setFamilies({FontName});
        f.setPixelSize(fontPixelsFromPoints(m_height));
        f.setWeight(bold ? QFont::Bold : QFont::Normal);
        f.setItalic(m_italic);
        f.setUnderline(m_underline);
        // Advances add up exactly to what the fitting rules count.
        f.setKerning(false);
        f.setHintingPreference(QFont::PreferNoHinting);
        f.setStyleStrategy(QFont::PreferAntialias);
        if (m_width != 0) {
            // The wanted average character width, reached by stretching the face.
            const int wanted = std::clamp(std::abs(pixelsFromPoints(m_width)), 1, 4 * kMaxFontPixels);
            const double natural = weightedAverageWidth(f);
            if (natural > 0)
                f.setStretch(std::clamp(int(std::lround(100.0 * wanted / natural)), 1, 4000));
        }
        auto tables = std::make_shared<WidthTables>();
        tables->advance.fill(-1);
        tables->blackBox.fill(-1);
        if (made.size() >= kPreparedFonts)
            made.clear();
        it = made.insert(key, {f, QFontMetricsF(f).ascent(), std::move(tables)});
    }
    m_font = it->font;
    m_ascent = it->ascent;
    m_tables = it->tables;
    return true;
}

int CFontTexture::glyphWidth(char32_t code, std::array<int, 256>& table, bool blackBox)
{
    if (!m_font || code < 32)
        return 0;
    if (code < 256 && table[code] >= 0)
        return table[code];
    const QFontMetricsF fm(*m_font);
    double w;
    if (code > 0xFFFF) {
        w = fm.horizontalAdvance(QString::fromUcs4(&code, 1));
    } else {
        const QChar c{char16_t(code)};
        const double left = fm.leftBearing(c);
        const double right = fm.rightBearing(c);
        // The advance width counts negative bearings (overhangs) in; the
        // black box is the ink alone.
        w = blackBox ? fm.horizontalAdvance(c) - left - right
                     : fm.horizontalAdvance(c) - std::min(left, 0.0) - std::min(right, 0.0);
    }
    const int width = std::max(int(std::lround(w)), 0);
    if (code < 256)
        table[code] = width;
    return width;
}

int CFontTexture::charWidth(char32_t code)
{
    return m_tables ? glyphWidth(code, m_tables->advance, false) : 0;
}

int CFontTexture::blackBoxWidth(char32_t code)
{
    return m_tables ? glyphWidth(code, m_tables->blackBox, true) : 0;
}

int CFontTexture::GetFontWidth(const QString& FontName, const QString& Text)
{
    if (!prepare(FontName))
        return 0;
    int width = 9;
    for (const Unit& u : unitsOf(Text))
        width += charWidth(u.code);
    return width;
}

TextLayout CFontTexture::LayoutText(double X1, double Y1, double X2, double Y2, const QString& FontName, QString& Text,
                                    bool TightFit, int LineMode, int CharSpacing)
{
    TextLayout out;
    if (!prepare(FontName))
        return out;

    const double boxW = double(float(X2) - float(X1));
    const double boxH = double(float(Y2) - float(Y1));
    const double fh = m_height;
    const int x = roundEven(double(float(X1)) + (TightFit ? 3 : 5));
    const int ySingle = roundEven(double(float(Y1)) + boxH / 2 - fh / 1.25);
    const int yFirst = roundEven(double(float(Y1)) + boxH / 4 - fh / 2);
    const int ySecond = roundEven(double(float(Y1)) + boxH / 4 - fh / 2 + fh + fh / 3);

    int running = 1;
    QString cur;
    int curUnits = 0;
    const auto stop = [&] {
        if (gblnStop)
            out.stopped = true;
        return out.stopped;
    };

    if (TightFit && LineMode != 2) {
        for (const Unit& u : unitsOf(Text)) {
            if (stop())
                return out;
            const int w = charWidth(u.code);
            if (boxW < double(running) + w + 6) {
                if (curUnits < 2)
                    cur = kEllipsis;
                break;
            }
            cur += unitText(Text, u);
            ++curUnits;
            running += w;
        }
        out.lines.append({cur, x, ySingle});
        return out;
    }

    if (TightFit) {
        // Two lines: the first word, then the rest after the first space.
        // Without a space the whole text is the first line and the second
        // stays empty (it would only repeat the first).
        const bool hasSpace = Text.contains(QLatin1Char(' '));
        const QString first = hasSpace ? Text.left(Text.indexOf(QLatin1Char(' '))) : Text;
        const auto fitPart = [&](const QString& part) {
            QString line;
            running = 1;
            for (const Unit& u : unitsOf(part)) {
                if (stop())
                    return std::optional<QString>();
                const int w = blackBoxWidth(u.code);
                if (boxW < double(running) + w + 3)
                    break;
                line += unitText(part, u);
                running += w;
            }
            return std::optional<QString>(line);
        };
        const std::optional<QString> l1 = fitPart(first);
        if (!l1)
            return out;
        out.lines.append({*l1, x, yFirst});
        if (stop() || !hasSpace)
            return out;
        const std::optional<QString> l2 = fitPart(Text.mid(Text.indexOf(QLatin1Char(' ')) + 1));
        if (!l2)
            return out;
        out.lines.append({*l2, x, ySecond});
        return out;
    }

    if (LineMode != 2) {
        const QVector<Unit> units = unitsOf(Text);
        for (qsizetype i = 0; i < units.size(); ++i) {
            if (stop())
                return out;
            const int w = charWidth(units[i].code);
            const bool last = i == units.size() - 1;
            if (boxW > double(running) + w + CharSpacing || (last && !(boxW < double(running) + w + 10))) {
                cur += unitText(Text, units[i]);
                ++curUnits;
                running += w;
                continue;
            }
            if (last)
                cur += kEllipsis;
            else
                cur = curUnits > 2 ? cur + kEllipsis : kEllipsis;
            break;
        }
        out.lines.append({cur, x, ySingle});
        return out;
    }

    // Two lines, loose: the first line breaks at its last space (or, with no
    // space, at the character that did not fit), the second gets "...".
    int lineNo = 1;
    int y = yFirst;
    QVector<Unit> units = unitsOf(Text);
    for (qsizetype i = 0; i < units.size();) {
        if (stop())
            return out;
        const int w = charWidth(units[i].code);
        const bool last = i == units.size() - 1;
        const bool fits = boxW > double(running) + w + CharSpacing;
        if (fits || (lineNo == 2 && last && !(boxW < double(running) + w + 10))) {
            y = lineNo == 1 ? yFirst : ySecond;
            cur += unitText(Text, units[i]);
            ++curUnits;
            running += w;
            ++i;
            continue;
        }
        if (lineNo == 2) {
            if (last)
                cur += kEllipsis;
            else
                cur = curUnits > 2 ? cur + kEllipsis : kEllipsis;
            break;
        }
        qsizetype restart;
        const qsizetype space = cur.lastIndexOf(QLatin1Char(' '));
        if (space >= 0) {
            const QString cutWord = cur.mid(space + 1);
            out.lines.append({cur.left(space), x, yFirst});
            restart = units[i].pos - cutWord.size();
        } else {
            out.lines.append({cur, x, yFirst});
            restart = units[i].pos;
        }
        Text = Text.mid(restart);
        units = unitsOf(Text);
        cur.clear();
        curUnits = 0;
        running = 1;
        lineNo = 2;
        y = ySecond;
        i = 0;
    }
    out.lines.append({cur, x, y});
    return out;
}

void CFontTexture::printLine(QImage& Target, int x, int y, const QString& line, uint32_t color)
{
    const QString text = printable(line);
    QPainter p(&Target);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.setFont(*m_font);
    p.setPen(vb::ToQColor(color));
    if (m_escapement != 0) {
        p.translate(x, y);
        p.rotate(-m_escapement / 10.0);
        p.drawText(QPointF(0, m_ascent), text);
    } else {
        p.drawText(QPointF(x, y + m_ascent), text);
    }
}

void CFontTexture::addTextEdgeAA(QImage& Target, double X, double Y, const QString& Line, uint32_t TextColor,
                                 uint32_t EdgeColor, int EdgeWidth)
{
    if (!m_font)
        return;
    const QString Text = printable(Line);
    const int w = EdgeWidth <= 0 ? 2 : std::min(EdgeWidth, kMaxEdgeWidth);
    if (m_escapement == 0) {
        drawEdgedText(Target, *m_font, Text, X, Y, w, TextColor & 0xFFFFFFu, EdgeColor & 0xFFFFFFu);
        return;
    }
    QPainter p(&Target);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.setFont(*m_font);
    p.translate(X, Y);
    p.rotate(-m_escapement / 10.0);
    drawPasses(p, Text, edgePasses(0, 0, w, TextColor & 0xFFFFFFu, EdgeColor & 0xFFFFFFu));
}

void CFontTexture::ShowFont(double X1, double Y1, double X2, double Y2, const QString& FontName,
                            const QString& TextColor, QString& Text, QImage& Target, bool TightFit, int LineMode,
                            int CharSpacing, int Effect, uint32_t EdgeColor, int EdgeWidth)
{
    if (FontName.isEmpty())
        return;
    const uint32_t color = descriptorColor(TextColor);
    const TextLayout layout = LayoutText(X1, Y1, X2, Y2, FontName, Text, TightFit, LineMode, CharSpacing);
    for (const TextLine& line : layout.lines) {
        if (Effect == EffectEdge)
            addTextEdgeAA(Target, line.x, line.y, line.text, color, EdgeColor, EdgeWidth);
        else
            printLine(Target, line.x, line.y, line.text, color);
    }
}

double alignedLeft(const QRectF& box, int alignment, int measured)
{
    const double left = box.left();
    const double width = box.width();
    if (measured > width)
        return left;
    switch (alignment) {
    case 1:
        return left + width - measured;
    case 2:
        return left + width / 2 - measured / 2.0;
    default:
        return left;
    }
}

void paintTextItem(QImage& page, const QRectF& box, int alignment, const QString& descriptor, const QString& text)
{
    const PageFont pf = pageFontOf(descriptor);
    CFontTexture t;
    t.setFontWeight(pf.bold ? 700 : 100);
    t.setItalic(pf.italic);
    t.setUnderline(pf.underline);
    t.setFontHeight(pf.points);
    t.setFontWidth(vb::CInt(pf.points / 2.0));

    const double left = box.left();
    const double width = box.width();
    double x1 = left;
    if (alignment == 1 || alignment == 2)
        x1 = alignedLeft(box, alignment, t.GetFontWidth(pf.face, text));
    QString t2 = text;
    const uint32_t textColor = std::max<uint32_t>(pf.textColor, 5);
    const uint32_t effectColor = std::max<uint32_t>(pf.effectColor, 5);
    t.ShowFont(x1, box.top(), left + width, box.top() + box.height(), pf.face, QString::number(textColor), t2, page,
               true, 1, 1, pf.effect, effectColor, 0);
}
