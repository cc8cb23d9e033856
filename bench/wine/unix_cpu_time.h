// CPU time of a program run under Wine, read from the Linux scheduler through Wine's Z: drive.
#pragma once

#include <optional>
#include <string>

// The Linux process whose command line starts with the program's path, if the program runs
// under Wine on Linux and Z: maps the root directory, as in a default Wine prefix.
std::optional<unsigned long> FindUnixProcess(const std::string& program);

// Seconds on a CPU of all the process's threads, in the scheduler's nanoseconds; Wine's own
// GetProcessTimes moves in 10 ms steps, too coarse for a draw that costs microseconds.
std::optional<double> UnixCpuSeconds(unsigned long unixProcess);
