// Drives one program through a measured run from outside, with messages, as the platform would.
#include "program_run.h"

#include <windows.h>

#include <psapi.h>

#include "../../resources/resource.h"
#include "measurement_protocol.h"
#include "unix_cpu_time.h"

namespace {

constexpr DWORD kPollMilliseconds = 2;
constexpr double kDialogDeadlineSeconds = 30.0;
constexpr UINT kReplyTimeoutMilliseconds = 5000;
constexpr DWORD kCloseTimeoutMilliseconds = 10000;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr double kBytesPerKiB = 1024.0;
constexpr int kCountTextSize = 32;
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

struct DialogSearch {
    DWORD processId;
    HWND dialog;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window)) {
        search->dialog = window;
        return FALSE;
    }
    return TRUE;
}

bool HasExited(HANDLE process)
{
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

// The program's first visible top-level window, which for a dialog program is its dialog.
HWND WaitForDialog(const PROCESS_INFORMATION& process, double deadline)
{
    DialogSearch search = {process.dwProcessId, nullptr};
    while (Now() < deadline && !HasExited(process.hProcess)) {
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.dialog != nullptr)
            return search.dialog;
        Sleep(kPollMilliseconds);
    }
    return nullptr;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& reply)
{
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kReplyTimeoutMilliseconds, &reply) !=
           0;
}

std::optional<std::uint64_t> ReadDrawCount(HWND dialog, DrawCountSource source)
{
    DWORD_PTR reply = 0;
    if (source == DrawCountSource::TICK_COUNT_QUERY) {
        if (!Send(dialog, kTickCountQuery, 0, 0, reply))
            return std::nullopt;
        return static_cast<std::uint64_t>(reply);
    }
    char text[kCountTextSize] = {};
    HWND field = GetDlgItem(dialog, IDC_GAMES_PLAYED);
    if (field == nullptr || !Send(field, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), reply))
        return std::nullopt;
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
    if (!Send(dialog, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0, reply)) {
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
            dialog = WaitForDialog(process, launched + kDialogDeadlineSeconds);
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
