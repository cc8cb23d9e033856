// The dialog-field access on Windows: the dialog manager's fields and message boxes.
#include "dialog_fields.h"

#include <windows.h>

#include <cstring>

#include "decimal_text.h"
#include "win32_field_room.h"

namespace {

HWND Window(DialogHandle dialog)
{
    return static_cast<HWND>(dialog);
}

// Written as text of the same form SetDlgItemInt writes, which holds only 32 bits; a field too
// narrow for it is given room first.
void ShowText(DialogHandle dialog, int fieldId, const DecimalText& decimal)
{
    const HWND field = GetDlgItem(Window(dialog), fieldId);
    MakeRoomFor(Window(dialog), field, decimal.text, std::strlen(decimal.text));
    SetWindowTextA(field, decimal.text);
}

} // namespace

std::uint32_t ReadFieldNumber(DialogHandle dialog, int fieldId)
{
    return GetDlgItemInt(Window(dialog), fieldId, nullptr, FALSE);
}

void ShowCount(DialogHandle dialog, int fieldId, std::uint64_t count)
{
    ShowText(dialog, fieldId, UnsignedDecimal(count));
}

void ShowSignedValue(DialogHandle dialog, int fieldId, std::int64_t value)
{
    ShowText(dialog, fieldId, SignedDecimal(value));
}

void ShowWarningBox(DialogHandle dialog, const char* text, const char* caption)
{
    MessageBoxA(Window(dialog), text, caption, MB_OK | MB_ICONEXCLAMATION);
}
