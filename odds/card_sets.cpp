#include "card_sets.h"

namespace odds {

int64_t Choose(int n, int k)
{
    if (k < 0 || n < k)
        return 0;
    int64_t result = 1;
    for (int i = 1; i <= k; ++i)
        result = result * (n - k + i) / i;
    return result;
}

namespace {

// Choose(n, k) for every card and every place in a set, looked up in the hot loops.
struct ChooseTable {
    int32_t value[kDeckCards + 1][kHandCards + 1];

    ChooseTable()
    {
        for (int n = 0; n <= kDeckCards; ++n)
            for (int k = 0; k <= kHandCards; ++k)
                value[n][k] = static_cast<int32_t>(Choose(n, k));
    }
};

const ChooseTable kChoose;

}  // namespace

int32_t SubsetIndex(const int* ascending, int count)
{
    int32_t index = 0;
    for (int i = 0; i < count; ++i)
        index += kChoose.value[ascending[i]][i + 1];
    return index;
}

void FirstSubset(int* ascending, int count)
{
    for (int i = 0; i < count; ++i)
        ascending[i] = i;
}

bool NextSubset(int* ascending, int count)
{
    for (int i = 0; i < count; ++i) {
        const int limit = i + 1 < count ? ascending[i + 1] : kDeckCards;
        if (ascending[i] + 1 < limit) {
            ++ascending[i];
            FirstSubset(ascending, i);
            return true;
        }
    }
    return false;
}

void FirstSubsetWithTop(int* ascending, int count, int top)
{
    FirstSubset(ascending, count - 1);
    ascending[count - 1] = top;
}

int SupersetSlots(const int* ascending, int count, int32_t* slots)
{
    // The cards below the added one keep their places, those above move up one.
    int32_t above = 0;
    for (int i = 0; i < count; ++i)
        above += kChoose.value[ascending[i]][i + 2];
    int32_t below = 0;
    int place = 0;
    int found = 0;
    for (int card = 0; card < kDeckCards; ++card) {
        if (place < count && ascending[place] == card) {
            above -= kChoose.value[card][place + 2];
            below += kChoose.value[card][place + 1];
            ++place;
        } else {
            slots[found++] = below + kChoose.value[card][place + 1] + above;
        }
    }
    return found;
}

}  // namespace odds
