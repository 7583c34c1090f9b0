// Speed of tolvane-odds: the tables of every hand, and the exact return over
// every suit class of deals on both cores.
#include <benchmark/benchmark.h>

#include "odds/game_return.h"

namespace {

void BM_DrawTables(benchmark::State& state)
{
    for (auto _ : state) {
        odds::DrawTables tables;
        benchmark::DoNotOptimize(tables.Payout(kRoyalFlush));
    }
}
BENCHMARK(BM_DrawTables)->Unit(benchmark::kMillisecond);

void BM_GameReturn(benchmark::State& state)
{
    const odds::DrawTables tables;
    for (auto _ : state)
        benchmark::DoNotOptimize(odds::ComputeGameReturn(tables, static_cast<int>(state.range(0))).deals);
}
BENCHMARK(BM_GameReturn)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
