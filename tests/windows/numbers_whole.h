// Whether a live dialog shows every number whole, measured as the player sees it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

// Whether the dialog may have grown for long numbers shown since it opened.
enum class Grown { NO, MAYBE };

// The dialog made from the named template: the text of every value field (a static the program
// addresses) fits the field's client area in the dialog's own font; no two controls overlap; every
// control lies inside the dialog's client area and inside the group box the template puts it in.
// When it cannot have grown, every control and the dialog are also where and as large as the
// template says, to the pixel.
::testing::AssertionResult ShowsEveryNumberWhole(HWND dialog, const char* templateName, Grown grown);
