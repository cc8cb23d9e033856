// Drives real dialogs on the test's thread: pumping with deadlines, fields, and code run inside modal loops.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <vector>

using Milliseconds = std::chrono::milliseconds;

// Every wait ends by this deadline, so a fault fails the test instead of hanging it.
constexpr Milliseconds kPatience{5000};

// Pumps this thread's messages as a modal dialog loop does, keys through the dialog manager,
// until done() holds or the deadline passes; returns done().
bool PumpUntil(const std::function<bool()>& done, Milliseconds timeout = kPatience);

// Pumps for a while, to see that something does not happen.
void PumpFor(Milliseconds duration);

// Timer messages the pump above has dispatched, per window, and every timer id among them.
struct TimerLog {
    int TicksFor(HWND window) const;
    std::vector<HWND> windows;
    std::set<UINT_PTR> ids;
};
extern TimerLog timerLog;

std::string FieldText(HWND dialog, int id);
// A field's decimal text as a number; fails the test on anything else.
unsigned long long FieldNumber(HWND dialog, int id);
void TypeInto(HWND dialog, int id, const char* text);
// Clicks a button as the mouse does; returns when the dialog has handled the command.
void Click(HWND dialog, int id);

// Whether the window answers WM_GETICON, large and small, with the program's own icon at the
// system's sizes: neither with none nor with another icon.
::testing::AssertionResult ShowsProgramIcons(HWND window);

std::wstring WindowTextW(HWND window);
// The dialog windows (including message boxes) of this thread with the caption, shown or not.
std::vector<HWND> ThreadDialogs(const wchar_t* caption);
// The one such window, or nullptr; fails the test when there are several.
HWND FindThreadDialog(const wchar_t* caption);

// Runs body once from inside the modal loop this thread is in (DialogBoxParamA or a message box),
// so a test can drive a dialog while the call that opened it still blocks; with ready, only once
// ready() holds (or at the deadline), letting the loop itself run until then. Should the dialog
// with the caption (if one is given) still be open when body returns, the test fails and the
// dialog is ended, so a fault cannot hang the test.
class ModalStep {
public:
    ModalStep(const wchar_t* dialogCaption, std::function<void()> body, std::function<bool()> ready = {});
    ~ModalStep();
    ModalStep(const ModalStep&) = delete;
    ModalStep& operator=(const ModalStep&) = delete;

    bool ran() const { return ran_; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);

    const wchar_t* caption_;
    std::function<void()> body_;
    std::function<bool()> ready_;
    std::chrono::steady_clock::time_point deadline_;
    UINT_PTR timer_;
    bool ran_ = false;
};

// A message box seen by BoxWatcher, read while it was up.
struct SeenBox {
    HWND owner;
    std::wstring text;
    HICON icon;
    std::vector<int> buttonIds;
};

// Watches from inside the boxes' own modal loops for message boxes with the caption over the
// owner window, reads each one, and dismisses it with OK once mayDismiss() holds (or at the deadline).
class BoxWatcher {
public:
    BoxWatcher(HWND owner, const wchar_t* caption, std::function<void()> onAppear = {},
               std::function<bool()> mayDismiss = {});
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<SeenBox> boxes;

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Watch();

    HWND owner_;
    const wchar_t* caption_;
    std::function<void()> onAppear_;
    std::function<bool()> mayDismiss_;
    UINT_PTR timer_;
    HWND current_ = nullptr;
    std::chrono::steady_clock::time_point currentSince_;
    std::set<HWND> dismissed_;
};
