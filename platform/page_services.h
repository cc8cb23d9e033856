// What the page provides in place of the dialog manager: field texts, message boxes, the dialogs'
// timers and windows. Each is a function of the page's script that the WebAssembly module imports.
#pragma once

#include <cstdint>

#include "dialog_fields.h"

// The page's two dialogs, as the engine passes them around.
enum class PageDialog : std::uintptr_t { MAIN = 1, LOSS = 2 };

inline DialogHandle HandleOf(PageDialog dialog)
{
    return reinterpret_cast<DialogHandle>(static_cast<std::uintptr_t>(dialog));
}

inline PageDialog DialogOf(DialogHandle handle)
{
    return static_cast<PageDialog>(reinterpret_cast<std::uintptr_t>(handle));
}

// The icon a message box shows.
enum class BoxIcon : int { WARNING = 1, INFORMATION = 2 };

#define PAGE_SERVICE(name) __attribute__((import_module("page"), import_name(name)))

// Copies at most capacity - 1 bytes of the field's text, UTF-8, and a terminator into text.
PAGE_SERVICE("readFieldText") void PageReadFieldText(PageDialog dialog, int fieldId, char* text, int capacity);
// Shows text, terminated, in the field.
PAGE_SERVICE("showFieldText") void PageShowFieldText(PageDialog dialog, int fieldId, const char* text);
// Shows a message box with one OK button over the page, after any box still up; text and caption
// are Windows-1252. It returns at once: the page goes on while the box is up.
PAGE_SERVICE("showMessageBox") void PageShowMessageBox(PageDialog owner, const char* text, const char* caption,
                                                       BoxIcon icon);
// The dialog's one timer, ticking as often as the browser runs a zero-delay timeout in front, and as
// often in a hidden page; starting it again while it runs changes nothing.
PAGE_SERVICE("startTimer") void PageStartTimer(PageDialog dialog);
PAGE_SERVICE("stopTimer") void PageStopTimer(PageDialog dialog);
// Shows the dialog fresh from its template, with the keyboard focus on it.
PAGE_SERVICE("openDialog") void PageOpenDialog(PageDialog dialog, const char* templateName);
// Brings the open dialog into view with the keyboard focus in it, as activating its window would.
PAGE_SERVICE("activateDialog") void PageActivateDialog(PageDialog dialog);
// Hides the dialog.
PAGE_SERVICE("endDialog") void PageEndDialog(PageDialog dialog);
// Tells the player the program has ended and offers a new start.
PAGE_SERVICE("endProgram") void PageEndProgram();

#undef PAGE_SERVICE
