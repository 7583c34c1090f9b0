#include <gtest/gtest.h>

#include <algorithm>

#include "cards/deck.h"
#include "cards/evaluate.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/hands.h"

namespace {

using Cards = std::vector<int>;

// The held cards, then whether every other slot is empty.
std::pair<Cards, bool> Slots(const CardHand& hand)
{
    return {Held(hand), std::all_of(hand.cards + hand.count, hand.cards + CardHand::kSlots,
                                    [](int card) { return card == kEmptyCard; })};
}

TEST(Card, RankAndSuitOfEveryKindOfValue)
{
    const int cases[][3] = {{1, 1, kClubs},    {13, 13, kClubs},  {14, 1, kDiamonds}, {26, 13, kDiamonds},
                            {27, 1, kHearts},  {39, 13, kHearts}, {40, 1, kSpades},   {52, 13, kSpades},
                            {49, 10, kSpades}, {0, 13, kNoSuit},  {53, 1, kNoSuit},   {-1, -1, kNoSuit}};
    for (const auto& c : cases)
        EXPECT_EQ(std::make_pair(CardRank(c[0]), CardSuit(c[0])), std::make_pair(c[1], c[2])) << c[0];
}

TEST(CardHand, AddsUpToItsCapacityAndNeverPastItsSlots)
{
    CardHand hand;
    EXPECT_EQ(hand.AddCard(7), 0) << "a new hand has capacity 0";
    hand.capacity = 5;
    for (int value = 1; value <= 6; ++value)
        EXPECT_EQ(hand.AddCard(value), value <= 5 ? 1 : 0);
    EXPECT_EQ(Slots(hand), std::make_pair(Cards{1, 2, 3, 4, 5}, true));
    EXPECT_EQ(hand.Clear(), 1);
    EXPECT_EQ(Slots(hand), std::make_pair(Cards{}, true));
    EXPECT_EQ(hand.capacity, 5) << "Clear keeps the capacity";
    CardHand big = HandOf({}, 1000);
    for (int i = 0; i <= CardHand::kSlots; ++i)
        EXPECT_EQ(big.AddCard(i + 1), i < CardHand::kSlots ? 1 : 0);
    hand.count = -3;
    EXPECT_EQ(hand.AddCard(1), 0);
    const CardHand copied = HandOf({5, 6, 7}, 9);
    big = copied;
    EXPECT_EQ(Slots(big), std::make_pair(Cards{5, 6, 7}, true)) << "assigned over a fuller hand";
    EXPECT_EQ(big.capacity, 9);
}

TEST(CardHand, RemovesTheFirstEqualCardAndClosesTheGap)
{
    const struct {
        std::initializer_list<int> held;
        int value, answer;
        Cards after;
    } cases[] = {
        {{10, 20, 30, 40, 50}, 10, 1, {20, 30, 40, 50}},
        {{10, 20, 30, 40, 50}, 50, 1, {10, 20, 30, 40}},
        {{10, 20, 30, 40, 50}, 30, 1, {10, 20, 40, 50}},
        {{10, 20, 10}, 10, 1, {20, 10}},
        {{10, 20, 30}, 31, 0, {10, 20, 30}},
        {{}, kEmptyCard, 0, {}},
    };
    for (const auto& c : cases) {
        CardHand hand = HandOf(c.held);
        EXPECT_EQ(hand.RemoveCard(c.value), c.answer);
        EXPECT_EQ(Slots(hand), std::make_pair(c.after, true));
    }
}

TEST(CardHand, SortsStablyByRankOrValue)
{
    const struct {
        std::initializer_list<int> held;
        int ascending, byValue;
        Cards after;
    } cases[] = {
        {{27, 13, 1}, 1, 0, {27, 1, 13}},
        {{27, 13, 1}, 1, 1, {1, 13, 27}},
        {{27, 13, 1}, 0, 1, {27, 13, 1}},
        {{1, 27, 13}, 0, 0, {13, 1, 27}},
        {{45, 6, 19, 32, 2}, 1, 0, {2, 45, 6, 19, 32}},
        {{45, 6, 19, 32, 2}, 0, 0, {45, 6, 19, 32, 2}},
    };
    for (const auto& c : cases) {
        CardHand hand = HandOf(c.held);
        hand.Sort(c.ascending, c.byValue);
        EXPECT_EQ(Held(hand), c.after);
    }
}

Cards Deal(CardDeck& deck, int cards)
{
    Cards dealt;
    for (int i = 0; i < cards; ++i)
        dealt.push_back(deck.DealCard());
    return dealt;
}

// Dealt in order after a reset: the shuffle test below, whose deck is
// dealt from first.
TEST(CardDeck, GivesTheEmptyMarkerOnceDealtOutOrBeforeItsStart)
{
    CardDeck deck;
    Deal(deck, 52);
    EXPECT_EQ(deck.DealCard(), kEmptyCard);
    EXPECT_EQ(deck.nextIndex, 52);
    deck.nextIndex = -1;
    EXPECT_EQ(deck.DealCard(), kEmptyCard);
}

TEST(CardDeck, SeedsAndShufflesAsTheDeviceDoes)
{
    const struct {
        unsigned shuffle;
        WORD month, day, hour, minute, second;
        unsigned seed;
    } seeds[] = {{1, 1, 1, 0, 0, 0, 1},
                 {1, 3, 5, 0, 0, 30, 450},
                 {3, 12, 13, 14, 25, 36, 5896800},
                 {1000, 12, 31, 23, 59, 59, 4013632224u},  // wrapped
                 {7, 6, 2, 0, 1, 0, 84}};
    for (const auto& s : seeds) {
        SYSTEMTIME time = {2026, s.month, 0, s.day, s.hour, s.minute, s.second, 999};
        EXPECT_EQ(ShuffleSeed(s.shuffle, time), s.seed) << s.shuffle;
    }
    // The first ten cards, dealt by a separate model of the generator and the swap pass.
    const struct {
        int month, day, hour, minute, second;
        unsigned shuffle;
        Cards firstTen;
    } deals[] = {{1, 1, 0, 0, 0, 1, {42, 9, 23, 10, 18, 21, 26, 31, 27, 5}},
                 {12, 13, 14, 25, 36, 3, {7, 42, 50, 33, 20, 12, 9, 11, 47, 14}}};
    for (const auto& d : deals) {
        FixedClock clock(2026, d.month, d.day, d.hour, d.minute, d.second);
        CardDeck deck;
        deck.shuffleCount = d.shuffle;
        Deal(deck, 7);
        deck.Shuffle();
        EXPECT_EQ(deck.shuffleCount, d.shuffle + 1);
        EXPECT_EQ(Deal(deck, 10), d.firstTen);
        Cards rest = Deal(deck, 42);
        rest.insert(rest.end(), d.firstTen.begin(), d.firstTen.end());
        std::sort(rest.begin(), rest.end());
        for (int i = 0; i < 52; ++i)
            ASSERT_EQ(rest[i], i + 1) << "a whole deck";
    }
}

TEST(ScoreHand, NamesAndPaysEachKindOfHandAndLeavesItAsItWas)
{
    const struct {
        std::initializer_list<int> cards;
        int category;
        const wchar_t* text;
        int payout;
    } cases[] = {
        {{1, 15, 29, 43, 5}, kStraight, L"Straight", 4},    // ace low
        {{23, 11, 38, 52, 14}, kStraight, L"Straight", 4},  // ace high
        {{12, 26, 27, 41, 3}, kNothing, L"Nothing!", 0},    // no wrap round
        {{40, 52, 51, 50, 49}, kRoyalFlush, L"Ryl. Flush", 250},
        {{27, 28, 29, 30, 31}, kStraightFlush, L"Str. Flush", 50},  // ace to five
        {{9, 10, 11, 12, 13}, kStraightFlush, L"Str. Flush", 50},
        {{28, 30, 33, 35, 39}, kFlush, L"Flush", 5},
        {{13, 26, 39, 7, 20}, kFullHouse, L"Full House", 7},
        {{7, 20, 33, 46, 13}, kFourOfAKind, L"4 of Kind", 20},
        {{1, 14, 27, 40, 2}, kFourOfAKind, L"4 of Kind", 20},
        {{5, 18, 31, 9, 50}, kThreeOfAKind, L"3 of Kind", 3},
        {{5, 18, 9, 22, 50}, kTwoPair, L"Two Pair", 2},
        {{1, 14, 9, 25, 50}, kPair, L"Pair", 0},
        {{2, 16, 30, 45, 7}, kNothing, L"Nothing!", 0},
    };
    for (const auto& c : cases) {
        CardHand hand = HandOf(c.cards);
        const Cards before = Held(hand);
        wchar_t text[40] = L"untouched";
        EXPECT_EQ(EvaluateHand(hand), c.category) << before[0] << "," << before[1];
        EXPECT_EQ(ScoreHand(hand, text), c.payout) << before[0] << "," << before[1];
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(Held(hand), before);
    }
}

TEST(FindStraight, ReportsTheRunInOrderWhateverTheHandsOrder)
{
    const struct {
        std::initializer_list<int> cards;
        Cards run;
    } cases[] = {
        {{23, 11, 38, 52, 14}, {23, 11, 38, 52, 14}},  // ten to king, then the ace
        {{5, 4, 3, 2, 1}, {1, 2, 3, 4, 5}},
        {{40, 52, 51, 50, 49}, {49, 50, 51, 52, 40}},
    };
    for (const auto& c : cases) {
        CardHand hand = HandOf(c.cards), run;
        EXPECT_EQ(FindStraight(hand, run), 1);
        EXPECT_EQ(Held(run), c.run);
    }
}

}  // namespace
