#include "app/StartPicture.h"

#include <cstring>

#include <QByteArray>
#include <QDataStream>
#include <QFile>

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

// The picture is stored as its compressed 24-bit rows (width, height, then the rows), so that
// showing it needs no image reader: a reader would scan every image plugin at start.
QImage startPicture()
{
    registerResources();
    QFile file(QStringLiteral(":/startpicture.rgbz"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QDataStream stream(&file);
    quint32 width = 0, height = 0;
    QByteArray compressed;
    stream >> width >> height >> compressed;
    const QByteArray rows = qUncompress(compressed);
    const qsizetype rowBytes = qsizetype(width) * 3;
    if (stream.status() != QDataStream::Ok || rows.size() != rowBytes * height)
        return {};
    QImage picture(int(width), int(height), QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(picture.scanLine(y), rows.constData() + y * rowBytes, size_t(rowBytes));
    return picture;
}
