#include "files/ExifOrientation.h"

#include <optional>

#include <QImage>
#include <QTransform>

namespace {

constexpr quint32 orientationTag = 0x0112;
constexpr quint32 shortType = 3;

// The TIFF structure inside an Exif block: every read is checked against the block's end,
// since the offsets come from the file and may point anywhere.
class TiffData {
public:
    explicit TiffData(QByteArrayView bytes) : bytes(bytes) { }

    // Reads the byte order mark and the magic number 42.
    bool readHeader()
    {
        if (bytes.startsWith("MM"))
            bigEndian = true;
        else if (!bytes.startsWith("II"))
            return false;
        return value(2, 2) == 42u;
    }

    // The unsigned number of `size` bytes at `offset`; nothing when it lies beyond the end.
    std::optional<quint32> value(quint64 offset, int size) const
    {
        const auto available = quint64(bytes.size());
        if (offset > available || available - offset < quint64(size))
            return std::nullopt;
        quint32 number = 0;
        for (int i = 0; i < size; ++i) {
            const qsizetype at = qsizetype(offset) + (bigEndian ? i : size - 1 - i);
            number = (number << 8) | uchar(bytes[at]);
        }
        return number;
    }

private:
    QByteArrayView bytes;
    bool bigEndian = false;
};

// The orientation tag of the first directory (IFD0): entries of 12 bytes (tag, type, count,
// value) after a 2-byte count; a SHORT value sits in the first two bytes of its field.
int orientationOf(const TiffData &tiff)
{
    const std::optional<quint32> directory = tiff.value(4, 4);
    const std::optional<quint32> count = directory ? tiff.value(*directory, 2) : std::nullopt;
    if (!count)
        return 1;
    for (quint32 i = 0; i < *count; ++i) {
        const quint64 entry = quint64(*directory) + 2 + quint64(i) * 12;
        const std::optional<quint32> tag = tiff.value(entry, 2);
        if (!tag)
            return 1;
        if (*tag != orientationTag)
            continue;
        const std::optional<quint32> value = tiff.value(entry + 8, 2);
        if (tiff.value(entry + 2, 2) != shortType || tiff.value(entry + 4, 4) != 1u || !value)
            return 1;
        return *value >= 1 && *value <= 8 ? int(*value) : 1;
    }
    return 1;
}

QImage turnedClockwise(const QImage &image, int degrees)
{
    return image.transformed(QTransform().rotate(degrees));
}

} // namespace

int exifOrientation(QByteArrayView app1)
{
    const QByteArrayView signature("Exif\0\0", 6);
    if (!app1.startsWith(signature))
        return 1;
    TiffData tiff(app1.sliced(signature.size()));
    return tiff.readHeader() ? orientationOf(tiff) : 1;
}

QImage uprightImage(const QImage &image, int orientation)
{
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return turnedClockwise(image, 90).mirrored(true, false);
    case 6:
        return turnedClockwise(image, 90);
    case 7:
        return turnedClockwise(image, 90).mirrored(false, true);
    case 8:
        return turnedClockwise(image, 270);
    default:
        return image;
    }
}
