// The literal loops against the production tracer on the same parameters,
// and how the production tracer's cost grows with squares and window size.
#include "CountingSink.h"
#include "FlowNetTracer.h"
#include "GeneralData.h"
#include "LiteralFlowNetTracer.h"

#include <benchmark/benchmark.h>

namespace brelloc::bench {
namespace {

GeneralData Parameters(double hl, double xmaxL, int squares)
{
    GeneralData data;
    InitDefaults(data);
    data.HL = hl;
    data.XmaxL = xmaxL;
    data.Squares = squares;
    UpdateDerived(data);
    return data;
}

using TraceFunction = void (*)(const GeneralData&, PlotSink&);

void Run(benchmark::State& state, TraceFunction trace, const GeneralData& data)
{
    CountingSink sink;
    std::int64_t traces = 0;
    for (auto _ : state) {
        trace(data, sink);
        benchmark::ClobberMemory();
        ++traces;
    }
    state.counters["segments"] =
        benchmark::Counter(static_cast<double>(sink.segments) / static_cast<double>(traces));
}

// The loops as the design writes them, flat cells included.
void LiteralLoops(const GeneralData& data, PlotSink& sink)
{
    test::LiteralFlowNetTracer::Trace(data, sink, test::FlatCells::Emit);
}

void LiteralTrace(benchmark::State& state, GeneralData data)
{
    Run(state, &LiteralLoops, data);
}

void ProductionTrace(benchmark::State& state, GeneralData data)
{
    Run(state, &FlowNetTracer::Trace, data);
}

const GeneralData kDefaults = Parameters(0.2, 3.0, 10);
const GeneralData kWorstCase = Parameters(0.2, 40.0, 20);
const GeneralData kNoHead = Parameters(0.0, 3.0, 10);

BENCHMARK_CAPTURE(LiteralTrace, defaults, kDefaults)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProductionTrace, defaults, kDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LiteralTrace, worst_case, kWorstCase)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProductionTrace, worst_case, kWorstCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LiteralTrace, no_head, kNoHead)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProductionTrace, no_head, kNoHead)->Unit(benchmark::kMicrosecond);

// Production trace over squares (first argument) and Xmax/L (second).
void ProductionScaling(benchmark::State& state)
{
    Run(state, &FlowNetTracer::Trace,
        Parameters(0.2, static_cast<double>(state.range(1)), static_cast<int>(state.range(0))));
}
BENCHMARK(ProductionScaling)
    ->ArgNames({"squares", "xmaxL"})
    ->ArgsProduct({{2, 5, 10, 20}, {1, 3, 10, 40}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace brelloc::bench
