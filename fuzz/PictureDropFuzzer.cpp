// Feeds every input to the drop reader as the PNG, bitmap and JPEG data that another program
// drops on the window, read with the size limit a paste has. Failures are expected; a picture
// that is read is in the display's format, composed on white.

#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QGuiApplication>
#include <QImageReader>

#include "FuzzSupport.h"
#include "app/PictureDrop.h"
#include "platform/Failure.h"

namespace {

// Qt's readers refuse pictures above this many megabytes of pixels (2048 x 2048 at 32 bits),
// so that large claimed sizes are refused quickly and memory stays low.
constexpr int fuzzAllocationLimit = 16;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    // Qt's JPEG reader is a plugin, and composing on white paints.
    startFuzzApplication<QGuiApplication>(**argv);
    QImageReader::setAllocationLimit(fuzzAllocationLimit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *format : { "png", "bmp", "jpeg" }) {
        const PictureDrop drop { QString(), bytes, QByteArray(format) };
        try {
            const Picture picture = drop.picture();
            require(!picture.isEmpty() && picture.image().format() == QImage::Format_RGB32,
                "a dropped picture is in the display's format");
        } catch (const Failure &) {
        }
    }
    return 0;
}
