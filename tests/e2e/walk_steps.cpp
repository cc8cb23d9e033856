// The steps every walk takes through the main dialog, and the program's clean end.
#include "walk_steps.h"

#include "resources/resource.h"
#include "tests/window_driving/window_driving.h"

namespace {

constexpr int kGapBetweenWindows = 8;

int Width(const RECT& area)
{
    return area.right - area.left;
}

int Height(const RECT& area)
{
    return area.bottom - area.top;
}

} // namespace

HWND WaitForMainDialog(CheckLog& log, const ProgramProcess& program)
{
    if (!log.check(program.started(), "the program starts as a process of its own"))
        return nullptr;
    const HWND mainDialog = WaitForProgramWindow({program.id(), kMainCaption}, kProgramStartTimeoutMs);
    log.check(mainDialog != nullptr, "the main dialog \"Tippwerk\" appears");
    return mainDialog;
}

bool ReadGamesPlayed(HWND mainDialog, std::uint64_t& games)
{
    return ReadCount(mainDialog, IDC_GAMES_PLAYED, games);
}

bool ReadShownCounters(HWND mainDialog, ShownCounters& counters)
{
    counters = ShownCounters{};
    for (int hits = 1; hits <= kMostHits; ++hits)
        if (!ReadCount(mainDialog, IDC_HIT_CLASS_FIRST + hits - 1, counters.hitClass[hits]))
            return false;
    return ReadGamesPlayed(mainDialog, counters.gamesPlayed);
}

bool CountersAgree(HWND mainDialog)
{
    ShownCounters counters{};
    std::uint64_t withoutPrize = 0;
    if (!ReadShownCounters(mainDialog, counters) || !ReadCount(mainDialog, IDC_GAMES_WITHOUT_PRIZE, withoutPrize))
        return false;
    std::uint64_t withHits = 0;
    std::uint64_t winning = 0;
    for (int hits = 1; hits <= kMostHits; ++hits) {
        withHits += counters.hitClass[hits];
        if (hits >= kLeastWinningHits)
            winning += counters.hitClass[hits];
    }
    // Kein Geld counts the draws with fewer than three hits.
    return withHits <= counters.gamesPlayed && withoutPrize + winning == counters.gamesPlayed;
}

bool GamesRisePast(HWND mainDialog, std::uint64_t games)
{
    std::uint64_t now = 0;
    return WaitFor([&] { return ReadGamesPlayed(mainDialog, now) && now > games; }, kWindowTimeoutMs);
}

bool DrawsStandStill(HWND mainDialog)
{
    std::uint64_t before = 0;
    std::uint64_t after = 0;
    if (!ReadGamesPlayed(mainDialog, before))
        return false;
    Sleep(kQuietPeriodMs);
    return ReadGamesPlayed(mainDialog, after) && after == before;
}

void CheckCleanExit(CheckLog& log, const ProgramProcess& program)
{
    DWORD exitCode = STILL_ACTIVE;
    if (log.check(program.waitForExit(exitCode), "the process ends"))
        log.check(exitCode == 0, "the process exits with code 0 (saw " + std::to_string(exitCode) + ")");
}

void PlaceSideBySide(HWND left, HWND right)
{
    const RECT leftArea = AreaOf(left);
    const RECT rightArea = AreaOf(right);
    const int width = Width(leftArea) + kGapBetweenWindows + Width(rightArea);
    const int height = Height(leftArea) > Height(rightArea) ? Height(leftArea) : Height(rightArea);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    const UINT keepSizeAndOrder = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(left, nullptr, x, y, 0, 0, keepSizeAndOrder);
    SetWindowPos(right, nullptr, x + Width(leftArea) + kGapBetweenWindows, y, 0, 0, keepSizeAndOrder);
}
