// Starting the program under test, waiting for its end and reading its exit code.
#include "program_process.h"

#include <string>
#include <vector>

namespace {

constexpr UINT kExitCodeWhenEndedByDriver = 99;

} // namespace

ProgramProcess::ProgramProcess(const char* path)
{
    // CreateProcess may write into the command line, so it gets a copy of its own.
    const std::string quoted = std::string("\"") + path + "\"";
    std::vector<char> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // No inherited handles: the program must not hold the test's output pipe open.
    if (!CreateProcessA(path, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return;
    CloseHandle(info.hThread);
    process = info.hProcess;
    processId = info.dwProcessId;
}

ProgramProcess::~ProgramProcess()
{
    if (!process)
        return;
    if (runsAfter(0)) {
        TerminateProcess(process, kExitCodeWhenEndedByDriver);
        WaitForSingleObject(process, kProgramExitTimeoutMs);
    }
    CloseHandle(process);
}

bool ProgramProcess::runsAfter(DWORD timeoutMs) const
{
    return WaitForSingleObject(process, timeoutMs) == WAIT_TIMEOUT;
}

bool ProgramProcess::waitForExit(DWORD& exitCode) const
{
    if (WaitForSingleObject(process, kProgramExitTimeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process, &exitCode) != 0;
}
