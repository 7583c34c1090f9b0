#pragma once

#include "card.h"

// Sort's arguments by name; any nonzero value counts as the second of each.
enum SortOrder { kDescending = 0, kAscending = 1 };
enum SortKey { kByRank = 0, kByValue = 1 };

// A fixed-size list of cards: the held cards are slots 0..count-1, every
// other slot is kEmptyCard. Operations answer 1 on success, 0 on failure.
struct CardHand {
    static constexpr int kSlots = 27;

    int cards[kSlots];
    int count;
    int capacity;  // the largest count AddCard reaches; owners set it directly

    CardHand() : count(0), capacity(0) { Clear(); }
    CardHand(const CardHand& other) : CardHand() { *this = other; }
    CardHand& operator=(const CardHand& other)
    {
        Clear();
        count = other.count;
        capacity = other.capacity;
        for (int i = 0; i < HeldCount(); ++i)
            cards[i] = other.cards[i];
        return *this;
    }

    int Clear()
    {
        for (int& card : cards)
            card = kEmptyCard;
        count = 0;
        return 1;
    }
    int AddCard(int value)
    {
        // Bounded by the slots too: capacity is public and may hold anything.
        if (count < 0 || count >= capacity || count >= kSlots)
            return 0;
        cards[count++] = value;
        return 1;
    }
    int RemoveCard(int value);
    // Stable sort of the held cards, by value or by CardRank: the order the
    // device's bubble sort gives.
    void Sort(int ascending, int byValue);

private:
    // count as far as it can index the slots; the fields are public, so a
    // caller may have set it to anything.
    int HeldCount() const
    {
        if (count < 0)
            return 0;
        return count < kSlots ? count : kSlots;
    }
};
