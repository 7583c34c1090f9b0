#include "game.h"

#include <wchar.h>

#include "cards/evaluate.h"
#include "game_session.h"

namespace {

const int kBet = 1;

int DiscardLimit()
{
    return gameSession.fiveDiscards ? 5 : 3;
}

}  // namespace

void DealHand()
{
    GameSession& game = gameSession;
    game.wallet -= kBet;
    game.deck.Shuffle();
    game.hand.Clear();
    game.hand.capacity = kHandSize;
    for (int i = 0; i < kHandSize; ++i)
        game.hand.AddCard(game.deck.DealCard());
    game.hand.Sort(kAscending, kByRank);
    game.awaitingDraw = 1;
    wcscpy(game.statusText, L"Discard");
}

void ToggleDiscardMark(int position)
{
    GameSession& game = gameSession;
    if (position < 0 || position >= kHandSize)
        return;
    int& mark = game.discardMarks[position];
    if (mark != 0) {
        mark = 0;
        RefreshItem();
        return;
    }
    int marked = 0;
    for (int m : game.discardMarks) {
        if (m == 1)
            ++marked;
    }
    if (marked >= DiscardLimit())
        return;
    mark = 1;
    RefreshItem();
}

void DrawCards()
{
    GameSession& game = gameSession;
    // From the back, so a removal only moves cards already visited.
    int removed = 0;
    int last = game.hand.count < kHandSize ? game.hand.count : kHandSize;
    for (int p = last - 1; p >= 0; --p) {
        if (game.discardMarks[p] == 1) {
            game.hand.RemoveCard(game.hand.cards[p]);
            ++removed;
        }
    }
    for (int i = 0; i < removed; ++i)
        game.hand.AddCard(game.deck.DealCard());
    for (int& mark : game.discardMarks)
        mark = 0;
    game.wallet += ScoreHand(game.hand, game.statusText);
    game.awaitingDraw = 0;
    RefreshItem();
}
