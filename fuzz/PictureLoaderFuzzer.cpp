// Feeds every input to each picture loader (JPEG, bitmap, icon, PNG) as a file of that kind
// would reach it. Failures are expected; crashes, sanitizer reports and hangs are not, and
// neither is a picture that holds memory the reader never wrote: each input is read twice, into
// memory filled first with 0x00 and then with 0xFF, and the two may differ only in that fill.

#include <cstddef>
#include <cstdint>
#include <optional>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>

#include "FuzzSupport.h"
#include "files/FilledImageReader.h"
#include "files/PictureFiles.h"
#include "platform/Failure.h"

namespace {

// Small enough that large claimed sizes are refused quickly and memory stays low, large enough
// for every picture the corpus grows.
constexpr qint64 fuzzPixelLimit = qint64(2048) * 2048;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    // Qt finds its image plugins (the icon reader) through the application object.
    startFuzzApplication<QCoreApplication>(**argv);
    return 0;
}

namespace {

std::optional<QImage> readWithFill(const QByteArray &bytes, const char *name, uchar fill)
{
    setImageFillForTesting(fill);
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    try {
        return readPicture(device, QString::fromLatin1(name), fuzzPixelLimit).image();
    } catch (const Failure &) {
        return std::nullopt;
    }
}

void requireOnlyReadBytesOrTheFill(
    const std::optional<QImage> &zeros, const std::optional<QImage> &ones)
{
    require(zeros.has_value() == ones.has_value(), "a read's success never depends on memory");
    if (!zeros)
        return;
    require(zeros->size() == ones->size() && zeros->format() == ones->format()
            && zeros->sizeInBytes() == ones->sizeInBytes(),
        "a picture's size and format never depend on memory");
    const uchar *a = zeros->constBits();
    const uchar *b = ones->constBits();
    // A reader may invert what it wrote (a one-bit bitmap whose palette it swaps), fill included.
    for (qsizetype i = 0; i < zeros->sizeInBytes(); ++i)
        require(a[i] == b[i] || uchar(a[i] ^ b[i]) == 0xFF, "every byte is read or filled");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *name : { "fuzz.jpg", "fuzz.bmp", "fuzz.ico", "fuzz.png" })
        requireOnlyReadBytesOrTheFill(
            readWithFill(bytes, name, 0x00), readWithFill(bytes, name, 0xFF));
    return 0;
}
