// The see-through shape of a picture: black pixels let the background show.
#include "text/pictureshape.h"

#include <gtest/gtest.h>

namespace {
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(200, 10, 10);

QImage pictureOf(const QVector<QVector<QRgb>>& rows)
{
    QImage img(int(rows[0].size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, rows[y][x]);
    return img;
}
} // namespace

TEST(PictureShape, RowsWithTheSameRunsShareOneBand)
{
    const QImage img = pictureOf({{kRed, kBlack, kRed},
                                  {kRed, kBlack, kRed},
                                  {kRed, kRed, kRed},
                                  {kBlack, kBlack, kBlack},
                                  {kRed, kBlack, kBlack}});
    const QRegion r = PictureRegion(img);
    EXPECT_EQ(r.rectCount(), 4);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            EXPECT_EQ(r.contains(QPoint(x, y)), img.pixel(x, y) != kBlack) << x << "," << y;
}

TEST(PictureShape, AllOrNothing)
{
    QImage black(64, 32, QImage::Format_RGB32);
    black.fill(Qt::black);
    EXPECT_TRUE(PictureRegion(black).isEmpty());
    QImage clear(64, 32, QImage::Format_ARGB32_Premultiplied);
    clear.fill(Qt::transparent);
    EXPECT_EQ(PictureAlphaImage(black), clear);

    QImage lit(64, 32, QImage::Format_RGB888);
    lit.fill(QColor(1, 0, 0)); // not quite black
    EXPECT_EQ(PictureRegion(lit).rectCount(), 1);
}

TEST(PictureShape, AlphaImageAndOtherKeys)
{
    const QImage img = pictureOf({{kBlack, kRed}, {qRgb(0, 0, 255), kBlack}});
    const QImage a = PictureAlphaImage(img);
    EXPECT_EQ(a.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(a.pixel(0, 0), 0u);
    EXPECT_EQ(a.pixel(1, 0), kRed);
    EXPECT_EQ(a.pixel(0, 1), qRgb(0, 0, 255));

    // Blue as the key, given red-low: 0xFF0000.
    const QRegion r = PictureRegion(img, 0xFF0000);
    EXPECT_FALSE(r.contains(QPoint(0, 1)));
    EXPECT_TRUE(r.contains(QPoint(0, 0)));
    EXPECT_EQ(qAlpha(PictureAlphaImage(img, 0xFF0000).pixel(0, 1)), 0);
}
