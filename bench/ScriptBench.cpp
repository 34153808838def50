// `quillet --mark` from the command line: 20 marks on a 4K screenshot PNG written as PNG, against
// the same reading and writing with no marks. The marks should cost under 5 % of the run; the
// marked picture's PNG also costs more to compress than the unmarked one's, which the pair
// written as bitmaps leaves out.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "ScreenshotPicture.h"
#include "files/PngWriter.h"

namespace {

void scriptBench(benchmark::State &state, int marks, const char *output = "marked.png")
{
    QTemporaryDir dir;
    QFile input(dir.filePath("shot.png"));
    const QByteArray png = encodePng(screenshot4K());
    if (!input.open(QIODevice::WriteOnly) || input.write(png) != png.size()) {
        state.SkipWithError("cannot write the picture file");
        return;
    }
    input.close();
    QStringList arguments;
    for (int i = 0; i < marks; ++i)
        arguments << "--mark"
                  << QStringLiteral("%1,%2,600,30,Yellow").arg(100 + i * 50).arg(80 + i * 90);
    arguments << input.fileName() << "--output" << dir.filePath(QLatin1String(output));
    for (auto _ : state) {
        QProcess program;
        program.start(QStringLiteral(QUILLET_EXECUTABLE), arguments);
        if (!program.waitForFinished(60000) || program.exitCode() != 0)
            state.SkipWithError("quillet failed");
    }
}

void BM_Script20Marks4K(benchmark::State &state)
{
    scriptBench(state, 20);
}
BENCHMARK(BM_Script20Marks4K)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScriptNoMarks4K(benchmark::State &state)
{
    scriptBench(state, 0);
}
BENCHMARK(BM_ScriptNoMarks4K)->Unit(benchmark::kMillisecond)->UseRealTime();

// Written as a bitmap, the output costs the same marked or not: this pair shows the marks alone.
void BM_Script20Marks4KToBitmap(benchmark::State &state)
{
    scriptBench(state, 20, "marked.bmp");
}
BENCHMARK(BM_Script20Marks4KToBitmap)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScriptNoMarks4KToBitmap(benchmark::State &state)
{
    scriptBench(state, 0, "marked.bmp");
}
BENCHMARK(BM_ScriptNoMarks4KToBitmap)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
