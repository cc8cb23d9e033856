// The random source behind every tip and draw: a 32-bit linear congruential generator with 15-bit results.
#pragma once

#include <cstdint>

constexpr int kRandomMax = 32767;

// The generator's whole state; 1 until the main dialog seeds it.
struct RandomSource {
    std::uint32_t seed;
};

extern RandomSource randomSource;

void Seed(std::uint32_t seed);

// The next value in 0..kRandomMax.
int Next();
