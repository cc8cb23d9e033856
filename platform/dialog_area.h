// Where a control stands in its dialog, in pixels of the dialog's client area, and which area holds which.
#pragma once

#include <windows.h>

inline RECT AreaInDialog(HWND dialog, HWND control)
{
    RECT area;
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

inline bool Encloses(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}
