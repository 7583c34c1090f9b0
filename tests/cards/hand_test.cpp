#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "cards/card.h"
#include "cards/hand.h"

namespace {

CardHand HandOf(std::initializer_list<int> values, int capacity = 5)
{
    CardHand hand;
    hand.capacity = capacity;
    for (int value : values)
        hand.AddCard(value);
    return hand;
}

std::vector<int> Held(const CardHand& hand)
{
    return std::vector<int>(hand.cards, hand.cards + hand.count);
}

void ExpectEmptyFrom(const CardHand& hand, int slot)
{
    for (int i = slot; i < CardHand::kSlots; ++i)
        EXPECT_EQ(hand.cards[i], kEmptyCard) << "slot " << i;
}

TEST(Card, RankAndSuitOfEveryKindOfValue)
{
    struct Case {
        int value, rank, suit;
    };
    const Case cases[] = {
        {1, 1, kClubs},      {13, 13, kClubs},     {14, 1, kDiamonds}, {26, 13, kDiamonds},
        {27, 1, kHearts},    {39, 13, kHearts},    {40, 1, kSpades},   {52, 13, kSpades},
        {10, 10, kClubs},    {49, 10, kSpades},    {0, 13, kNoSuit},   {53, 1, kNoSuit},
        {-1, -1, kNoSuit},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CardRank(c.value), c.rank) << c.value;
        EXPECT_EQ(CardSuit(c.value), c.suit) << c.value;
    }
}

TEST(CardHand, AcceptsCardsOnlyUpToItsCapacity)
{
    CardHand hand;
    EXPECT_EQ(hand.AddCard(7), 0) << "a new hand has capacity 0";
    EXPECT_EQ(hand.count, 0);

    hand.capacity = 5;
    for (int value = 1; value <= 5; ++value)
        EXPECT_EQ(hand.AddCard(value), 1);
    EXPECT_EQ(hand.AddCard(6), 0);
    EXPECT_EQ(Held(hand), (std::vector<int>{1, 2, 3, 4, 5}));
    ExpectEmptyFrom(hand, 5);

    EXPECT_EQ(hand.Clear(), 1);
    EXPECT_EQ(hand.count, 0);
    EXPECT_EQ(hand.capacity, 5);
    ExpectEmptyFrom(hand, 0);
    for (int value = 1; value <= 5; ++value)
        EXPECT_EQ(hand.AddCard(value), 1) << "Clear keeps the capacity";
}

TEST(CardHand, NeverWritesPastItsSlotsWhateverTheCapacity)
{
    for (int capacity : {CardHand::kSlots, CardHand::kSlots + 1, 1000}) {
        CardHand hand;
        hand.capacity = capacity;
        for (int i = 0; i < CardHand::kSlots; ++i)
            EXPECT_EQ(hand.AddCard(i + 1), 1);
        EXPECT_EQ(hand.AddCard(99), 0);
        EXPECT_EQ(hand.count, CardHand::kSlots);
        EXPECT_EQ(hand.capacity, capacity);
        EXPECT_EQ(hand.cards[CardHand::kSlots - 1], CardHand::kSlots);
    }
    CardHand corrupt;
    corrupt.capacity = 5;
    corrupt.count = -3;
    EXPECT_EQ(corrupt.AddCard(1), 0);
}

TEST(CardHand, RemoveClosesTheGap)
{
    struct Case {
        std::initializer_list<int> held;
        int value;
        int answer;
        std::vector<int> after;
    };
    const Case cases[] = {
        {{10, 20, 30, 40, 50}, 10, 1, {20, 30, 40, 50}},
        {{10, 20, 30, 40, 50}, 50, 1, {10, 20, 30, 40}},
        {{10, 20, 30, 40, 50}, 30, 1, {10, 20, 40, 50}},
        {{10, 20, 10}, 10, 1, {20, 10}},
        {{10, 20, 30}, 31, 0, {10, 20, 30}},
        {{}, 10, 0, {}},
        {{}, kEmptyCard, 0, {}},
    };
    for (const Case& c : cases) {
        CardHand hand = HandOf(c.held);
        EXPECT_EQ(hand.RemoveCard(c.value), c.answer);
        EXPECT_EQ(Held(hand), c.after);
        ExpectEmptyFrom(hand, hand.count);
    }
}

TEST(CardHand, SortIsStableByRankAndByValue)
{
    struct Case {
        std::initializer_list<int> held;
        int ascending, byValue;
        std::vector<int> after;
    };
    const Case cases[] = {
        // Aces first in their held order, the king last.
        {{27, 13, 1}, 1, 0, {27, 1, 13}},
        {{27, 13, 1}, 1, 1, {1, 13, 27}},
        {{27, 13, 1}, 0, 1, {27, 13, 1}},
        {{1, 27, 13}, 0, 0, {13, 1, 27}},
        {{45, 6, 19, 32, 2}, 1, 0, {2, 45, 6, 19, 32}},
        {{45, 6, 19, 32, 2}, 0, 0, {45, 6, 19, 32, 2}},
        {{}, 1, 0, {}},
    };
    for (const Case& c : cases) {
        CardHand hand = HandOf(c.held);
        hand.Sort(c.ascending, c.byValue);
        EXPECT_EQ(Held(hand), c.after);
    }
}

TEST(CardHand, AssignmentCopiesTheHeldCardsAndEmptiesTheRest)
{
    CardHand source = HandOf({5, 6, 7}, 9);
    CardHand target = HandOf({1, 2, 3, 4, 5, 6, 7, 8}, 20);
    target = source;
    EXPECT_EQ(target.count, 3);
    EXPECT_EQ(target.capacity, 9);
    EXPECT_EQ(Held(target), (std::vector<int>{5, 6, 7}));
    ExpectEmptyFrom(target, 3);
}

}  // namespace
