#pragma once

// A fixed-size list of cards: the held cards are slots 0..count-1, every
// other slot is kEmptyCard. Operations answer 1 on success, 0 on failure.
struct CardHand {
    static constexpr int kSlots = 27;

    int cards[kSlots];
    int count;
    int capacity;  // the largest count AddCard reaches; owners set it directly

    CardHand();
    CardHand(const CardHand& other);
    CardHand& operator=(const CardHand& other);

    int Clear();
    int AddCard(int value);
    int RemoveCard(int value);
    // Stable bubble sort of the held cards, by value or by CardRank.
    void Sort(int ascending, int byValue);

private:
    // count as far as it can index the slots; the fields are public, so a
    // caller may have set it to anything.
    int HeldCount() const;
};
