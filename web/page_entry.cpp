// What the page calls in the engine: the program's start and every message to one of its dialogs.
#include <cstdint>

#include "../platform/page_services.h"
#include "page_dialogs.h"

#define PAGE_ENTRY(name) extern "C" __attribute__((export_name(name)))

namespace {

void Send(PageDialog dialog, PageMessage message, std::uint32_t parameter)
{
    switch (dialog) {
    case PageDialog::MAIN:
        MainDialogProc(message, parameter);
        return;
    case PageDialog::LOSS:
        LossDialogProc(message, parameter);
        return;
    }
}

} // namespace

// The page's counterpart of WinMain: the main dialog, seeded from a millisecond count.
PAGE_ENTRY("startProgram") void StartProgram(std::uint32_t milliseconds)
{
    MainDialogProc(PageMessage::INIT, milliseconds);
}

PAGE_ENTRY("dialogCommand") void DialogCommand(PageDialog dialog, std::uint32_t commandId)
{
    Send(dialog, PageMessage::COMMAND, commandId);
}

PAGE_ENTRY("dialogTimer") void DialogTimer(PageDialog dialog)
{
    Send(dialog, PageMessage::TIMER, 0);
}

PAGE_ENTRY("closeDialog") void CloseDialog(PageDialog dialog)
{
    Send(dialog, PageMessage::CLOSE, 0);
}
