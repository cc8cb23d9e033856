// The player's actions on a running Tippwerk, each followed by what the program must then show.
#include "program_session.h"

#include <set>

#include "expected_read.h"
#include "resources/resource.h"
#include "tests/window_driving/window_driving.h"
#include "walk_steps.h"

namespace {

constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 49;
constexpr int kResultRows = 3; // costs, winnings, total

// A box the program has just opened is on the screen before the mark posted behind the click is taken;
// a second box of one Start follows the first without any message in between.
constexpr DWORD kNextBoxTimeoutMs = kWindowTimeoutMs;

bool IsTipNumber(std::uint64_t value)
{
    return value >= kLowestNumber && value <= kHighestNumber;
}

bool IsAmong(int value, int count, const int numbers[])
{
    for (int i = 0; i < count; ++i)
        if (numbers[i] == value)
            return true;
    return false;
}

std::string FieldName(int index)
{
    return "tip field " + std::to_string(index + 1);
}

} // namespace

// Row by row, DM before Pf: stake 5.50, then 7.50, 100, 5000 and 500000 DM for 3..6 hits.
const wchar_t* const kDefaultPriceFieldTexts[kPriceFields] = {
    L"5", L"50", L"7", L"50", L"100", L"0", L"5000", L"0", L"500000", L"0"};

int PriceFieldId(int index)
{
    const int row = index / 2;
    return index % 2 == 0 ? IDC_PRICE_DM_FIRST + row : IDC_PRICE_PF_FIRST + row;
}

ProgramSession::ProgramSession(const char* programPath, CheckLog& log) : programPath(programPath), log(log) {}

bool ProgramSession::launch()
{
    program = std::make_unique<ProgramProcess>(programPath);
    ++launchCount;
    exited = false;
    mainEnded = lossEnded = boxUp = drawsRunning = autoRunning = false;
    lossDialog = box = nullptr;
    if (!log.expect(program->started(), "the program starts as a process of its own"))
        return false;
    mainDialog = WaitForProgramWindow({program->id(), kMainCaption}, kProgramStartTimeoutMs);
    if (!log.expect(mainDialog != nullptr, "the main dialog appears"))
        return false;
    // A program that has taken no message for five seconds, as a start on a busy machine may, counts
    // as hung until it takes one, and every read of a field gives up at once with no text until then.
    DWORD_PTR answer = 0;
    log.expect(WaitFor([&] { return SendWithTimeout(mainDialog, WM_NULL, 0, 0, answer); }, kProgramStartTimeoutMs),
               "the main dialog answers");
    log.expect(readPlainTip(tip), "on opening the tip shows six distinct numbers in 1..49");
    for (int field = IDC_HIT_FIRST; field <= IDC_GAMES_WITHOUT_PRIZE; ++field)
        log.expectText(ReadField(mainDialog, field), L"0", "on opening field " + std::to_string(field) + " shows 0");
    return true;
}

void ProgramSession::close()
{
    if (lossShown())
        endLosses(Closing::EndButton);
    if (mainTakesInput())
        endMain(Closing::EndButton);
    log.expect(!running(), "the program has ended once both dialogs are closed");
}

bool ProgramSession::post(bool posted, const std::string& what)
{
    return log.expect(posted && WaitUntilPostedTaken(GetDlgItem(mainDialog, IDC_TIP_FIRST)),
                      what + " reaches the program");
}

int ProgramSession::nextKeyField(int fields)
{
    return keyPresses++ % fields;
}

void ProgramSession::typeTip(int index, const std::wstring& text, bool paste)
{
    const int field = IDC_TIP_FIRST + index;
    const bool typed =
        paste ? PasteIntoField(mainDialog, field, text.c_str()) : TypeField(mainDialog, field, text.c_str());
    log.expect(typed, FieldName(index) + " takes \"" + Printable(text) + "\"");
}

std::wstring ProgramSession::tipText(int index) const
{
    return ReadField(mainDialog, IDC_TIP_FIRST + index);
}

void ProgramSession::start(Press press, const WhileBoxUp& whileBoxUp)
{
    std::wstring typed[kTipFields];
    for (int i = 0; i < kTipFields; ++i)
        typed[i] = tipText(i);
    const bool posted = press == Press::Button
                            ? PostClick(mainDialog, IDC_START)
                            : PressKeyInField(mainDialog, IDC_TIP_FIRST + nextKeyField(kTipFields), VK_RETURN);
    if (post(posted, press == Press::Button ? "Start" : "Enter in the main dialog"))
        serveStart(typed, whileBoxUp);
}

// Works through the tip fields as the program reads them: each field that reads as a number outside
// 1..49 or as one an earlier field took must bring exactly one warning, and be replaced by then.
void ProgramSession::serveStart(const std::wstring (&typed)[kTipFields], const WhileBoxUp& whileBoxUp)
{
    int candidate[kTipFields];
    for (int i = 0; i < kTipFields; ++i) {
        candidate[i] = tip[i];
        lastWarned[i] = false;
    }

    for (int k = 0; k < kTipFields; ++k) {
        const std::uint32_t read = ExpectedRead(typed[k]).value;
        const bool bad = !IsTipNumber(read) || IsAmong(static_cast<int>(read), k, candidate);
        if (!bad) {
            candidate[k] = static_cast<int>(read);
            continue;
        }
        const std::string about = FieldName(k) + " holding \"" + Printable(typed[k]) + "\"";
        const HWND warning = WaitForProgramWindow({program->id(), kWarningCaption, mainDialog}, kNextBoxTimeoutMs,
                                                  kQuickPollIntervalMs);
        if (!log.expect(warning != nullptr, "one warning for " + about))
            return;
        ++warningCount;
        log.expect(ShowsText(warning, kWarningText), "the warning asks for correct numbers");
        const std::wstring shown = tipText(k);
        const std::uint64_t replacement = ExpectedRead(shown).value;
        log.expect(shown == NumberText(static_cast<std::int64_t>(replacement)) && IsTipNumber(replacement) &&
                       !IsAmong(static_cast<int>(replacement), k + 1, candidate),
                   about + " shows a new number in 1..49, unlike the earlier fields and its previous number, "
                           "before its warning (shows \"" + Printable(shown) + "\")");
        candidate[k] = static_cast<int>(replacement);
        lastWarned[k] = true;
        serveBox(warning, whileBoxUp);
    }

    finishEndedLosses();
    // A box the program should not have shown would now hold the mark posted behind it.
    log.expect(WaitUntilPostedTaken(GetDlgItem(mainDialog, IDC_TIP_FIRST)), "Start comes to its end");
    checkWindows();
    // The timer is set only after the whole tip is read, so the draws run from here on.
    drawsRunning = true;
    for (int i = 0; i < kTipFields; ++i)
        tip[i] = candidate[i];
    std::wstring shown[kTipFields];
    for (int k = 0; k < kTipFields; ++k) {
        shown[k] = tipText(k);
        if (!lastWarned[k])
            log.expectText(shown[k], typed[k], "a valid " + FieldName(k) + " keeps its text after Start");
    }
    checkTipFields(shown, "after Start");
}

void ProgramSession::serveBox(HWND shown, const WhileBoxUp& whileBoxUp)
{
    box = shown;
    boxUp = true;
    if (whileBoxUp)
        whileBoxUp();
    log.expect(ClickButton(box, IDOK), "the box's OK is handled");
    log.expect(WaitFor([&] { return !IsWindow(box); }, kWindowTimeoutMs, kQuickPollIntervalMs), "the box closes");
    boxUp = false;
    box = nullptr;
}

void ProgramSession::finishEndedLosses()
{
    if (!lossEnded)
        return;
    // A loss dialog ended under a box finishes once the command that showed the box has returned.
    log.expect(WaitFor([&] { return !IsWindow(lossDialog); }, kWindowTimeoutMs, kQuickPollIntervalMs),
               "the loss dialog ended under a box goes once the command behind the box is done");
    lossDialog = nullptr;
    lossEnded = false;
}

void ProgramSession::stop()
{
    log.expect(ClickButton(mainDialog, IDC_STOP), "Stop is handled");
    drawsRunning = false;
}

void ProgramSession::reset()
{
    log.expect(ClickButton(mainDialog, IDC_RESET), "Reset is handled");
    log.expect(readPlainTip(tip), "Reset shows a new tip of six distinct numbers in 1..49");
    if (drawsRunning)
        return;
    for (int field = IDC_HIT_FIRST; field <= IDC_GAMES_WITHOUT_PRIZE; ++field)
        log.expectText(ReadField(mainDialog, field), L"0",
                       "after Reset without draws field " + std::to_string(field) + " shows 0");
}

void ProgramSession::showInfo(const WhileBoxUp& whileBoxUp)
{
    if (!post(PostClick(mainDialog, IDC_INFO), "Info"))
        return;
    const HWND about = WaitForProgramWindow({program->id(), kAboutCaption, mainDialog}, kNextBoxTimeoutMs,
                                             kQuickPollIntervalMs);
    if (!log.expect(about != nullptr, "Info shows the about box, owned by the main dialog"))
        return;
    serveBox(about, whileBoxUp);
    finishEndedLosses();
}

void ProgramSession::openLosses()
{
    const bool wasOpen = lossDialog != nullptr;
    if (!post(PostClick(mainDialog, IDC_LOSSES), "Verluste"))
        return;
    if (wasOpen) {
        log.expect(CountProgramWindows({program->id(), kLossCaption}) == 1 &&
                       FindProgramWindow({program->id(), kLossCaption}) == lossDialog,
                   "Verluste while the loss dialog is open opens nothing");
        return;
    }
    lossDialog = FindProgramWindow({program->id(), kLossCaption});
    if (!log.expect(lossDialog != nullptr, "Verluste opens the loss dialog"))
        return;
    autoRunning = false;
    checkOpeningLosses();
}

void ProgramSession::checkOpeningLosses()
{
    for (int i = 0; i < kPriceFields; ++i)
        log.expectText(priceText(i), kDefaultPriceFieldTexts[i],
                       "the loss dialog opens with price field " + std::to_string(i + 1) + " at its default");
    for (int row = 0; row < kResultRows; ++row)
        log.expectText(ReadField(lossDialog, IDC_RESULT_DM_FIRST + row) + L"/" +
                           ReadField(lossDialog, IDC_RESULT_PF_FIRST + row),
                       L"0/0", "the loss dialog opens with result row " + std::to_string(row + 1) + " at 0");
}

void ProgramSession::pressEscapeInMain()
{
    const int field = IDC_TIP_FIRST + nextKeyField(kTipFields);
    if (post(PressKeyInField(mainDialog, field, VK_ESCAPE), "Escape in the main dialog"))
        log.expect(IsWindowVisible(mainDialog) != FALSE, "Escape leaves the main dialog open");
}

void ProgramSession::endMain(Closing closing)
{
    const bool handled = closing == Closing::EndButton ? ClickButton(mainDialog, IDC_END) : PressCloseBox(mainDialog);
    log.expect(handled, closing == Closing::EndButton ? "the main dialog's Ende is handled"
                                                      : "the main dialog's close box is handled");
    drawsRunning = false;
    if (!lossDialog) {
        expectExit();
        return;
    }
    // The main dialog waits inside its Verluste command until the loss dialog has ended.
    mainEnded = true;
    log.expect(WaitFor([&] { return !IsWindowVisible(mainDialog); }, kWindowTimeoutMs, kQuickPollIntervalMs),
               "the ended main dialog hides");
    log.expect(program->runsAfter(0), "the program lives on while the loss dialog is open");
}

void ProgramSession::expectExit()
{
    DWORD exitCode = STILL_ACTIVE;
    log.expect(program->waitForExit(exitCode), "the program ends");
    log.expect(exitCode == 0, "the program exits with code 0 (saw " + std::to_string(exitCode) + ")");
    exited = true;
    drawsRunning = autoRunning = false;
}

void ProgramSession::typePrice(int index, const std::wstring& text, bool paste)
{
    const int field = PriceFieldId(index);
    const bool typed =
        paste ? PasteIntoField(lossDialog, field, text.c_str()) : TypeField(lossDialog, field, text.c_str());
    log.expect(typed, "price field " + std::to_string(index + 1) + " takes \"" + Printable(text) + "\"");
}

std::wstring ProgramSession::priceText(int index) const
{
    return ReadField(lossDialog, PriceFieldId(index));
}

void ProgramSession::evaluate(Press press)
{
    if (press == Press::Button)
        log.expect(ClickButton(lossDialog, IDC_EVALUATE), "Auswertung is handled");
    else if (!post(PressKeyInField(lossDialog, PriceFieldId(nextKeyField(kPriceFields)), VK_RETURN),
                   "Enter in the loss dialog"))
        return;
    autoRunning = false;
    if (!drawsRunning)
        checkResults(press == Press::Button ? "after Auswertung" : "after Enter in the loss dialog");
}

void ProgramSession::startAuto()
{
    log.expect(ClickButton(lossDialog, IDC_AUTO), "Auto is handled");
    autoRunning = true;
}

void ProgramSession::pressEscapeInLosses()
{
    const int field = PriceFieldId(nextKeyField(kPriceFields));
    if (post(PressKeyInField(lossDialog, field, VK_ESCAPE), "Escape in the loss dialog"))
        log.expect(IsWindowVisible(lossDialog) != FALSE, "Escape leaves the loss dialog open");
}

void ProgramSession::endLosses(Closing closing)
{
    const bool handled = closing == Closing::EndButton ? ClickButton(lossDialog, IDC_END) : PressCloseBox(lossDialog);
    log.expect(handled, closing == Closing::EndButton ? "the loss dialog's Ende is handled"
                                                      : "the loss dialog's close box is handled");
    autoRunning = false;
    if (boxUp) {
        // Its modal loop lies under the box's and can only finish after it.
        lossEnded = true;
        log.expect(WaitFor([&] { return !IsWindowVisible(lossDialog); }, kWindowTimeoutMs, kQuickPollIntervalMs),
                   "the ended loss dialog hides");
        return;
    }
    log.expect(WaitFor([&] { return !IsWindow(lossDialog); }, kWindowTimeoutMs, kQuickPollIntervalMs),
               "the loss dialog goes");
    lossDialog = nullptr;
    if (mainEnded)
        expectExit();
}

bool ProgramSession::readPlainTip(int (&numbers)[kTipFields]) const
{
    std::set<std::uint64_t> distinct;
    for (int i = 0; i < kTipFields; ++i) {
        std::uint64_t value = 0;
        if (!ReadCount(mainDialog, IDC_TIP_FIRST + i, value) || !IsTipNumber(value))
            return false;
        numbers[i] = static_cast<int>(value);
        distinct.insert(value);
    }
    return distinct.size() == kTipFields;
}
