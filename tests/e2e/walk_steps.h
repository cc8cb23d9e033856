// Steps the walks share: the program's captions, its main dialog, its counters and its clean end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "check_log.h"
#include "expected_money.h"
#include "program_process.h"
#include "screenshot_request.h"

constexpr const wchar_t* kMainCaption = L"Tippwerk";
constexpr const wchar_t* kAboutCaption = L"Tippwerk";
constexpr const wchar_t* kLossCaption = L"Verluste beim Lottospiel";
constexpr const wchar_t* kWarningCaption = L"Eingabefehler";
constexpr const wchar_t* kWarningText = L"Bitte korrekte Lottozahlen eingeben!";

// Long enough for dozens of draw-timer ticks: counters that stay put over it have stopped.
constexpr DWORD kQuietPeriodMs = 500;
// Long enough for a few thousand draws, so a rare event such as a Dreier surely comes.
constexpr DWORD kRareEventTimeoutMs = 60000;

struct WalkSettings {
    const char* programPath;
    ScreenshotRequester screenshots;
    // The walks with a random course or a length of their own take these from the command line.
    std::uint64_t seed = 0;
    bool seedGiven = false;
    int actions = 0;
    int seconds = 0;
    // The command that runs this walk again, for a failure report to print with the seed.
    std::string replayCommand;
};

// Waits for the main dialog of the started program; nullptr, logged as a failure, when none comes.
HWND WaitForMainDialog(CheckLog& log, const ProgramProcess& program);

bool ReadGamesPlayed(HWND mainDialog, std::uint64_t& games);
bool ReadShownCounters(HWND mainDialog, ShownCounters& counters);

// Whether the shown counters agree: no more draws with hits than games, and Kein Geld is Gespielt
// less the draws with 3 or more hits.
bool CountersAgree(HWND mainDialog);

// Whether Gespielt comes to show more than `games` in time.
bool GamesRisePast(HWND mainDialog, std::uint64_t games);
// Whether Gespielt stays the same over a quiet period: no draws are running.
bool DrawsStandStill(HWND mainDialog);

// Checks that the program ends by itself in time with exit code 0.
void CheckCleanExit(CheckLog& log, const ProgramProcess& program);

// Moves two windows next to each other, centred on the screen, as a player would drag them apart.
void PlaceSideBySide(HWND left, HWND right);
