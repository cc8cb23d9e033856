// The page's two dialogs: what their procedures get from the page, as the Windows dialogs get messages.
#pragma once

#include <cstdint>

// The messages the page sends a dialog; a command carries the identifier of the control or key.
enum class PageMessage { INIT, COMMAND, TIMER, CLOSE };

// INIT carries the millisecond count the random source is seeded from, COMMAND the identifier.
void MainDialogProc(PageMessage message, std::uint32_t parameter);
void LossDialogProc(PageMessage message, std::uint32_t parameter);

// Set while the loss dialog is open, so Verluste opens it only once.
extern bool lossDialogOpen;

// The main dialog's Verluste command: opens the loss dialog, or shows it where it is already open.
void OpenLossDialog();

// On Windows the main dialog's modal loop waits inside Verluste until the loss dialog has ended;
// the page has no nested loop, so the loss dialog reports its end to the main dialog.
void LossDialogEnded();
