#pragma once

#include <initializer_list>
#include <vector>

#include "cards/hand.h"

inline CardHand HandOf(std::initializer_list<int> values, int capacity = 5)
{
    CardHand hand;
    hand.capacity = capacity;
    for (int value : values)
        hand.AddCard(value);
    return hand;
}

inline std::vector<int> Held(const CardHand& hand)
{
    return std::vector<int>(hand.cards, hand.cards + hand.count);
}
