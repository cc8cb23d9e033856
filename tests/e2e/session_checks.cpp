// What a running Tippwerk's dialogs must agree on at any quiet moment: tip, counters, money, windows.
#include <set>
#include <vector>

#include "expected_money.h"
#include "expected_read.h"
#include "program_session.h"
#include "resources/resource.h"
#include "tests/window_driving/window_driving.h"
#include "walk_steps.h"

namespace {

constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 49;
constexpr int kResultRows = 3;
constexpr const char* kResultNames[kResultRows] = {"costs", "winnings", "total"};
// The program's own windows, its dialogs and message boxes, are all of the dialog class. A hidden
// window of another class is one the platform keeps in the program's process: the input method's
// (Wine 10 has two, Wine 8 and Windows one) or the one COM keeps for a thread that used it.
constexpr const wchar_t* kDialogClass = L"#32770";

std::wstring ShownResults(HWND lossDialog)
{
    std::wstring shown;
    for (int row = 0; row < kResultRows; ++row)
        shown += ReadField(lossDialog, IDC_RESULT_DM_FIRST + row) + L" DM " +
                 ReadField(lossDialog, IDC_RESULT_PF_FIRST + row) + L" Pf; ";
    return shown;
}

std::wstring ResultsText(const ExpectedResults& expected)
{
    const AmountText* rows[kResultRows] = {&expected.costs, &expected.winnings, &expected.total};
    std::wstring text;
    for (const AmountText* row : rows)
        text += row->marks + L" DM " + row->pfennig + L" Pf; ";
    return text;
}

// The prices the program takes from the fields; `zeroed` marks the fields whose text may also read 0.
Prices PricesRead(const FieldRead (&reads)[kPriceFields], unsigned zeroed)
{
    std::uint32_t values[kPriceFields];
    for (int i = 0; i < kPriceFields; ++i)
        values[i] = (zeroed >> i) & 1u ? 0 : reads[i].value;
    Prices prices{};
    prices.stake = AmountOf(values[0], values[1]);
    for (int hits = kLeastWinningHits; hits <= kMostHits; ++hits) {
        const int dm = 2 * (hits - kLeastWinningHits + 1);
        prices.prize[hits] = AmountOf(values[dm], values[dm + 1]);
    }
    return prices;
}

std::string CountersText(const ShownCounters& counters)
{
    std::string text = std::to_string(counters.gamesPlayed) + " games, hits";
    for (int hits = 1; hits <= kMostHits; ++hits)
        text += " " + std::to_string(counters.hitClass[hits]);
    return text;
}

} // namespace

void ProgramSession::checkpoint()
{
    if (!running())
        return;
    const bool wasDrawing = drawsRunning;
    const bool wasAuto = autoRunning;
    if (mainTakesInput()) {
        // A Start makes the tip fields show the tip the program holds, whatever was typed since.
        start(Press::Button, {});
        stop();
        checkTipFields("at a checkpoint");
    }
    log.expect(DrawsStandStill(mainDialog), "the draws stand still after Stop or Ende");
    checkHitRow();
    checkCountersAgree();
    if (!lossDialog && mainTakesInput())
        openLosses();
    if (lossShown())
        evaluate(Press::Button);
    checkWindows();

    if (wasDrawing && mainTakesInput()) {
        std::uint64_t games = 0;
        log.expect(ReadGamesPlayed(mainDialog, games), "Gespielt reads as a number");
        start(Press::Button, {});
        log.expect(GamesRisePast(mainDialog, games), "the draws run again after the checkpoint");
    }
    if (wasAuto && lossShown())
        startAuto();
}

void ProgramSession::checkWindows()
{
    if (!running())
        return;
    std::vector<HWND> expected;
    if (!mainEnded)
        expected.push_back(mainDialog);
    if (lossDialog && !lossEnded)
        expected.push_back(lossDialog);
    if (boxUp)
        expected.push_back(box);

    std::set<HWND> shown;
    for (const ProgramWindow& window : ListProgramWindows(program->id())) {
        if (window.visible) {
            shown.insert(window.window);
            bool known = false;
            for (const HWND dialog : expected)
                known = known || dialog == window.window;
            log.expect(known, "no stray window (saw \"" + Printable(window.caption) + "\")");
            continue;
        }
        // A hidden dialog is only one that has ended while an inner modal loop still runs.
        const bool waiting = (mainEnded && window.window == mainDialog) || (lossEnded && window.window == lossDialog);
        log.expect(waiting || window.className != kDialogClass,
                   "no hidden window left behind (saw \"" + Printable(window.caption) + "\" of class \"" +
                       Printable(window.className) + "\")");
    }
    for (const HWND dialog : expected)
        log.expect(shown.count(dialog) == 1, "every open dialog and box is on the screen");
}

void ProgramSession::checkResults(const std::string& when)
{
    ShownCounters counters{};
    if (!log.expect(ReadShownCounters(mainDialog, counters), when + ": the counters read as numbers"))
        return;
    FieldRead reads[kPriceFields];
    std::vector<int> eitherWay;
    for (int i = 0; i < kPriceFields; ++i) {
        reads[i] = ExpectedRead(priceText(i));
        if (reads[i].mayReadZero)
            eitherWay.push_back(i);
    }

    // Where a price text may read two ways, the results must match one of the ways.
    const std::wstring shown = ShownResults(lossDialog);
    const unsigned ways = 1u << eitherWay.size();
    std::wstring firstExpected;
    for (unsigned way = 0; way < ways; ++way) {
        unsigned zeroed = 0;
        for (std::size_t i = 0; i < eitherWay.size(); ++i)
            if ((way >> i) & 1u)
                zeroed |= 1u << eitherWay[i];
        const std::wstring expected = ResultsText(ExpectedLosses(counters, PricesRead(reads, zeroed)));
        if (expected == shown) {
            log.expect(true, when);
            return;
        }
        if (way == 0)
            firstExpected = expected;
    }
    std::string prices;
    for (int i = 0; i < kPriceFields; ++i)
        prices += " \"" + Printable(priceText(i)) + "\"";
    log.expect(false, when + ": " + kResultNames[0] + ", " + kResultNames[1] + " and " + kResultNames[2] + " for " +
                          CountersText(counters) + " at prices" + prices + " show " + Printable(shown) +
                          " expected " + Printable(firstExpected));
}

void ProgramSession::checkTipFields(const std::string& when)
{
    std::wstring shown[kTipFields];
    for (int i = 0; i < kTipFields; ++i)
        shown[i] = tipText(i);
    checkTipFields(shown, when);
}

void ProgramSession::checkTipFields(const std::wstring (&shown)[kTipFields], const std::string& when)
{
    std::set<int> distinct;
    bool held = true;
    for (int i = 0; i < kTipFields; ++i) {
        const std::uint32_t read = ExpectedRead(shown[i]).value;
        held = held && read == static_cast<std::uint32_t>(tip[i]) && read >= kLowestNumber && read <= kHighestNumber;
        distinct.insert(tip[i]);
    }
    const std::string what = when + ": the tip fields read as six distinct numbers in 1..49";
    if (log.expect(held && distinct.size() == kTipFields, what))
        return;
    std::string texts;
    for (int i = 0; i < kTipFields; ++i)
        texts += " \"" + Printable(shown[i]) + "\" (held " + std::to_string(tip[i]) + ")";
    log.expect(false, when + ": the tip fields show" + texts);
}

void ProgramSession::checkCountersAgree()
{
    log.expect(CountersAgree(mainDialog), "Einer..Sechser add up to at most Gespielt, and Kein Geld is Gespielt "
                                          "less the draws with 3 or more hits");
}

void ProgramSession::checkHitRow()
{
    std::set<std::uint64_t> hits;
    bool plain = true;
    for (int i = 0; i < kTipFields; ++i) {
        std::uint64_t hit = 0;
        plain = plain && ReadCount(mainDialog, IDC_HIT_FIRST + i, hit) && hit <= kHighestNumber;
        if (hit != 0)
            plain = plain && hits.insert(hit).second;
    }
    log.expect(plain, "each hit shows 0 or a number in 1..49, no number twice");
}
