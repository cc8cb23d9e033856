// Measures Tippwerk beside the bare timer dialog, alternating the two, and prints the medians with their ratios.
// Usage: measure_performance BARE_TIMER_EXE TIPPWERK_EXE [WINDOW_SECONDS [ROUNDS]]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "program_run.h"

namespace {

constexpr double kDefaultWindowSeconds = 10.0;
constexpr int kDefaultRounds = 3;
constexpr long kMostRounds = 100;
// Start-ups are short and vary most, so they are measured more often than the draw windows.
constexpr int kStartUpLaunches = 10;
// Lets the timer reach its pace before the window opens.
constexpr double kWarmUpSeconds = 1.0;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr int kDecimalBase = 10;
constexpr int kRatioDecimals = 2;

constexpr RatioGoal kRateGoal = {RatioGoal::AT_LEAST, 0.98};
constexpr RatioGoal kCpuGoal = {RatioGoal::AT_MOST, 1.2};
constexpr RatioGoal kStartUpGoal = {RatioGoal::AT_MOST, 1.2};

struct Program {
    const char* name;
    std::string path;
    DrawCountSource source;
    std::vector<RunResult> runs;
    std::vector<double> startUpSeconds;
};

double MedianOfRuns(const Program& program, double (*of)(const RunResult&))
{
    std::vector<double> values;
    values.reserve(program.runs.size());
    for (const RunResult& run : program.runs)
        values.push_back(of(run));
    return Median(values).value_or(0.0);
}

struct Figure {
    const char* name;
    double (*of)(const Program&);
    int decimals;
    const RatioGoal* goal; // none for figures shown for information
};

constexpr Figure kFigures[] = {
    {"Draws (ticks) per second",
     [](const Program& p) { return MedianOfRuns(p, [](const RunResult& r) { return r.figures.drawsPerSecond; }); }, 1,
     &kRateGoal},
    {"CPU seconds per 1,000 draws",
     [](const Program& p) {
         return MedianOfRuns(p, [](const RunResult& r) { return r.figures.cpuSecondsPer1000Draws; });
     },
     4, &kCpuGoal},
    {"Start-up to visible dialog (ms)",
     [](const Program& p) { return Median(p.startUpSeconds).value_or(0.0) * kMillisecondsPerSecond; }, 0,
     &kStartUpGoal},
    {"Working set (KiB)",
     [](const Program& p) { return MedianOfRuns(p, [](const RunResult& r) { return r.workingSetKiB; }); }, 0, nullptr},
    {"Peak working set (KiB)",
     [](const Program& p) { return MedianOfRuns(p, [](const RunResult& r) { return r.peakWorkingSetKiB; }); }, 0,
     nullptr},
};

bool RunDraws(Program& program, RunTimes times, bool kept)
{
    std::string error;
    const std::optional<RunResult> result = MeasureRun(program.path, program.source, times, error);
    if (!result) {
        (void)std::fprintf(stderr, "measure_performance: %s: %s\n", program.name, error.c_str());
        return false;
    }
    std::printf("%s %s: %.1f draws/s, %.4f CPU s per 1,000 draws (%s), working set %.0f KiB\n",
                kept ? "run" : "warm-up", program.name, result->figures.drawsPerSecond,
                result->figures.cpuSecondsPer1000Draws,
                result->schedulerCpuTime ? "Linux scheduler" : "GetProcessTimes", result->workingSetKiB);
    if (kept)
        program.runs.push_back(*result);
    return true;
}

bool RunStartUp(Program& program)
{
    std::string error;
    const std::optional<double> seconds = MeasureStartUp(program.path, error);
    if (!seconds) {
        (void)std::fprintf(stderr, "measure_performance: %s: %s\n", program.name, error.c_str());
        return false;
    }
    std::printf("start-up %s: %.0f ms\n", program.name, *seconds * kMillisecondsPerSecond);
    program.startUpSeconds.push_back(*seconds);
    return true;
}

void PrintTable(const Program& bare, const Program& tippwerk)
{
    std::printf("\n| Figure (median: %zu draw windows, %zu start-ups each) | %s | %s | ratio | goal |\n"
                "|---|---:|---:|---:|---|\n",
                tippwerk.runs.size(), tippwerk.startUpSeconds.size(), bare.name, tippwerk.name);
    for (const Figure& figure : kFigures) {
        const double floor = figure.of(bare);
        const double measured = figure.of(tippwerk);
        const double ratio = measured / floor;
        std::string goal = "-";
        if (figure.goal != nullptr)
            goal = GoalText(*figure.goal) + (Meets(ratio, *figure.goal) ? ": met" : ": missed");
        std::printf("| %s | %s | %s | %s | %s |\n", figure.name, Fixed(floor, figure.decimals).c_str(),
                    Fixed(measured, figure.decimals).c_str(), Fixed(ratio, kRatioDecimals).c_str(), goal.c_str());
    }
}

bool PositiveNumber(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value > 0;
}

bool PositiveCount(const char* text, int& count)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, kDecimalBase);
    count = static_cast<int>(value);
    return end != text && *end == '\0' && value > 0 && value <= kMostRounds;
}

// Runs the two alternately, so a drift of the machine over time falls on both alike.
template <typename Measure> bool Alternate(Program& bare, Program& tippwerk, int rounds, Measure measure)
{
    for (int round = 0; round < rounds; ++round) {
        Program& first = round % 2 == 0 ? bare : tippwerk;
        Program& second = round % 2 == 0 ? tippwerk : bare;
        if (!measure(first) || !measure(second))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    double windowSeconds = kDefaultWindowSeconds;
    int rounds = kDefaultRounds;
    if (argc < 3 || argc > 5 || (argc > 3 && !PositiveNumber(argv[3], windowSeconds)) ||
        (argc > 4 && !PositiveCount(argv[4], rounds))) {
        (void)std::fprintf(stderr, "usage: measure_performance BARE_TIMER_EXE TIPPWERK_EXE [WINDOW_SECONDS [ROUNDS]]\n");
        return 2;
    }
    Program bare = {"bare timer dialog", argv[1], DrawCountSource::TICK_COUNT_QUERY, {}, {}};
    Program tippwerk = {"Tippwerk", argv[2], DrawCountSource::GAMES_PLAYED_FIELD, {}, {}};
    const RunTimes times = {kWarmUpSeconds, windowSeconds};

    // The first start of each loads what later starts find cached; it is shown but not counted.
    const bool measured = RunDraws(bare, times, false) && RunDraws(tippwerk, times, false) &&
                          Alternate(bare, tippwerk, rounds, [&](Program& p) { return RunDraws(p, times, true); }) &&
                          Alternate(bare, tippwerk, kStartUpLaunches, RunStartUp);
    if (!measured)
        return 1;
    PrintTable(bare, tippwerk);
    return 0;
}
