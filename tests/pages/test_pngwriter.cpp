#include "platform/pngwriter.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <algorithm>
#include <random>

TEST(PngWriter, PicturesComeBackExactly)
{
    // Noise, plain areas, runs of every length and skewed byte counts (which
    // need the Huffman code lengths limited), through writers kept from
    // picture to picture: the same bytes whatever the number of threads.
    QRandomGenerator rng(11);
    const auto pixel = [&](int kind, int x, int y) -> uint32_t {
        switch (kind) {
        case 0:
            return rng.bounded(0x1000000u);
        case 1:
            return 0x102030;
        case 2:
            return (x / (1 + (y % 300))) * 0x010101u;
        default:
            return rng.bounded(40) == 0 ? rng.bounded(0x1000000u) : 0x808080;
        }
    };
    pngwriter::PngWriter one(1), four(4);
    for (const QSize size : {QSize(1, 1), QSize(5, 1), QSize(37, 63), QSize(300, 700), QSize(3000, 40)})
        for (int kind = 0; kind < 4; ++kind) {
            QImage img(size, QImage::Format_RGB32);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    img.setPixel(x, y, 0xFF000000u | pixel(kind, x, y));
            for (int level : {1, 0}) {
                const QByteArray bytes = one.encode(img, level);
                ASSERT_EQ(four.encode(img, level), bytes) << size.width() << "x" << size.height() << " " << kind;
                QImage back;
                ASSERT_TRUE(back.loadFromData(bytes, "PNG")) << size.width() << "x" << size.height() << " " << kind;
                EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), img)
                    << size.width() << "x" << size.height() << " " << kind << " level " << level;
            }
        }
    std::vector<uint8_t> skewed; // byte k appears fib(k) times
    for (uint32_t k = 0, a = 1, b = 1; k < 24; ++k, b += a, a = b - a)
        skewed.insert(skewed.end(), a, uint8_t(k * 9));
    std::shuffle(skewed.begin(), skewed.end(), std::mt19937(5));
    QImage row(int(skewed.size() / 3), 1, QImage::Format_RGB32);
    for (int x = 0; x < row.width(); ++x)
        row.setPixel(x, 0, qRgb(skewed[size_t(3 * x)], skewed[size_t(3 * x + 1)], skewed[size_t(3 * x + 2)]));
    EXPECT_EQ(QImage::fromData(four.encode(row)).convertToFormat(QImage::Format_RGB32), row);

    // Other formats are written as their opaque colours; a flat page is tiny.
    QImage flat(1080, 1920, QImage::Format_ARGB32);
    flat.fill(QColor(10, 20, 30));
    const QByteArray bytes = pngwriter::encode(flat);
    EXPECT_LT(bytes.size(), 40000);
    EXPECT_EQ(QImage::fromData(bytes).pixel(500, 1900), qRgb(10, 20, 30));
    QString error;
    EXPECT_TRUE(pngwriter::encode(QImage(), 1, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}
