// Speed of tolvane-odds: the tables of every hand on one and on two threads,
// the exact return over every suit class of deals, and one hand's holds
// counted without the tables.
#include <benchmark/benchmark.h>

#include "odds/game_return.h"
#include "odds/hand_draws.h"

namespace {

void BM_DrawTables(benchmark::State& state)
{
    for (auto _ : state) {
        odds::DrawTables tables(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(tables.SuitClasses().size());
    }
}
BENCHMARK(BM_DrawTables)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GameReturn(benchmark::State& state)
{
    const odds::DrawTables tables(2);
    for (auto _ : state)
        benchmark::DoNotOptimize(odds::ComputeGameReturn(tables, static_cast<int>(state.range(0))).deals);
}
BENCHMARK(BM_GameReturn)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The evaluator's verdict on every kind of hand, which one hand's count needs.
void BM_HandKinds(benchmark::State& state)
{
    for (auto _ : state) {
        odds::HandKinds kinds;
        benchmark::DoNotOptimize(kinds.Payout(kRoyalFlush));
    }
}
BENCHMARK(BM_HandKinds)->Unit(benchmark::kMillisecond);

// One hand's holds, with at most three or five discards.
void BM_CountHoldDraws(benchmark::State& state)
{
    const odds::HandKinds kinds;
    const int deal[odds::kHandCards] = {1, 24, 17, 33, 47};  // 2C QD 5D 8H 9S
    odds::HoldValues values;
    for (auto _ : state) {
        odds::CountHoldDraws(kinds, deal, static_cast<int>(state.range(0)), values);
        benchmark::DoNotOptimize(values.payoutSum[0]);
    }
}
BENCHMARK(BM_CountHoldDraws)->Arg(3)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
