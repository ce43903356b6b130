#include "platform/pngwriter.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <vector>

namespace pngwriter {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void noFlush(png_structp) {}

// The libpng part: only plain values live here, so that an error's jump back
// to setjmp leaves nothing half-built. False when libpng reported an error.
bool writeImage(png_structp png, png_infop info, QByteArray* out, const QImage* src, png_bytep* rows, int level)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, appendBytes, noFlush);
    png_set_IHDR(png, info, png_uint_32(src->width()), png_uint_32(src->height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, level);
    // Runs only: photos compress nearly as well as with full matching at a
    // fraction of the time, and plain colour areas still shrink to nothing.
    png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    // 0xffRRGGBB words: in memory B, G, R, X on little-endian machines.
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    } else {
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
    }
    for (int y = 0; y < src->height(); ++y)
        rows[y] = const_cast<png_bytep>(src->constScanLine(y));
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

} // namespace

QByteArray encode(const QImage& image, int level, QString* error)
{
    const auto fail = [error](const char* why) {
        if (error)
            *error = QString::fromLatin1(why);
        return QByteArray();
    };
    if (image.isNull())
        return fail("no picture");
    const QImage src = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    QByteArray out;
    out.reserve(qsizetype(src.width()) * src.height() * 3 + 4096);
    std::vector<png_bytep> rows(size_t(src.height()));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        return fail("out of memory");
    }
    const bool ok = writeImage(png, info, &out, &src, rows.data(), std::clamp(level, 0, 9));
    png_destroy_write_struct(&png, &info);
    if (!ok)
        return fail("encoding failed");
    return out;
}

} // namespace pngwriter
