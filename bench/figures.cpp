// Performance figures from raw samples, kept free of any platform so they are tested natively.
#include "figures.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr double k100nsPerSecond = 1e7;
constexpr std::uint64_t kRadix = 10;

} // namespace

std::optional<WindowFigures> FiguresBetween(const ProgramSample& start, const ProgramSample& end)
{
    if (end.draws <= start.draws || end.wallSeconds <= start.wallSeconds || end.cpuSeconds < start.cpuSeconds)
        return std::nullopt;
    const auto draws = static_cast<double>(end.draws - start.draws);
    return WindowFigures{draws / (end.wallSeconds - start.wallSeconds),
                         (end.cpuSeconds - start.cpuSeconds) / draws * kDrawsPerCostUnit};
}

std::optional<double> Median(std::vector<double> values)
{
    if (values.empty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return values[middle];
    return (values[middle - 1] + values[middle]) / 2;
}

double SecondsFrom100ns(std::uint64_t hundredNanoseconds)
{
    return static_cast<double>(hundredNanoseconds) / k100nsPerSecond;
}

std::optional<std::uint64_t> ParseCount(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (kLargest - digit) / kRadix)
            return std::nullopt;
        value = value * kRadix + digit;
    }
    return value;
}

bool Meets(double ratio, RatioGoal goal)
{
    return goal.direction == RatioGoal::AT_LEAST ? ratio >= goal.bound : ratio <= goal.bound;
}

std::string GoalText(RatioGoal goal)
{
    return (goal.direction == RatioGoal::AT_LEAST ? "\u2265 " : "\u2264 ") + Fixed(goal.bound, 2);
}

std::string Fixed(double value, int decimals)
{
    // Sized by a first pass, so a huge figure is shown whole rather than cut off.
    const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    if (length < 0)
        return "?";
    std::string text(static_cast<std::size_t>(length), '\0');
    // The first pass fixed the length, so this one cannot fail or cut; data() has room for the '\0'.
    (void)std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, value);
    return text;
}
