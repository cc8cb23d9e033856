// The loss dialog's results worked out from the shown counters, the way a player checks them by hand.
#include "expected_money.h"

#include <limits>

namespace {

constexpr Pfennig kPfennigPerMark = 100;
constexpr Pfennig kLargestAmount = std::numeric_limits<Pfennig>::max();

constexpr Pfennig Amount(Pfennig marks, Pfennig pfennig)
{
    return marks * kPfennigPerMark + pfennig;
}

// A part of an amount, with a minus sign only when the amount is negative and the part is not zero.
std::wstring PartText(bool negative, std::uint64_t magnitude)
{
    return (negative && magnitude != 0 ? L"-" : L"") + std::to_wstring(magnitude);
}

Pfennig SaturatingProduct(std::uint64_t count, Pfennig price)
{
    Pfennig product = 0;
    if (count > static_cast<std::uint64_t>(kLargestAmount) ||
        __builtin_mul_overflow(static_cast<Pfennig>(count), price, &product))
        return kLargestAmount;
    return product;
}

Pfennig SaturatingSum(Pfennig a, Pfennig b)
{
    Pfennig sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? kLargestAmount : sum;
}

} // namespace

Pfennig AmountOf(std::uint32_t marks, std::uint32_t pfennig)
{
    return Amount(marks, pfennig);
}

Prices DefaultPrices()
{
    Prices prices{};
    prices.stake = Amount(5, 50);
    prices.prize[3] = Amount(7, 50);
    prices.prize[4] = Amount(100, 0);
    prices.prize[5] = Amount(5000, 0);
    prices.prize[6] = Amount(500000, 0);
    return prices;
}

AmountText ExpectedAmountText(Pfennig amount)
{
    // Split the magnitude, then sign each part: -0.25 DM shows 0 and -25, -542.50 DM shows -542 and -50.
    const bool negative = amount < 0;
    const auto bits = static_cast<std::uint64_t>(amount);
    const std::uint64_t magnitude = negative ? 0 - bits : bits;
    return {PartText(negative, magnitude / kPfennigPerMark), PartText(negative, magnitude % kPfennigPerMark)};
}

ExpectedResults ExpectedLosses(const ShownCounters& counters, const Prices& prices)
{
    const Pfennig costs = SaturatingProduct(counters.gamesPlayed, prices.stake);
    Pfennig winnings = 0;
    for (int hits = kLeastWinningHits; hits <= kMostHits; ++hits)
        winnings = SaturatingSum(winnings, SaturatingProduct(counters.hitClass[hits], prices.prize[hits]));
    return {ExpectedAmountText(costs), ExpectedAmountText(winnings), ExpectedAmountText(winnings - costs)};
}
