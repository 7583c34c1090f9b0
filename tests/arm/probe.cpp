// ARM code that the emulator runs beside Tolvane.dll: loops that would be
// too slow as calls from the harness, and functions that show which calling
// standard the device build's compiler flags give. Built with those flags;
// it imports nothing.
#include "device/include/aygshell.h"
#include "device/include/todaycmn.h"
#include "cards/hand.h"

typedef int (*ScoreFunction)(const CardHand& hand, wchar_t* text);

extern "C" {

// The text ScoreHand copied last: its address tells which of the DLL's
// hand names it was.
const wchar_t* copiedText;

// Bound to the DLL's wcscpy import while hands are scored, so that the
// copy stays in ARM code: a stub of the harness per hand would take most
// of the time.
wchar_t* ProbeWcscpy(wchar_t* to, const wchar_t* from)
{
    copiedText = from;
    wchar_t* at = to;
    while ((*at++ = *from++) != 0) {
    }
    return to;
}

// What ScoreHand answers for one hand: the name it gave and the payout.
struct ScoreAnswer {
    const wchar_t* text;
    int payout;
};

// The DLL's own ScoreHand, at the address the harness found it, on count
// hands of five cards each.
void ScoreHands(ScoreFunction score, const signed char* cards, int count, ScoreAnswer* answers)
{
    wchar_t text[16];
    CardHand hand;
    for (int i = 0; i < count; ++i, cards += 5) {
        hand.Clear();
        hand.capacity = 5;
        for (int c = 0; c < 5; ++c)
            hand.AddCard(cards[c]);
        answers[i].payout = score(hand, text);
        answers[i].text = copiedText;
    }
}

// On CE a 64-bit argument after an int travels in r1:r2 (AAPCS: r2:r3).
long long ProbeAddWide(int small, long long wide)
{
    return wide + small;
}

// CE returns every struct, even one word, through a hidden pointer in r0.
struct ProbeWord {
    int value;
};
ProbeWord ProbeMakeWord(int value)
{
    ProbeWord word = {value};
    return word;
}

enum ProbeEnum { kProbeEnumValue = 1 };

// Sizes of the records the item passes, as the device's headers fix them.
extern const int kProbeSizes[] = {
    sizeof(wchar_t), sizeof(ProbeEnum), sizeof(TODAYLISTITEM), sizeof(SYSTEMTIME), sizeof(WNDCLASSW),
    sizeof(LOGFONTW), sizeof(SHMENUBARINFO), sizeof(OSVERSIONINFOW),
};
}
