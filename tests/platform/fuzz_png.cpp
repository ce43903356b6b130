// Fuzz body for the PNG writer: the input describes a small picture (its
// size, a pattern of pixels stretched into runs or mixed with noise, the
// level, the row stride and the pixel format), which is written by two
// writers with different numbers of threads. Both must give the same bytes:
// chunks whose lengths and CRCs are right, and IDAT data that zlib inflates,
// checksum included, to exactly the rows filtered "up"; and Qt must read back
// the picture.
#include "platform/pngwriter.h"

#include <QImage>

#include <zlib.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

uint32_t big32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint64_t splitmix(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Header bytes: width (2), height, flags, x and y stretch; then the pattern,
// three bytes a pixel. Flags: bits 0-1 how pixels are made, bit 2 level 0,
// bit 3 rows wider than the picture, bit 4 the picture handed over as 24-bit
// rows (three bytes a pixel, rows padded to four bytes) for the writer to
// convert.
QImage picture(const uint8_t* data, size_t size, int& level, bool& packed, std::vector<uint32_t>& rowMemory)
{
    uint8_t head[6] = {};
    std::memcpy(head, data, std::min<size_t>(size, 6));
    const uint8_t* pattern = data + std::min<size_t>(size, 6);
    const size_t patternPixels = (size - std::min<size_t>(size, 6)) / 3;
    const int w = 1 + (head[0] | head[1] << 8) % 2048;
    const int h = 1 + head[2] % std::max(1, std::min(96, (1 << 18) / w));
    const int kind = head[3] & 3;
    level = head[3] & 4 ? 0 : 1;
    packed = head[3] & 16;
    const int stride = w + (head[3] & 8 ? 1 + head[5] % 7 : 0);
    const int sx = 1 + head[4], sy = 1 + head[5];
    uint64_t seed = size;
    for (size_t i = 0; i < size; ++i)
        seed = seed * 131 + data[i];
    const auto patternPixel = [&](size_t k) -> uint32_t {
        if (patternPixels == 0)
            return 0;
        const uint8_t* p = pattern + 3 * (k % patternPixels);
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    };
    rowMemory.assign(size_t(stride) * size_t(h), 0xDEADBEEF);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t k = size_t(y / sy) * size_t(w + 13) + size_t(x / sx);
            uint32_t rgb = 0;
            switch (kind) {
            case 0: // the pattern in blocks of sx by sy
                rgb = patternPixel(k);
                break;
            case 1: // noise: even or, with an even stretch, each channel k with
                    // a chance of 2^-(k + 1), whose codes need limiting
                if (sx % 2 == 1) {
                    rgb = uint32_t(splitmix(seed));
                } else {
                    const uint64_t r = splitmix(seed);
                    for (int c = 0; c < 3; ++c)
                        rgb = rgb << 8 | uint32_t(std::countr_zero(uint32_t(r >> (21 * c)) | 0x100000u));
                }
                break;
            case 2: // the pattern with a noisy pixel now and then
                rgb = splitmix(seed) % sx == 0 ? uint32_t(splitmix(seed)) : patternPixel(k);
                break;
            default: // rows repeating every 1, 2, 4 .. 32 rows: every band alike
                rgb = patternPixel(size_t(y % (1 << (head[5] % 6))) * size_t(w) + size_t(x / sx));
                break;
            }
            rowMemory[size_t(y) * size_t(stride) + size_t(x)] = 0xFF000000u | (rgb & 0xFFFFFF);
        }
    return QImage(reinterpret_cast<const uchar*>(rowMemory.data()), w, h, qsizetype(stride) * 4, QImage::Format_RGB32);
}

// The rows as the writer promises to filter them: "up" on every row.
std::vector<uint8_t> filteredRows(const QImage& img)
{
    std::vector<uint8_t> out;
    for (int y = 0; y < img.height(); ++y) {
        out.push_back(2);
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y), a = y > 0 ? img.pixel(x, y - 1) : 0;
            out.push_back(uint8_t(qRed(c) - qRed(a)));
            out.push_back(uint8_t(qGreen(c) - qGreen(a)));
            out.push_back(uint8_t(qBlue(c) - qBlue(a)));
        }
    }
    return out;
}

void checkFile(const QByteArray& bytes, const QImage& img)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const size_t n = size_t(bytes.size());
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    check(n >= 8 && std::memcmp(p, signature, 8) == 0);
    std::vector<uint8_t> idat;
    int chunk = 0;
    bool ended = false;
    for (size_t at = 8; at < n; ++chunk) {
        check(!ended && n - at >= 12);
        const uint32_t length = big32(p + at);
        check(length <= 0x7FFFFFFFu && n - at - 12 >= length);
        const uint8_t* type = p + at + 4;
        check(big32(type + 4 + length) == uint32_t(crc32(0, type, 4 + length)));
        if (chunk == 0) {
            const uint8_t ihdr[13] = {uint8_t(img.width() >> 24),
                                      uint8_t(img.width() >> 16),
                                      uint8_t(img.width() >> 8),
                                      uint8_t(img.width()),
                                      uint8_t(img.height() >> 24),
                                      uint8_t(img.height() >> 16),
                                      uint8_t(img.height() >> 8),
                                      uint8_t(img.height()),
                                      8,
                                      2,
                                      0,
                                      0,
                                      0};
            check(std::memcmp(type, "IHDR", 4) == 0 && length == 13 && std::memcmp(type + 4, ihdr, 13) == 0);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            check(length > 0);
            idat.insert(idat.end(), type + 4, type + 4 + length);
        } else {
            check(std::memcmp(type, "IEND", 4) == 0 && length == 0);
            ended = true;
        }
        at += 12 + length;
    }
    check(ended);

    // One zlib stream, checksum and all, ending exactly where the data ends.
    const std::vector<uint8_t> expected = filteredRows(img);
    std::vector<uint8_t> rows(expected.size() + 1);
    z_stream zs{};
    check(inflateInit(&zs) == Z_OK);
    zs.next_in = idat.data();
    zs.avail_in = uInt(idat.size());
    zs.next_out = rows.data();
    zs.avail_out = uInt(rows.size());
    const int rc = inflate(&zs, Z_FINISH);
    const bool whole = rc == Z_STREAM_END && zs.avail_in == 0 && zs.total_out == expected.size();
    inflateEnd(&zs);
    check(whole);
    rows.pop_back();
    check(rows == expected);

    const QImage back = QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_RGB32);
    check(back == img);
}

} // namespace

int fuzzPngWriter(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    // Kept from input to input, as the page renderer keeps its writer.
    static pngwriter::PngWriter one(1), three(3);
    int level = 1;
    bool packed = false;
    std::vector<uint32_t> memory;
    const QImage img = picture(data, size, level, packed, memory);
    const QImage given = packed ? img.convertToFormat(QImage::Format_RGB888) : img;
    const QByteArray bytes = one.encode(given, level);
    check(!bytes.isEmpty());
    check(three.encode(given, level) == bytes);
    checkFile(bytes, img);
    return 0;
}
