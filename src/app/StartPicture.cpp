#include "app/StartPicture.h"

#include <algorithm>

#include <QResource>

// A resource compiled into a static library is only linked in when something refers to it.
// Outside any namespace: the registration function's name is declared where this expands.
static void registerResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(quillet);
        return true;
    }();
    (void)registered;
}

namespace {

// One run's pixel count: seven bits a byte, lowest first, the top bit set on all but the last.
bool readCount(const uchar *&at, const uchar *end, qsizetype &count)
{
    count = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (at == end)
            return false;
        const uchar byte = *at++;
        count |= qsizetype(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return count > 0;
    }
    return false;
}

} // namespace

// The picture is stored as runs of one colour (a count, then red, green and blue) after its width
// and height, so that showing it needs no image reader, which would scan every image plugin at
// start, and no inflating: its flat background makes the runs few and the filling fast. The
// resource is stored uncompressed, so its bytes are read where they lie.
QImage startPicture()
{
    registerResources();
    const QResource resource(QStringLiteral(":/startpicture.rgbr"));
    if (resource.compressionAlgorithm() != QResource::NoCompression || resource.size() < 8)
        return {};
    const uchar *at = resource.data();
    const uchar *const end = at + resource.size();
    const auto word = [&at] {
        const quint32 value
            = quint32(at[0]) << 24 | quint32(at[1]) << 16 | quint32(at[2]) << 8 | at[3];
        at += 4;
        return value;
    };
    const quint32 width = word(), height = word();
    if (width == 0 || height == 0 || width > 4096 || height > 4096)
        return {};
    QImage picture(int(width), int(height), QImage::Format_RGB888);
    if (picture.isNull())
        return {};
    const qsizetype columns = width;
    qsizetype x = 0;
    quint32 y = 0;
    uchar *line = picture.scanLine(0);
    while (y < height) {
        qsizetype count = 0;
        if (!readCount(at, end, count) || end - at < 3)
            return {};
        const uchar red = at[0], green = at[1], blue = at[2];
        at += 3;
        // A run may go on into the next rows, never past the last.
        while (count > 0) {
            if (y == height)
                return {};
            const qsizetype pixels = std::min(count, columns - x);
            for (uchar *to = line + x * 3, *stop = to + pixels * 3; to != stop; to += 3) {
                to[0] = red;
                to[1] = green;
                to[2] = blue;
            }
            x += pixels;
            count -= pixels;
            if (x == columns) {
                x = 0;
                if (++y < height)
                    line = picture.scanLine(int(y));
            }
        }
    }
    return at == end ? picture : QImage();
}
