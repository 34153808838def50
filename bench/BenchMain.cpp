#include <QApplication>

#include <benchmark/benchmark.h>

// The benchmarks' main: widgets need an application, and one on main's stack ends before the
// statics of Qt and of the benchmarks, as in any Qt program (a static one crashed at exit).
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
