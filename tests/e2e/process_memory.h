// The memory a running program holds, as the system counts it, for seeing that a long run does not grow.
#pragma once

#include <windows.h>

#include <cstddef>

struct MemoryFigures {
    std::size_t workingSet; // bytes of the process in physical memory
    std::size_t committed;  // bytes committed to the process alone: what a leak makes grow
};

// The figures of a process the driver started; false when the system would not give them.
bool ReadMemory(HANDLE process, MemoryFigures& figures);
