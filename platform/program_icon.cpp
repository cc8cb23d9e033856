// The program's own icon on its dialogs, loaded at the system's icon sizes.
#include "program_icon.h"

#include "../resources/resource.h"

HICON LoadProgramIcon(int widthMetric, int heightMetric)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TIPPWERK), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

void SetProgramIcons(HWND dialog)
{
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadProgramIcon(SM_CXICON, SM_CYICON)));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadProgramIcon(SM_CXSMICON, SM_CYSMICON)));
}
