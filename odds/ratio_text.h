#pragma once

#include <stdint.h>

#include <string>

namespace odds {

// "1234/5678 = 21.7330%" with the fraction in lowest terms, or, without
// percent, "0.217330 (= 1234/5678)".
std::string RatioText(int64_t numerator, int64_t denominator, bool percent);
// "21.7330%", rounded to four places.
std::string PercentText(int64_t numerator, int64_t denominator);
// 2598960 as "2,598,960".
std::string GroupedText(int64_t number);

}  // namespace odds
