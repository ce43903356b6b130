#include "text/pictureshape.h"

#include <QImageReader>
#include <QRect>
#include <QVector>

namespace {

// The picture in a 32-bit layout whose low 24 bits are 0xRRGGBB.
QImage asRgb32(const QImage& picture)
{
    switch (picture.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return picture;
    default:
        return picture.convertToFormat(QImage::Format_RGB32);
    }
}

// The same colour in the image's 0xRRGGBB order.
uint32_t rgbOf(uint32_t bgr)
{
    return ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

} // namespace

QRegion PictureRegion(const QImage& picture, uint32_t transparent)
{
    const QImage img = asRgb32(picture);
    const int width = img.width();
    const int height = img.height();
    const uint32_t key = rgbOf(transparent);

    QVector<QRect> rects;
    QVector<QPair<int, int>> band, runs; // [start, end) of each run
    int bandTop = 0;
    const auto flush = [&](int bottom) {
        for (const auto& r : band)
            rects.append(QRect(r.first, bandTop, r.second - r.first, bottom - bandTop));
    };
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
        runs.clear();
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & 0xFFFFFFu) == key)
                ++x;
            const int start = x;
            while (x < width && (row[x] & 0xFFFFFFu) != key)
                ++x;
            if (start < width)
                runs.append({start, x});
        }
        // Rows with the same runs make one band.
        if (y == 0 || runs != band) {
            flush(y);
            band = runs;
            bandTop = y;
        }
    }
    flush(height);

    QRegion region;
    if (!rects.isEmpty())
        region.setRects(rects.constData(), int(rects.size()));
    return region;
}

QImage PictureAlphaImage(const QImage& picture, uint32_t transparent)
{
    const QImage src = asRgb32(picture);
    QImage out(src.size(), QImage::Format_ARGB32_Premultiplied);
    const uint32_t key = rgbOf(transparent);
    for (int y = 0; y < out.height(); ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(src.constScanLine(y));
        auto* row = reinterpret_cast<uint32_t*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] = (in[x] & 0xFFFFFFu) == key ? 0u : (0xFF000000u | (in[x] & 0xFFFFFFu));
    }
    return out;
}

QImage readPicture(const QString& file)
{
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return {};
    return picture.convertToFormat(QImage::Format_RGB32);
}
