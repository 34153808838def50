#include "PictureTestData.h"

#include <cstdlib>

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

namespace picturetest {

QImage samplePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(255 * x / width, 255 * y / height, 200 - 100 * x / width));
    }
    QPainter painter(&image);
    painter.fillRect(width / 8, height / 8, width / 3, height / 3, QColor(240, 240, 236));
    painter.fillRect(width / 6, height / 6, width / 5, 2, QColor(20, 20, 30));
    painter.fillRect(width / 2, height / 2, width / 4, height / 4, QColor(30, 90, 200));
    return image;
}

QByteArray qtEncoded(const QImage &image, const char *format, bool progressive)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    if (QByteArray(format) == "jpeg")
        writer.setQuality(95);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return data;
}

double meanDifference(const QImage &a, const QImage &b)
{
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size() || a.isNull())
        return 1e9;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

qsizetype findMarker(const QByteArray &jpeg, uchar marker)
{
    const char pattern[] = { char(0xFF), char(marker) };
    return jpeg.indexOf(QByteArrayView(pattern, 2));
}

QByteArray withFrameSize(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = findMarker(jpeg, 0xC0);
    EXPECT_GE(sof, 0);
    // Marker, length (2), precision (1), then height and width, big-endian.
    const char size[] = { char(height >> 8), char(height), char(width >> 8), char(width) };
    jpeg.replace(sof + 5, 4, QByteArray(size, 4));
    return jpeg;
}

} // namespace picturetest
