// The Calculate button's drawing: background, axes, labels, boundaries and
// net painted onto an off-screen image of side 800, and of side 1600 as on a
// screen scaled to 200 % (the font twice as large, lines one device pixel).
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
    const int scale = static_cast<int>(state.range(0));
    const int side = 800 * scale;
    GeneralData data;
    InitDefaults(data);
    QImage image(side, side, QImage::Format_RGB32);
    QFont font = PainterCanvas::FontFor(FontSpec{"MS Sans Serif", 8.0 * scale, false});
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setFont(font);
        PainterCanvas canvas(painter);
        DrawScreenPlot(canvas, data, side);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(ScreenPlotDrawing)->Arg(1)->Arg(2)->ArgName("scale")->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace brelloc::bench
