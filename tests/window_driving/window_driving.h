// Driving another process's dialogs as a user would: finding windows, reading and typing fields, clicking.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Every wait ends after one of these, so a hung program fails the run instead of stalling it.
// A 32-bit program emulated where the kernel runs no 32-bit code takes about a minute to start.
constexpr DWORD kProgramStartTimeoutMs = 180000;
constexpr DWORD kWindowTimeoutMs = 10000;
constexpr DWORD kSendTimeoutMs = 5000;
constexpr DWORD kPollIntervalMs = 20;

// What identifies a top-level window of the program under test.
struct WindowQuery {
    DWORD processId;
    const wchar_t* caption; // nullptr for any: a dialog program's only visible window is its dialog
    HWND owner = nullptr;   // when set, only windows owned by it (message boxes of a dialog)
};

// For waits on the program's answer to a message it has already taken, which comes within moments.
constexpr DWORD kQuickPollIntervalMs = 1;

// Polls until condition() holds or timeoutMs has passed; returns whether it held.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs, DWORD pollIntervalMs = kPollIntervalMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(pollIntervalMs);
    }
}

// Sends a message and waits for the answer; false when the program did not answer in time.
bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result);

// The visible top-level window matching the query, or nullptr.
HWND FindProgramWindow(const WindowQuery& query);
HWND WaitForProgramWindow(const WindowQuery& query, DWORD timeoutMs, DWORD pollIntervalMs = kPollIntervalMs);
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

// Pastes text from the clipboard into a field, replacing all it held, as a player's Ctrl+V would;
// false when the clipboard was not available or the program did not answer.
bool PasteIntoField(HWND dialog, int fieldId, const wchar_t* text);

// Presses a key in a dialog field: the dialog's focus moves to the field first, as a click into it
// would, and the key is posted so that it passes through the modal loop the program is running.
bool PressKeyInField(HWND dialog, int fieldId, WORD key);

// Waits until the program has taken every message posted to it so far: each was handled, or its
// handling now waits in a modal loop (a message box, the loss dialog). `field` is any edit field of
// the program; a harmless mark is posted to it behind the others and waited for.
bool WaitUntilPostedTaken(HWND field);

// A top-level window of a process, as a census of its windows sees it.
struct ProgramWindow {
    HWND window;
    std::wstring caption;
    std::wstring className;
    bool visible;
};

// Every top-level window of the process, visible or not.
std::vector<ProgramWindow> ListProgramWindows(DWORD processId);

// The window's place on the screen.
RECT AreaOf(HWND window);

// Whether any static control of the window shows text containing the given part.
bool ShowsText(HWND window, const std::wstring& part);

// Text of a number, to compare with a field's text.
std::wstring NumberText(std::int64_t value);
