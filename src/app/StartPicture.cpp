#include "app/StartPicture.h"

#include <QResource>
#include <QtEndian>

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

// The resource holds the picture's width and height, then its rows as a QImage keeps them: three
// bytes a pixel, each row filled up to a multiple of four bytes. The picture is made over those
// bytes where they lie, uncompressed in the program's own file, so the start decodes and copies
// nothing; the first change to the picture, a mark or a crop, copies it as a QImage always does
// with data it does not own.
QImage startPicture()
{
    registerResources();
    const QResource resource(QStringLiteral(":/startpicture.rgb"));
    const uchar *const data = resource.data();
    if (!data || resource.compressionAlgorithm() != QResource::NoCompression || resource.size() < 8)
        return {};
    const quint32 width = qFromBigEndian<quint32>(data);
    const quint32 height = qFromBigEndian<quint32>(data + 4);
    if (width == 0 || height == 0 || width > 4096 || height > 4096)
        return {};
    const qsizetype stride = (qsizetype(width) * 3 + 3) / 4 * 4;
    if (resource.size() != 8 + stride * height)
        return {};
    const QImage inPlace(data + 8, int(width), int(height), stride, QImage::Format_RGB888);
    // QImage asks for rows on four-byte boundaries; resources are placed so, but should one not
    // be, a copy is still the picture.
    return quintptr(data + 8) % 4 == 0 ? inPlace : inPlace.copy();
}
