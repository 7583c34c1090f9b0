#include "card_text.h"

#include <ctype.h>
#include <stdlib.h>

#include "odds/card_sets.h"

namespace odds {

namespace {

const char kRankNames[][3] = {"A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"};
const char kSuitLetters[] = "CDHS";  // the order of the game's blocks

int RankFromText(const std::string& text)
{
    if (text == "T" || text == "t")
        return 9;
    for (int rank = 0; rank < 13; ++rank) {
        const std::string name = kRankNames[rank];
        if (text.size() == name.size() && toupper(static_cast<unsigned char>(text[0])) == name[0] &&
            (text.size() == 1 || text[1] == name[1]))
            return rank;
    }
    return -1;
}

// A card as a player writes it: a rank (A, 2 to 10 or T, J, Q, K) and a suit
// (C, D, H, S), in either case, or the game's value 1 to 52. Answers the
// card (game value minus one) or -1.
int ParseCard(const std::string& text)
{
    if (text.empty() || text.size() > 3)
        return -1;
    if (isdigit(static_cast<unsigned char>(text.back()))) {
        for (char c : text) {
            if (!isdigit(static_cast<unsigned char>(c)))
                return -1;
        }
        const int value = atoi(text.c_str());
        return value >= 1 && value <= kDeckCards ? value - 1 : -1;
    }
    const char suitLetter = static_cast<char>(toupper(static_cast<unsigned char>(text.back())));
    int suit = -1;
    for (int s = 0; s < 4; ++s) {
        if (kSuitLetters[s] == suitLetter)
            suit = s;
    }
    const int rank = RankFromText(text.substr(0, text.size() - 1));
    return suit >= 0 && rank >= 0 ? suit * 13 + rank : -1;
}

}  // namespace

std::string CardName(int card)
{
    return std::string(kRankNames[CardRankIndex(card)]) + kSuitLetters[ClubsFirstSuit(card)];
}

bool ParseHand(int count, char** words, int* cards, std::string& error)
{
    if (count != kHandCards) {
        error = "a hand is five cards; " + std::to_string(count) + (count == 1 ? " was" : " were") + " given";
        return false;
    }
    for (int i = 0; i < count; ++i) {
        cards[i] = ParseCard(words[i]);
        if (cards[i] < 0) {
            error = std::string("'") + words[i] +
                    "' is not a card: write a rank (A, 2 to 10, J, Q, K) and a suit (C, D, H, S), "
                    "as in QC or 10h, or the game's value 1 to 52";
            return false;
        }
        for (int j = 0; j < i; ++j) {
            if (cards[j] == cards[i]) {
                error = CardName(cards[i]) + " is in the hand twice";
                return false;
            }
        }
    }
    return true;
}

}  // namespace odds
