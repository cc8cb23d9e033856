// The game record of 6 aus 49 and the operations that change it: tips, validation and draws.
#pragma once

#include <cstdint>

#include "../platform/dialog_fields.h"

constexpr int kNumbersPerTip = 6;
constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 49;
// Three hits or more win a prize.
constexpr int kLeastWinningHits = 3;

// Counters are 64 bits wide so no run a person can make ever wraps them.
struct GameRecord {
    int tip[kNumbersPerTip];
    int drawn[kNumbersPerTip];
    int hits[kNumbersPerTip];                        // hits[j] is tip[j] if it was drawn, else 0
    std::uint64_t hitClassCount[kNumbersPerTip + 1]; // draws with exactly k hits, k = 1..6; [0] unused
    std::uint64_t gamesPlayed;
    std::uint64_t gamesWithoutPrize;
};

extern GameRecord gameRecord;

// A number in 1..49 that differs from numbers[0..n-1].
int DrawUniqueNumber(int n, const int numbers[]);

// Reset: a fresh random tip and every counter and the hit row at 0.
void NewRandomTip(DialogHandle dialog);

// Start's first half: reads the six tip fields, replacing and warning about each bad one.
void AcceptTip(DialogHandle dialog);

// One draw against the tip, with hit evaluation and counting; one per draw-timer tick.
void RunOneDraw(DialogHandle dialog);
