// Reads Linux's /proc through Wine's Z: drive to find a Wine program's process and its CPU time.
#include "unix_cpu_time.h"

#include <windows.h>

#include <cstdlib>

namespace {

constexpr const char* kProcFolder = "Z:\\proc\\";
constexpr DWORD kReadChunk = 4096;
constexpr int kDecimalBase = 10;
constexpr double kNanosecondsPerSecond = 1e9;

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    // Files under /proc report no size, so they are read until they end.
    std::string content;
    char chunk[kReadChunk];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        content.append(chunk, got);
    CloseHandle(file);
    return content;
}

bool IsNumber(const char* name)
{
    if (*name == '\0')
        return false;
    for (; *name != '\0'; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

// Calls visit with each numbered entry of a /proc folder (processes, or a process's threads)
// until it returns true; says whether one did.
template <typename Visit> bool ForEachNumberedEntry(const std::string& folder, Visit visit)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do {
        if (IsNumber(entry.cFileName) && visit(entry.cFileName)) {
            found = true;
            break;
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

} // namespace

std::optional<unsigned long> FindUnixProcess(const std::string& program)
{
    unsigned long unixProcess = 0;
    const bool found = ForEachNumberedEntry(kProcFolder, [&](const char* name) {
        const std::optional<std::string> commandLine = ReadWholeFile(kProcFolder + std::string(name) + "\\cmdline");
        // Wine puts the program's Windows path first; the rest of the line is padding.
        if (!commandLine || lstrcmpiA(commandLine->c_str(), program.c_str()) != 0)
            return false;
        unixProcess = std::strtoul(name, nullptr, kDecimalBase);
        return true;
    });
    if (!found)
        return std::nullopt;
    return unixProcess;
}

std::optional<double> UnixCpuSeconds(unsigned long unixProcess)
{
    const std::string tasks = kProcFolder + std::to_string(unixProcess) + "\\task\\";
    unsigned long long nanoseconds = 0;
    bool anyThread = false;
    ForEachNumberedEntry(tasks, [&](const char* thread) {
        // The first field of schedstat is the thread's time on a CPU in nanoseconds; a thread
        // that ended meanwhile has no file left and its time is gone either way.
        if (const std::optional<std::string> schedstat = ReadWholeFile(tasks + thread + "\\schedstat")) {
            nanoseconds += std::strtoull(schedstat->c_str(), nullptr, kDecimalBase);
            anyThread = true;
        }
        return false;
    });
    if (!anyThread)
        return std::nullopt;
    return static_cast<double>(nanoseconds) / kNanosecondsPerSecond;
}
