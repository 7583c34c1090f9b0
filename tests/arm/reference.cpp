// What the host build of the same sources answers, for the ARM tests to
// hold the device build to:
//   arm_reference hands CHOSEN FILE    the chosen hands' categories, payouts
//                                      and names
//   arm_reference game CLOCK MOVE...   a new item's rows under a fixed clock
// A row is printed after the first deal and after each move: m0 to m4 taps
// a card, b the button. It is what the row shows: each card's value or
// "back", the button, the status text and the wallet.
#include <stdio.h>
#include <string.h>

#include "cards/evaluate.h"
#include "game/game.h"
#include "game/game_session.h"
#include "resources/resource.h"
#include "tests/arm/every_hand.h"

namespace {

// The chosen hands' categories and payouts, from a file of one byte per
// hand (nonzero: chosen), in the order of ForEachHand; and on standard
// output the name ScoreHand gives each category met, one a line.
int WriteHands(const char* chosenPath, const char* path)
{
    static unsigned char chosen[kEveryHandCount];
    static HandResult results[kEveryHandCount];
    FILE* in = fopen(chosenPath, "rb");
    const bool read = in && fread(chosen, 1, sizeof(chosen), in) == sizeof(chosen);
    if (in)
        fclose(in);
    if (!read) {
        fprintf(stderr, "arm_reference: %s does not choose among %d hands\n", chosenPath, kEveryHandCount);
        return 2;
    }
    int count = 0;
    int named = 0;
    wchar_t text[16];
    ForEachHand([&](int index, const CardHand& hand) {
        if (!chosen[index])
            return;
        const int category = EvaluateHand(hand);
        results[count].category = static_cast<short>(category);
        results[count].payout = static_cast<short>(ScoreHand(hand, text));
        ++count;
        if (!(named >> category & 1))
            printf("%d %ls\n", category, text);
        named |= 1 << category;
    });
    FILE* file = fopen(path, "wb");
    if (!file || fwrite(results, sizeof(HandResult), count, file) != static_cast<size_t>(count) || fclose(file) != 0) {
        fprintf(stderr, "arm_reference: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

void PrintRow()
{
    GameSession& game = gameSession;
    printf("row");
    for (int position = 0; position < kHandSize; ++position) {
        if (game.discardMarks[position])
            printf(" back");
        else
            printf(" %d", game.hand.cards[position]);
    }
    printf(" | %s | %ls | $%d\n", game.awaitingDraw ? "draw" : "deal", game.statusText, game.wallet);
}

int PlayGame(const char* clock, char** moves, int count)
{
    SYSTEMTIME time = {};
    unsigned year, month, day, hour, minute, second;
    if (sscanf(clock, "%u-%u-%uT%u:%u:%u", &year, &month, &day, &hour, &minute, &second) != 6) {
        fprintf(stderr, "arm_reference: not a clock: %s\n", clock);
        return 2;
    }
    time.wYear = year, time.wMonth = month, time.wDay = day;
    time.wHour = hour, time.wMinute = minute, time.wSecond = second;
    FixLocalTime(&time);
    // A new item, as its initialisation leaves it.
    gameSession.wallet = kFullWallet;
    gameSession.cardBackIcon = IDI_FIRST_CARD_BACK;
    DealHand();
    PrintRow();
    for (int i = 0; i < count; ++i) {
        const char* move = moves[i];
        if (move[0] == 'm' && move[1] >= '0' && move[1] <= '4') {
            if (gameSession.awaitingDraw)
                ToggleDiscardMark(move[1] - '0');
        } else if (strcmp(move, "b") == 0) {
            if (gameSession.awaitingDraw)
                DrawCards();
            else
                DealHand();
        } else {
            fprintf(stderr, "arm_reference: not a move: %s\n", move);
            return 2;
        }
        PrintRow();
    }
    return 0;
}

}  // namespace

// The rows are printed after each move, not painted.
void RefreshItem()
{
}

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "hands") == 0)
        return WriteHands(argv[2], argv[3]);
    if (argc >= 3 && strcmp(argv[1], "game") == 0)
        return PlayGame(argv[2], argv + 3, argc - 3);
    fprintf(stderr, "usage: arm_reference hands CHOSEN FILE | game CLOCK MOVE...\n");
    return 2;
}
