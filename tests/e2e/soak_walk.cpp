// A long run: draws and Auto left running, checked at intervals, and the program's memory not growing.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "process_memory.h"
#include "program_session.h"
#include "walks.h"

namespace {

constexpr int kDefaultSeconds = 60;
constexpr int kCheckIntervalSeconds = 10;
// Until the platform has built what drawing and evaluating need at first (its caches for fonts, text
// and window state), the working set may still settle; it is measured after this.
constexpr int kLongestWarmUpSeconds = 10;
constexpr int kWarmUpShare = 6; // at most a sixth of a short soak goes to the warm-up
// The program allocates nothing itself; what may still move is the platform's: a page touched again by
// a repaint, a heap block for a message, a cache trimmed and refilled. Sixteen pages leave room for
// that, while a leak of even the smallest heap block per draw or per evaluation (32 bytes, some
// 190 events a second) passes the bound within a soak of a minute.
constexpr std::size_t kBytesPerKiB = 1024;
constexpr std::size_t kAllowedGrowthBytes = 64 * kBytesPerKiB;
constexpr DWORD kMsPerSecond = 1000;

using Clock = std::chrono::steady_clock;

// Each check first types one of these price sets, so the evaluations follow typed prices as well as
// the defaults: Pf over 99, empty fields, a DM value past 32 bits (which reads 0) and the largest
// value read without doubt in every field.
const wchar_t* const kOddPrices[kPriceFields] = {L"0", L"150", L"4294967294", L"99", L"",
                                                 L"250", L"1", L"1", L"9999999999", L""};
const wchar_t* const kLargestPrices[kPriceFields] = {L"4294967294", L"4294967294", L"4294967294", L"4294967294",
                                                     L"4294967294", L"4294967294", L"4294967294", L"4294967294",
                                                     L"4294967294", L"4294967294"};
const wchar_t* const* const kPriceSets[] = {kOddPrices, kLargestPrices, kDefaultPriceFieldTexts};
constexpr int kPriceSetCount = sizeof(kPriceSets) / sizeof(kPriceSets[0]);

double KiB(std::size_t bytes)
{
    return static_cast<double>(bytes) / static_cast<double>(kBytesPerKiB);
}

void CheckGrowth(CheckLog& log, const std::string& what, std::size_t before, std::size_t after)
{
    const long long growth = static_cast<long long>(after) - static_cast<long long>(before);
    log.check(after <= before + kAllowedGrowthBytes, "the program's " + what + " grows by no more than " +
                                                         std::to_string(kAllowedGrowthBytes / kBytesPerKiB) +
                                                         " KiB (grew " + std::to_string(growth) + " bytes)");
}

void Measure(CheckLog& log, const ProgramSession& session, MemoryFigures& figures, const char* when)
{
    if (!log.expect(ReadMemory(session.processHandle(), figures), std::string("the program's memory reads ") + when))
        return;
    std::printf("soak: %s: working set %.0f KiB, committed %.0f KiB\n", when, KiB(figures.workingSet),
                KiB(figures.committed));
    (void)std::fflush(stdout); // a lost progress line changes no check
}

} // namespace

int SoakWalk(const WalkSettings& settings)
{
    const int seconds = settings.seconds > 0 ? settings.seconds : kDefaultSeconds;
    const int warmUp = std::min(kLongestWarmUpSeconds, seconds / kWarmUpShare);
    CheckLog log;
    ProgramSession session(settings.programPath, log);
    if (!session.launch())
        return log.finish();

    const Clock::time_point begin = Clock::now();
    session.start(Press::Button, {});
    session.openLosses();
    session.startAuto();
    Sleep(static_cast<DWORD>(warmUp) * kMsPerSecond);
    MemoryFigures before{};
    Measure(log, session, before, "after the warm-up");

    // The memory is read before each check, while the draws and Auto still run as they did before.
    MemoryFigures after = before;
    const Clock::time_point end = begin + std::chrono::seconds(seconds);
    int checks = 0;
    while (Clock::now() < end && log.failures() == 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        Sleep(static_cast<DWORD>(std::min<long long>(left, static_cast<long long>(kCheckIntervalSeconds) * kMsPerSecond)));
        const std::string when = "after " + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
                                                                Clock::now() - begin).count()) + " s";
        Measure(log, session, after, when.c_str());
        for (int field = 0; field < kPriceFields; ++field)
            session.typePrice(field, kPriceSets[checks % kPriceSetCount][field], false);
        session.checkpoint();
        ++checks;
        log.expect(session.drawing() && session.autoOn(), "the draws and Auto run on after each check");
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();

    ShownCounters counters{};
    log.expect(ReadShownCounters(session.mainWindow(), counters), "the counters read as numbers");
    std::printf("soak: %llu draws in %.1f s (%.0f draws/s) with Auto evaluating, %d checks; Einer..Sechser",
                static_cast<unsigned long long>(counters.gamesPlayed), elapsed,
                static_cast<double>(counters.gamesPlayed) / elapsed, checks);
    for (int hits = 1; hits <= kMostHits; ++hits)
        std::printf(" %llu", static_cast<unsigned long long>(counters.hitClass[hits]));
    std::printf("\n");
    CheckGrowth(log, "working set", before.workingSet, after.workingSet);
    CheckGrowth(log, "committed memory", before.committed, after.committed);
    session.close();
    return log.finish();
}
