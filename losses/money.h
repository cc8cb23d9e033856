// Prices and money in whole Pfennig, and the evaluation of what the games cost and won.
#pragma once

#include <cstdint>

#include "../platform/dialog_fields.h"

// An amount of money in Pfennig; 100 Pfennig make one DM.
using Pfennig = std::int64_t;

constexpr Pfennig kPfennigPerMark = 100;
// Amounts beyond this are shown as this: only absurd prices and counts reach it.
constexpr Pfennig kLargestAmount = INT64_MAX;

// Rows of the price table in the order of the loss dialog's fields.
enum PriceRow { STAKE, PRIZE_3, PRIZE_4, PRIZE_5, PRIZE_6, PRICE_ROWS };

struct PriceTable {
    Pfennig amount[PRICE_ROWS];
};

extern PriceTable priceTable;

// count × price, or kLargestAmount where that would not fit; both are never negative here.
Pfennig SaturatingProduct(std::uint64_t count, Pfennig price);
// a + b, or kLargestAmount where that would not fit; both are never negative here.
Pfennig SaturatingSum(Pfennig a, Pfennig b);

// The DM field × 100 + the Pf field, each read as an unsigned number; 150 Pf count as 1 DM 50 Pf.
Pfennig ReadAmount(DialogHandle dialog, int dmField, int pfField);

// DM and Pf of the amount, both truncated toward zero and carrying its sign.
void ShowAmount(DialogHandle dialog, int dmField, int pfField, Pfennig amount);

// Puts the default stake and prizes into the price table and the price fields.
void SetDefaultPrices(DialogHandle dialog);

// Reads the prices and shows costs, winnings and total of the games played so far.
void EvaluateLosses(DialogHandle dialog);
