#include "TestPictures.h"

#include <QList>
#include <QRandomGenerator>

QImage runsPicture(QImage::Format format, QSize size, quint32 seed)
{
    QRandomGenerator random(seed);
    QList<QRgb> palette;
    for (int i = 0; i < 40; ++i) {
        const int alpha = format == QImage::Format_ARGB32 ? random.bounded(256) : 255;
        palette.append(qRgba(random.bounded(256), random.bounded(256), random.bounded(256), alpha));
    }
    QImage image(size, format);
    if (format == QImage::Format_Indexed8)
        image.setColorTable(palette);
    for (int y = 0; y < size.height(); ++y) {
        int x = 0;
        while (x < size.width()) {
            const int index = random.bounded(palette.size());
            for (int end = std::min(size.width(), x + 1 + random.bounded(24)); x < end; ++x) {
                if (format == QImage::Format_Indexed8)
                    image.setPixel(x, y, uint(index));
                else
                    image.setPixel(x, y, palette[index]);
            }
        }
    }
    return image;
}

const char *formatName(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB888:
        return "RGB888";
    case QImage::Format_RGB32:
        return "RGB32";
    case QImage::Format_ARGB32:
        return "ARGB32";
    case QImage::Format_Indexed8:
        return "Indexed8";
    default:
        return "Other";
    }
}

void PrintTo(QImage::Format format, std::ostream *out)
{
    *out << formatName(format);
}
