// The cost of one draw beside its floor, and of the other operations on the game record, per call.
#include <benchmark/benchmark.h>

#include "losses/money.h"
#include "lottery/game_record.h"
#include "lottery/random_source.h"

namespace {

// Any fixed seed: the same numbers in every run keep the runs comparable.
constexpr std::uint32_t kBenchSeed = 20261207u;
// Draws run before the loss evaluation, so every hit class it multiplies holds a count.
constexpr int kDrawsBeforeEvaluation = 100000;
// Each is measured several times and judged by its median, so one disturbed run does not decide.
constexpr int kRepetitions = 5;

// Stands for the dialog; the field access linked here never looks at it.
const DialogHandle kNoDialog = nullptr;

// The least any draw can cost: six numbers by rejection sampling from the same generator and
// 36 comparisons with a tip, without the game record and without any field access.
// cppcheck-suppress constParameterCallback ; the library calls it with a mutable State
void DrawFloor(benchmark::State& state)
{
    Seed(kBenchSeed);
    int tip[kNumbersPerTip];
    for (int i = 0; i < kNumbersPerTip; ++i)
        tip[i] = DrawUniqueNumber(i, tip);

    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        int drawn[kNumbersPerTip];
        int hitCount = 0;
        for (int i = 0; i < kNumbersPerTip; ++i) {
            drawn[i] = DrawUniqueNumber(i, drawn);
            for (int j = 0; j < kNumbersPerTip; ++j)
                hitCount += drawn[i] == tip[j];
        }
        benchmark::DoNotOptimize(hitCount);
    }
}

// cppcheck-suppress constParameterCallback ; the library calls it with a mutable State
void RunOneDrawBench(benchmark::State& state)
{
    Seed(kBenchSeed);
    NewRandomTip(kNoDialog);
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        RunOneDraw(kNoDialog);
    benchmark::DoNotOptimize(gameRecord.gamesPlayed);
}

// The first number of a draw takes one random number; the last rejects 5 of 49 values.
// cppcheck-suppress constParameterCallback ; the library calls it with a mutable State
void DrawUniqueNumberBench(benchmark::State& state)
{
    Seed(kBenchSeed);
    const auto taken = static_cast<int>(state.range(0));
    int numbers[kNumbersPerTip];
    for (int i = 0; i < taken; ++i)
        numbers[i] = DrawUniqueNumber(i, numbers);
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        benchmark::DoNotOptimize(DrawUniqueNumber(taken, numbers));
}

// cppcheck-suppress constParameterCallback ; the library calls it with a mutable State
void NewRandomTipBench(benchmark::State& state)
{
    Seed(kBenchSeed);
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        NewRandomTip(kNoDialog);
    benchmark::DoNotOptimize(gameRecord.tip);
}

// cppcheck-suppress constParameterCallback ; the library calls it with a mutable State
void EvaluateLossesBench(benchmark::State& state)
{
    Seed(kBenchSeed);
    NewRandomTip(kNoDialog);
    for (int i = 0; i < kDrawsBeforeEvaluation; ++i)
        RunOneDraw(kNoDialog);
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        EvaluateLosses(kNoDialog);
    benchmark::DoNotOptimize(priceTable.amount);
}

} // namespace

BENCHMARK(DrawFloor)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(RunOneDrawBench)->Name("RunOneDraw")->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(DrawUniqueNumberBench)
    ->Name("DrawUniqueNumber")
    ->Arg(0)
    ->Arg(kNumbersPerTip - 1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(NewRandomTipBench)->Name("NewRandomTip")->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(EvaluateLossesBench)->Name("EvaluateLosses")->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
