#include "PictureTestData.h"

#include <cstdlib>

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPoint>

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

QImage quadrantsPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    QPainter painter(&image);
    const int w = width / 2;
    const int h = height / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, width - w, h, Qt::green);
    painter.fillRect(0, h, w, height - h, Qt::blue);
    painter.fillRect(w, h, width - w, height - h, Qt::white);
    return image;
}

QString quadrantColours(const QImage &image)
{
    const struct {
        char letter;
        QRgb colour;
    } named[] = { { 'R', qRgb(255, 0, 0) }, { 'G', qRgb(0, 255, 0) }, { 'B', qRgb(0, 0, 255) },
        { 'W', qRgb(255, 255, 255) }, { 'K', qRgb(0, 0, 0) }, { 'M', qRgb(128, 128, 128) } };
    QString letters;
    for (const QPoint centre : { QPoint(1, 1), QPoint(3, 1), QPoint(1, 3), QPoint(3, 3) }) {
        const QRgb p = image.pixel(image.width() * centre.x() / 4, image.height() * centre.y() / 4);
        char letter = '?';
        for (const auto &n : named) {
            if (std::abs(qRed(p) - qRed(n.colour)) <= 40
                && std::abs(qGreen(p) - qGreen(n.colour)) <= 40
                && std::abs(qBlue(p) - qBlue(n.colour)) <= 40)
                letter = n.letter;
        }
        letters += QLatin1Char(letter);
    }
    return letters;
}

QString testData(const char *name)
{
    return QStringLiteral(QUILLET_TEST_DATA "/") + QLatin1String(name);
}

QString jpegError(int code)
{
    return QStringLiteral("JPEG error #%1").arg(code);
}

} // namespace picturetest
