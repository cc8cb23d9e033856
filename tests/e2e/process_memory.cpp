// Reading a process's working set and commit charge through the process status API.
#include "process_memory.h"

#include <psapi.h>

bool ReadMemory(HANDLE process, MemoryFigures& figures)
{
    // Wine leaves PrivateUsage at 0 but fills PagefileUsage, which Windows counts the same way.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return false;
    figures = {counters.WorkingSetSize, counters.PagefileUsage};
    return true;
}
