// The names the two dialog templates are found by, in the program's resources and in the page.
#pragma once

constexpr const char* kMainDialogTemplate = "LOTTODIALOG";
constexpr const char* kLossDialogTemplate = "VERLUSTDIALOG";
