// The loss dialog VERLUSTDIALOG: prices, costs, winnings and total beside the running main dialog.
#pragma once

#include <windows.h>

#include "../resources/dialog_names.h"

// The main dialog's Verluste command: opens the loss dialog, unowned and modal, unless it is
// already open, and returns when it has ended.
void OpenLossDialog();

INT_PTR CALLBACK LossDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
