#include "card.h"

int CardRank(int value)
{
    int rank = value % 13;
    return rank != 0 ? rank : 13;
}

int CardSuit(int value)
{
    if (value >= 1 && value <= 13)
        return kClubs;
    if (value >= 14 && value <= 26)
        return kDiamonds;
    if (value >= 27 && value <= 39)
        return kHearts;
    if (value >= 40 && value <= 52)
        return kSpades;
    return kNoSuit;
}
