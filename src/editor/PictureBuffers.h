#pragma once

#include <QImage>

class Failure;
class QSize;

// Pixel memory for pictures, recycled. A fresh mapping costs a page fault for every 4 KiB the
// first time it is touched, which is most of what making a 4K or 8K picture costs; so the
// memory of a large picture that no image uses any more waits here, still mapped, for the next
// picture of its size. One buffer waits at most, so the memory held beyond the pictures in use
// is one picture's worth. Large buffers ask for transparent huge pages. Thread-safe.
class PictureBuffers {
public:
    // An image of that size and format whose pixels are not set, like QImage(size, format).
    // Throws notEnoughMemory(size) when it cannot be had.
    static QImage newImage(QSize size, QImage::Format format);
    // A copy with the pixels, colour table and metadata that QImage::copy() keeps; throws as
    // newImage.
    static QImage copyOf(const QImage &image);
    // Carries the resolution, offset, colour space and texts of `from` over to `to`.
    static void copyMetadata(const QImage &from, QImage &to);

    // The bytes waiting for the next picture.
    static qsizetype idleBytes();
    // Gives the waiting memory back to the system.
    static void releaseIdle();
};

// "Not enough memory for a W x H picture".
Failure notEnoughMemory(QSize size);
