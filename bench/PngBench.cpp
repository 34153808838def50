// PNG through Quillet's writer against Qt's default writer, on a 4K screenshot and a 4K photo,
// with the files' sizes as counters; and PNG reading by Qt. Aim: at least 4 times faster than
// Qt's writer, files at most 1.5 times its size.

#include <QImage>
#include <QMimeData>

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

void encodeBench(benchmark::State &state, const QImage &image, bool ours)
{
    const QImage rgb32 = image.convertToFormat(QImage::Format_RGB32);
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray png = ours ? encodePng(rgb32) : qtPng(rgb32);
        size = png.size();
        benchmark::DoNotOptimize(png.constData());
    }
    state.counters["bytes"] = double(size);
}

void BM_PngWriteScreenshot4K(benchmark::State &state)
{
    encodeBench(state, screenshot4K(), true);
}
BENCHMARK(BM_PngWriteScreenshot4K)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PngWriteScreenshot4KQt(benchmark::State &state)
{
    encodeBench(state, screenshot4K(), false);
}
BENCHMARK(BM_PngWriteScreenshot4KQt)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PngWritePhoto4K(benchmark::State &state)
{
    encodeBench(state, photo4K(), true);
}
BENCHMARK(BM_PngWritePhoto4K)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PngWritePhoto4KQt(benchmark::State &state)
{
    encodeBench(state, photo4K(), false);
}
BENCHMARK(BM_PngWritePhoto4KQt)->Unit(benchmark::kMillisecond)->UseRealTime();

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
