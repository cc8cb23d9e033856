// A dialog template resource of the test program read back word by word, as the dialog manager reads it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ControlTemplate {
    std::wstring className; // upper case; predefined classes given by ordinal are named
    int id;
    DWORD style;
    DWORD exStyle;
    short x, y, w, h;
    std::wstring text;
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    short x, y, w, h;
    std::wstring menu;
    std::wstring className;
    std::wstring caption;
    WORD pointSize;
    std::wstring font;
    std::vector<ControlTemplate> controls;
};

// Finds the named RT_DIALOG resource in the test program and parses it; throws when it is missing.
DialogTemplate LoadDialogTemplate(const char* name);
