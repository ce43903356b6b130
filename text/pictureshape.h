#pragma once
// Shaping a window to a picture: every pixel of one colour (black on the
// display window) becomes see-through, so whatever lies behind shows. And
// reading a picture file the one way the page and the display both draw it.
#include <QImage>
#include <QRegion>
#include <QString>

#include <cstdint>

// The pixels of `picture` whose colour is not `transparent` (a colour
// value, red in the low byte), as a region of horizontal runs merged into
// bands. Empty when every pixel is transparent: that means "show nothing",
// not "no shape".
QRegion PictureRegion(const QImage& picture, uint32_t transparent = 0);

// `picture` as ARGB32_Premultiplied: pixels of the `transparent` colour
// fully see-through, all others opaque with their colour.
QImage PictureAlphaImage(const QImage& picture, uint32_t transparent = 0);

// The picture in `file` as the page is drawn with it: any format the
// program reads (PNG of every colour type, JPEG, BMP, ...), turned upright as
// its orientation tag says, as opaque RGB32 (a 1-bit or palette picture
// becomes its colours, never a mask). A null picture when the file can't be
// read.
QImage readPicture(const QString& file);
