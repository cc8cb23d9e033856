// The main dialog procedure: turns the player's commands and the draw timer's ticks into game operations.
#include "main_dialog.h"

#include <mmsystem.h>

#include <cstddef>
#include <string>

#include "../losses/loss_dialog.h"
#include "../resources/resource.h"
#include "../platform/dialog_timer.h"
#include "../platform/program_icon.h"
#include "about_text.h"
#include "game_record.h"
#include "random_source.h"

bool lossDialogOpen = false;

namespace {

// The about box's texts are Windows-1252, whatever ANSI code page the system runs with.
constexpr UINT kWindows1252 = 1252;
// Tells MultiByteToWideChar to read up to and including the terminator.
constexpr int kUpToTheTerminator = -1;
constexpr UINT kAboutStyle = MB_OK | MB_ICONINFORMATION;

// Windows-1252 has one byte per character, so UTF-16 needs one unit per byte and one for the end.
constexpr std::size_t Utf16UnitsFrom1252(const char* text)
{
    return std::char_traits<char>::length(text) + 1;
}
// Sized when compiled: the about box allocates nothing.
constexpr std::size_t kAboutTextUnits = Utf16UnitsFrom1252(kAboutText);
constexpr std::size_t kAboutCaptionUnits = Utf16UnitsFrom1252(kAboutCaption);

template <std::size_t Units>
bool ConvertFrom1252(const char* text, wchar_t (&converted)[Units])
{
    return MultiByteToWideChar(kWindows1252, MB_ERR_INVALID_CHARS, text, kUpToTheTerminator, converted,
                               static_cast<int>(Units)) != 0;
}

void InitMainDialog(HWND dialog)
{
    SetProgramIcons(dialog);
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
    // Shown as UTF-16: MessageBoxA would read the umlauts' bytes in the system's code page.
    wchar_t text[kAboutTextUnits];
    wchar_t caption[kAboutCaptionUnits];
    if (ConvertFrom1252(kAboutText, text) && ConvertFrom1252(kAboutCaption, caption))
        MessageBoxW(dialog, text, caption, kAboutStyle);
    else
        // Without Windows-1252 on the system the box still shows, whole, with only the umlauts at risk.
        MessageBoxA(dialog, kAboutText, kAboutCaption, kAboutStyle);
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
