// The bare platform: Tippwerk's main dialog template run by a procedure that only counts timer ticks.
#include <windows.h>

#include "../../lottery/main_dialog.h"
#include "../../platform/dialog_timer.h"
#include "../../resources/resource.h"
#include "measurement_protocol.h"

namespace {

// Timer messages since Start; unsigned, so even a run of years wraps instead of overflowing.
ULONG_PTR ticks = 0;

INT_PTR CALLBACK BareTimerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        // Start as in Tippwerk: timer 1 at the shortest interval; every other command is ignored.
        if (LOWORD(wParam) == IDC_START)
            StartDialogTimer(dialog);
        return FALSE;
    case WM_TIMER:
        ++ticks;
        return FALSE;
    case kTickCountQuery:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, static_cast<LONG_PTR>(ticks));
        return TRUE;
    case WM_CLOSE:
        StopDialogTimer(dialog);
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    DialogBoxParamA(nullptr, kMainDialogTemplate, nullptr, BareTimerProc, 0);
    return 0;
}
