#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>
#include <wchar.h>

#include "cards/evaluate.h"

namespace {

// Clubs 1..13, diamonds 14..26, hearts 27..39, spades 40..52; ace first.
CardHand HandOf(std::initializer_list<int> values)
{
    CardHand hand;
    hand.capacity = 5;
    for (int value : values)
        hand.AddCard(value);
    return hand;
}

std::vector<int> Held(const CardHand& hand)
{
    return std::vector<int>(hand.cards, hand.cards + hand.count);
}

TEST(ScoreHand, NamesAndPaysEachKindOfHand)
{
    struct Case {
        std::initializer_list<int> cards;
        int category;
        const wchar_t* text;
        int payout;
    };
    const Case cases[] = {
        {{1, 15, 29, 43, 5}, kStraight, L"Straight", 4},    // ace low
        {{23, 11, 38, 52, 14}, kStraight, L"Straight", 4},  // ace high
        {{12, 26, 27, 41, 3}, kNothing, L"Nothing!", 0},    // no wrap round
        {{49, 50, 51, 52, 40}, kRoyalFlush, L"Ryl. Flush", 250},
        {{40, 52, 51, 50, 49}, kRoyalFlush, L"Ryl. Flush", 250},
        {{27, 28, 29, 30, 31}, kStraightFlush, L"Str. Flush", 50},  // ace to five
        {{9, 10, 11, 12, 13}, kStraightFlush, L"Str. Flush", 50},
        {{28, 30, 33, 35, 39}, kFlush, L"Flush", 5},
        {{13, 26, 39, 7, 20}, kFullHouse, L"Full House", 7},
        {{7, 20, 33, 46, 13}, kFourOfAKind, L"4 of Kind", 20},
        {{1, 14, 27, 40, 2}, kFourOfAKind, L"4 of Kind", 20},
        {{5, 18, 31, 9, 50}, kThreeOfAKind, L"3 of Kind", 3},
        {{5, 18, 9, 22, 50}, kTwoPair, L"Two Pair", 2},
        {{2, 15, 9, 25, 50}, kPair, L"Pair", 0},
        {{1, 14, 9, 25, 50}, kPair, L"Pair", 0},
        {{2, 16, 30, 45, 7}, kNothing, L"Nothing!", 0},
    };
    for (const Case& c : cases) {
        CardHand hand = HandOf(c.cards);
        const std::vector<int> before = Held(hand);
        wchar_t text[40] = L"untouched";
        EXPECT_EQ(EvaluateHand(hand), c.category) << before[0] << "," << before[1];
        EXPECT_EQ(ScoreHand(hand, text), c.payout) << before[0] << "," << before[1];
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(Held(hand), before) << "scoring leaves the hand as it was";
    }
}

TEST(EvaluateHand, EveryFiveCardHandFallsIntoItsKnownCategory)
{
    // The number of distinct five-card hands of each category.
    const long long known[] = {1302540, 1098240, 123552, 54912, 10200, 5108, 3744, 624, 36, 4};
    long long counted[10] = {};
    long long reorderedDiffers = 0;
    long long scoringChanged = 0;
    wchar_t text[40];
    for (int a = 1; a <= 52; ++a)
        for (int b = a + 1; b <= 52; ++b)
            for (int c = b + 1; c <= 52; ++c)
                for (int d = c + 1; d <= 52; ++d)
                    for (int e = d + 1; e <= 52; ++e) {
                        const CardHand inOrder = HandOf({a, b, c, d, e});
                        const int category = EvaluateHand(inOrder);
                        ++counted[category];
                        if (EvaluateHand(HandOf({e, d, c, b, a})) != category)
                            ++reorderedDiffers;
                        CardHand shuffled = HandOf({c, e, a, d, b});
                        const int payout = ScoreHand(shuffled, text);
                        if (shuffled.cards[0] != c || shuffled.cards[1] != e || shuffled.cards[2] != a ||
                            shuffled.cards[3] != d || shuffled.cards[4] != b)
                            ++scoringChanged;
                        if (ScoreHand(inOrder, text) != payout)
                            ++reorderedDiffers;
                    }
    for (int category = 0; category < 10; ++category)
        EXPECT_EQ(counted[category], known[category]) << "category " << category;
    EXPECT_EQ(reorderedDiffers, 0);
    EXPECT_EQ(scoringChanged, 0);
}

TEST(FindStraight, CollectsTheCardsOfTheRun)
{
    struct Case {
        std::initializer_list<int> cards;
        int answer;
        std::vector<int> run;
    };
    const Case cases[] = {
        {{23, 11, 38, 52, 14}, 1, {23, 11, 38, 52, 14}},  // ten to king, then the ace
        {{5, 4, 3, 2, 1}, 1, {1, 2, 3, 4, 5}},
        {{40, 52, 51, 50, 49}, 1, {49, 50, 51, 52, 40}},
        {{12, 26, 27, 41, 3}, 0, {27, 41, 3}},  // ace, two, three is the longest run
        {{2, 3, 16, 4, 5}, 0, {2, 3, 4, 5}},    // the duplicate three neither ends nor grows it
    };
    for (const Case& c : cases) {
        CardHand hand = HandOf(c.cards);
        CardHand run;
        EXPECT_EQ(FindStraight(hand, run), c.answer);
        EXPECT_EQ(Held(run), c.run);
        EXPECT_EQ(run.capacity, 5);
    }
}

TEST(CountTriples, ReportsHowManyAndTheLastRank)
{
    struct Case {
        std::initializer_list<int> cards;
        int triples, rank, pairs;
    };
    const Case cases[] = {
        {{7, 20, 33, 46, 13}, 2, 7, 0},   // four sevens hold no pairs
        {{13, 26, 39, 7, 20}, 1, 13, 1},  // full house: the pair beside the triple
        {{5, 18, 31, 9, 50}, 1, 5, 0},
        {{5, 18, 9, 22, 50}, 0, 0, 2},
        {{2, 16, 30, 45, 7}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        CardHand hand = HandOf(c.cards);
        int rank = -5;
        EXPECT_EQ(CountTriples(hand, rank), c.triples);
        EXPECT_EQ(rank, c.rank);
        EXPECT_EQ(CountPairs(hand), c.pairs);
    }
}

}  // namespace
