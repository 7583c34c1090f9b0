#include "game_return.h"

#include <algorithm>
#include <vector>

#include "odds/parallel_tasks.h"

namespace odds {

const char kSimpleRuleText[] =
    "stand on a straight or better; otherwise keep every card whose rank you hold twice or more; "
    "otherwise keep four cards of one suit; otherwise keep your two highest cards (ace high), "
    "or with five discards draw five new cards";

int SimpleRuleHold(const DrawTables& tables, const int* deal, int maxDiscards)
{
    const int all = kHolds - 1;
    int ascending[kHandCards];
    std::copy(deal, deal + kHandCards, ascending);
    std::sort(ascending, ascending + kHandCards);
    if (tables.Category(ascending) >= kStraight)
        return all;

    int matched = 0;
    int perSuit[4] = {};
    for (int i = 0; i < kHandCards; ++i) {
        ++perSuit[ClubsFirstSuit(deal[i])];
        for (int j = 0; j < kHandCards; ++j) {
            if (j != i && CardRankIndex(deal[j]) == CardRankIndex(deal[i]))
                matched |= 1 << i;
        }
    }
    if (matched)
        return matched;

    for (int suit = 0; suit < 4; ++suit) {
        if (perSuit[suit] != 4)
            continue;
        int hold = 0;
        for (int i = 0; i < kHandCards; ++i) {
            if (ClubsFirstSuit(deal[i]) == suit)
                hold |= 1 << i;
        }
        return hold;
    }

    if (maxDiscards >= kHandCards)
        return 0;
    // Ranks, with the ace above the king; no two are equal here.
    int hold = 0;
    for (int kept = 0; kept < kHandCards - maxDiscards; ++kept) {
        int highest = -1;
        for (int i = 0; i < kHandCards; ++i) {
            const int rank = (CardRankIndex(deal[i]) + 12) % 13;
            if (!(hold & (1 << i)) && (highest < 0 || rank > (CardRankIndex(deal[highest]) + 12) % 13))
                highest = i;
        }
        hold |= 1 << highest;
    }
    return hold;
}

namespace {

void AddPlay(const HoldValues& values, int hold, int deals, PlayTotals& totals)
{
    const int64_t scale = kValueDenominator / DrawsAfter(hold);
    totals.payout += deals * values.payoutSum[hold] * scale;
    for (int c = 0; c < kCategories; ++c)
        totals.finalHands[c] += deals * values.draws[hold].hands[c] * scale;
}

void AddTotals(const PlayTotals& from, PlayTotals& into)
{
    into.payout += from.payout;
    for (int c = 0; c < kCategories; ++c)
        into.finalHands[c] += from.finalHands[c];
}

// The suit classes first, first + stride, ... into result.
void CountClasses(const DrawTables& tables, size_t first, size_t stride, GameReturn& result)
{
    const std::vector<SuitClass>& classes = tables.SuitClasses();
    HoldValues values;
    for (size_t k = first; k < classes.size(); k += stride) {
        const SuitClass& deal = classes[k];
        int cards[kHandCards];
        for (int i = 0; i < kHandCards; ++i)
            cards[i] = deal.cards[i];
        ValueHolds(tables, cards, values);
        for (int rule = 0; rule < kDiscardRules; ++rule) {
            AddPlay(values, BestHold(values, kDiscardLimits[rule]), deal.deals, result.optimal[rule]);
            AddPlay(values, SimpleRuleHold(tables, cards, kDiscardLimits[rule]), deal.deals, result.simpleRule[rule]);
        }
        AddPlay(values, kHolds - 1, deal.deals, result.neverDrawing);
        result.deals += deal.deals;
    }
}

}  // namespace

GameReturn ComputeGameReturn(const DrawTables& tables, int threads)
{
    // More parts than threads, so that a thread slowed by other work on
    // the machine leaves the parts it has not begun to the others.
    const int tasks = 64;
    std::vector<GameReturn> parts(tasks);
    RunTasks(tasks, threads, [&tables, &parts](int t) { CountClasses(tables, t, tasks, parts[t]); });

    GameReturn result;
    for (const GameReturn& part : parts) {
        for (int rule = 0; rule < kDiscardRules; ++rule) {
            AddTotals(part.optimal[rule], result.optimal[rule]);
            AddTotals(part.simpleRule[rule], result.simpleRule[rule]);
        }
        AddTotals(part.neverDrawing, result.neverDrawing);
        result.deals += part.deals;
    }
    return result;
}

}  // namespace odds
