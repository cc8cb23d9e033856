// The main dialog procedure: turns the player's commands and the draw timer's ticks into game operations.
#include "main_dialog.h"

#include <mmsystem.h>

#include "../losses/loss_dialog.h"
#include "../resources/resource.h"
#include "../platform/dialog_timer.h"
#include "game_record.h"
#include "random_source.h"

bool lossDialogOpen = false;

namespace {

constexpr const char* kAboutCaption = "Tippwerk";
// Windows-1252 text: \xFC is u-umlaut, \xE4 is a-umlaut.
constexpr const char* kAboutText =
    "\n"
    "Dezember 2026 - Das Tippwerk-Team\n"
    "(tippwerk@example.org) mit C++ und MinGW-w64 programmiert!\n"
    "\n"
    "Besuchen Sie unsere Homepage:\n"
    "https://tippwerk.example.org\n"
    "\n"
    "F\xFCr Spenden w\xE4re ich sehr dankbar\n"
    "- vielleicht hat ja jemand durch\n"
    "dieses Programm viel Geld gespart!";

void InitMainDialog(HWND dialog)
{
    lossDialogOpen = false;
    Seed(timeGetTime());
    NewRandomTip(dialog);
    SetFocus(dialog);
}

void StartDraws(HWND dialog)
{
    AcceptTip(dialog);
    StartDialogTimer(dialog);
}

void ShowAbout(HWND dialog)
{
    MessageBoxA(dialog, kAboutText, kAboutCaption, MB_OK | MB_ICONINFORMATION);
}

void EndMainDialog(HWND dialog)
{
    StopDialogTimer(dialog);
    EndDialog(dialog, 0);
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitMainDialog(dialog);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_START:
            StartDraws(dialog);
            return FALSE;
        case IDC_STOP:
            StopDialogTimer(dialog);
            return FALSE;
        case IDC_RESET:
            NewRandomTip(dialog);
            return FALSE;
        case IDC_INFO:
            ShowAbout(dialog);
            return FALSE;
        case IDC_LOSSES:
            OpenLossDialog();
            return FALSE;
        case IDC_END:
            EndMainDialog(dialog);
            return TRUE;
        default:
            // Escape sends IDCANCEL, which the main dialog ignores.
            return FALSE;
        }
    case WM_TIMER:
        RunOneDraw(dialog);
        return FALSE;
    case WM_CLOSE:
        EndMainDialog(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
