// Runs the benchmarks and prints their medians as one table, each with its ratio to the draw's floor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "figures.h"

namespace {

constexpr const char* kFloorName = "DrawFloor";
constexpr const char* kDrawName = "RunOneDraw";
// A draw may cost at most this much more than its floor: the rest is the record and the fields.
constexpr RatioGoal kDrawGoal = {RatioGoal::AT_MOST, 1.5};
constexpr double kNanosecondsPerSecond = 1e9;
constexpr int kShownDecimals = 1;
constexpr int kRatioDecimals = 2;

// Benchmark 1.8 replaced a run's flag error_occurred by skipped, set for an error or a skip alike.
template <typename Run, typename = void>
struct HasSkipped : std::false_type {};
template <typename Run>
struct HasSkipped<Run, std::void_t<decltype(Run::skipped)>> : std::true_type {};

// Whether the run ended early, so that its time measures nothing.
template <typename Run>
bool EndedEarly(const Run& run)
{
    if constexpr (HasSkipped<Run>::value)
        return run.skipped != 0;
    else
        return run.error_occurred;
}

// The benchmark and its argument, without the repetitions the runner adds to the name.
std::string NameOf(const benchmark::BenchmarkReporter::Run& run)
{
    const auto& name = run.run_name;
    return name.args.empty() ? name.function_name : name.function_name + "/" + name.args;
}

// The console's usual report, and beside it each benchmark's median CPU time per call: CPU time,
// because other work on the machine stretches the wall clock but not the CPU time of this thread.
class MedianCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !EndedEarly(run))
                medians.emplace_back(NameOf(run), run.GetAdjustedCPUTime() /
                                                      benchmark::GetTimeUnitMultiplier(run.time_unit) *
                                                      kNanosecondsPerSecond);
        }
    }

    std::vector<std::pair<std::string, double>> medians;
};

const double* MedianOf(const MedianCollector& collector, const std::string& name)
{
    for (const auto& [runName, nanoseconds] : collector.medians)
        if (runName == name)
            return &nanoseconds;
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    const double* floor = MedianOf(collector, kFloorName);
    if (floor == nullptr || *floor <= 0) {
        // Nothing is left to tell when stderr itself fails.
        (void)std::fprintf(stderr, "bench: no time for %s, so no ratios\n", kFloorName);
        return 1;
    }

    std::printf("\n| Operation | CPU ns per call (median) | ratio to %s | goal |\n|---|---:|---:|---|\n", kFloorName);
    for (const auto& [name, nanoseconds] : collector.medians) {
        const double ratio = nanoseconds / *floor;
        std::string goal;
        if (name == kDrawName)
            goal = GoalText(kDrawGoal) + (Meets(ratio, kDrawGoal) ? ": met" : ": missed");
        std::printf("| %s | %s | %s | %s |\n", name.c_str(), Fixed(nanoseconds, kShownDecimals).c_str(),
                    Fixed(ratio, kRatioDecimals).c_str(), goal.c_str());
    }
    // A missed goal is a finding to report, not a failure of the run.
    return 0;
}
