#include "hand.h"

#include "card.h"

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
    // Each card's key once, not once for every comparison; negated for a
    // descending sort, so that one comparison serves both.
    int keys[kSlots];
    for (int i = 0; i < held; ++i) {
        const int key = byValue ? cards[i] : CardRank(cards[i]);
        keys[i] = ascending ? key : -key;
    }
    // Each card moves left past the cards whose keys are strictly greater
    // than its own: the order a stable bubble sort ends in, equal keys in
    // the order they were held, with fewer comparisons.
    for (int i = 1; i < held; ++i) {
        const int key = keys[i];
        const int card = cards[i];
        int j = i;
        for (; j > 0 && keys[j - 1] > key; --j) {
            keys[j] = keys[j - 1];
            cards[j] = cards[j - 1];
        }
        keys[j] = key;
        cards[j] = card;
    }
}
