// The page's loss dialog procedure: evaluates once on Auswertung and at every tick of its own timer in Auto.
#include "../losses/money.h"
#include "../platform/page_services.h"
#include "../resources/dialog_names.h"
#include "../resources/resource.h"
#include "page_dialogs.h"

namespace {

DialogHandle LossDialog()
{
    return HandleOf(PageDialog::LOSS);
}

void EvaluateOnce()
{
    PageStopTimer(PageDialog::LOSS);
    EvaluateLosses(LossDialog());
}

void EndLossDialog()
{
    PageStopTimer(PageDialog::LOSS);
    PageEndDialog(PageDialog::LOSS);
    LossDialogEnded();
}

} // namespace

void OpenLossDialog()
{
    // Open already, perhaps out of sight on a small screen: shown to the player instead of a second time.
    if (lossDialogOpen) {
        PageActivateDialog(PageDialog::LOSS);
        return;
    }
    // Beside the main dialog, which stays usable and keeps drawing while this one is open.
    PageOpenDialog(PageDialog::LOSS, kLossDialogTemplate);
    LossDialogProc(PageMessage::INIT, 0);
}

void LossDialogProc(PageMessage message, std::uint32_t parameter)
{
    switch (message) {
    case PageMessage::INIT:
        lossDialogOpen = true;
        SetDefaultPrices(LossDialog());
        return;
    case PageMessage::COMMAND:
        switch (parameter) {
        case IDC_EVALUATE:
            EvaluateOnce();
            return;
        case IDC_AUTO:
            PageStartTimer(PageDialog::LOSS);
            return;
        case IDC_END:
            EndLossDialog();
            return;
        default:
            // Escape sends the Cancel command, which the loss dialog ignores.
            return;
        }
    case PageMessage::TIMER:
        EvaluateLosses(LossDialog());
        return;
    case PageMessage::CLOSE:
        EndLossDialog();
        return;
    }
}
