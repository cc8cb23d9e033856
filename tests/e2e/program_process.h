// The program under test as a process of its own: started by the driver, checked for its exit code.
#pragma once

#include <windows.h>

constexpr DWORD kProgramExitTimeoutMs = 10000;

class ProgramProcess {
public:
    // Starts the program at path; started() tells whether that worked.
    explicit ProgramProcess(const char* path);
    // A program still running when the walk is over is ended, so a failed walk leaves nothing behind.
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool started() const { return process != nullptr; }
    HANDLE handle() const { return process; }
    DWORD id() const { return processId; }
    // Whether the process is still running after waiting up to timeoutMs for it to end.
    bool runsAfter(DWORD timeoutMs) const;
    // Waits up to kProgramExitTimeoutMs for the process to end; false when it did not.
    bool waitForExit(DWORD& exitCode) const;

private:
    HANDLE process = nullptr;
    DWORD processId = 0;
};
