#include "files/FilledImageReader.h"

#include <atomic>
#include <cstring>

#include <QImage>
#include <QImageReader>

namespace {

constexpr int noTestFill = -1;
std::atomic<int> testFill = noTestFill;

// A bitmap that ends early shows what was read and white for the rest, as libjpeg does for a
// JPEG cut in its scan; a palette picture's rest takes its first colour, the only fill every
// palette has.
uchar fillByte(QImage::Format format)
{
    if (const int byte = testFill.load(std::memory_order_relaxed); byte != noTestFill)
        return uchar(byte);
    const bool palette = format == QImage::Format_Indexed8 || format == QImage::Format_Mono
        || format == QImage::Format_MonoLSB;
    return palette ? 0x00 : 0xFF;
}

} // namespace

bool readFilledImage(QImageReader &reader, QImage &image)
{
    // Qt decodes into an image of the size and format its reader announces when it is handed
    // one; a reader that makes its own decodes whole pictures only or fails.
    const QSize size = reader.size();
    const QImage::Format format = reader.imageFormat();
    image = QImage();
    if (size.isValid() && format != QImage::Format_Invalid) {
        image = QImage(size, format);
        if (!image.isNull())
            std::memset(image.bits(), fillByte(format), size_t(image.sizeInBytes()));
    }
    return reader.read(&image);
}

void setImageFillForTesting(std::optional<uchar> byte)
{
    testFill = byte ? int(*byte) : noTestFill;
}
