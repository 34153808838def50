#include <QImage>
#include <QPoint>
#include <QSize>

#include <benchmark/benchmark.h>

#include "ScreenshotPicture.h"
#include "editor/ImageDocument.h"
#include "editor/Picture.h"
#include "editor/blendcolor.h"

namespace {

const QRgb yellow = qRgb(255, 255, 0);

const QImage &screenshot()
{
    static const QImage image = screenshotPicture();
    return image;
}

// A document showing the 4K screenshot with the rectangle from..to as its last drag.
ImageDocument documentWithDrag(QPoint from, QPoint to)
{
    ImageDocument document;
    document.setPicture(Picture(screenshot()));
    document.mouseDown(from, QSize());
    document.mouseUp(to);
    document.mark(yellow, true);
    return document;
}

// Mark in quick marking mode: the undo copy and the blend, on a fresh copy of the screenshot
// each time (handing the picture over shares its pixels, so the undo copy is the only copy).
void markBench(benchmark::State &state, QPoint from, QPoint to)
{
    ImageDocument document = documentWithDrag(from, to);
    for (auto _ : state) {
        state.PauseTiming();
        document.setPicture(Picture(screenshot()));
        state.ResumeTiming();
        document.mark(yellow, false);
        benchmark::DoNotOptimize(document.picture().image().constBits());
    }
}

void BM_Mark4K(benchmark::State &state)
{
    markBench(state, QPoint(0, 0), QPoint(3839, 2159));
}

void BM_MarkClick4K(benchmark::State &state)
{
    markBench(state, QPoint(1000, 700), QPoint(1000, 700));
}

// Step by step: one pixel read, blended and written at a time, after the undo copy.
void BM_Mark4KReference(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QImage picture = screenshot();
        state.ResumeTiming();
        QImage undo = picture.copy();
        for (int x = 0; x < picture.width(); ++x) {
            for (int y = 0; y < picture.height(); ++y)
                picture.setPixel(x, y, blendcolor(picture.pixel(x, y), yellow));
        }
        benchmark::DoNotOptimize(undo.constBits());
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void BM_Copy4K(benchmark::State &state)
{
    for (auto _ : state) {
        QImage copy = screenshot().copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}

} // namespace

BENCHMARK(BM_Mark4K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mark4KReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Copy4K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkClick4K)->Unit(benchmark::kMillisecond);
