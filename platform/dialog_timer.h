// The one timer each dialog runs: identifier 1 on its own window, as fast as the platform ticks.
#pragma once

#include <windows.h>

constexpr UINT_PTR TIMER_ID = 1;
// Zero asks for the shortest interval the platform allows.
constexpr UINT kFastestInterval = 0;

inline void StartDialogTimer(HWND dialog)
{
    // Setting a running timer again only replaces it, so there is never more than one.
    SetTimer(dialog, TIMER_ID, kFastestInterval, nullptr);
}

inline void StopDialogTimer(HWND dialog)
{
    KillTimer(dialog, TIMER_ID);
}
