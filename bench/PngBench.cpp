// PNG through Quillet's writer against Qt's default writer, on a 4K screenshot, a 4K screen of
// text and a 4K photo, with the files' sizes as counters; and PNG reading by Qt. Aim: at least 4
// times faster than Qt's writer, files at most 1.5 times its size.

#include <string>
#include <utility>

#include <QImage>
#include <QMimeData>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "ScreenshotPicture.h"
#include "app/PictureDrop.h"
#include "files/PngWriter.h"

namespace {

// Smooth colour fields with fine noise, as a camera gives: no runs for the compressor to find.
const QImage &photo4K()
{
    static const QImage photo = [] {
        QImage image(3840, 2160, QImage::Format_RGB32);
        quint32 noise = 12345;
        for (int y = 0; y < image.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int n = int(noise >> 28) - 8;
                row[x] = qRgb(std::clamp(x / 16 + n, 0, 255), std::clamp(y / 9 + n, 0, 255),
                    std::clamp((x + y) / 24 + n, 0, 255));
            }
        }
        return image;
    }();
    return photo;
}

// A 4K screen of antialiased text, as a chat or an editor shows it: a dark bar, a side list, lines
// of code-like words and message boxes.
const QImage &textScreen4K()
{
    static const QImage screen = [] {
        QImage image(3840, 2160, QImage::Format_RGB32);
        image.fill(QColor(250, 250, 250));
        QPainter painter(&image);
        painter.fillRect(0, 0, 3840, 90, QColor(45, 45, 48));
        painter.fillRect(0, 90, 600, 2070, QColor(240, 240, 244));
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
        const QStringList words = QStringLiteral("return const auto image width for int "
                                                 "QByteArray png stream deflate rows")
                                      .split(QLatin1Char(' '));
        quint32 seed = 1;
        const auto next = [&seed](int count) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 16) % quint32(count));
        };
        for (int line = 0; line < 60; ++line) {
            painter.setPen(QColor(30, 30, 30));
            painter.drawText(30, 140 + line * 33, QStringLiteral("Channel %1").arg(line * 7));
            QStringList code;
            for (int word = next(14) + 4; word > 0; --word)
                code << words[next(int(words.size()))];
            painter.setPen(line % 5 == 0 ? QColor(0, 110, 0) : QColor(20, 20, 90));
            painter.drawText(650, 140 + line * 33, code.join(QLatin1Char(' ')));
        }
        for (int box = 0; box < 8; ++box) {
            const QRect message(2300, 150 + box * 240, 1400, 190);
            painter.fillRect(message, QColor(220, 235, 255));
            painter.setPen(Qt::black);
            painter.drawText(message.adjusted(30, 20, -30, -10), Qt::TextWordWrap,
                QStringLiteral("A message of a few lines of ordinary text, as a user pastes a "
                               "screenshot into a ticket to show what happened: 12345."));
        }
        return image;
    }();
    return screen;
}

// Each picture through our writer and through Qt's, named BM_PngWrite/<picture>[Qt].
void BM_PngWrite(benchmark::State &state, const QImage &(*picture)(), bool ours)
{
    const QImage rgb32 = picture().convertToFormat(QImage::Format_RGB32);
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray png = ours ? encodePng(rgb32) : qtPng(rgb32);
        size = png.size();
        benchmark::DoNotOptimize(png.constData());
    }
    state.counters["bytes"] = double(size);
}
const bool pngWritesRegistered = [] {
    const std::pair<const char *, const QImage &(*)()> pictures[]
        = { { "Screenshot4K", screenshot4K }, { "Text4K", textScreen4K }, { "Photo4K", photo4K } };
    for (const auto &[name, picture] : pictures)
        for (const bool ours : { true, false })
            benchmark::RegisterBenchmark(
                (std::string("BM_PngWrite/") + name + (ours ? "" : "Qt")).c_str(), BM_PngWrite,
                picture, ours)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    return true;
}();

void BM_PngReadScreenshot4KQt(benchmark::State &state)
{
    const QByteArray png = encodePng(screenshot4K());
    for (auto _ : state) {
        const QImage image = QImage::fromData(png, "png");
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PngReadScreenshot4KQt)->Unit(benchmark::kMillisecond)->UseRealTime();

// What Paste does with another program's PNG once the bytes are here: read through the filled
// reader and made the working picture (32-bit, composed on white), against the plain decode above.
void BM_PastePngScreenshot4K(benchmark::State &state)
{
    QMimeData mime;
    mime.setData(QStringLiteral("image/png"), encodePng(screenshot4K()));
    for (auto _ : state) {
        const Picture pasted = PictureDrop::offered(mime)->picture(QStringLiteral("pasted"));
        benchmark::DoNotOptimize(pasted.image().constBits());
    }
}
BENCHMARK(BM_PastePngScreenshot4K)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
