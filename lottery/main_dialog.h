// The main dialog LOTTODIALOG: tip entry, the draw timer and the counters.
#pragma once

#include <windows.h>

#include "../resources/dialog_names.h"

// Set while the loss dialog is open, so Verluste opens it only once.
extern bool lossDialogOpen;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
