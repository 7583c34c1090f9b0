#include <gtest/gtest.h>

#include <stdio.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "odds/card_text.h"
#include "odds/device_play.h"
#include "odds/game_return.h"
#include "odds/hand_draws.h"
#include "odds/ratio_text.h"

namespace {

using namespace odds;

const DrawTables& Tables()
{
    static const DrawTables tables(2);
    return tables;
}

// The hands of each category among all 2,598,960, as every poker text counts them.
const int64_t kKnownHands[kCategories] = {1302540, 1098240, 123552, 54912, 10200, 5108, 3744, 624, 36, 4};

TEST(DrawTables, CountsEveryHandAndEverySuitClassAsPokerDoes)
{
    const int none[1] = {};
    EXPECT_EQ(Tables().SuitClasses().size(), 134459u);
    int64_t neverDrawing = 0;
    for (int c = 0; c < kCategories; ++c) {
        EXPECT_EQ(Tables().Containing(none, 0).hands[c], kKnownHands[c]) << "category " << c;
        neverDrawing += kKnownHands[c] * Tables().Payout(c);
    }
    const int wheel[kHandCards] = {4, 16, 28, 40, 0};  // five down to the ace, of mixed suits
    EXPECT_EQ(SimpleRuleHold(Tables(), wheel, 3), kHolds - 1) << "the simple rule stands on a straight";
    const GameReturn result = ComputeGameReturn(Tables(), 2);
    EXPECT_EQ(result.deals, 2598960) << "the deals that the suit classes stand for";
    EXPECT_EQ(result.neverDrawing.payout, neverDrawing * kValueDenominator);
    // The game's exact return, by discard rule, as first counted.
    const char* const kBestPlay[] = {"55993729/74720100 = 74.9380%", "9666322583/12876763900 = 75.0679%"};
    const char* const kSimpleRule[] = {"608892749/877961175 = 69.3530%", "1273829797/1825387410 = 69.7841%"};
    for (int rule = 0; rule < kDiscardRules; ++rule) {
        EXPECT_EQ(RatioText(result.optimal[rule].payout, GameReturn::Denominator(result.deals), true), kBestPlay[rule]);
        EXPECT_EQ(RatioText(result.simpleRule[rule].payout, GameReturn::Denominator(result.deals), true),
                  kSimpleRule[rule]);
    }
    EXPECT_EQ(PlayOnDevice(Tables(), 2000, 3).payout, 1529) << "the device's first 2,000 deals under the best holds";
}

// The program's answer and what it says, for a command line; a program
// that takes on endless work is stopped, with status 124.
int RunOdds(const std::string& arguments, std::string& output)
{
    const std::string command = std::string("timeout 30 ") + TOLVANE_ODDS_PROGRAM + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    output.clear();
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CountHoldDraws, CountsWhatTheTablesCountWithoutThem)
{
    // Every 997th suit class, and deals where a flush is drawn to or held.
    std::vector<std::vector<int>> deals = {
        {9, 10, 11, 12, 8}, {26, 27, 29, 30, 44}, {0, 1, 2, 3, 4}, {39, 40, 41, 42, 13}};
    for (size_t k = 0; k < Tables().SuitClasses().size(); k += 997) {
        const SuitClass& deal = Tables().SuitClasses()[k];
        deals.emplace_back(deal.cards, deal.cards + kHandCards);
    }
    const HandKinds kinds;
    for (const std::vector<int>& deal : deals) {
        HoldValues expected, counted;
        ValueHolds(Tables(), deal.data(), expected);
        for (int maxDiscards : {3, 5}) {
            CountHoldDraws(kinds, deal.data(), maxDiscards, counted);
            for (int hold = 0; hold < kHolds; ++hold) {
                const bool counts = HeldCards(hold) >= kHandCards - maxDiscards;
                EXPECT_EQ(counted.payoutSum[hold], counts ? expected.payoutSum[hold] : 0)
                    << deal[0] << " hold " << hold;
                for (int c = 0; c < kCategories; ++c) {
                    EXPECT_EQ(counted.draws[hold].hands[c], counts ? expected.draws[hold].hands[c] : 0)
                        << deal[0] << " hold " << hold << " category " << c;
                }
            }
        }
    }
}

TEST(Program, RejectsBadArgumentsWithTheReason)
{
    std::string seventyCards;
    for (int i = 0; i < 70; ++i)
        seventyCards += " 2C";
    const struct {
        std::string arguments;
        const char* says;
    } cases[] = {
        {"2C QC 5D 8H", "five cards; 4 were given"},
        {"2C QC 5D 8H JS 3S", "6 were given"},
        {seventyCards, "70 were given"},
        {"2C QC 5D 8H 2c", "2C is in the hand twice"},
        {"2C QC 5D 8H 2", "2C is in the hand twice"},
        {"2C QC 5D 5d 8H", "5D is in the hand twice"},
        {"2C QC 5D 8H 1C0", "'1C0' is not a card"},
        {"2C QC 5D 8H 53", "'53' is not a card"},
        {"2C QC 5D 8H 0", "'0' is not a card"},
        {"2C QC 5D 8H 11C", "'11C' is not a card"},
        {"--device", "--device takes a number of hands from 1 to 100,000,000\nusage:"},
        {"--device 0", "from 1 to 100,000,000, not '0'"},
        {"--device -1", "not '-1'"},
        {"--device abc", "not 'abc'"},
        {"--device 12x", "not '12x'"},
        {"--device 0x10", "not '0x10'"},
        {"--device 100000001", "not '100000001'"},
        {"--device 4294967296", "not '4294967296'"},
        {"--device 99999999999999999999", "not '99999999999999999999'"},
        {"--device 10 2C QC 5D 8H JS", "give it no cards"},
        {"--fives", "unknown option --fives"},
    };
    for (const auto& c : cases) {
        std::string output;
        EXPECT_EQ(RunOdds(c.arguments, output), 2) << c.arguments;
        EXPECT_NE(output.find(c.says), std::string::npos) << c.arguments << ": " << output;
    }
}

TEST(Program, GivesEachHoldItsExactValue)
{
    const struct {
        const char* arguments;
        const char* says;
    } cases[] = {
        {"2C QC 5D 8H JS", "26 holds, best first"},
        {"2C QC 5D 8H JS", " * 2C QC                  0.200802 (= 3256/16215)"},
        {"--five 2C QC 5D 8H JS", " * 5D                     0.223620 (= 3626/16215)"},
        {"--five 2C QC 5D 8H JS", "   nothing (draw five)    0.195124 (= 299309/1533939)"},
        {"2H 3H 4H 5H 7D", " * 2H 3H 4H 5H            3.382979 (= 159/47)"},
        {"5C 5D 9H 9S KC", "   5C 5D                  0.795375 (= 4299/5405)"},
        {"7C 8D 9H 10S 2C", " * 7C 8D 9H 10S           0.680851 (= 32/47)"},
        {"9C 10C JC QC KC", "   10C JC QC KC           6.574468 (= 309/47)"},
        {"1 14 27 40 13", " * AC AD AH AS KC         20.000000 (= 20/1)"},
        {"--five as kS qs Js 10s", " * AS KS QS JS 10S"},
        {"--five as kS qs Js 10s", "32 holds"},
    };
    for (const auto& c : cases) {
        std::string output;
        EXPECT_EQ(RunOdds(c.arguments, output), 0) << c.arguments << ": " << output;
        EXPECT_NE(output.find(c.says), std::string::npos) << c.arguments << ": " << output;
    }
}

}  // namespace
