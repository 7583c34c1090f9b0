// Speed of the card engine: every five-card hand through EvaluateHand, and
// one deal with its draw as the item plays it.
#include <benchmark/benchmark.h>

#include "cards/deck.h"
#include "cards/evaluate.h"

namespace {

void BM_EvaluateEveryHand(benchmark::State& state)
{
    CardHand hand;
    hand.capacity = 5;
    for (auto _ : state) {
        long long categories = 0;
        for (int a = 1; a <= 52; ++a)
            for (int b = a + 1; b <= 52; ++b)
                for (int c = b + 1; c <= 52; ++c)
                    for (int d = c + 1; d <= 52; ++d)
                        for (int e = d + 1; e <= 52; ++e) {
                            hand.Clear();
                            hand.AddCard(a);
                            hand.AddCard(b);
                            hand.AddCard(c);
                            hand.AddCard(d);
                            hand.AddCard(e);
                            categories += EvaluateHand(hand);
                        }
        benchmark::DoNotOptimize(categories);
    }
    state.SetItemsProcessed(state.iterations() * 2598960LL);
}
BENCHMARK(BM_EvaluateEveryHand)->Unit(benchmark::kMillisecond);

// The item's deal and draw: shuffle, five cards sorted, three replaced, scored.
void BM_DealAndDraw(benchmark::State& state)
{
    CardDeck deck;
    CardHand hand;
    wchar_t text[40];
    for (auto _ : state) {
        deck.Shuffle();
        hand.Clear();
        hand.capacity = 5;
        for (int i = 0; i < 5; ++i)
            hand.AddCard(deck.DealCard());
        hand.Sort(kAscending, kByRank);
        for (int p = 4; p >= 2; --p)
            hand.RemoveCard(hand.cards[p]);
        for (int i = 0; i < 3; ++i)
            hand.AddCard(deck.DealCard());
        benchmark::DoNotOptimize(ScoreHand(hand, text));
    }
}
BENCHMARK(BM_DealAndDraw);

}  // namespace

BENCHMARK_MAIN();
