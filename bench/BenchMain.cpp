// Google Benchmark's main, with a GUI application around it where the
// drawing benchmarks need fonts (the offscreen platform unless one is set).
#include <benchmark/benchmark.h>

#ifdef BRELLOC_BENCH_WITH_QT
#include <QGuiApplication>
#endif

int main(int argc, char** argv)
{
#ifdef BRELLOC_BENCH_WITH_QT
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
