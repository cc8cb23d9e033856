// The arithmetic of the performance figures: rates over a window, CPU per 1,000 draws, medians, goals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr double kDrawsPerCostUnit = 1000.0;

// What a running program has done up to one moment: draws (or bare ticks), CPU time, wall clock.
struct ProgramSample {
    std::uint64_t draws;
    double cpuSeconds;
    double wallSeconds;
};

struct WindowFigures {
    double drawsPerSecond;
    double cpuSecondsPer1000Draws;
};

// The figures between two samples of one program; none when the window holds no draw or runs
// backwards, since a rate from that would be a number without meaning.
std::optional<WindowFigures> FiguresBetween(const ProgramSample& start, const ProgramSample& end);

// The middle value, or the mean of the two middle values; none for no values.
std::optional<double> Median(std::vector<double> values);

// Seconds from a Windows time span, which counts 100-nanosecond units.
double SecondsFrom100ns(std::uint64_t hundredNanoseconds);

// The value of a counter field's text: decimal digits only, at most 64 bits wide.
std::optional<std::uint64_t> ParseCount(const std::string& text);

// A goal for a ratio of the program's figure to its floor's.
struct RatioGoal {
    enum Direction { AT_LEAST, AT_MOST } direction;
    double bound;
};

bool Meets(double ratio, RatioGoal goal);

// "≥ 0.98" or "≤ 1.5", as the tables show a goal.
std::string GoalText(RatioGoal goal);

// A figure with the given number of decimals, as the tables show it.
std::string Fixed(double value, int decimals);
