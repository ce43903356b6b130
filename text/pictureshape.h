#pragma once
// Shaping a window to a picture: every pixel of one colour (black on the
// display window) becomes see-through, so whatever lies behind shows.
#include <QImage>
#include <QRegion>

#include <cstdint>

// The pixels of `picture` whose colour is not `transparent` (a colour
// value, red in the low byte), as a region of horizontal runs merged into
// bands. Empty when every pixel is transparent: that means "show nothing",
// not "no shape".
QRegion PictureRegion(const QImage& picture, uint32_t transparent = 0);

// `picture` as ARGB32_Premultiplied: pixels of the `transparent` colour
// fully see-through, all others opaque with their colour.
QImage PictureAlphaImage(const QImage& picture, uint32_t transparent = 0);
