// The program's own icon on its dialog windows, which get none from their window class.
#pragma once

#include <windows.h>

// The program file's icon at the size the system metrics name (SM_CXICON and SM_CYICON, or
// SM_CXSMICON and SM_CYSMICON). Shared, so the system owns it and nothing has to free it.
HICON LoadProgramIcon(int widthMetric, int heightMetric);

// Gives the dialog the program's icon, large and small, where Alt+Tab and the taskbar ask a window for one.
void SetProgramIcons(HWND dialog);
