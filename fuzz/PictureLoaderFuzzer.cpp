// Feeds every input to each picture loader (JPEG, bitmap, icon, PNG) as a file of that kind
// would reach it. Failures are expected; crashes, sanitizer reports and hangs are not.

#include <cstddef>
#include <cstdint>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>

#include "FuzzSupport.h"
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *name : { "fuzz.jpg", "fuzz.bmp", "fuzz.ico", "fuzz.png" }) {
        QBuffer device;
        device.setData(bytes);
        device.open(QIODevice::ReadOnly);
        try {
            readPicture(device, QString::fromLatin1(name), fuzzPixelLimit);
        } catch (const Failure &) {
        }
    }
    return 0;
}
