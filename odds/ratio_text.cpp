#include "ratio_text.h"

#include <stdio.h>

namespace odds {

namespace {

int64_t Gcd(int64_t a, int64_t b)
{
    while (b) {
        const int64_t r = a % b;
        a = b;
        b = r;
    }
    return a < 0 ? -a : a;
}

// numerator / denominator in units of 10^-places, rounded half up.
std::string DecimalText(int64_t numerator, int64_t denominator, int places, int64_t scale)
{
    const __int128 scaled =
        (static_cast<__int128>(numerator) * scale * 2 + denominator) / (2 * static_cast<__int128>(denominator));
    int64_t unit = 1;
    for (int i = 0; i < places; ++i)
        unit *= 10;
    const int64_t whole = static_cast<int64_t>(scaled / unit);
    const int64_t part = static_cast<int64_t>(scaled % unit);
    char text[64];
    snprintf(text, sizeof text, "%lld.%0*lld", static_cast<long long>(whole), places, static_cast<long long>(part));
    return text;
}

}  // namespace

std::string PercentText(int64_t numerator, int64_t denominator)
{
    return DecimalText(numerator, denominator, 4, 1000000) + "%";
}

std::string RatioText(int64_t numerator, int64_t denominator, bool percent)
{
    const int64_t common = Gcd(numerator, denominator);
    const std::string fraction =
        common ? std::to_string(numerator / common) + "/" + std::to_string(denominator / common) : std::string("0/1");
    if (percent)
        return fraction + " = " + PercentText(numerator, denominator);
    return DecimalText(numerator, denominator, 6, 1000000) + " (= " + fraction + ")";
}

std::string GroupedText(int64_t number)
{
    std::string digits = std::to_string(number);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return digits;
}

}  // namespace odds
