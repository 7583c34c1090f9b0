#include "deck.h"

#include "card.h"
#include "runtime.h"

CardDeck::CardDeck() : nextIndex(0), count(kCardsInDeck), shuffleCount(1)
{
    Reset();
}

void CardDeck::Reset()
{
    nextIndex = 0;
    count = kCardsInDeck;
    for (int i = 0; i < kSlots; ++i)
        cards[i] = kEmptyCard;
    for (int i = 0; i < kCardsInDeck; ++i)
        cards[i] = i + 1;
}

unsigned int ShuffleSeed(unsigned int shuffleNumber, const SYSTEMTIME& time)
{
    const unsigned int factors[] = {time.wDay, time.wMonth, time.wMinute, time.wSecond, time.wHour};
    unsigned int seed = shuffleNumber;
    for (unsigned int factor : factors) {
        if (factor != 0)
            seed *= factor;
    }
    return seed;
}

void CardDeck::Shuffle()
{
    Reset();
    SYSTEMTIME now;
    GetLocalTime(&now);
    SeedRandom(ShuffleSeed(shuffleCount++, now));
    // One pass; the partner comes from the whole deck, as the device deals.
    for (int i = 0; i < count; ++i) {
        int j = NextRandom() % count;
        int card = cards[i];
        cards[i] = cards[j];
        cards[j] = card;
    }
}

int CardDeck::DealCard()
{
    if (nextIndex < 0 || nextIndex >= count || nextIndex >= kCardsInDeck)
        return kEmptyCard;
    return cards[nextIndex++];
}
