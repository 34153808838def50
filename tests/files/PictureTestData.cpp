#include "PictureTestData.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>

namespace picturetest {

QImage samplePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uchar(255 * x / std::max(1, width - 1));
            row[3 * x + 1] = uchar(255 * y / std::max(1, height - 1));
            row[3 * x + 2] = uchar(200 - 100 * (x + y) / std::max(1, width + height));
        }
    }
    QPainter painter(&image);
    painter.fillRect(width / 8, height / 8, width / 3, height / 3, QColor(240, 240, 236));
    painter.fillRect(width / 6, height / 6, width / 5, 2, QColor(20, 20, 30));
    painter.fillRect(width / 2, height / 2, width / 4, height / 4, QColor(30, 90, 200));
    return image;
}

QByteArray qtJpeg(const QImage &image, bool progressive)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return data;
}

QByteArray qtEncoded(const QImage &image, const char *format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
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
    qsizetype sof = findMarker(jpeg, 0xC0);
    if (sof < 0)
        sof = findMarker(jpeg, 0xC2);
    EXPECT_GE(sof, 0);
    // Marker, length (2), precision (1), then height and width, big-endian.
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(data), data.size());
}

} // namespace picturetest
