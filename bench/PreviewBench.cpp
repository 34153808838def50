// The dialogs' preview of a 4K and an 8K picture file, JPEG and PNG, against opening the same
// file whole, as File > Open does. JPEG previews decode at libjpeg's reduced scales.

#include <string>

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

// BM_Preview<kind><size> and BM_Open<kind><size>, for JPEG and PNG files of 4K and 8K.
const bool previewsRegistered = [] {
    struct File {
        const char *kind;
        const char *name;
        const QByteArray &(*bytes)();
    };
    const File files[]
        = { { "Jpeg4K", "shot.jpg", screenshotJpeg4K }, { "Jpeg8K", "shot.jpg", screenshotJpeg8K },
              { "Png4K", "shot.png", screenshotPng4K }, { "Png8K", "shot.png", screenshotPng8K } };
    for (const File &file : files) {
        benchmark::RegisterBenchmark((std::string("BM_Preview") + file.kind).c_str(),
            [file](benchmark::State &state) { previewBench(state, file.name, file.bytes()); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_Open") + file.kind).c_str(),
            [file](benchmark::State &state) { openBench(state, file.name, file.bytes()); })
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
