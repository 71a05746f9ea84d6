// The whole PicTeX file of the defaults, written into memory.
#include "GeneralData.h"
#include "PicTeXWriter.h"
#include "TextStream.h"

#include <benchmark/benchmark.h>

namespace brelloc::bench {
namespace {

void PicTeXExport(benchmark::State& state)
{
    GeneralData data;
    InitDefaults(data);
    std::size_t bytes = 0;
    for (auto _ : state) {
        StringTextStream out;
        WritePicTeX(out, data);
        bytes = out.Text().size();
        benchmark::DoNotOptimize(out.Text().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}
BENCHMARK(PicTeXExport)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace brelloc::bench
