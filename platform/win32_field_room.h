// Room for a long number in a dialog's value field: the field grows to its text at run time.
#pragma once

#include <windows.h>

#include <cstddef>

// Before the text is shown in the field: a static field too narrow for it grows to its width, and
// whatever stands to its right in its group box and in the dialog moves right by as much, so the
// player reads the whole number. Costs one read of the field's window data unless the text is
// longer than any the field is known to hold whole; edits and buttons never grow.
void MakeRoomFor(HWND dialog, HWND field, const char* text, std::size_t length);
