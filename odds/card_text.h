#pragma once

#include <string>

namespace odds {

// "AC", "10H", "QS".
std::string CardName(int card);

// Five different cards from the words of a command line; on failure, false
// and a message that says what is wrong.
bool ParseHand(int count, char** words, int* cards, std::string& error);

}  // namespace odds
