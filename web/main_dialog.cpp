// The page's main dialog procedure: the player's commands and the draw timer's ticks into game operations.
#include <cstdint>

#include "../lottery/about_text.h"
#include "../lottery/game_record.h"
#include "../lottery/random_source.h"
#include "../platform/page_services.h"
#include "../resources/dialog_names.h"
#include "../resources/resource.h"
#include "page_dialogs.h"

bool lossDialogOpen = false;

namespace {

// Ended, but the program goes on while the loss dialog is still open.
bool mainDialogEnded = false;

DialogHandle MainDialog()
{
    return HandleOf(PageDialog::MAIN);
}

void InitMainDialog(std::uint32_t milliseconds)
{
    lossDialogOpen = false;
    mainDialogEnded = false;
    PageOpenDialog(PageDialog::MAIN, kMainDialogTemplate);
    Seed(milliseconds);
    NewRandomTip(MainDialog());
}

void StartDraws()
{
    AcceptTip(MainDialog());
    PageStartTimer(PageDialog::MAIN);
}

void ShowAbout()
{
    PageShowMessageBox(PageDialog::MAIN, kAboutText, kAboutCaption, BoxIcon::INFORMATION);
}

void EndMainDialog()
{
    PageStopTimer(PageDialog::MAIN);
    PageEndDialog(PageDialog::MAIN);
    mainDialogEnded = true;
    if (!lossDialogOpen)
        PageEndProgram();
}

} // namespace

void LossDialogEnded()
{
    lossDialogOpen = false;
    if (mainDialogEnded)
        PageEndProgram();
}

void MainDialogProc(PageMessage message, std::uint32_t parameter)
{
    switch (message) {
    case PageMessage::INIT:
        InitMainDialog(parameter);
        return;
    case PageMessage::COMMAND:
        switch (parameter) {
        case IDC_START:
            StartDraws();
            return;
        case IDC_STOP:
            PageStopTimer(PageDialog::MAIN);
            return;
        case IDC_RESET:
            NewRandomTip(MainDialog());
            return;
        case IDC_INFO:
            ShowAbout();
            return;
        case IDC_LOSSES:
            OpenLossDialog();
            return;
        case IDC_END:
            EndMainDialog();
            return;
        default:
            // Escape sends the Cancel command, which the main dialog ignores.
            return;
        }
    case PageMessage::TIMER:
        RunOneDraw(MainDialog());
        return;
    case PageMessage::CLOSE:
        EndMainDialog();
        return;
    }
}
