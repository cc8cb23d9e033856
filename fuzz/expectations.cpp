// Independent models of the generator, the draws and the money display, for the fuzzer's checks.
#include "expectations.h"

#include <limits>

namespace {

constexpr std::uint32_t kMultiplier = 1103515245u;
constexpr std::uint32_t kIncrement = 12345u;
// The result is bits 16..30 of the new state.
constexpr int kResultShift = 16;
constexpr std::uint32_t kResultMask = 0x7FFFu;
constexpr int kBallCount = 49;
constexpr std::uint64_t kPfennigPerMark = 100;

// The amount's size without its sign; the most negative amount has one too.
std::uint64_t Magnitude(std::int64_t amount)
{
    return amount < 0 ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
}

} // namespace

int ExpectedNext(std::uint32_t& seed)
{
    seed = seed * kMultiplier + kIncrement;
    return static_cast<int>((seed >> kResultShift) & kResultMask);
}

int ExpectedUniqueNumber(std::uint32_t& seed, int n, const int numbers[])
{
    for (;;) {
        const int candidate = ExpectedNext(seed) % kBallCount + 1;
        bool taken = false;
        for (int i = 0; i < n; ++i)
            taken = taken || numbers[i] == candidate;
        if (!taken)
            return candidate;
    }
}

std::int64_t Saturated(ExactPfennig exact)
{
    const ExactPfennig largest = std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(exact > largest ? largest : exact);
}

std::string ExpectedMarksText(std::int64_t amount)
{
    const std::uint64_t marks = Magnitude(amount) / kPfennigPerMark;
    return (amount < 0 && marks != 0 ? "-" : "") + std::to_string(marks);
}

std::string ExpectedPfennigText(std::int64_t amount)
{
    const std::uint64_t pfennig = Magnitude(amount) % kPfennigPerMark;
    return (amount < 0 && pfennig != 0 ? "-" : "") + std::to_string(pfennig);
}
