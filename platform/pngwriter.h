#pragma once
// Fast PNG encoding of a picture: one fixed row filter ("up") and run-length
// compression with Huffman codes of its own, instead of trying every filter
// on every row and searching for matches, with bands of rows filtered,
// compressed and checksummed side by side on a small pool of threads. A
// full-HD page on a photo background encodes in a few milliseconds.
//
// The bytes depend only on the picture and the level, never on the number
// of threads: the bands are cut the same way on every machine.
#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

namespace pngwriter {

// A writer that keeps its threads and buffers from one picture to the next:
// worth keeping for as long as pictures are written one after another. One
// picture at a time: a writer is not for several threads at once.
class PngWriter {
public:
    // `threads` counts the calling thread; 0 takes one per core, at most 8.
    explicit PngWriter(int threads = 0);
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // The picture as PNG bytes, 24 bits per pixel (alpha is dropped).
    // `level` 0 stores the rows as they are; 1..9 compress runs (all
    // alike). Empty bytes (and `error` set) when the picture is null or
    // encoding fails.
    QByteArray encode(const QImage& image, int level = 1, QString* error = nullptr);

    // The threads that work on a picture, the calling one included. They
    // start with the first picture.
    int threads() const;

private:
    struct Impl;
    int threads_;
    std::unique_ptr<Impl> d_;
};

// One picture with a writer of its own (threads started and ended here).
QByteArray encode(const QImage& image, int level = 1, QString* error = nullptr);

} // namespace pngwriter
