// Driving another process's dialogs as a user would: finding windows, reading and typing fields, clicking.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Every wait of the driver ends after one of these, so a hung program fails the walk instead of stalling it.
constexpr DWORD kProgramStartTimeoutMs = 30000;
constexpr DWORD kWindowTimeoutMs = 10000;
constexpr DWORD kSendTimeoutMs = 5000;
constexpr DWORD kPollIntervalMs = 20;

// What identifies a top-level window of the program under test.
struct WindowQuery {
    DWORD processId;
    const wchar_t* caption;
    HWND owner = nullptr;   // when set, only windows owned by it (message boxes of a dialog)
};

// Polls until condition() holds or timeoutMs has passed; returns whether it held.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(kPollIntervalMs);
    }
}

// The visible top-level window matching the query, or nullptr.
HWND FindProgramWindow(const WindowQuery& query);
HWND WaitForProgramWindow(const WindowQuery& query, DWORD timeoutMs);
// Visible top-level windows matching the query.
int CountProgramWindows(const WindowQuery& query);

// A control's text by WM_GETTEXT, since GetWindowText does not read another process's controls.
// An empty result also stands for a window that did not answer in time.
std::wstring ReadText(HWND window);
std::wstring ReadField(HWND dialog, int fieldId);
// A field holding an unsigned decimal count; false when it holds anything else.
bool ReadCount(HWND dialog, int fieldId, std::uint64_t& count);

// Replaces a field's text as typing it would; false when the program did not answer.
bool TypeField(HWND dialog, int fieldId, const wchar_t* text);

// Clicks a button and returns when the program has handled the click; false when it did not answer
// in time (a click that opens a modal box never returns: post those).
bool ClickButton(HWND dialog, int buttonId);
// Clicks a button without waiting for the click to be handled.
bool PostClick(HWND dialog, int buttonId);
// The close box, handled before returning; false when the program did not answer.
bool PressCloseBox(HWND window);

// The window's place on the screen.
RECT AreaOf(HWND window);

// Whether any static control of the window shows text containing the given part.
bool ShowsText(HWND window, const std::wstring& part);

// Text of a number, to compare with a field's text.
std::wstring NumberText(std::int64_t value);
