// Grows a dialog's value field to a number too long for its template width, as a column of the dialog.
#include "win32_field_room.h"

#include <algorithm>

#include "decimal_text.h"
#include "dialog_area.h"

namespace {

constexpr int kClassNameSize = 16;
// No dialog of the program has more group boxes than this.
constexpr int kMostGroups = 4;
// Nor more controls than this.
constexpr int kMostControls = 64;
// Stored for a control that never grows: longer than any text a field is given.
constexpr LONG_PTR kNeverGrows = kDecimalTextSize;

// The longest text known to fit lives in the field's own window data, so it goes with the field
// and each dialog, opened afresh, starts from its template.
std::size_t KnownToFit(HWND field)
{
    return static_cast<std::size_t>(GetWindowLongPtrA(field, GWLP_USERDATA));
}

void RememberFits(HWND field, LONG_PTR length)
{
    SetWindowLongPtrA(field, GWLP_USERDATA, length);
}

struct Group {
    HWND window;
    RECT area;
};

bool IsClass(HWND window, const char* className)
{
    char actual[kClassNameSize] = {};
    GetClassNameA(window, actual, kClassNameSize);
    return lstrcmpiA(actual, className) == 0;
}

bool IsGroupBox(HWND control)
{
    return IsClass(control, "Button") && (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The dialog's group boxes, where they stood before anything moved.
class Groups {
public:
    explicit Groups(HWND dialog)
    {
        for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr && count_ < kMostGroups;
             control = GetWindow(control, GW_HWNDNEXT))
            if (IsGroupBox(control))
                groups_[count_++] = {control, AreaInDialog(dialog, control)};
    }

    // The group box a control with this area stands in, or nullptr for one in none; a group box
    // stands in none.
    const Group* Around(const RECT& area) const
    {
        for (int i = 0; i < count_; ++i)
            if (Encloses(groups_[i].area, area) && !EqualRect(&groups_[i].area, &area))
                return &groups_[i];
        return nullptr;
    }

private:
    Group groups_[kMostGroups] = {};
    int count_ = 0;
};

// What a field needs for a number, in pixels of the dialog's font.
struct Room {
    LONG text; // this text, or as many of the font's widest digit: any number of its length
    LONG gap;  // one digit more, kept free by a field that grows, so its number never touches a unit
};

Room RoomFor(HWND dialog, HWND field, const char* text, std::size_t length)
{
    const std::size_t characters = std::min(length, kDecimalTextSize - 1);
    const HDC dc = GetDC(field);
    const HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    char widest = '0';
    INT widestWidth = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        INT width = 0;
        if (GetCharWidth32A(dc, static_cast<UINT>(digit), static_cast<UINT>(digit), &width) && width > widestWidth) {
            widest = digit;
            widestWidth = width;
        }
    }
    char widestDigits[kDecimalTextSize] = {};
    std::fill_n(widestDigits, characters, widest);
    SIZE textSize{};
    SIZE digitsSize{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(characters), &textSize);
    GetTextExtentPoint32A(dc, widestDigits, static_cast<int>(characters), &digitsSize);
    SelectObject(dc, previousFont);
    ReleaseDC(field, dc);
    return {std::max(textSize.cx, digitsSize.cx), widestWidth};
}

void Reshape(HWND control, const RECT& area, LONG moveBy, LONG widenBy)
{
    SetWindowPos(control, nullptr, area.left + moveBy, area.top, area.right - area.left + widenBy,
                 area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The field widens by the given pixels with the fields of its column (the same left edge and width
// in the same group box). Its group box widens as much, and everything right of the field in that
// group box, then everything right of the group box in the dialog, moves right as much; so does
// everything right of the field in the dialog, for a field in no group box. The dialog widens too.
// Every control is judged by where it stood before anything moved.
void Grow(HWND dialog, HWND field, LONG by)
{
    const Groups groups(dialog);
    const RECT fieldArea = AreaInDialog(dialog, field);
    const Group* const home = groups.Around(fieldArea);
    // Right of this edge in the dialog, a control moves with the group box it stands in.
    const LONG outerEdge = home != nullptr ? home->area.right : fieldArea.right;

    // Collected before anything moves, so every control is judged by where it stood.
    HWND controls[kMostControls];
    RECT areas[kMostControls];
    int count = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr && count < kMostControls;
         control = GetWindow(control, GW_HWNDNEXT), ++count) {
        controls[count] = control;
        areas[count] = AreaInDialog(dialog, control);
    }
    for (int i = 0; i < count; ++i) {
        const RECT& area = areas[i];
        const Group* const group = groups.Around(area);
        if (home != nullptr && controls[i] == home->window) {
            Reshape(controls[i], area, 0, by);
        } else if (group == home) {
            const bool sameColumn = area.left == fieldArea.left && area.right == fieldArea.right;
            if (sameColumn && IsClass(controls[i], "Static"))
                Reshape(controls[i], area, 0, by);
            else if (area.left >= fieldArea.right)
                Reshape(controls[i], area, by, 0);
        } else if ((group != nullptr ? group->area.left : area.left) >= outerEdge) {
            Reshape(controls[i], area, by, 0);
        }
    }

    RECT window;
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + by, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(dialog, nullptr, TRUE);
}

} // namespace

void MakeRoomFor(HWND dialog, HWND field, const char* text, std::size_t length)
{
    if (field == nullptr || length <= KnownToFit(field))
        return;
    if (!IsClass(field, "Static")) {
        RememberFits(field, kNeverGrows);
        return;
    }
    RECT client;
    GetClientRect(field, &client);
    const Room needed = RoomFor(dialog, field, text, length);
    if (needed.text > client.right)
        Grow(dialog, field, needed.text + needed.gap - client.right);
    RememberFits(field, static_cast<LONG_PTR>(length));
}
