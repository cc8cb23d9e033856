// What the game and money logic must produce, worked out independently of it for the fuzzer to compare.
#pragma once

#include <cstdint>
#include <string>

// The random source's documented generator, stepped on a copy of its state.
int ExpectedNext(std::uint32_t& seed);

// Rejection sampling of a number in 1..49 not among numbers[0..n-1], on a copy of the state.
int ExpectedUniqueNumber(std::uint32_t& seed, int n, const int numbers[]);

// count × price and the sum of such products, exact in 128 bits: prices below 2^40 Pfennig
// and counts below 2^64 leave ample room for four products and their sum.
using ExactPfennig = __int128;

// An exact non-negative amount as shown: itself, or the largest amount where it does not fit.
std::int64_t Saturated(ExactPfennig exact);

// The DM and Pf texts of an amount: each part truncated toward zero, "-" on each non-zero
// negative part.
std::string ExpectedMarksText(std::int64_t amount);
std::string ExpectedPfennigText(std::int64_t amount);
