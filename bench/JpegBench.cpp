// Loading and saving a 4K screenshot as JPEG through Quillet's file functions (real files in
// a temporary folder), against bare libjpeg loops with the same settings on plain memory.
// Quillet's load and save should each stay within 1.3 times their bare loop, and loading an 8K
// picture within 4.5 times a 4K one (4 times the pixels).

#include <cstdio>
#include <jpeglib.h>
#include <vector>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "ScreenshotPicture.h"
#include "files/JpegCodec.h"
#include "files/PictureFiles.h"

namespace {

const QImage &shot()
{
    return screenshot4K();
}

const QByteArray &shotJpeg()
{
    return screenshotJpeg4K();
}

void setPixelsProcessed(benchmark::State &state, const QImage &picture = shot())
{
    state.SetItemsProcessed(state.iterations() * qint64(picture.width()) * picture.height());
}

// Opening a JPEG file through Quillet's loader.
void loadBench(benchmark::State &state, const QImage &picture, const QByteArray &jpeg)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("shot.jpg"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size()) {
        state.SkipWithError("cannot write the picture file");
        return;
    }
    file.close();
    for (auto _ : state) {
        const Picture loaded = fname2bmpimage(name);
        benchmark::DoNotOptimize(loaded.image().constBits());
    }
    setPixelsProcessed(state, picture);
}

void BM_LoadJpeg4K(benchmark::State &state)
{
    loadBench(state, screenshot4K(), screenshotJpeg4K());
}
BENCHMARK(BM_LoadJpeg4K)->Unit(benchmark::kMillisecond);

void BM_LoadJpeg8K(benchmark::State &state)
{
    loadBench(state, screenshot8K(), screenshotJpeg8K());
}
BENCHMARK(BM_LoadJpeg8K)->Unit(benchmark::kMillisecond);

void BM_LoadJpeg4KBare(benchmark::State &state)
{
    const QByteArray &data = shotJpeg();
    std::vector<JSAMPLE> pixels(size_t(shot().width()) * shot().height() * 3);
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(data.constData()),
            static_cast<unsigned long>(data.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.scale_num = 1;
        cinfo.scale_denom = 1;
        cinfo.do_block_smoothing = TRUE;
        cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        const size_t stride = size_t(cinfo.output_width) * 3;
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = pixels.data() + cinfo.output_scanline * stride;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels.data());
    }
    setPixelsProcessed(state);
}
BENCHMARK(BM_LoadJpeg4KBare)->Unit(benchmark::kMillisecond);

void BM_SaveJpeg4K(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("shot.jpg"));
    const Picture picture(shot());
    for (auto _ : state) {
        QString name = target;
        benchmark::DoNotOptimize(bmpimage2fname(picture, name, 1));
    }
    setPixelsProcessed(state);
}
BENCHMARK(BM_SaveJpeg4K)->Unit(benchmark::kMillisecond);

void BM_SaveJpeg4KBare(benchmark::State &state)
{
    const QImage &picture = shot();
    unsigned long capacity = static_cast<unsigned long>(shotJpeg().size()) * 2;
    unsigned char *buffer = static_cast<unsigned char *>(std::malloc(capacity));
    for (auto _ : state) {
        jpeg_compress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_compress(&cinfo);
        unsigned long size = capacity;
        jpeg_mem_dest(&cinfo, &buffer, &size);
        cinfo.image_width = JDIMENSION(picture.width());
        cinfo.image_height = JDIMENSION(picture.height());
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 90, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(picture.constScanLine(int(cinfo.next_scanline)));
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        benchmark::DoNotOptimize(size);
    }
    std::free(buffer);
    setPixelsProcessed(state);
}
BENCHMARK(BM_SaveJpeg4KBare)->Unit(benchmark::kMillisecond);

} // namespace
