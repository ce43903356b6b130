#include "platform/pngwriter.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

TEST(PngWriter, PicturesComeBackExactly)
{
    QRandomGenerator rng(11);
    for (const QSize size : {QSize(1, 1), QSize(5, 1), QSize(37, 63), QSize(300, 700)}) {
        QImage img(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                img.setPixel(x, y, 0xFF000000u | rng.bounded(0x1000000u));
        const QByteArray bytes = pngwriter::encode(img);
        QImage back;
        ASSERT_TRUE(back.loadFromData(bytes, "PNG")) << size.width() << "x" << size.height();
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), img) << size.width() << "x" << size.height();
    }
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
