// Mark through ImageDocument, as the window runs it, against a plain copy of the same picture.
// Each Mark should stay within 3 times the copy, the first Mark after opening (outline drawn,
// then Mark) within 4 times, and an 8K picture within 4.5 times a 4K one (4 times the pixels).
// Every step starts with its picture out of the caches (see evictCaches).

#include <malloc.h>

#include <QFile>
#include <QImage>
#include <QPoint>
#include <QSize>

#include <benchmark/benchmark.h>

#include "ScreenshotPicture.h"
#include "editor/ImageDocument.h"
#include "editor/Picture.h"
#include "editor/PictureBuffers.h"
#include "editor/blendcolor.h"
#include "files/JpegCodec.h"

namespace {

const QRgb yellow = qRgb(255, 255, 0);

// Reads more memory than the caches hold, so that the next step meets its picture in memory,
// as after a user's other work, rather than in the caches from the step before: a 4K picture
// fits half into a large cache, an 8K one does not.
void evictCaches()
{
    static const QByteArray other(256 << 20, 1);
    qint64 sum = 0;
    for (qsizetype i = 0; i < other.size(); i += 64)
        sum += other.at(i);
    benchmark::DoNotOptimize(sum);
}

void drag(ImageDocument &document, QPoint from, QPoint to)
{
    document.mouseDown(from, QSize());
    document.mouseMove((from + to) / 2);
    document.mouseUp(to);
}

// Mark in quick marking mode: the undo picture and the blend, each time on the picture as
// handed over (sharing its pixels, so the undo picture copies nothing).
void markBench(benchmark::State &state, const QImage &picture, QPoint from, QPoint to)
{
    ImageDocument document;
    document.setPicture(Picture(picture));
    drag(document, from, to);
    document.mark(yellow, true);
    for (auto _ : state) {
        state.PauseTiming();
        document.setPicture(Picture(picture));
        evictCaches();
        state.ResumeTiming();
        document.mark(yellow, false);
        benchmark::DoNotOptimize(document.picture().image().constBits());
    }
}

void BM_Mark4K(benchmark::State &state)
{
    markBench(state, screenshot4K(), QPoint(0, 0), QPoint(3839, 2159));
}

void BM_Mark8K(benchmark::State &state)
{
    markBench(state, screenshot8K(), QPoint(0, 0), QPoint(7679, 4319));
}

void BM_MarkClick4K(benchmark::State &state)
{
    markBench(state, screenshot4K(), QPoint(1000, 700), QPoint(1000, 700));
}

// Opening a picture and marking it the way a user does: mouse-down (the outline drawn),
// mouse-up and Mark. The document lives on from one picture to the next, as the window's does.
// With `freshMemory` the recycled memory is handed back first, as before the first picture of a
// run, so the result needs newly mapped pages.
void markFirstBench(benchmark::State &state, bool freshMemory)
{
    ImageDocument document;
    for (auto _ : state) {
        state.PauseTiming();
        document.setPicture(Picture(decodeJpeg(screenshotJpeg4K())));
        document.takeUndo();
        if (freshMemory)
            PictureBuffers::releaseIdle();
        evictCaches();
        state.ResumeTiming();
        document.mouseDown(QPoint(200, 150), QSize());
        document.mouseUp(QPoint(3600, 2000));
        document.mark(yellow, false);
        benchmark::DoNotOptimize(document.picture().image().constBits());
    }
}

void BM_MarkFirst4K(benchmark::State &state)
{
    markFirstBench(state, false);
}

void BM_MarkFirst4KFreshMemory(benchmark::State &state)
{
    markFirstBench(state, true);
}

// Step by step: one pixel read, blended and written at a time, after the undo copy.
void BM_Mark4KReference(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QImage picture = screenshot4K();
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
        state.PauseTiming();
        evictCaches();
        state.ResumeTiming();
        QImage copy = screenshot4K().copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}

// One field of /proc/self/status in bytes; -1 when it cannot be read.
qint64 statusBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// The most memory resident at once while a 4K JPEG is opened and marked once, in pictures'
// worth, in a fresh state: what the process held before counts as nothing. Waiting memory is
// handed back and the peak reset (Linux's clear_refs), so any page the steps need is a new one.
void BM_PeakMemoryOpenMark4K(benchmark::State &state)
{
    const QByteArray &jpeg = screenshotJpeg4K();
    const double pictureBytes = double(screenshot4K().sizeInBytes());
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PictureBuffers::releaseIdle();
        malloc_trim(0);
        QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
        if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1) {
            state.SkipWithError("cannot reset the peak resident memory");
            return;
        }
        clearRefs.close();
        const qint64 before = statusBytes("VmRSS:");
        state.ResumeTiming();
        {
            ImageDocument document;
            document.setPicture(Picture(decodeJpeg(jpeg)));
            document.takeUndo();
            document.mouseDown(QPoint(200, 150), QSize());
            document.mouseUp(QPoint(3600, 2000));
            document.mark(yellow, false);
            benchmark::DoNotOptimize(document.picture().image().constBits());
            state.PauseTiming();
            peak = std::max(peak, double(statusBytes("VmHWM:") - before) / pictureBytes);
            state.ResumeTiming();
        }
    }
    state.counters["pictures"] = peak;
}

} // namespace

BENCHMARK(BM_Mark4K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mark8K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mark4KReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Copy4K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkClick4K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkFirst4K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkFirst4KFreshMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemoryOpenMark4K)->Unit(benchmark::kMillisecond)->Iterations(3);
