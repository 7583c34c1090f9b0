#include "hand.h"

#include "card.h"

CardHand::CardHand() : count(0), capacity(0)
{
    Clear();
}

CardHand::CardHand(const CardHand& other) : CardHand()
{
    *this = other;
}

CardHand& CardHand::operator=(const CardHand& other)
{
    Clear();
    count = other.count;
    capacity = other.capacity;
    for (int i = 0; i < HeldCount(); ++i)
        cards[i] = other.cards[i];
    return *this;
}

int CardHand::Clear()
{
    for (int i = 0; i < kSlots; ++i)
        cards[i] = kEmptyCard;
    count = 0;
    return 1;
}

int CardHand::AddCard(int value)
{
    // Bounded by the slots too: capacity is public and may hold anything.
    if (count < 0 || count >= capacity || count >= kSlots)
        return 0;
    cards[count] = value;
    ++count;
    return 1;
}

int CardHand::RemoveCard(int value)
{
    const int held = HeldCount();
    int found = 0;
    while (found < held && cards[found] != value)
        ++found;
    if (found == held)
        return 0;
    for (int i = found; i < held - 1; ++i)
        cards[i] = cards[i + 1];
    cards[held - 1] = kEmptyCard;
    count = held - 1;
    return 1;
}

void CardHand::Sort(int ascending, int byValue)
{
    const int held = HeldCount();
    for (int pass = 0; pass < held - 1; ++pass) {
        for (int j = 0; j < held - 1; ++j) {
            int left = byValue ? cards[j] : CardRank(cards[j]);
            int right = byValue ? cards[j + 1] : CardRank(cards[j + 1]);
            if (ascending ? left > right : left < right) {
                int card = cards[j];
                cards[j] = cards[j + 1];
                cards[j + 1] = card;
            }
        }
    }
}

int CardHand::HeldCount() const
{
    if (count < 0)
        return 0;
    return count < kSlots ? count : kSlots;
}
