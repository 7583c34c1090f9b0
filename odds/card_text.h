#pragma once

#include <string>

namespace odds {

// A card as a player writes it: a rank (A, 2 to 10 or T, J, Q, K) and a suit
// (C, D, H, S), in either case, or the game's value 1 to 52. Answers the
// card (game value minus one) or -1.
int ParseCard(const std::string& text);

// "AC", "10H", "QS".
std::string CardName(int card);

// Five different cards from the words of a command line; on failure, false
// and a message that says what is wrong.
bool ParseHand(int count, char** words, int* cards, std::string& error);

}  // namespace odds
