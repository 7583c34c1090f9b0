// tolvane-odds: the exact return of Tolvane's game under the best play, the
// best discard for a hand, and the return of the device's own shuffle.
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "odds/card_text.h"
#include "odds/device_play.h"
#include "odds/game_return.h"
#include "odds/hand_draws.h"
#include "odds/parallel_tasks.h"
#include "odds/progress_report.h"
#include "odds/ratio_text.h"

namespace {

const char kUsage[] =
    "usage: tolvane-odds                      the game's return under the best play, exactly\n"
    "       tolvane-odds [--five] CARD x5     every hold of a hand with its expected payout\n"
    "       tolvane-odds [--five] --device N  N hands played as the device deals them\n"
    "A card is a rank (A, 2 to 10, J, Q, K) and a suit (C, D, H, S), as in QC or 10h,\n"
    "or the game's value 1 to 52. --five allows five discards instead of three.\n"
    "N is 1 to 100,000,000; a run longer than five seconds tells its progress on\n"
    "standard error.\n";

int Fail(const std::string& message)
{
    fprintf(stderr, "tolvane-odds: %s\n", message.c_str());
    return 2;
}

const char* LimitText(int maxDiscards)
{
    return maxDiscards == 3 ? "at most three discards" : "at most five discards";
}

void PrintPlay(const char* label, const odds::PlayTotals& totals, int64_t deals)
{
    printf("  %-16s %s\n", label, odds::RatioText(totals.payout, odds::GameReturn::Denominator(deals), true).c_str());
}

// A number of hands from 1 to kMostDeviceHands, in decimal digits alone.
bool ParseHands(const char* text, int64_t& hands)
{
    hands = 0;
    for (const char* digit = text; *digit; ++digit) {
        if (!isdigit(static_cast<unsigned char>(*digit)))
            return false;
        hands = hands * 10 + (*digit - '0');
        if (hands > odds::kMostDeviceHands)
            return false;
    }
    return hands >= 1;
}

int PrintGameReturn(std::chrono::steady_clock::time_point start)
{
    const int threads = odds::CoreCount();
    const odds::DrawTables tables(threads);
    const odds::GameReturn result = odds::ComputeGameReturn(tables, threads);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    printf("Return per dollar bet, exact over all %s deals (%s suit classes):\n",
           odds::GroupedText(result.deals).c_str(),
           odds::GroupedText(static_cast<int64_t>(tables.SuitClasses().size())).c_str());
    for (int rule = 0; rule < odds::kDiscardRules; ++rule) {
        const int limit = odds::kDiscardLimits[rule];
        printf("\nWith %s:\n", LimitText(limit));
        PrintPlay("best play", result.optimal[rule], result.deals);
        PrintPlay("never drawing", result.neverDrawing, result.deals);
        PrintPlay("the simple rule", result.simpleRule[rule], result.deals);
        printf("  final hands under the best play:\n");
        for (int c = odds::kCategories - 1; c >= 0; --c) {
            printf("    %-12ls %3d  %s\n", tables.Name(c), tables.Payout(c),
                   odds::PercentText(result.optimal[rule].finalHands[c], odds::GameReturn::Denominator(result.deals))
                       .c_str());
        }
    }
    printf("\nThe simple rule: %s.\n", odds::kSimpleRuleText);
    printf("Ties between holds go to the one that keeps more cards.\n");
    printf("Computed in %.2f s on %d threads.\n", seconds, threads);
    return 0;
}

std::string HoldText(const int* cards, int hold)
{
    std::string text;
    for (int i = 0; i < odds::kHandCards; ++i) {
        if (hold & (1 << i))
            text += (text.empty() ? "" : " ") + odds::CardName(cards[i]);
    }
    return text.empty() ? "nothing (draw five)" : text;
}

int PrintHand(const int* cards, int maxDiscards)
{
    const odds::HandKinds kinds;
    odds::HoldValues values;
    odds::CountHoldDraws(kinds, cards, maxDiscards, values);
    int holds[odds::kHolds];
    int count = 0;
    for (int hold = 0; hold < odds::kHolds; ++hold) {
        if (odds::HeldCards(hold) >= odds::kHandCards - maxDiscards)
            holds[count++] = hold;
    }
    // Best first, in the order that BestHold settles ties.
    std::sort(holds, holds + count, [&values](int a, int b) {
        const int64_t va = odds::ScaledValue(values, a), vb = odds::ScaledValue(values, b);
        if (va != vb)
            return va > vb;
        if (odds::HeldCards(a) != odds::HeldCards(b))
            return odds::HeldCards(a) > odds::HeldCards(b);
        return a < b;
    });
    const int best = odds::BestHold(values, maxDiscards);

    printf("%s, %s: %d holds, best first\n", HoldText(cards, odds::kHolds - 1).c_str(), LimitText(maxDiscards), count);
    printf("   %-22s %s\n", "hold", "expected payout");
    for (int i = 0; i < count; ++i) {
        const int hold = holds[i];
        printf(" %c %-22s %s\n", hold == best ? '*' : ' ', HoldText(cards, hold).c_str(),
               odds::RatioText(values.payoutSum[hold], odds::DrawsAfter(hold), false).c_str());
    }
    return 0;
}

int PrintDevicePlay(int64_t hands, int maxDiscards)
{
    const odds::DrawTables tables(odds::CoreCount());
    odds::ProgressReport report("hands", hands);
    const odds::DevicePlay play =
        odds::PlayOnDevice(tables, hands, maxDiscards, [&report](int64_t played) { report.Update(played); });
    const odds::GameReturn fair = odds::ComputeGameReturn(tables, odds::CoreCount());
    const int rule = maxDiscards == 3 ? 0 : 1;
    printf("%s hands as the device deals them, best play with %s:\n", odds::GroupedText(hands).c_str(),
           LimitText(maxDiscards));
    const SYSTEMTIME& start = odds::kDevicePlayStart;
    printf("  one device, never reset, clock from %04u-%02u-%02u %02u:%02u:%02u, 4 to 15 s a hand\n", start.wYear,
           start.wMonth, start.wDay, start.wHour, start.wMinute, start.wSecond);
    printf("  return       %.4f per dollar, standard error %.4f\n", play.Return(), play.StandardError());
    printf("  a fair deck  %s\n",
           odds::RatioText(fair.optimal[rule].payout, odds::GameReturn::Denominator(fair.deals), true).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const auto start = std::chrono::steady_clock::now();
    int maxDiscards = 3;
    int64_t deviceHands = 0;
    std::vector<char*> cardWords;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if (!strcmp(word, "--help") || !strcmp(word, "-h")) {
            fputs(kUsage, stdout);
            return 0;
        }
        if (!strcmp(word, "--five")) {
            maxDiscards = 5;
        } else if (!strcmp(word, "--device")) {
            const std::string range =
                "--device takes a number of hands from 1 to " + odds::GroupedText(odds::kMostDeviceHands);
            if (i + 1 == argc)
                return Fail(range + "\n" + kUsage);
            if (!ParseHands(argv[++i], deviceHands))
                return Fail(range + ", not '" + argv[i] + "'");
        } else if (word[0] == '-' && word[1] == '-') {
            return Fail(std::string("unknown option ") + word + "\n" + kUsage);
        } else {
            cardWords.push_back(argv[i]);
        }
    }
    const int cardCount = static_cast<int>(cardWords.size());
    if (deviceHands && cardCount)
        return Fail("--device plays dealt hands; give it no cards");

    int cards[odds::kHandCards];
    std::string error;
    if (cardCount && !odds::ParseHand(cardCount, cardWords.data(), cards, error))
        return Fail(error);

    if (deviceHands)
        return PrintDevicePlay(deviceHands, maxDiscards);
    if (cardCount)
        return PrintHand(cards, maxDiscards);
    return PrintGameReturn(start);
}
