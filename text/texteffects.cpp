#include "text/texteffects.h"

#include "platform/vbvalue.h"

#include <QCache>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.141592654;
constexpr int kShadowDistance = 3;
constexpr int kEffectAngle = 315;
constexpr int kDepth = 5;

// Text and shadow (or 3D front) positions by the angle's quadrant.
void quadrantPositions(double X, double Y, double dx, double dy, int angle, QPointF& shadow, QPointF& text)
{
    if (angle >= 0 && angle < 90) {
        shadow = {X + dx, Y};
        text = {X, Y + dy};
    } else if (angle >= 90 && angle < 180) {
        shadow = {X, Y};
        text = {X + dx, Y + dy};
    } else if (angle >= 180 && angle < 270) {
        shadow = {X, Y + dy};
        text = {X + dx, Y};
    } else {
        shadow = {X + dx, Y + dy};
        text = {X, Y};
    }
}

uint32_t composeColor(int r, int g, int b)
{
    const auto part = [](int v) { return uint32_t(std::clamp(v, 0, 255)); };
    return part(r) | (part(g) << 8) | (part(b) << 16);
}

QColor colorOf(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

struct Rgbf {
    float r, g, b;
};

// The columns [a, b) of a row that hold ink; empty when a == b.
struct Span {
    int a = 0;
    int b = 0;
};

// One row of the edge and the text over the picture: the edge (coverage
// 1 - through) as an 8-bit picture laid over it would be, then the text.
template <bool Opaque>
void blendEdgeRow(QRgb* __restrict dst, const float* __restrict through, const float* __restrict textCover, int x0,
                  int x1, Rgbf edge, Rgbf text)
{
    for (int x = x0; x < x1; ++x) {
        const int d = int(dst[x]);
        const float ea = 1.0f - through[x];
        const float inv = 1.0f - float(int(ea * 255.0f + 0.5f)) * (1.0f / 255.0f);
        const float c = textCover[x];
        float r = float(int(float(int(edge.r * ea + 0.5f)) + float((d >> 16) & 0xFF) * inv + 0.5f));
        float g = float(int(float(int(edge.g * ea + 0.5f)) + float((d >> 8) & 0xFF) * inv + 0.5f));
        float b = float(int(float(int(edge.b * ea + 0.5f)) + float(d & 0xFF) * inv + 0.5f));
        r += (text.r - r) * c;
        g += (text.g - g) * c;
        b += (text.b - b) * c;
        int a = 255;
        if constexpr (!Opaque) {
            const float da = float((d >> 24) & 0xFF) * (1.0f / 255.0f);
            a = int((1.0f - (1.0f - da) * inv * (1.0f - c)) * 255.0f + 0.5f);
        }
        dst[x] = QRgb((a << 24) | (int(r + 0.5f) << 16) | (int(g + 0.5f) << 8) | int(b + 0.5f));
    }
}

// The general path for pictures of other formats: the edge as a picture of
// its own laid over the target, then the text printed on top.
void edgeThroughPainter(QImage& target, const QFont& font, const QString& text, double X, double Y, int w,
                        uint32_t textColor, uint32_t edgeColor, const QRect& tileRect, const QImage& cover)
{
    const int cw = cover.width(), ch = cover.height();
    const int ow = cw + 2 * w, oh = ch + 2 * w;
    std::vector<float> rows(size_t(ow) * ch, 1.0f);
    for (int y = 0; y < ch; ++y) {
        const uchar* in = cover.constScanLine(y);
        float* out = rows.data() + size_t(y) * ow;
        for (int x = 0; x < cw; ++x) {
            const float t = 1.0f - in[x] * (1.0f / 255.0f);
            for (int i = 0; i <= 2 * w; ++i)
                out[x + i] *= t;
        }
    }
    std::vector<float> column(static_cast<size_t>(ow));
    QImage edge(ow, oh, QImage::Format_ARGB32_Premultiplied);
    const float er = float(edgeColor & 0xFF), eg = float((edgeColor >> 8) & 0xFF), eb = float((edgeColor >> 16) & 0xFF);
    for (int y = 0; y < oh; ++y) {
        std::fill(column.begin(), column.end(), 1.0f);
        for (int j = std::max(0, y - 2 * w); j <= std::min(ch - 1, y); ++j) {
            const float* in = rows.data() + size_t(j) * ow;
            for (int x = 0; x < ow; ++x)
                column[size_t(x)] *= in[x];
        }
        auto* out = reinterpret_cast<QRgb*>(edge.scanLine(y));
        for (int x = 0; x < ow; ++x) {
            const float a = 1.0f - column[size_t(x)];
            const int a8 = int(a * 255.0f + 0.5f);
            out[x] = a8 == 0 ? 0u : qRgba(int(er * a + 0.5f), int(eg * a + 0.5f), int(eb * a + 0.5f), a8);
        }
    }
    QPainter p(&target);
    p.drawImage(tileRect.topLeft(), edge);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(colorOf(textColor));
    p.drawText(QPointF(X + w, Y + w + QFontMetricsF(font).ascent()), text);
}

// The coverage of one print of a text, in a tile of its own: its alpha and
// the columns of ink of each row.
struct Coverage {
    std::vector<uchar> alpha;
    std::vector<Span> ink;
};

// `text` printed in black with its baseline's start at (dx, dy) of a clear
// width x height tile: the alpha of a 32-bit picture (the raster engine's
// fast path, the same coverage as an 8-bit alpha picture would get).
Coverage printCoverage(const QFont& font, const QString& text, double dx, double dy, int width, int height)
{
    thread_local std::vector<QRgb> printBuf;
    printBuf.assign(size_t(width) * height, 0u);
    {
        QImage print(reinterpret_cast<uchar*>(printBuf.data()), width, height, width * 4,
                     QImage::Format_ARGB32_Premultiplied);
        QPainter p(&print);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPointF(dx, dy), text);
    }
    Coverage c;
    c.alpha.resize(size_t(width) * height);
    c.ink.resize(size_t(height));
    for (int y = 0; y < height; ++y) {
        const QRgb* __restrict in = printBuf.data() + size_t(y) * width;
        uchar* __restrict out = c.alpha.data() + size_t(y) * width;
        uint32_t any = 0;
        for (int x = 0; x < width; ++x) {
            out[x] = uchar(in[x] >> 24);
            any |= in[x];
        }
        if (any == 0)
            continue;
        int a = 0, b = width;
        while (out[a] == 0)
            ++a;
        while (out[b - 1] == 0)
            --b;
        c.ink[size_t(y)] = {a, b};
    }
    return c;
}

// A text in a font, and what its edge needs of it: its ink and line box
// printed at (0, 0) with the ascent, and its coverage as last printed.
struct PrintKey {
    QFont font;
    QString text;
    bool operator==(const PrintKey&) const = default;
};

size_t qHash(const PrintKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.font, key.text);
}

struct PrintedText {
    QRectF box;
    double ascent = 0;
    double dx = 0;
    double dy = 0;
    int width = 0;
    int height = 0;
    Coverage coverage;
};

// Coverages kept, in kilobytes: a few pages of texts.
constexpr int kPrintedKB = 4096;
} // namespace

QVector<EffectPass> edgePasses(double X, double Y, int w, uint32_t textColor, uint32_t edgeColor)
{
    QVector<EffectPass> passes;
    passes.reserve((2 * w + 1) * (2 * w + 1) + 1);
    for (int i = 0; i <= 2 * w; ++i)
        for (int j = 0; j <= 2 * w; ++j)
            passes.append({X + i, Y + j, edgeColor});
    passes.append({X + w, Y + w, textColor});
    return passes;
}

QVector<EffectPass> shadowPasses(double X, double Y, uint32_t textColor, uint32_t effectColor)
{
    const double rad = kEffectAngle * kPi / 180;
    const double dx = std::abs(kShadowDistance * std::cos(rad));
    const double dy = std::abs(kShadowDistance * std::sin(rad));
    QPointF shadow, text;
    quadrantPositions(X, Y, dx, dy, kEffectAngle, shadow, text);
    return {{shadow.x(), shadow.y(), effectColor}, {text.x(), text.y(), textColor}};
}

QVector<EffectPass> threeDPasses(double X, double Y, uint32_t textColor, uint32_t effectColor)
{
    const double rad = kEffectAngle * kPi / 180;
    const double dx = std::abs(kDepth * std::cos(rad));
    const double dy = std::abs(kDepth * std::sin(rad));
    QPointF unused, front;
    quadrantPositions(X, Y, dx, dy, kEffectAngle, unused, front);

    const RGBParts e = SplitRGB(effectColor);
    const RGBParts t = SplitRGB(textColor);
    float r = float(e.red), g = float(e.green), b = float(e.blue);
    const float sr = float(t.red - e.red) / kDepth;
    const float sg = float(t.green - e.green) / kDepth;
    const float sb = float(t.blue - e.blue) / kDepth;
    const double cx = vb::Round(std::cos(rad), 2);
    const double sy = vb::Round(std::sin(rad), 2);

    QVector<EffectPass> passes;
    for (int i = kDepth; i >= 0; --i) {
        r += sr;
        g += sg;
        b += sb;
        r = std::max(r, 0.0f);
        g = std::max(g, 0.0f);
        b = std::max(b, 0.0f);
        const uint32_t c = composeColor(int(std::floor(r)), int(std::floor(g)), int(std::floor(b)));
        passes.append({double(vb::CInt(front.x() + cx * i)), double(vb::CInt(front.y() - sy * i)), c});
    }
    passes.append({front.x(), front.y(), textColor});
    return passes;
}

RGBParts SplitRGB(int64_t c)
{
    RGBParts p;
    p.blue = int(std::trunc(double(c) / 256 / 256));
    p.green = int(std::trunc(double(c - int64_t(p.blue) * 65536) / 256));
    p.red = int(c - int64_t(p.blue) * 65536 - int64_t(p.green) * 256);
    return p;
}

void drawPasses(QPainter& painter, const QString& text, const QVector<EffectPass>& passes)
{
    const double ascent = QFontMetricsF(painter.font()).ascent();
    for (const EffectPass& pass : passes) {
        painter.setPen(vb::ToQColor(pass.color));
        painter.drawText(QPointF(pass.x, pass.y + ascent), text);
    }
}

void drawEdgedText(QImage& target, const QFont& font, const QString& text, double X, double Y, int w,
                   uint32_t textColor, uint32_t edgeColor)
{
    if (text.isEmpty() || target.isNull() || !std::isfinite(X) || !std::isfinite(Y))
        return;
    // A page draws the same texts over and over (each pass through the
    // records, and rooms, dates and times from record to record): a text's
    // metrics and coverage are kept for the next time it is drawn.
    thread_local QCache<PrintKey, PrintedText> printed(kPrintedKB);
    const PrintKey key{font, text};
    const PrintedText* known = printed.object(key);
    QRectF box;
    double ascent;
    if (known) {
        box = known->box;
        ascent = known->ascent;
    } else {
        // Ink of the text printed with its top-left at (0, 0), with the line
        // it stands on.
        const QFontMetricsF fm(font);
        ascent = fm.ascent();
        box = fm.boundingRect(text).united(QRectF(0, -ascent, fm.horizontalAdvance(text), fm.height()));
    }
    // With room for overhangs, underline and smoothing.
    const QRectF ink = box.translated(X, Y + ascent).adjusted(-3, -3, 3, 3);
    // Only the part that can reach the target matters.
    // A text placed far off the picture keeps its pixel coordinates in range.
    const QRect reach = target.rect().adjusted(-2 * w, -2 * w, 0, 0);
    const auto inReach = [](double v, int lo, int hi) { return int(std::clamp(v, lo - 1.0, hi + 1.0)); };
    const QRect tileRect = QRect(QPoint(inReach(std::floor(ink.left()), reach.left(), reach.right()),
                                        inReach(std::floor(ink.top()), reach.top(), reach.bottom())),
                                 QPoint(inReach(std::ceil(ink.right()), reach.left(), reach.right()),
                                        inReach(std::ceil(ink.bottom()), reach.top(), reach.bottom())))
                               .intersected(reach);
    if (tileRect.isEmpty())
        return;

    const int cw = tileRect.width(), ch = tileRect.height();
    const double dx = X - tileRect.left(), dy = Y + ascent - tileRect.top();
    PrintedText made;
    if (!known || known->dx != dx || known->dy != dy || known->width != cw || known->height != ch) {
        made = {box, ascent, dx, dy, cw, ch, printCoverage(font, text, dx, dy, cw, ch)};
        printed.insert(key, new PrintedText(made), 1 + int(made.coverage.alpha.size() / 1024));
        known = &made;
    }
    const Coverage& coverage = known->coverage;
    const uchar* cover = coverage.alpha.data();
    const Span* rowInk = coverage.ink.data();
    const QImage::Format format = target.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) {
        edgeThroughPainter(target, font, text, X, Y, w, textColor, edgeColor, tileRect,
                           QImage(cover, cw, ch, cw, QImage::Format_Alpha8));
        return;
    }

    // What shows through all (2w + 1)^2 prints is the product of what each
    // lets through; the product over the square of offsets runs first along
    // each row, then down each column, each in a fixed order. A pixel no
    // print covers lets everything through (a factor of exactly 1), so only
    // the columns within reach of some ink are worked out, and a pixel no
    // print and not the text reaches keeps its colour. The text itself is the
    // same coverage moved by (w, w) whole pixels, so it is laid down from it
    // as well.
    const int ow = cw + 2 * w, oh = ch + 2 * w;
    thread_local std::vector<float> rowsBuf, columnBuf, throughBuf, textBuf;
    rowsBuf.resize(size_t(ow) * ch);
    throughBuf.resize(size_t(cw + 4 * w));
    columnBuf.resize(size_t(ow));
    textBuf.resize(size_t(ow));
    float* __restrict rows = rowsBuf.data();
    float* __restrict t = columnBuf.data();
    float* __restrict ta = textBuf.data();
    for (int y = 0; y < ch; ++y) {
        const auto [a, b] = rowInk[y];
        if (a == b)
            continue;
        // What one print lets through at columns a - 2w .. b + 2w (ones
        // beyond the ink), column x at through[x - a + 2w].
        float* __restrict through = throughBuf.data();
        const int n = b - a;
        std::fill(through, through + 2 * w, 1.0f);
        std::fill(through + 2 * w + n, through + 4 * w + n, 1.0f);
        const uchar* __restrict in = cover + size_t(y) * cw + a;
        for (int x = 0; x < n; ++x)
            through[2 * w + x] = 1.0f - float(in[x]) * (1.0f / 255.0f);
        // Output column k gathers the prints at offsets 0..2w to its left.
        float* __restrict out = rows + size_t(y) * ow;
        std::fill(out, out + ow, 1.0f);
        out += a;
        std::copy(through + 2 * w, through + 4 * w + n, out);
        for (int i = 1; i <= 2 * w; ++i)
            for (int k = 0; k < n + 2 * w; ++k)
                out[k] *= through[k + 2 * w - i];
    }

    const Rgbf edge{float(edgeColor & 0xFF), float((edgeColor >> 8) & 0xFF), float((edgeColor >> 16) & 0xFF)};
    const Rgbf textRgb{float(textColor & 0xFF), float((textColor >> 8) & 0xFF), float((textColor >> 16) & 0xFF)};
    const bool opaque = format == QImage::Format_RGB32;
    const int x0 = std::max(0, -tileRect.left());
    const int x1 = std::min(ow, target.width() - tileRect.left());
    for (int y = 0; y < oh; ++y) {
        const int ty = tileRect.top() + y;
        if (ty < 0 || ty >= target.height() || x0 >= x1)
            continue;
        // Output row y gathers the tile rows with ink among y - 2w .. y.
        const int j0 = std::max(0, y - 2 * w), j1 = std::min(ch - 1, y);
        int s = ow, e = 0;
        for (int j = j0; j <= j1; ++j)
            if (rowInk[j].a < rowInk[j].b) {
                s = std::min(s, rowInk[j].a);
                e = std::max(e, rowInk[j].b + 2 * w);
            }
        s = std::max(s, x0);
        e = std::min(e, x1);
        if (s >= e)
            continue;
        bool first = true;
        for (int j = j0; j <= j1; ++j) {
            if (rowInk[j].a == rowInk[j].b)
                continue;
            const float* __restrict in = rows + size_t(j) * ow;
            if (first)
                std::copy(in + s, in + e, t + s);
            else
                for (int x = s; x < e; ++x)
                    t[x] *= in[x];
            first = false;
        }
        // The text's coverage in this row, at its offset (w, w).
        std::fill(ta + s, ta + e, 0.0f);
        const int cy = y - w;
        if (cy >= 0 && cy < ch && rowInk[cy].a < rowInk[cy].b) {
            const uchar* __restrict in = cover + size_t(cy) * cw;
            for (int x = std::max(rowInk[cy].a + w, s); x < std::min(rowInk[cy].b + w, e); ++x)
                ta[x] = float(in[x - w]) * (1.0f / 255.0f);
        }
        QRgb* dst = reinterpret_cast<QRgb*>(target.scanLine(ty)) + tileRect.left();
        if (opaque)
            blendEdgeRow<true>(dst, t, ta, s, e, edge, textRgb);
        else
            blendEdgeRow<false>(dst, t, ta, s, e, edge, textRgb);
    }
}

QFont CreateSampleFont(const FontDescriptor& panel)
{
    const int points = vb::CInt(vb::Val(panel.FontSize));
    QFont f;
    f.setFamilies({panel.FontName});
    f.setPixelSize(fontPixelsFromPoints(points > 0 ? points : 12));
    f.setWeight(panel.Bold == 1 ? QFont::Bold : QFont::Normal);
    f.setItalic(panel.Italic == 1);
    f.setUnderline(panel.Underline == 1);
    f.setStrikeOut(panel.Strikeout == 1);
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void paintAATextToPicBox(QImage& target, double X, double Y, const FontDescriptor& panel, const QColor& background)
{
    target.fill(background);
    const QString text = QStringLiteral("Aa");
    QPainter painter(&target);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setFont(CreateSampleFont(panel));
    QVector<EffectPass> passes;
    switch (panel.Effect) {
    case EffectEdge:
        passes = edgePasses(X, Y, 2, panel.FontColor, panel.EffectColor);
        break;
    case EffectShadow:
        passes = shadowPasses(X, Y, panel.FontColor, panel.EffectColor);
        break;
    case Effect3D:
        passes = threeDPasses(X, Y, panel.FontColor, panel.EffectColor);
        break;
    default:
        passes = {{X, Y, panel.FontColor}};
        break;
    }
    drawPasses(painter, text, passes);
}
