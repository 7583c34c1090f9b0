#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cards/card.h"
#include "cards/deck.h"
#include "cards/runtime.h"
#include "tests/support/fixed_clock.h"

namespace {

SYSTEMTIME TimeOf(int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    time.wMilliseconds = 999;
    return time;
}

std::vector<int> Deal(CardDeck& deck, int cards)
{
    std::vector<int> dealt;
    for (int i = 0; i < cards; ++i)
        dealt.push_back(deck.DealCard());
    return dealt;
}

TEST(CardDeck, ResetDealsTheCardsInOrder)
{
    CardDeck deck;
    EXPECT_EQ(deck.count, 52);
    EXPECT_EQ(deck.shuffleCount, 1u);
    EXPECT_EQ(Deal(deck, 4), (std::vector<int>{1, 2, 3, 4}));
    deck.Reset();
    EXPECT_EQ(deck.nextIndex, 0);
    EXPECT_EQ(deck.cards[52], kEmptyCard);
    EXPECT_EQ(deck.cards[53], kEmptyCard);
    std::vector<int> all = Deal(deck, 52);
    for (int i = 0; i < 52; ++i)
        EXPECT_EQ(all[i], i + 1);
}

TEST(CardDeck, AnExhaustedDeckDealsTheEmptyMarker)
{
    CardDeck deck;
    Deal(deck, 52);
    EXPECT_EQ(deck.DealCard(), kEmptyCard);
    EXPECT_EQ(deck.DealCard(), kEmptyCard);
    EXPECT_EQ(deck.nextIndex, 52);
    deck.nextIndex = -1;
    EXPECT_EQ(deck.DealCard(), kEmptyCard);
}

TEST(ShuffleSeed, MultipliesTheNonzeroFieldsOfTheTime)
{
    struct Case {
        unsigned int shuffle;
        SYSTEMTIME time;
        unsigned int seed;
    };
    const Case cases[] = {
        {1, TimeOf(1, 1, 0, 0, 0), 1},
        {1, TimeOf(3, 5, 0, 0, 30), 450},
        {3, TimeOf(12, 13, 14, 25, 36), 5896800},
        {1000, TimeOf(12, 31, 23, 59, 59), 4013632224u},  // 29,783,436,000 wrapped
        {7, TimeOf(6, 2, 0, 1, 0), 84},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShuffleSeed(c.shuffle, c.time), c.seed) << c.shuffle;
}

TEST(Generator, IsTheMicrosoftRuntimes)
{
    SeedRandom(1);
    const int fromOne[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int expected : fromOne)
        EXPECT_EQ(NextRandom(), expected);
    SeedRandom(42);
    const int fromFortyTwo[] = {175, 400, 17869};
    for (int expected : fromFortyTwo)
        EXPECT_EQ(NextRandom(), expected);
}

TEST(CardDeck, ShuffleDealsWhatTheSeedDeals)
{
    // Dealt by a separate model of the generator and the one-pass swap.
    struct Case {
        int month, day, hour, minute, second;
        unsigned int shuffle;
        std::vector<int> firstTen;
    };
    const Case cases[] = {
        {1, 1, 0, 0, 0, 1, {42, 9, 23, 10, 18, 21, 26, 31, 27, 5}},
        {12, 13, 14, 25, 36, 3, {7, 42, 50, 33, 20, 12, 9, 11, 47, 14}},
    };
    for (const Case& c : cases) {
        FixedClock clock(2026, c.month, c.day, c.hour, c.minute, c.second);
        CardDeck deck;
        deck.shuffleCount = c.shuffle;
        Deal(deck, 7);
        deck.Shuffle();
        EXPECT_EQ(deck.shuffleCount, c.shuffle + 1);
        EXPECT_EQ(deck.nextIndex, 0);
        EXPECT_EQ(Deal(deck, 10), c.firstTen);
    }
}

TEST(CardDeck, EveryShuffleIsAFreshPermutationWithItsOwnSeed)
{
    FixedClock clock(2026, 12, 13, 14, 25, 36);
    CardDeck deck;
    std::vector<int> previous;
    for (int shuffle = 1; shuffle <= 5; ++shuffle) {
        deck.Shuffle();
        std::vector<int> cards = Deal(deck, 52);
        EXPECT_NE(cards, previous) << "the same second, another seed";
        previous = cards;
        std::sort(cards.begin(), cards.end());
        for (int i = 0; i < 52; ++i)
            ASSERT_EQ(cards[i], i + 1);
        EXPECT_EQ(deck.cards[52], kEmptyCard);
    }
}

}  // namespace
