// The program's entry point: the main dialog is the whole program; its modal loop is the message loop.
#include <windows.h>

#include "main_dialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    DialogBoxParamA(nullptr, kMainDialogTemplate, nullptr, MainDialogProc, 0);
    return 0;
}
