// The dialogs' preview of a 4K and an 8K picture file, JPEG and PNG, against opening the same
// file whole, as File > Open does. JPEG previews decode at libjpeg's reduced scales.

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "ScreenshotPicture.h"
#include "files/PictureFiles.h"
#include "files/PicturePreview.h"

namespace {

template<class Read>
void readFileBench(benchmark::State &state, const char *name, const QByteArray &bytes, Read read)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        state.SkipWithError("cannot write the picture file");
        return;
    }
    file.close();
    for (auto _ : state)
        read(path);
}

void previewBench(benchmark::State &state, const char *name, const QByteArray &bytes)
{
    const PicturePreview previewer;
    readFileBench(state, name, bytes, [&](const QString &path) {
        const auto preview = previewer.preview(path, QSize(240, 240));
        if (preview.image.isNull())
            state.SkipWithError("no preview");
        benchmark::DoNotOptimize(preview.image.constBits());
    });
}

void openBench(benchmark::State &state, const char *name, const QByteArray &bytes)
{
    readFileBench(state, name, bytes, [](const QString &path) {
        const Picture opened = fname2bmpimage(path);
        benchmark::DoNotOptimize(opened.image().constBits());
    });
}

void BM_PreviewJpeg4K(benchmark::State &state)
{
    previewBench(state, "shot.jpg", screenshotJpeg4K());
}
BENCHMARK(BM_PreviewJpeg4K)->Unit(benchmark::kMillisecond);

void BM_OpenJpeg4K(benchmark::State &state)
{
    openBench(state, "shot.jpg", screenshotJpeg4K());
}
BENCHMARK(BM_OpenJpeg4K)->Unit(benchmark::kMillisecond);

void BM_PreviewJpeg8K(benchmark::State &state)
{
    previewBench(state, "shot.jpg", screenshotJpeg8K());
}
BENCHMARK(BM_PreviewJpeg8K)->Unit(benchmark::kMillisecond);

void BM_OpenJpeg8K(benchmark::State &state)
{
    openBench(state, "shot.jpg", screenshotJpeg8K());
}
BENCHMARK(BM_OpenJpeg8K)->Unit(benchmark::kMillisecond);

void BM_PreviewPng4K(benchmark::State &state)
{
    previewBench(state, "shot.png", screenshotPng4K());
}
BENCHMARK(BM_PreviewPng4K)->Unit(benchmark::kMillisecond);

void BM_OpenPng4K(benchmark::State &state)
{
    openBench(state, "shot.png", screenshotPng4K());
}
BENCHMARK(BM_OpenPng4K)->Unit(benchmark::kMillisecond);

void BM_PreviewPng8K(benchmark::State &state)
{
    previewBench(state, "shot.png", screenshotPng8K());
}
BENCHMARK(BM_PreviewPng8K)->Unit(benchmark::kMillisecond);

void BM_OpenPng8K(benchmark::State &state)
{
    openBench(state, "shot.png", screenshotPng8K());
}
BENCHMARK(BM_OpenPng8K)->Unit(benchmark::kMillisecond);

} // namespace
