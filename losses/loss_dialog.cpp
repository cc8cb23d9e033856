// The loss dialog procedure: evaluates once on Auswertung and at every tick of its own timer in Auto.
#include "loss_dialog.h"

#include "../platform/dialog_timer.h"
#include "../platform/program_icon.h"
#include "../lottery/main_dialog.h"
#include "../resources/resource.h"
#include "money.h"

namespace {

void InitLossDialog(HWND dialog)
{
    SetProgramIcons(dialog);
    lossDialogOpen = true;
    SetDefaultPrices(dialog);
    SetFocus(dialog);
}

void EvaluateOnce(HWND dialog)
{
    StopDialogTimer(dialog);
    EvaluateLosses(dialog);
}

void EndLossDialog(HWND dialog)
{
    StopDialogTimer(dialog);
    EndDialog(dialog, 0);
    lossDialogOpen = false;
}

} // namespace

void OpenLossDialog()
{
    if (lossDialogOpen)
        return;
    // No owner, so the main dialog stays enabled and keeps drawing while this one is open.
    DialogBoxParamA(nullptr, kLossDialogTemplate, nullptr, LossDialogProc, 0);
}

INT_PTR CALLBACK LossDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitLossDialog(dialog);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_EVALUATE:
            EvaluateOnce(dialog);
            return FALSE;
        case IDC_AUTO:
            StartDialogTimer(dialog);
            return FALSE;
        case IDC_END:
            EndLossDialog(dialog);
            return TRUE;
        default:
            // Escape sends IDCANCEL, which the loss dialog ignores.
            return FALSE;
        }
    case WM_TIMER:
        EvaluateLosses(dialog);
        return FALSE;
    case WM_CLOSE:
        EndLossDialog(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
