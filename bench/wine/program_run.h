// One measured run of a dialog program: launch, wait for its dialog, start its timer, sample, close.
#pragma once

#include <optional>
#include <string>

#include "../figures.h"

// Where a program's draw count is read: the bare timer answers a query, Tippwerk shows "Gespielt:".
enum class DrawCountSource { TICK_COUNT_QUERY, GAMES_PLAYED_FIELD };

struct RunTimes {
    double warmUpSeconds; // after Start, before the window opens
    double windowSeconds;
};

struct RunResult {
    WindowFigures figures;
    double workingSetKiB; // at the end of the window
    double peakWorkingSetKiB;
    bool schedulerCpuTime; // CPU time from the Linux scheduler, else from GetProcessTimes
};

// Starts the program, waits for its dialog and closes it again: the seconds from launch to a
// visible dialog, or nothing with the reason in error.
std::optional<double> MeasureStartUp(const std::string& program, std::string& error);

// Runs the program once; on failure returns nothing and says why in error. The program is
// always ended before this returns.
std::optional<RunResult> MeasureRun(const std::string& program, DrawCountSource source, RunTimes times,
                                    std::string& error);
