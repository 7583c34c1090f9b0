#pragma once

#include "cards/hand.h"

// Every five-card hand, in the order the ARM tests number them: ascending
// card values, the last card moving fastest (as Python's
// itertools.combinations gives them).
const int kEveryHandCount = 2598960;

// Calls visit(index, hand) for each hand.
template <typename Visit>
void ForEachHand(Visit visit)
{
    int index = 0;
    CardHand hand;
    for (int a = 1; a <= 48; ++a)
        for (int b = a + 1; b <= 49; ++b)
            for (int c = b + 1; c <= 50; ++c)
                for (int d = c + 1; d <= 51; ++d)
                    for (int e = d + 1; e <= 52; ++e, ++index) {
                        hand.Clear();
                        hand.capacity = 5;
                        const int cards[] = {a, b, c, d, e};
                        for (int card : cards)
                            hand.AddCard(card);
                        visit(index, hand);
                    }
}

// What the host answers for one hand.
struct HandResult {
    short category;
    short payout;
};
