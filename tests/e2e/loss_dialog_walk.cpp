// The loss dialog beside the running draws, checked against the main dialog's counters to the Pfennig.
#include "resources/resource.h"
#include "tests/window_driving/window_driving.h"
#include "walks.h"

namespace {

constexpr int kPriceRows = 5;
enum ResultRow { COSTS, WINNINGS, TOTAL, RESULT_ROWS };

// DM and Pf of stake and prizes as the dialog opens.
const wchar_t* const kDefaultPriceTexts[kPriceRows][2] = {
    {L"5", L"50"}, {L"7", L"50"}, {L"100", L"0"}, {L"5000", L"0"}, {L"500000", L"0"}};
const char* const kResultNames[RESULT_ROWS] = {"costs", "winnings", "total"};

// 0 DM 29 Pf: an amount that arithmetic in fractions of a DM shows one Pfennig short.
const wchar_t* const kNewStakeMarks = L"0";
const wchar_t* const kNewStakePfennig = L"29";
constexpr Pfennig kNewStake = 29;

Prices PricesWithNewStake()
{
    Prices prices = DefaultPrices();
    prices.stake = kNewStake;
    return prices;
}

std::wstring PairText(const std::wstring& marks, const std::wstring& pfennig)
{
    return marks + L" DM " + pfennig + L" Pf";
}

std::wstring ShownPair(HWND lossDialog, int dmField, int pfField)
{
    return PairText(ReadField(lossDialog, dmField), ReadField(lossDialog, pfField));
}

std::wstring ShownResult(HWND lossDialog, ResultRow row)
{
    return ShownPair(lossDialog, IDC_RESULT_DM_FIRST + row, IDC_RESULT_PF_FIRST + row);
}

std::wstring ShownResults(HWND lossDialog)
{
    return ShownResult(lossDialog, COSTS) + L", " + ShownResult(lossDialog, WINNINGS) + L", " +
           ShownResult(lossDialog, TOTAL);
}

void CheckDefaults(CheckLog& log, HWND lossDialog)
{
    for (int row = 0; row < kPriceRows; ++row)
        log.checkText(ShownPair(lossDialog, IDC_PRICE_DM_FIRST + row, IDC_PRICE_PF_FIRST + row),
                      PairText(kDefaultPriceTexts[row][0], kDefaultPriceTexts[row][1]),
                      "price row " + std::to_string(row + 1) + " shows its default");
    for (int row = COSTS; row < RESULT_ROWS; ++row)
        log.checkText(ShownResult(lossDialog, static_cast<ResultRow>(row)), PairText(L"0", L"0"),
                      std::string(kResultNames[row]) + " show 0 before the first evaluation");
}

// Costs, winnings and total against the counters the main dialog shows now.
void CheckResults(CheckLog& log, HWND mainDialog, HWND lossDialog, const Prices& prices, const std::string& when)
{
    ShownCounters counters{};
    if (!log.check(ReadShownCounters(mainDialog, counters), "the main dialog's counters read as numbers"))
        return;
    const ExpectedResults expected = ExpectedLosses(counters, prices);
    const AmountText* rows[RESULT_ROWS] = {&expected.costs, &expected.winnings, &expected.total};
    const std::string counted = " for " + std::to_string(counters.gamesPlayed) + " games and " +
                                std::to_string(counters.hitClass[kLeastWinningHits]) + " Dreier";
    for (int row = COSTS; row < RESULT_ROWS; ++row) {
        std::string what = when;
        what += ": ";
        what += kResultNames[row];
        what += counted;
        log.checkText(ShownResult(lossDialog, static_cast<ResultRow>(row)),
                      PairText(rows[row]->marks, rows[row]->pfennig), what);
    }
}

bool ShowsCosts(HWND lossDialog)
{
    return ReadField(lossDialog, IDC_RESULT_DM_FIRST + COSTS) != L"0";
}

// A Dreier has been drawn and the winnings show it.
bool ShowsWinnings(HWND mainDialog, HWND lossDialog)
{
    ShownCounters counters{};
    return ReadShownCounters(mainDialog, counters) && counters.hitClass[kLeastWinningHits] > 0 &&
           ReadField(lossDialog, IDC_RESULT_DM_FIRST + WINNINGS) != L"0";
}

// Opens the loss dialog beside running draws and sees both dialogs keep working.
HWND OpenBesideRunningDraws(CheckLog& log, DWORD processId, HWND mainDialog)
{
    log.check(ClickButton(mainDialog, IDC_START) && GamesRisePast(mainDialog, 0), "the draws run after Start");
    // The click runs the loss dialog's modal loop, so it is posted rather than waited for.
    log.check(PostClick(mainDialog, IDC_LOSSES), "Verluste is clicked");
    const HWND lossDialog = WaitForProgramWindow({processId, kLossCaption}, kWindowTimeoutMs);
    if (!log.check(lossDialog != nullptr, "the dialog \"Verluste beim Lottospiel\" appears"))
        return nullptr;
    CheckDefaults(log, lossDialog);

    std::uint64_t games = 0;
    log.check(ReadGamesPlayed(mainDialog, games) && GamesRisePast(mainDialog, games),
              "the main dialog goes on drawing beside it");
    // A second loss dialog would hold this click in its modal loop until the wait runs out.
    log.check(ClickButton(mainDialog, IDC_LOSSES) && CountProgramWindows({processId, kLossCaption}) == 1,
              "Verluste again opens nothing");
    return lossDialog;
}

void CheckAutoAndEvaluation(CheckLog& log, HWND mainDialog, HWND lossDialog, const ScreenshotRequester& screenshots)
{
    log.check(ClickButton(lossDialog, IDC_AUTO), "Auto is handled");
    log.check(WaitFor([&] { return ShowsCosts(lossDialog); }, kWindowTimeoutMs),
              "with Auto the costs follow the draws");
    log.check(WaitFor([&] { return ShowsWinnings(mainDialog, lossDialog); }, kRareEventTimeoutMs),
              "with Auto the winnings follow the first Dreier");

    PlaceSideBySide(mainDialog, lossDialog);
    log.check(screenshots.capture("both-dialogs", {mainDialog, lossDialog}),
              "a screenshot of both dialogs side by side");

    log.check(ClickButton(mainDialog, IDC_STOP) && DrawsStandStill(mainDialog), "Stop stops the draws");
    log.check(CountersAgree(mainDialog), "Kein Geld is Gespielt less the draws with 3 or more hits");
    log.check(ClickButton(lossDialog, IDC_EVALUATE), "Auswertung is handled");
    CheckResults(log, mainDialog, lossDialog, DefaultPrices(), "Auswertung at the default prices");
}

void CheckNewStake(CheckLog& log, HWND mainDialog, HWND lossDialog)
{
    const Prices prices = PricesWithNewStake();
    const std::wstring before = ShownResults(lossDialog);
    log.check(TypeField(lossDialog, IDC_PRICE_DM_FIRST, kNewStakeMarks) &&
                  TypeField(lossDialog, IDC_PRICE_PF_FIRST, kNewStakePfennig),
              "a stake of 0 DM 29 Pf is typed");
    // Auswertung ended Auto, so nothing evaluates the typed stake yet.
    Sleep(kQuietPeriodMs);
    log.checkText(ShownResults(lossDialog), before, "after Auswertung the results wait for the next evaluation");

    ShownCounters counters{};
    if (!log.check(ReadShownCounters(mainDialog, counters), "the main dialog's counters read as numbers"))
        return;
    const AmountText costs = ExpectedLosses(counters, prices).costs;
    const std::wstring expectedCosts = PairText(costs.marks, costs.pfennig);
    log.check(ClickButton(lossDialog, IDC_AUTO), "Auto is handled again");
    log.check(WaitFor([&] { return ShownResult(lossDialog, COSTS) == expectedCosts; }, kWindowTimeoutMs),
              "with Auto the typed stake is taken at the next tick");
    log.check(ClickButton(lossDialog, IDC_EVALUATE), "Auswertung is handled");
    CheckResults(log, mainDialog, lossDialog, prices, "Auswertung at 0 DM 29 Pf a game");
}

void CheckMainDialogClosedFirst(CheckLog& log, const ProgramProcess& program, HWND mainDialog, HWND lossDialog)
{
    std::uint64_t games = 0;
    log.check(ClickButton(mainDialog, IDC_START) && ReadGamesPlayed(mainDialog, games) &&
                  GamesRisePast(mainDialog, games),
              "the draws run again");
    log.check(PressCloseBox(mainDialog), "the main dialog's close box is handled");
    log.check(WaitFor([&] { return !IsWindowVisible(mainDialog); }, kWindowTimeoutMs), "the main dialog hides");
    log.check(DrawsStandStill(mainDialog), "closing the main dialog stopped the draws");
    log.check(program.runsAfter(kQuietPeriodMs), "the process lives on while the loss dialog is open");
    log.check(IsWindowVisible(lossDialog) && ClickButton(lossDialog, IDC_EVALUATE), "the loss dialog still evaluates");

    CheckResults(log, mainDialog, lossDialog, PricesWithNewStake(), "Auswertung after the main dialog closed");
    log.check(ClickButton(lossDialog, IDC_END), "the loss dialog's Ende is handled");
}

} // namespace

int LossDialogWalk(const WalkSettings& settings)
{
    CheckLog log;
    const ProgramProcess program(settings.programPath);
    const HWND mainDialog = WaitForMainDialog(log, program);
    if (!mainDialog)
        return log.finish();
    const HWND lossDialog = OpenBesideRunningDraws(log, program.id(), mainDialog);
    if (!lossDialog)
        return log.finish();

    CheckAutoAndEvaluation(log, mainDialog, lossDialog, settings.screenshots);
    CheckNewStake(log, mainDialog, lossDialog);
    CheckMainDialogClosedFirst(log, program, mainDialog, lossDialog);
    CheckCleanExit(log, program);
    return log.finish();
}
