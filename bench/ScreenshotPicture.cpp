#include "ScreenshotPicture.h"

#include <algorithm>

#include <QBuffer>
#include <QColor>
#include <QPainter>
#include <QRandomGenerator>

#include "files/JpegCodec.h"

QImage screenshotPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(240, 240, 240));
    QRandomGenerator random(1234);
    QPainter painter(&image);
    // Larger screens show more windows, not larger ones: as much detail per pixel at every size.
    const int screens = std::max(1, int(qint64(width) * height / (3840 * 2160)));

    // Windows with title bars, white client areas and lines of "text".
    for (int window = 0; window < 12 * screens; ++window) {
        const int x = random.bounded(width - 600), y = random.bounded(height - 400);
        const int w = 300 + random.bounded(1200), h = 200 + random.bounded(800);
        painter.fillRect(x, y, w, 28, QColor(30, 90, 180));
        painter.fillRect(x, y + 28, w, h, Qt::white);
        for (int line = y + 40; line < y + h - 12; line += 18) {
            for (int word = x + 10; word < x + w - 40; word += 30 + random.bounded(40)) {
                painter.fillRect(
                    word, line, 20 + random.bounded(20), 2 + random.bounded(9), QColor(20, 20, 20));
            }
        }
    }
    // Coloured buttons and a photo-like gradient.
    for (int button = 0; button < 60 * screens; ++button) {
        painter.fillRect(random.bounded(width - 120), random.bounded(height - 40), 120, 40,
            QColor::fromHsv(random.bounded(360), 160, 220));
    }
    QLinearGradient gradient(0, 0, 800, 600);
    gradient.setColorAt(0, QColor(200, 120, 40));
    gradient.setColorAt(1, QColor(40, 160, 220));
    for (int k = 0; k < screens; ++k) {
        const int x = width - 900 - (k % 2) * (width / 2),
                  y = height - 700 - (k / 2) * (height / 2);
        painter.fillRect(x, y, 800, 600, gradient);
    }
    return image;
}

const QImage &screenshot4K()
{
    static const QImage picture = screenshotPicture(3840, 2160);
    return picture;
}

const QImage &screenshot8K()
{
    static const QImage picture = screenshotPicture(7680, 4320);
    return picture;
}

const QByteArray &screenshotJpeg4K()
{
    static const QByteArray data = encodeJpeg(screenshot4K());
    return data;
}

const QByteArray &screenshotJpeg8K()
{
    static const QByteArray data = encodeJpeg(screenshot8K());
    return data;
}

QByteArray qtPng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

const QByteArray &screenshotPng4K()
{
    static const QByteArray data = qtPng(screenshot4K());
    return data;
}

const QByteArray &screenshotPng8K()
{
    static const QByteArray data = qtPng(screenshot8K());
    return data;
}
