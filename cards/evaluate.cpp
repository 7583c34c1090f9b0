#include "evaluate.h"

#include <wchar.h>

#include "card.h"

namespace {

struct CategoryScore {
    const wchar_t* text;
    int payout;
};

// Indexed by HandCategory.
const CategoryScore kScores[] = {
    {L"Nothing!", 0}, {L"Pair", 0},       {L"Two Pair", 2},   {L"3 of Kind", 3},   {L"Straight", 4},
    {L"Flush", 5},    {L"Full House", 7}, {L"4 of Kind", 20}, {L"Str. Flush", 50}, {L"Ryl. Flush", 250},
};

// The ranks of the held cards, each worked out once for the loops below.
void HeldRanks(const CardHand& hand, int* ranks)
{
    for (int i = 0; i < hand.count; ++i)
        ranks[i] = CardRank(hand.cards[i]);
}

// Whether a card of nextRank continues a run that ends at currentRank: one
// rank higher, or an ace after a king.
bool ContinuesRun(int currentRank, int nextRank)
{
    return nextRank == currentRank + 1 || (nextRank == kAce && currentRank == kKing);
}

// The walk shared by the rank and the suit runs. The hand is sorted first
// (by rank or by value); sameSuit asks a run to stay within one suit.
void LongestRun(CardHand& hand, SortKey key, int& best, int& start)
{
    hand.Sort(kAscending, key);
    const bool sameSuit = key == kByValue;
    int ranks[CardHand::kSlots];
    HeldRanks(hand, ranks);
    int run = 1;
    int runStart = 0;
    for (int i = 0; i < hand.count; ++i) {
        const int card = hand.cards[i];
        if (i != hand.count - 1) {
            const int next = hand.cards[i + 1];
            // The next rank follows this one; a king has no successor.
            if (ranks[i] < kKing && ranks[i + 1] == ranks[i] + 1 && (!sameSuit || CardSuit(card) == CardSuit(next))) {
                if (run == 1)
                    runStart = i;
                ++run;
            } else if (ranks[i + 1] != ranks[i]) {
                if (run > best) {
                    best = run;
                    start = runStart;
                }
                run = 1;
            }
            continue;
        }
        // The ace also follows the king.
        if (ranks[i] == kKing && run > 1) {
            bool aceFollows = false;
            if (!sameSuit) {
                aceFollows = ranks[0] == kAce;
            } else {
                for (int k = 0; k < hand.count && !aceFollows; ++k)
                    aceFollows = ranks[k] == kAce && CardSuit(hand.cards[k]) == CardSuit(card);
            }
            if (aceFollows)
                ++run;
        }
        if (run > best) {
            best = run;
            start = runStart;
        }
    }
}

// Collects the run that starts at slot start into cards; with sameSuit only
// cards of the first card's suit join. length is the run's reported length.
void CollectRun(const CardHand& hand, int start, int length, bool sameSuit, CardHand& cards)
{
    const int first = hand.cards[start];
    const int firstSuit = CardSuit(first);
    cards.AddCard(first);
    int currentRank = CardRank(first);
    for (int k = start; k < hand.count; ++k) {
        const int card = hand.cards[k];
        const int rank = CardRank(card);
        if ((!sameSuit || CardSuit(card) == firstSuit) && ContinuesRun(currentRank, rank)) {
            cards.AddCard(card);
            currentRank = rank;
        }
        if (k == hand.count - 1 && currentRank == kKing && cards.count < length) {
            // The ace that the run counted after the king.
            for (int a = 0; a < hand.count; ++a) {
                const int ace = hand.cards[a];
                if (!sameSuit || (CardRank(ace) == kAce && CardSuit(ace) == firstSuit)) {
                    cards.AddCard(ace);
                    break;
                }
            }
        }
    }
}

// Raise best and start to the longest run of consecutive ranks that beats best.
void LongestRankRun(CardHand& hand, int& best, int& start)
{
    LongestRun(hand, kByRank, best, start);
}

// The same over runs within one suit.
void LongestSuitRun(CardHand& hand, int& best, int& start)
{
    LongestRun(hand, kByValue, best, start);
}

}  // namespace

int FindStraight(CardHand& hand, CardHand& straightCards)
{
    straightCards.Clear();
    straightCards.capacity = hand.capacity;

    int rankBest = 1;
    int rankStart = 0;
    LongestRankRun(hand, rankBest, rankStart);
    CollectRun(hand, rankStart, rankBest, false, straightCards);

    int suitBest = 1;
    int suitStart = 0;
    LongestSuitRun(hand, suitBest, suitStart);
    if (suitBest >= 5) {
        straightCards.Clear();
        CollectRun(hand, suitStart, suitBest, true, straightCards);
    }
    return rankBest >= 5;
}

int CountTriples(CardHand& hand, int& rank)
{
    hand.Sort(kAscending, kByRank);
    int ranks[CardHand::kSlots];
    HeldRanks(hand, ranks);
    rank = 0;
    int triples = 0;
    for (int i = 0; i < hand.count; ++i) {
        int same = 0;
        for (int j = i + 1; j < hand.count; ++j) {
            if (ranks[j] == ranks[i] && ++same == 2) {
                rank = ranks[j];
                ++triples;
                break;
            }
        }
    }
    return triples;
}

int CountPairs(CardHand& hand)
{
    int tripleRank = 0;
    if (CountTriples(hand, tripleRank) > 1)
        return 0;
    hand.Sort(kAscending, kByRank);
    int ranks[CardHand::kSlots];
    HeldRanks(hand, ranks);
    int pairs = 0;
    int i = 0;
    while (i < hand.count - 1) {
        const int rank = ranks[i];
        if (rank != tripleRank && ranks[i + 1] == rank) {
            ++pairs;
            i += 2;
        } else {
            ++i;
        }
    }
    return pairs;
}

// The other tests EvaluateHand is built from, on the same terms.
namespace {

int IsFlush(CardHand& hand)
{
    int perSuit[kNoSuit + 1] = {};
    for (int i = 0; i < hand.count; ++i)
        ++perSuit[CardSuit(hand.cards[i])];
    int most = 0;
    for (int suit = 0; suit < kNoSuit; ++suit) {
        if (perSuit[suit] > most)
            most = perSuit[suit];
    }
    return most >= 5;
}

int IsRoyalFlush(CardHand& hand)
{
    CardHand run;
    if (!FindStraight(hand, run))
        return 0;
    if (!IsFlush(run))
        return 0;
    run.Sort(kAscending, kByRank);
    return CardRank(run.cards[0]) == kAce && CardRank(run.cards[run.count - 1]) == kKing;
}

int IsStraightFlush(CardHand& hand)
{
    CardHand run;
    return FindStraight(hand, run) && IsFlush(run);
}

int FindFourOfAKind(CardHand& hand)
{
    int ranks[CardHand::kSlots];
    HeldRanks(hand, ranks);
    for (int i = 0; i < hand.count; ++i) {
        int same = 0;
        for (int j = i + 1; j < hand.count; ++j) {
            if (ranks[j] == ranks[i] && ++same == 3)
                return 1;
        }
    }
    return 0;
}

int IsFullHouse(CardHand& hand)
{
    int rank = 0;
    const int triples = CountTriples(hand, rank);
    if (triples == 2)
        return 1;
    if (triples == 1)
        return CountPairs(hand) != 0;
    return 0;
}

}  // namespace

int EvaluateHand(const CardHand& hand)
{
    CardHand work;
    work = hand;
    work.Sort(kAscending, kByRank);

    if (IsRoyalFlush(work))
        return kRoyalFlush;
    if (IsStraightFlush(work))
        return kStraightFlush;
    if (FindFourOfAKind(work))
        return kFourOfAKind;
    if (IsFullHouse(work))
        return kFullHouse;
    if (IsFlush(work))
        return kFlush;
    CardHand straightCards;
    if (FindStraight(work, straightCards))
        return kStraight;
    int rank = 0;
    if (CountTriples(work, rank) >= 1)
        return kThreeOfAKind;
    const int pairs = CountPairs(work);
    if (pairs >= 2)
        return kTwoPair;
    if (pairs == 1)
        return kPair;
    return kNothing;
}

int ScoreHand(const CardHand& hand, wchar_t* text)
{
    const CategoryScore& score = kScores[EvaluateHand(hand)];
    wcscpy(text, score.text);
    return score.payout;
}
