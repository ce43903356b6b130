#include "platform/pngwriter.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <thread>
#include <vector>

namespace pngwriter {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void noFlush(png_structp) {}

// One band of rows, filtered ("up": each byte minus the one above it) and
// compressed as raw deflate blocks that end on a byte boundary, so that the
// bands of a picture join into one stream.
struct Band {
    std::vector<uint8_t> compressed;
    uLong adler = 1;
    uLong length = 0;
    bool ok = false;
};

void compressBand(const QImage& src, int y0, int y1, bool last, int level, Band& band)
{
    const int w = src.width();
    const size_t rowBytes = 1 + 3 * size_t(w);
    std::vector<uint8_t> filtered(rowBytes * size_t(y1 - y0));
    const auto rgbAt = [](const QRgb* row, int x, int c) {
        return uint8_t(c == 0 ? qRed(row[x]) : c == 1 ? qGreen(row[x]) : qBlue(row[x]));
    };
    for (int y = y0; y < y1; ++y) {
        const auto* cur = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        const auto* above = y > 0 ? reinterpret_cast<const QRgb*>(src.constScanLine(y - 1)) : nullptr;
        uint8_t* out = filtered.data() + rowBytes * size_t(y - y0);
        out[0] = 2; // up
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                out[1 + 3 * x + c] = uint8_t(rgbAt(cur, x, c) - (above ? rgbAt(above, x, c) : 0));
    }
    band.length = uLong(filtered.size());
    band.adler = adler32(1, filtered.data(), uInt(filtered.size()));

    z_stream zs{};
    // Runs only: photos compress nearly as well as with full matching at a
    // fraction of the time, and plain colour areas still shrink to nothing.
    if (deflateInit2(&zs, level, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK)
        return;
    band.compressed.resize(deflateBound(&zs, uLong(filtered.size())) + 64);
    zs.next_in = filtered.data();
    zs.avail_in = uInt(filtered.size());
    zs.next_out = band.compressed.data();
    zs.avail_out = uInt(band.compressed.size());
    const int rc = deflate(&zs, last ? Z_FINISH : Z_SYNC_FLUSH);
    band.ok = last ? rc == Z_STREAM_END : rc == Z_OK && zs.avail_in == 0;
    band.compressed.resize(band.compressed.size() - zs.avail_out);
    deflateEnd(&zs);
}

// The libpng part: only plain values live here, so that an error's jump back
// to setjmp leaves nothing half-built. False when libpng reported an error.
bool writeFile(png_structp png, png_infop info, QByteArray* out, int width, int height, const QByteArray* idat)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, appendBytes, noFlush);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    constexpr qsizetype kChunk = 1 << 20;
    for (qsizetype at = 0; at < idat->size(); at += kChunk)
        png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"),
                        reinterpret_cast<png_const_bytep>(idat->constData() + at),
                        png_size_t(std::min(kChunk, idat->size() - at)));
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
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
    const int h = src.height();

    // Bands of rows compressed side by side.
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int bands = std::clamp(h / 64, 1, std::min(4, cores));
    std::vector<Band> parts(static_cast<size_t>(bands));
    {
        std::vector<std::thread> workers;
        for (int b = 1; b < bands; ++b)
            workers.emplace_back(compressBand, std::cref(src), h * b / bands, h * (b + 1) / bands, b == bands - 1,
                                 std::clamp(level, 0, 9), std::ref(parts[size_t(b)]));
        compressBand(src, 0, h / bands, bands == 1, std::clamp(level, 0, 9), parts[0]);
        for (std::thread& t : workers)
            t.join();
    }
    QByteArray idat;
    qsizetype total = 6;
    for (const Band& b : parts)
        total += qsizetype(b.compressed.size());
    idat.reserve(total);
    idat.append(char(0x78)).append(char(0x01)); // deflate, 32K window, fastest
    uLong adler = 1;
    for (const Band& b : parts) {
        if (!b.ok)
            return fail("compression failed");
        idat.append(reinterpret_cast<const char*>(b.compressed.data()), qsizetype(b.compressed.size()));
        adler = adler32_combine(adler, b.adler, z_off_t(b.length));
    }
    for (int shift = 24; shift >= 0; shift -= 8)
        idat.append(char((adler >> shift) & 0xFF));

    QByteArray out;
    out.reserve(idat.size() + 128);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        return fail("out of memory");
    }
    const bool ok = writeFile(png, info, &out, src.width(), h, &idat);
    png_destroy_write_struct(&png, &info);
    if (!ok)
        return fail("encoding failed");
    return out;
}

} // namespace pngwriter
