// The Calculate button's drawing: background, axes, labels, boundaries and
// net painted onto an off-screen image of side 800.
#include "GeneralData.h"
#include "PainterCanvas.h"
#include "ScreenPlot.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace brelloc::bench {
namespace {

void ScreenPlotDrawing(benchmark::State& state)
{
    constexpr int kSide = 800;
    GeneralData data;
    InitDefaults(data);
    QImage image(kSide, kSide, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        DrawScreenPlot(canvas, data, kSide);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(ScreenPlotDrawing)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace brelloc::bench
