// Making the start picture, which the window does before it first shows, against filling a
// picture of the same size and format with one colour. Its 25,000 runs, most of them one pixel
// of anti-aliased text, cost a branch each: about 10 times the fill, some 0.2 ms here.

#include <QImage>

#include <benchmark/benchmark.h>

#include "app/StartPicture.h"

namespace {

void BM_StartPicture(benchmark::State &state)
{
    for (auto _ : state) {
        const QImage picture = startPicture();
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_StartPicture)->Unit(benchmark::kMicrosecond);

void BM_StartPictureFillReference(benchmark::State &state)
{
    const QSize size = startPicture().size();
    for (auto _ : state) {
        QImage picture(size, QImage::Format_RGB888);
        picture.fill(Qt::white);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_StartPictureFillReference)->Unit(benchmark::kMicrosecond);

} // namespace
