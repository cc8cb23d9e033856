// The random source: the classic 32-bit LCG, so equal seeds give equal tips and draws.
#include "random_source.h"

namespace {

constexpr std::uint32_t kMultiplier = 1103515245u;
constexpr std::uint32_t kIncrement = 12345u;
constexpr int kResultShift = 16;

} // namespace

RandomSource randomSource = {1};

void Seed(std::uint32_t seed)
{
    randomSource.seed = seed;
}

int Next()
{
    // Unsigned arithmetic wraps modulo 2^32, which is the generator's modulus.
    randomSource.seed = randomSource.seed * kMultiplier + kIncrement;
    return static_cast<int>((randomSource.seed >> kResultShift) & static_cast<std::uint32_t>(kRandomMax));
}
