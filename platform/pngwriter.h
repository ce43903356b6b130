#pragma once
// Fast PNG encoding of a picture: one fixed row filter ("up") and run-length
// compression, instead of trying every filter on every row. A full-HD page on a
// photo background encodes in a few tens of milliseconds.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace pngwriter {

// The picture as PNG bytes, 24 bits per pixel (alpha is dropped). `level`
// is the zlib level 0..9. Empty bytes (and `error` set) when the picture is
// null or encoding fails.
QByteArray encode(const QImage& image, int level = 1, QString* error = nullptr);

} // namespace pngwriter
