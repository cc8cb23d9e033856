// The dialog-field access on Windows: the dialog manager's number fields and message boxes.
#include "dialog_fields.h"

#include <windows.h>

#include <limits>

#include "decimal_text.h"

namespace {

HWND Window(DialogHandle dialog)
{
    return static_cast<HWND>(dialog);
}

} // namespace

std::uint32_t ReadFieldNumber(DialogHandle dialog, int fieldId)
{
    return GetDlgItemInt(Window(dialog), fieldId, nullptr, FALSE);
}

void ShowCount(DialogHandle dialog, int fieldId, std::uint64_t count)
{
    // The platform's number fields hold 32 bits; wider counts are written as text of the same form.
    if (count <= std::numeric_limits<UINT>::max())
        SetDlgItemInt(Window(dialog), fieldId, static_cast<UINT>(count), FALSE);
    else
        SetDlgItemTextA(Window(dialog), fieldId, UnsignedDecimal(count).text);
}

void ShowSignedValue(DialogHandle dialog, int fieldId, std::int64_t value)
{
    if (value >= std::numeric_limits<INT>::min() && value <= std::numeric_limits<INT>::max()) {
        const auto narrow = static_cast<INT>(value);
        SetDlgItemInt(Window(dialog), fieldId, static_cast<UINT>(narrow), narrow < 0);
    } else {
        SetDlgItemTextA(Window(dialog), fieldId, SignedDecimal(value).text);
    }
}

void ShowWarningBox(DialogHandle dialog, const char* text, const char* caption)
{
    MessageBoxA(Window(dialog), text, caption, MB_OK | MB_ICONEXCLAMATION);
}
