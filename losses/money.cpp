// Money arithmetic on the price table and the game record, exact to the Pfennig.
#include "money.h"

#include "../lottery/game_record.h"
#include "../resources/resource.h"

PriceTable priceTable;

namespace {

enum ResultRow { COSTS, WINNINGS, TOTAL };

constexpr Pfennig kDefaultPrices[PRICE_ROWS] = {
    5 * kPfennigPerMark + 50,
    7 * kPfennigPerMark + 50,
    100 * kPfennigPerMark,
    5000 * kPfennigPerMark,
    500000 * kPfennigPerMark,
};

void ShowResult(DialogHandle dialog, ResultRow row, Pfennig amount)
{
    ShowAmount(dialog, IDC_RESULT_DM_FIRST + row, IDC_RESULT_PF_FIRST + row, amount);
}

} // namespace

Pfennig SaturatingProduct(std::uint64_t count, Pfennig price)
{
    if (count == 0 || price == 0)
        return 0;
    if (count > static_cast<std::uint64_t>(kLargestAmount) || price > kLargestAmount / static_cast<Pfennig>(count))
        return kLargestAmount;
    return static_cast<Pfennig>(count) * price;
}

Pfennig SaturatingSum(Pfennig a, Pfennig b)
{
    return a > kLargestAmount - b ? kLargestAmount : a + b;
}

Pfennig ReadAmount(DialogHandle dialog, int dmField, int pfField)
{
    // Both fields hold at most 32 bits, so the sum stays far inside 64.
    const Pfennig marks = ReadFieldNumber(dialog, dmField);
    const Pfennig pfennig = ReadFieldNumber(dialog, pfField);
    return marks * kPfennigPerMark + pfennig;
}

void ShowAmount(DialogHandle dialog, int dmField, int pfField, Pfennig amount)
{
    // Integer division truncates toward zero and the remainder takes the amount's sign:
    // -542.50 DM shows -542 and -50, -0.25 DM shows 0 and -25.
    ShowSignedValue(dialog, dmField, amount / kPfennigPerMark);
    ShowSignedValue(dialog, pfField, amount % kPfennigPerMark);
}

void SetDefaultPrices(DialogHandle dialog)
{
    for (int row = STAKE; row < PRICE_ROWS; ++row) {
        priceTable.amount[row] = kDefaultPrices[row];
        ShowCount(dialog, IDC_PRICE_DM_FIRST + row, static_cast<std::uint64_t>(kDefaultPrices[row] / kPfennigPerMark));
        ShowCount(dialog, IDC_PRICE_PF_FIRST + row, static_cast<std::uint64_t>(kDefaultPrices[row] % kPfennigPerMark));
    }
}

void EvaluateLosses(DialogHandle dialog)
{
    for (int row = STAKE; row < PRICE_ROWS; ++row)
        priceTable.amount[row] = ReadAmount(dialog, IDC_PRICE_DM_FIRST + row, IDC_PRICE_PF_FIRST + row);

    const Pfennig costs = SaturatingProduct(gameRecord.gamesPlayed, priceTable.amount[STAKE]);
    ShowResult(dialog, COSTS, costs);

    Pfennig winnings = 0;
    for (int hits = kLeastWinningHits; hits <= kNumbersPerTip; ++hits) {
        const Pfennig prize = priceTable.amount[PRIZE_3 + hits - kLeastWinningHits];
        winnings = SaturatingSum(SaturatingProduct(gameRecord.hitClassCount[hits], prize), winnings);
    }
    ShowResult(dialog, WINNINGS, winnings);

    // Both lie in 0..kLargestAmount, so the difference always fits.
    ShowResult(dialog, TOTAL, winnings - costs);
}
