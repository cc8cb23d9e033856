// What the loss dialog must show for the counters the main dialog shows: costs, winnings and total.
#pragma once

#include <cstdint>
#include <string>

constexpr int kLeastWinningHits = 3;
constexpr int kMostHits = 6;

// An amount in Pfennig; 100 make one DM.
using Pfennig = std::int64_t;

struct Prices {
    Pfennig stake;
    Pfennig prize[kMostHits + 1]; // by number of hits; 3..6 win
};

// The amount the fields DM and Pf stand for: DM × 100 + Pf, as the program reads them.
Pfennig AmountOf(std::uint32_t marks, std::uint32_t pfennig);

// The prices the loss dialog starts with: 5.50 DM a game, 7.50, 100, 5000 and 500000 DM for 3..6 hits.
Prices DefaultPrices();

// The counters as the main dialog shows them.
struct ShownCounters {
    std::uint64_t gamesPlayed;
    std::uint64_t hitClass[kMostHits + 1]; // draws with 1..6 hits; [0] unused
};

// The DM and Pf texts of one amount: DM truncated toward zero, Pf carrying the amount's sign.
struct AmountText {
    std::wstring marks;
    std::wstring pfennig;
};

AmountText ExpectedAmountText(Pfennig amount);

struct ExpectedResults {
    AmountText costs;
    AmountText winnings;
    AmountText total;
};

// Costs, winnings and total; an amount too large for 64 bits shows as the largest one, as the program
// promises for prices and counts that no real game reaches.
ExpectedResults ExpectedLosses(const ShownCounters& counters, const Prices& prices);
