// The exporter's command line with many outputs: each is checked against
// all the others for naming the same file, which must grow as n log n, not
// as n squared.
#include "ExportOptions.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace brelloc::bench {
namespace {

void ParseManyOutputs(benchmark::State& state)
{
    std::vector<std::string> args;
    for (int i = 0; i < state.range(0); ++i)
        args.insert(args.end(), {"--pictex", "figures/f" + std::to_string(i) + ".tex"});
    for (auto _ : state) {
        const ParsedOptions parsed = ParseExportOptions(args);
        benchmark::DoNotOptimize(parsed.options.outputs.data());
        if (!parsed.Ok())
            state.SkipWithError(parsed.error.c_str());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(ParseManyOutputs)->RangeMultiplier(10)->Range(10, 1000)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace brelloc::bench
