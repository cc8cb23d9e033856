// Drives one program through a measured run from outside, with messages, as the platform would.
#include "program_run.h"

#include <windows.h>

#include <psapi.h>

#include "../../resources/resource.h"
#include "../../tests/window_driving/window_driving.h"
#include "measurement_protocol.h"
#include "unix_cpu_time.h"

namespace {

// Start-up ends when the dialog is seen, so it is looked for often.
constexpr DWORD kPollMilliseconds = 2;
constexpr DWORD kCloseTimeoutMilliseconds = 10000;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr double kBytesPerKiB = 1024.0;
constexpr UINT kForcedExitCode = 1;

double Now()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Wait(double seconds)
{
    Sleep(static_cast<DWORD>(seconds * kMillisecondsPerSecond));
}

bool HasExited(HANDLE process)
{
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

// The program's visible top-level window, which for a dialog program is its dialog; nullptr when
// the program ends or shows none in time.
HWND WaitForDialog(const PROCESS_INFORMATION& process)
{
    HWND dialog = nullptr;
    WaitFor(
        [&] {
            dialog = FindProgramWindow({process.dwProcessId, nullptr});
            return dialog != nullptr || HasExited(process.hProcess);
        },
        kProgramStartTimeoutMs, kPollMilliseconds);
    return dialog;
}

std::optional<std::uint64_t> ReadDrawCount(HWND dialog, DrawCountSource source)
{
    if (source == DrawCountSource::TICK_COUNT_QUERY) {
        DWORD_PTR reply = 0;
        if (!SendWithTimeout(dialog, kTickCountQuery, 0, 0, reply))
            return std::nullopt;
        return static_cast<std::uint64_t>(reply);
    }
    // "Gespielt:" shows only digits; any other character, however wide, makes its text no count.
    std::string text;
    for (const wchar_t shown : ReadField(dialog, IDC_GAMES_PLAYED)) {
        if (shown < L'0' || shown > L'9')
            return std::nullopt;
        text.push_back(static_cast<char>(shown));
    }
    return ParseCount(text);
}

std::uint64_t Span(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::optional<double> CpuSeconds(HANDLE process, std::optional<unsigned long> unixProcess)
{
    if (unixProcess)
        return UnixCpuSeconds(*unixProcess);
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return std::nullopt;
    return SecondsFrom100ns(Span(kernel) + Span(user));
}

std::optional<ProgramSample> Sample(HWND dialog, HANDLE process, std::optional<unsigned long> unixProcess,
                                    DrawCountSource source)
{
    const std::optional<std::uint64_t> draws = ReadDrawCount(dialog, source);
    const std::optional<double> cpu = CpuSeconds(process, unixProcess);
    if (!draws || !cpu)
        return std::nullopt;
    return ProgramSample{*draws, *cpu, Now()};
}

// Asks the program to close as the close box would, and ends it by force if it does not.
bool Close(HWND dialog, HANDLE process)
{
    if (dialog != nullptr)
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, kCloseTimeoutMilliseconds) == WAIT_OBJECT_0)
        return true;
    TerminateProcess(process, kForcedExitCode);
    WaitForSingleObject(process, kCloseTimeoutMilliseconds);
    return false;
}

std::optional<RunResult> MeasureDraws(HWND dialog, HANDLE process, std::optional<unsigned long> unixProcess,
                                      DrawCountSource source, RunTimes times, std::string& error)
{
    DWORD_PTR reply = 0;
    if (!SendWithTimeout(dialog, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0, reply)) {
        error = "Start not answered";
        return std::nullopt;
    }
    Wait(times.warmUpSeconds);
    const std::optional<ProgramSample> start = Sample(dialog, process, unixProcess, source);
    Wait(times.windowSeconds);
    const std::optional<ProgramSample> end = Sample(dialog, process, unixProcess, source);
    if (!start || !end) {
        error = "draw count or CPU time not readable";
        return std::nullopt;
    }
    const std::optional<WindowFigures> figures = FiguresBetween(*start, *end);
    if (!figures) {
        error = "no draws in the window";
        return std::nullopt;
    }

    PROCESS_MEMORY_COUNTERS memory = {};
    if (!GetProcessMemoryInfo(process, &memory, sizeof memory)) {
        error = "working set not readable";
        return std::nullopt;
    }
    return RunResult{*figures, static_cast<double>(memory.WorkingSetSize) / kBytesPerKiB,
                     static_cast<double>(memory.PeakWorkingSetSize) / kBytesPerKiB, unixProcess.has_value()};
}

// A started program with its dialog; ended, and its handles closed, when it goes out of scope.
class LaunchedProgram {
public:
    explicit LaunchedProgram(const std::string& program)
    {
        std::string commandLine = "\"" + program + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        launched = Now();
        started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process) != 0;
        if (started)
            dialog = WaitForDialog(process);
        visible = Now();
    }

    ~LaunchedProgram()
    {
        if (!started)
            return;
        if (!closed)
            Close(dialog, process.hProcess);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    LaunchedProgram(const LaunchedProgram&) = delete;
    LaunchedProgram& operator=(const LaunchedProgram&) = delete;

    // Closes the program as the close box would; false if it had to be ended by force.
    bool close()
    {
        closed = true;
        return Close(dialog, process.hProcess);
    }

    bool started = false;
    bool closed = false;
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;
    double launched = 0;
    double visible = 0;
};

std::optional<std::string> LaunchError(const LaunchedProgram& launch, const std::string& program)
{
    if (!launch.started)
        return "cannot start " + program;
    if (launch.dialog == nullptr)
        return std::string("no visible dialog");
    return std::nullopt;
}

constexpr const char* kForcedEnd = "did not close and was ended by force";

} // namespace

std::optional<double> MeasureStartUp(const std::string& program, std::string& error)
{
    LaunchedProgram launch(program);
    if (const std::optional<std::string> launchError = LaunchError(launch, program)) {
        error = *launchError;
        return std::nullopt;
    }
    if (!launch.close()) {
        error = kForcedEnd;
        return std::nullopt;
    }
    return launch.visible - launch.launched;
}

std::optional<RunResult> MeasureRun(const std::string& program, DrawCountSource source, RunTimes times,
                                    std::string& error)
{
    LaunchedProgram launch(program);
    if (const std::optional<std::string> launchError = LaunchError(launch, program)) {
        error = *launchError;
        return std::nullopt;
    }
    std::optional<RunResult> result =
        MeasureDraws(launch.dialog, launch.process.hProcess, FindUnixProcess(program), source, times, error);
    if (!launch.close()) {
        error = kForcedEnd;
        return std::nullopt;
    }
    return result;
}
