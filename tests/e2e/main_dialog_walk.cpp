// The main dialog as a player meets it: a random tip, running draws, a bad tip, the about box, Ende.
#include <algorithm>
#include <iterator>
#include <set>

#include "resources/resource.h"
#include "tests/window_driving/window_driving.h"
#include "walks.h"

namespace {

constexpr int kTipSize = 6;
constexpr std::uint64_t kLowestNumber = 1;
constexpr std::uint64_t kHighestNumber = 49;

// Five valid numbers, one written with a leading zero, and one out of range in the last field:
// its replacement must differ from all five, so exactly one warning comes.
const wchar_t* const kTypedTip[kTipSize] = {L"07", L"14", L"15", L"26", L"35", L"50"};
constexpr std::uint64_t kValidTypedNumbers[] = {7, 14, 15, 26, 35};
constexpr int kBadField = IDC_TIP_FIRST + kTipSize - 1;

const wchar_t* const kAboutLine = L"F\u00fcr Spenden w\u00e4re ich sehr dankbar";

// The shown tip, when it is six distinct numbers in 1..49.
bool ReadTip(HWND mainDialog, std::uint64_t (&tip)[kTipSize])
{
    std::set<std::uint64_t> distinct;
    for (int i = 0; i < kTipSize; ++i) {
        if (!ReadCount(mainDialog, IDC_TIP_FIRST + i, tip[i]) || tip[i] < kLowestNumber || tip[i] > kHighestNumber)
            return false;
        distinct.insert(tip[i]);
    }
    return distinct.size() == kTipSize;
}

bool AllShowZero(HWND mainDialog, int firstField, int lastField)
{
    for (int field = firstField; field <= lastField; ++field)
        if (ReadField(mainDialog, field) != L"0")
            return false;
    return true;
}

// Each hit-row field shows 0 or the tip number above it.
bool HitRowMatchesTip(HWND mainDialog, const std::uint64_t (&tip)[kTipSize])
{
    for (int i = 0; i < kTipSize; ++i) {
        std::uint64_t hit = 0;
        if (!ReadCount(mainDialog, IDC_HIT_FIRST + i, hit) || (hit != 0 && hit != tip[i]))
            return false;
    }
    return true;
}

void CheckOpening(CheckLog& log, HWND mainDialog)
{
    std::uint64_t tip[kTipSize] = {};
    log.check(ReadTip(mainDialog, tip), "the tip shows six distinct numbers in 1..49");
    log.check(AllShowZero(mainDialog, IDC_HIT_FIRST, IDC_GAMES_WITHOUT_PRIZE), "the hit row and every counter show 0");
}

bool CheckDrawsRunAndStop(CheckLog& log, HWND mainDialog, const ScreenshotRequester& screenshots)
{
    std::uint64_t games = 0;
    log.check(ClickButton(mainDialog, IDC_START), "Start is handled");
    if (!log.check(GamesRisePast(mainDialog, 0) && ReadGamesPlayed(mainDialog, games), "Gespielt rises after Start"))
        return false;
    log.check(GamesRisePast(mainDialog, games), "Gespielt keeps rising");
    log.check(screenshots.capture("main-dialog", {mainDialog}), "a screenshot of the drawing main dialog");

    log.check(ClickButton(mainDialog, IDC_STOP), "Stop is handled");
    log.check(DrawsStandStill(mainDialog), "Gespielt stands still after Stop");
    std::uint64_t tip[kTipSize] = {};
    log.check(ReadTip(mainDialog, tip) && HitRowMatchesTip(mainDialog, tip),
              "each hit shows 0 or the tip number above it");
    log.check(CountersAgree(mainDialog), "Kein Geld is Gespielt less the draws with 3 or more hits");
    return true;
}

void CheckBadTip(CheckLog& log, DWORD processId, HWND mainDialog)
{
    bool typed = true;
    for (int i = 0; i < kTipSize; ++i)
        typed = TypeField(mainDialog, IDC_TIP_FIRST + i, kTypedTip[i]) && typed;
    log.check(typed, "a tip with 50 in the last field is typed");
    std::uint64_t games = 0;
    ReadGamesPlayed(mainDialog, games);

    log.check(PostClick(mainDialog, IDC_START), "Start is clicked");
    const HWND warning = WaitForProgramWindow({processId, kWarningCaption, mainDialog}, kWindowTimeoutMs);
    if (!log.check(warning != nullptr, "the \"Eingabefehler\" box appears, owned by the main dialog"))
        return;
    log.check(ShowsText(warning, kWarningText), "the box says \"Bitte korrekte Lottozahlen eingeben!\"");

    // The replacement is in the field before the box comes up.
    std::uint64_t replacement = 0;
    log.check(ReadCount(mainDialog, kBadField, replacement) && replacement >= kLowestNumber &&
                  replacement <= kHighestNumber && std::find(std::begin(kValidTypedNumbers), std::end(kValidTypedNumbers), replacement) ==
                      std::end(kValidTypedNumbers),
              "the bad field shows a number in 1..49 that no other field holds");
    log.checkText(ReadField(mainDialog, IDC_TIP_FIRST), kTypedTip[0], "a valid field keeps its text as typed");

    log.check(ClickButton(warning, IDOK), "the warning's OK is handled");
    log.check(WaitFor([&] { return IsWindowEnabled(mainDialog) && !IsWindow(warning); }, kWindowTimeoutMs),
              "the warning closes and the main dialog takes input again");
    // Start sets the draw timer only after the whole tip is read, so running draws mean no box is still to come.
    log.check(GamesRisePast(mainDialog, games), "the draws run with the corrected tip");
    log.check(FindProgramWindow({processId, kWarningCaption}) == nullptr, "one bad field gives exactly one warning");
    log.check(ClickButton(mainDialog, IDC_STOP) && DrawsStandStill(mainDialog), "Stop stops them again");
}

void CheckAboutBox(CheckLog& log, DWORD processId, HWND mainDialog)
{
    log.check(PostClick(mainDialog, IDC_INFO), "Info is clicked");
    const HWND about = WaitForProgramWindow({processId, kAboutCaption, mainDialog}, kWindowTimeoutMs);
    if (!log.check(about != nullptr, "the about box appears, owned by the main dialog"))
        return;
    log.check(ShowsText(about, kAboutLine), "the about box shows its donation line with both umlauts");
    log.check(ClickButton(about, IDOK), "the about box's OK is handled");
    log.check(WaitFor([&] { return !IsWindow(about); }, kWindowTimeoutMs), "the about box closes");
}

} // namespace

int MainDialogWalk(const WalkSettings& settings)
{
    CheckLog log;
    const ProgramProcess program(settings.programPath);
    const HWND mainDialog = WaitForMainDialog(log, program);
    if (!mainDialog)
        return log.finish();

    CheckOpening(log, mainDialog);
    if (!CheckDrawsRunAndStop(log, mainDialog, settings.screenshots))
        return log.finish();
    CheckBadTip(log, program.id(), mainDialog);
    CheckAboutBox(log, program.id(), mainDialog);

    log.check(ClickButton(mainDialog, IDC_END), "Ende is handled");
    CheckCleanExit(log, program);
    return log.finish();
}
