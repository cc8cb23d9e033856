// Odd text in every tip and price field, set as a program would and pasted as a player would.
#include <cstdio>
#include <string>

#include "expected_read.h"
#include "program_session.h"
#include "tests/window_driving/window_driving.h"
#include "walks.h"

namespace {

// Letters, digits with something around them, signs, leading zeros, 10 and 20 digits, the edges of
// 32 bits, empty, non-ASCII, and the platform's 29-character read on either side; "021" repeats the
// first field's number in other words, and "150" is a Pf value over 99.
const wchar_t* const kInputs[] = {
    L"abc", L"12a", L" 7", L"-3", L"007", L"1234567890", L"9999999999", L"12345678901234567890",
    L"4294967295", L"4294967296", L"", L"+7", L"7 ", L"0x1A", L"\u00e4", L"1e3", L"-4294967295",
    L"00000000000000000000000000007", L"000000000000000000000000000007", L"021", L"150"};

// Valid and distinct, and unlike every number an input above reads as (but 21, for "021").
const wchar_t* const kBaseTip[kTipFields] = {L"21", L"22", L"23", L"24", L"25", L"26"};

enum class Entry { Set, Paste };
constexpr Entry kEntries[] = {Entry::Set, Entry::Paste};
constexpr int kVierer = 4;
// The stake's fields, first in the loss dialog: its DM field scrolls and takes any text; its Pf field,
// like the tip fields, only what fits. The other rows' fields are built the same way.
constexpr int kStakeMarks = 0;
constexpr int kStakePfennig = 1;

const char* EntryName(Entry entry)
{
    return entry == Entry::Set ? "set" : "pasted";
}

std::string ReadText(const std::wstring& text)
{
    const FieldRead read = ExpectedRead(text);
    return "\"" + Printable(text) + "\" reads " + std::to_string(read.value) + (read.mayReadZero ? " (or 0)" : "");
}

// One input into one tip field among a valid tip, then Start: the session checks that a field reading
// bad brings exactly one warning and a replacement, any other none, and the tip that results.
// Returns what the row of the table shows.
std::string EnterTip(ProgramSession& session, int field, const wchar_t* input, Entry entry)
{
    for (int i = 0; i < kTipFields; ++i)
        session.typeTip(i, kBaseTip[i], false);
    session.typeTip(field, input, entry == Entry::Paste);
    const std::wstring text = session.tipText(field);
    session.start(Press::Button, {});
    return ReadText(text) + (session.warnedAbout(field) ? ", replaced with a warning" : ", kept");
}

// One input into one price field among the default prices (as the dialog opens), then Auswertung: the
// session checks the results against the counters and the prices as the platform reads them.
std::string EnterPrice(ProgramSession& session, int field, const wchar_t* input, Entry entry)
{
    session.typePrice(field, input, entry == Entry::Paste);
    const std::wstring text = session.priceText(field);
    session.evaluate(Press::Button);
    session.typePrice(field, kDefaultPriceFieldTexts[field], false);
    return ReadText(text);
}

// A Vierer makes the prize for 4 hits count in the winnings, so its fields' reads show in them too.
void DrawUntilVierer(ProgramSession& session, CheckLog& log)
{
    session.start(Press::Button, {});
    ShownCounters counters{};
    const bool came = WaitFor(
        [&] { return ReadShownCounters(session.mainWindow(), counters) && counters.hitClass[kVierer] > 0; },
        kRareEventTimeoutMs);
    session.stop();
    log.expect(ReadShownCounters(session.mainWindow(), counters), "the counters read as numbers");
    std::printf("prices are checked against %llu games and Dreier..Sechser",
                static_cast<unsigned long long>(counters.gamesPlayed));
    for (int hits = kLeastWinningHits; hits <= kMostHits; ++hits)
        std::printf(" %llu", static_cast<unsigned long long>(counters.hitClass[hits]));
    std::printf("%s\n", came ? "" : " (no Vierer came in time)");
}

} // namespace

int BadInputWalk(const WalkSettings& settings)
{
    CheckLog log;
    ProgramSession session(settings.programPath, log);
    if (!session.launch())
        return log.finish();

    // The first field has no earlier field to repeat; the others read the same but for repeats.
    for (const wchar_t* input : kInputs) {
        std::string row = "tip fields, input \"" + Printable(input) + "\":";
        for (const Entry entry : kEntries) {
            std::string outcomes[kTipFields];
            for (int field = 0; field < kTipFields && log.failures() == 0; ++field)
                outcomes[field] = EnterTip(session, field, input, entry);
            row += std::string(" ") + EntryName(entry) + " " + outcomes[0] + ";";
            if (outcomes[kTipFields - 1] != outcomes[0])
                row += " in fields 2..6 " + outcomes[kTipFields - 1] + ";";
        }
        std::printf("%s\n", row.c_str());
    }

    DrawUntilVierer(session, log);
    session.openLosses();
    for (const wchar_t* input : kInputs) {
        std::string row = "price fields, input \"" + Printable(input) + "\":";
        for (const Entry entry : kEntries)
            for (int field = 0; field < kPriceFields && log.failures() == 0; ++field) {
                const std::string outcome = EnterPrice(session, field, input, entry);
                if (field == kStakeMarks || field == kStakePfennig)
                    row += std::string(field == kStakeMarks ? " DM " : " Pf ") + EntryName(entry) + " " + outcome + ";";
            }
        std::printf("%s\n", row.c_str());
    }
    session.checkWindows();
    session.close();
    std::printf("%zu inputs, each set and pasted into all %d tip and %d price fields: %d warnings\n",
                sizeof(kInputs) / sizeof(kInputs[0]), kTipFields, kPriceFields, session.warningsSeen());
    return log.finish();
}
