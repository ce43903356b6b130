#include "text/fontdescriptor.h"

#include "platform/vbvalue.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kDpi = 96;

int styleState(const QString& field)
{
    const int v = vb::CInt(vb::Val(field));
    return (v == 1 || v == 2) ? v : 0;
}

int effectNumber(const QString& field)
{
    const int v = vb::CInt(vb::Val(field));
    return (v >= EffectNone && v <= Effect3D) ? v : EffectNone;
}

} // namespace

QString cleanDescriptorText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('`') || c == QLatin1Char('|') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n'))
            continue;
        out += c;
    }
    return out;
}

uint32_t descriptorColor(const QString& field)
{
    // A 32-bit value first (as stored), then only its colour bytes.
    const int64_t v = vb::RoundWhole(vb::Val(field));
    return uint32_t(v) & 0xFFFFFFu;
}

QString FontDescriptor::toString() const
{
    const QString effect = (Effect >= EffectNone && Effect <= Effect3D) ? QString::number(Effect) : QString();
    return QStringList{cleanDescriptorText(FontName),
                       cleanDescriptorText(FontSize),
                       QString::number(FontColor & 0xFFFFFFu),
                       QString::number(Bold),
                       QString::number(Italic),
                       QString::number(Underline),
                       QString::number(Strikeout),
                       effect,
                       QString::number(EffectColor & 0xFFFFFFu)}
        .join(QLatin1Char(','));
}

bool FontDescriptor::read(const QString& text)
{
    const QStringList f = text.split(QLatin1Char(','));
    if (f.size() < 2)
        return false;
    FontName = f[0];
    FontSize = f[1];
    const qsizetype n = f.size();
    if (n > 2)
        FontColor = descriptorColor(f[2]);
    if (n > 3)
        Bold = styleState(f[3]);
    if (n > 4)
        Italic = styleState(f[4]);
    if (n > 5)
        Underline = styleState(f[5]);
    if (n > 6)
        Strikeout = styleState(f[6]);
    if (n > 7)
        Effect = effectNumber(f[7]);
    if (n > 8)
        EffectColor = descriptorColor(f[8]);
    return true;
}

PageFont pageFontOf(const QString& descriptor)
{
    const QStringList f = descriptor.split(QLatin1Char(','));
    const auto field = [&](int i) { return i < f.size() ? f[i] : QString(); };
    PageFont p;
    p.face = field(0);
    p.points = vb::CInt(vb::Val(field(1)));
    p.textColor = descriptorColor(field(2));
    p.bold = field(3) == QLatin1String("1");
    p.italic = field(4) == QLatin1String("1");
    p.underline = field(5) == QLatin1String("1");
    p.effect = vb::CInt(vb::Val(field(7)));
    p.effectColor = descriptorColor(field(8));
    return p;
}

int pixelsFromPoints(int points)
{
    // The platform's multiply-then-divide: rounded to the nearest, halves away from 0.
    const double v = double(points) * kDpi / 72;
    return int(std::clamp(std::round(v), -2147483647.0, 2147483647.0));
}

int fontPixelsFromPoints(int points)
{
    return std::clamp(pixelsFromPoints(points), kMinFontPixels, kMaxFontPixels);
}
