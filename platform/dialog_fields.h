// Access to a dialog's fields by control identifier: the only way the game and money logic see a dialog.
#pragma once

#include <cstdint>

// The dialog window, opaque to the logic; on Windows it is the dialog's HWND.
using DialogHandle = void*;

// The field's text read as an unsigned 32-bit number; an empty field reads as 0.
std::uint32_t ReadFieldNumber(DialogHandle dialog, int fieldId);

// Shows a count as unsigned decimal text.
void ShowCount(DialogHandle dialog, int fieldId, std::uint64_t count);

// Shows a signed value as decimal text, with a leading "-" exactly when it is negative.
void ShowSignedValue(DialogHandle dialog, int fieldId, std::int64_t value);

// Shows a modal warning box (one OK button, exclamation icon) owned by the dialog and
// returns when the player has dismissed it.
void ShowWarningBox(DialogHandle dialog, const char* text, const char* caption);
