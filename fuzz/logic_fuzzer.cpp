// The libFuzzer target: any sequence of typing, Start, draws, Reset, seeding and evaluation, each
// step checked against independent expectations while AddressSanitizer and UBSan watch.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>

#include "expectations.h"
#include "fuzz_dialog.h"
#include "lottery/game_record.h"
#include "lottery/random_source.h"
#include "losses/money.h"
#include "resources/resource.h"

#define FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : Fail(__FILE__, __LINE__, #condition))

namespace {

constexpr int kMaxOperations = 48;
constexpr int kMaxDrawsPerOperation = 64;
constexpr int kMaxDrawsPerWarning = 8;
// Consistent counter states stay this far below 2^64, so the draws of one input never wrap them.
constexpr std::uint64_t kCounterHeadroom = std::uint64_t{1} << 20;
// Typed tip numbers are mostly near the valid range, so repeats and edges come up often.
constexpr std::uint32_t kLargestNearTipNumber = 60;
constexpr std::size_t kPriceFieldCount = std::size_t{2} * PRICE_ROWS;
constexpr int kResultRows = 3;

enum Operation {
    TYPE_TIP_TEXT,
    TYPE_TIP_NUMBER,
    START,
    DRAWS,
    RESET,
    SEED,
    SET_COUNTERS,
    TYPE_PRICE_TEXT,
    TYPE_PRICE_NUMBER,
    EVALUATE,
    EVALUATE_ANY_COUNTS,
    SHOW_AMOUNT,
    OPERATION_COUNT
};

// Where counts and amounts change width: 2^31 and 2^32 (the platform's number fields), 2^53
// (where a double would stop counting exactly) and 2^63 (the largest amount).
constexpr std::uint64_t kCountBoundaries[] = {
    0, std::uint64_t{1} << 31, std::uint64_t{1} << 32, std::uint64_t{1} << 53, std::uint64_t{1} << 63,
};
constexpr std::int64_t kLargestBoundaryOffset = 1024;

// The two dialogs number their fields independently, so each has its own.
FuzzDialog mainDialog;
FuzzDialog lossDialog;
// Draws with no hit: the one count the record does not keep, needed for its invariants.
std::uint64_t drawsWithoutHits;

[[noreturn]] void Fail(const char* file, int line, const char* condition)
{
    static_cast<void>(std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition));
    std::abort();
}

void ExpectWrite(const FuzzDialog& dialog, std::size_t index, int fieldId, const std::string& text)
{
    FUZZ_CHECK(index < dialog.logLength);
    const FieldEvent& event = dialog.log[index];
    FUZZ_CHECK(event.kind == FieldEvent::WRITE);
    FUZZ_CHECK(event.fieldId == fieldId);
    FUZZ_CHECK(text == event.text);
}

void ExpectAmount(std::size_t& index, int row, std::int64_t amount)
{
    ExpectWrite(lossDialog, index++, IDC_RESULT_DM_FIRST + row, ExpectedMarksText(amount));
    ExpectWrite(lossDialog, index++, IDC_RESULT_PF_FIRST + row, ExpectedPfennigText(amount));
}

// Between commands the tip is six distinct numbers in 1..49.
void CheckTip()
{
    for (int i = 0; i < kNumbersPerTip; ++i) {
        FUZZ_CHECK(gameRecord.tip[i] >= kLowestNumber && gameRecord.tip[i] <= kHighestNumber);
        for (int j = 0; j < i; ++j)
            FUZZ_CHECK(gameRecord.tip[i] != gameRecord.tip[j]);
    }
}

// Every draw counts once in gamesPlayed, in one hit class or as hitless, and without a prize
// exactly when it had fewer than three hits.
void CheckCounters()
{
    using Wide = unsigned __int128;
    Wide classified = drawsWithoutHits;
    for (int hits = 1; hits <= kNumbersPerTip; ++hits)
        classified += gameRecord.hitClassCount[hits];
    FUZZ_CHECK(classified == gameRecord.gamesPlayed);
    const Wide withoutPrize = Wide{drawsWithoutHits} + gameRecord.hitClassCount[1] + gameRecord.hitClassCount[2];
    FUZZ_CHECK(withoutPrize == gameRecord.gamesWithoutPrize);
}

void CheckedDraw()
{
    const GameRecord before = gameRecord;
    std::uint32_t seed = randomSource.seed;
    const std::size_t logStart = mainDialog.logLength;
    RunOneDraw(mainDialog.handle());

    int drawn[kNumbersPerTip] = {};
    int hits[kNumbersPerTip] = {};
    int hitCount = 0;
    for (int i = 0; i < kNumbersPerTip; ++i) {
        drawn[i] = ExpectedUniqueNumber(seed, i, drawn);
        for (int j = 0; j < kNumbersPerTip; ++j) {
            if (drawn[i] == before.tip[j]) {
                hits[j] = drawn[i];
                ++hitCount;
            }
        }
    }
    FUZZ_CHECK(randomSource.seed == seed);
    for (int i = 0; i < kNumbersPerTip; ++i) {
        FUZZ_CHECK(gameRecord.drawn[i] == drawn[i]);
        FUZZ_CHECK(gameRecord.hits[i] == hits[i]);
        FUZZ_CHECK(gameRecord.tip[i] == before.tip[i]);
    }
    for (int k = 1; k <= kNumbersPerTip; ++k)
        FUZZ_CHECK(gameRecord.hitClassCount[k] == before.hitClassCount[k] + (k == hitCount ? 1 : 0));
    FUZZ_CHECK(gameRecord.gamesPlayed == before.gamesPlayed + 1);
    FUZZ_CHECK(gameRecord.gamesWithoutPrize == before.gamesWithoutPrize + (hitCount < kLeastWinningHits ? 1 : 0));
    if (hitCount == 0)
        ++drawsWithoutHits;

    // A hitless draw leaves the hit row alone; the counters it changed show their exact value.
    std::size_t event = logStart;
    if (hitCount > 0) {
        for (int j = 0; j < kNumbersPerTip; ++j)
            ExpectWrite(mainDialog, event++, IDC_HIT_FIRST + j, std::to_string(hits[j]));
        ExpectWrite(mainDialog, event++, IDC_HIT_CLASS_FIRST + hitCount - 1,
                    std::to_string(before.hitClassCount[hitCount] + 1));
    }
    if (hitCount < kLeastWinningHits)
        ExpectWrite(mainDialog, event++, IDC_GAMES_WITHOUT_PRIZE, std::to_string(before.gamesWithoutPrize + 1));
    ExpectWrite(mainDialog, event++, IDC_GAMES_PLAYED, std::to_string(before.gamesPlayed + 1));
    FUZZ_CHECK(mainDialog.logLength == event);
    // A draw inside a Start's warning leaves that Start's events as they were.
    mainDialog.logLength = logStart;
}

void CheckedReset()
{
    std::uint32_t seed = randomSource.seed;
    mainDialog.logLength = 0;
    NewRandomTip(mainDialog.handle());

    int tip[kNumbersPerTip] = {};
    std::size_t event = 0;
    for (int i = 0; i < kNumbersPerTip; ++i) {
        tip[i] = ExpectedUniqueNumber(seed, i, tip);
        FUZZ_CHECK(gameRecord.tip[i] == tip[i]);
        ExpectWrite(mainDialog, event++, IDC_TIP_FIRST + i, std::to_string(tip[i]));
        ExpectWrite(mainDialog, event++, IDC_HIT_FIRST + i, "0");
        ExpectWrite(mainDialog, event++, IDC_HIT_CLASS_FIRST + i, "0");
        FUZZ_CHECK(gameRecord.hits[i] == 0 && gameRecord.hitClassCount[i + 1] == 0);
    }
    ExpectWrite(mainDialog, event++, IDC_GAMES_PLAYED, "0");
    ExpectWrite(mainDialog, event++, IDC_GAMES_WITHOUT_PRIZE, "0");
    FUZZ_CHECK(mainDialog.logLength == event);
    FUZZ_CHECK(randomSource.seed == seed);
    FUZZ_CHECK(gameRecord.gamesPlayed == 0 && gameRecord.gamesWithoutPrize == 0);
    drawsWithoutHits = 0;
}

struct StartInProgress {
    int drawsPerWarning;
    int previousTip[kNumbersPerTip];
};

// The draw timer keeps ticking under a warning box; those draws count against the complete
// previous tip until all six fields are in.
void DrawWhileWarningShown(void* context)
{
    const auto& start = *static_cast<const StartInProgress*>(context);
    for (int i = 0; i < kNumbersPerTip; ++i)
        FUZZ_CHECK(gameRecord.tip[i] == start.previousTip[i]);
    for (int draw = 0; draw < start.drawsPerWarning; ++draw)
        CheckedDraw();
}

void CheckedStart(int drawsPerWarning)
{
    StartInProgress start{drawsPerWarning, {}};
    char typed[kNumbersPerTip][kFieldTextSize];
    for (int i = 0; i < kNumbersPerTip; ++i) {
        start.previousTip[i] = gameRecord.tip[i];
        std::memcpy(typed[i], mainDialog.text[IDC_TIP_FIRST + i], kFieldTextSize);
    }
    mainDialog.logLength = 0;
    mainDialog.whileWarningShown = DrawWhileWarningShown;
    mainDialog.whileWarningContext = &start;
    AcceptTip(mainDialog.handle());
    mainDialog.whileWarningShown = nullptr;

    // Field by field: read once; a good number is taken as typed, a bad one is replaced by the
    // generator's next number not among those accepted so far nor the field's previous one,
    // shown, and then warned about once.
    int accepted[kNumbersPerTip] = {};
    std::size_t event = 0;
    for (int k = 0; k < kNumbersPerTip; ++k) {
        const int field = IDC_TIP_FIRST + k;
        FUZZ_CHECK(event < mainDialog.logLength);
        const FieldEvent read = mainDialog.log[event++];
        FUZZ_CHECK(read.kind == FieldEvent::READ && read.fieldId == field);

        bool bad = read.value < static_cast<std::uint32_t>(kLowestNumber) ||
                   read.value > static_cast<std::uint32_t>(kHighestNumber);
        for (int j = 0; j < k; ++j)
            bad = bad || read.value == static_cast<std::uint32_t>(accepted[j]);
        if (!bad) {
            accepted[k] = static_cast<int>(read.value);
            FUZZ_CHECK(std::memcmp(mainDialog.text[field], typed[k], kFieldTextSize) == 0);
            continue;
        }
        int avoided[kNumbersPerTip] = {};
        for (int j = 0; j < k; ++j)
            avoided[j] = accepted[j];
        avoided[k] = start.previousTip[k];
        std::uint32_t seed = read.randomSeed;
        accepted[k] = ExpectedUniqueNumber(seed, k + 1, avoided);
        ExpectWrite(mainDialog, event++, field, std::to_string(accepted[k]));
        FUZZ_CHECK(event < mainDialog.logLength && mainDialog.log[event].kind == FieldEvent::WARNING);
        ++event;
    }
    FUZZ_CHECK(mainDialog.logLength == event);
    for (int i = 0; i < kNumbersPerTip; ++i)
        FUZZ_CHECK(gameRecord.tip[i] == accepted[i]);
}

std::uint64_t CountNearABoundary(FuzzedDataProvider& input)
{
    const auto choice = input.ConsumeIntegralInRange<std::size_t>(0, std::size(kCountBoundaries));
    if (choice == std::size(kCountBoundaries))
        return input.ConsumeIntegral<std::uint64_t>();
    const auto offset = input.ConsumeIntegralInRange<std::int64_t>(-kLargestBoundaryOffset, kLargestBoundaryOffset);
    const std::uint64_t boundary = kCountBoundaries[choice];
    if (offset < 0 && boundary < static_cast<std::uint64_t>(-offset))
        return 0;
    return boundary + static_cast<std::uint64_t>(offset);
}

// A consistent state of a long run, as if that many draws had happened since the last Reset.
void SetCounters(FuzzedDataProvider& input)
{
    std::uint64_t room = std::numeric_limits<std::uint64_t>::max() - kCounterHeadroom;
    auto take = [&](std::uint64_t wanted) {
        const std::uint64_t count = wanted < room ? wanted : room;
        room -= count;
        return count;
    };
    drawsWithoutHits = take(CountNearABoundary(input));
    gameRecord.gamesPlayed = drawsWithoutHits;
    for (int hits = 1; hits <= kNumbersPerTip; ++hits) {
        gameRecord.hitClassCount[hits] = take(CountNearABoundary(input));
        gameRecord.gamesPlayed += gameRecord.hitClassCount[hits];
    }
    gameRecord.gamesWithoutPrize = drawsWithoutHits + gameRecord.hitClassCount[1] + gameRecord.hitClassCount[2];
}

// Costs, winnings and total exact to the Pfennig, or the largest amount where they do not fit.
void CheckedEvaluation()
{
    lossDialog.logLength = 0;
    EvaluateLosses(lossDialog.handle());

    std::uint64_t read[kFieldCount] = {};
    int timesRead[kFieldCount] = {};
    std::size_t event = 0;
    for (; event < kPriceFieldCount; ++event) {
        FUZZ_CHECK(event < lossDialog.logLength && lossDialog.log[event].kind == FieldEvent::READ);
        read[lossDialog.log[event].fieldId] = lossDialog.log[event].value;
        ++timesRead[lossDialog.log[event].fieldId];
    }
    Pfennig price[PRICE_ROWS] = {};
    for (int row = STAKE; row < PRICE_ROWS; ++row) {
        FUZZ_CHECK(timesRead[IDC_PRICE_DM_FIRST + row] == 1 && timesRead[IDC_PRICE_PF_FIRST + row] == 1);
        const std::uint64_t marks = read[IDC_PRICE_DM_FIRST + row];
        price[row] = static_cast<Pfennig>(marks * kPfennigPerMark + read[IDC_PRICE_PF_FIRST + row]);
        FUZZ_CHECK(priceTable.amount[row] == price[row]);
    }

    const std::int64_t costs = Saturated(ExactPfennig{price[STAKE]} * gameRecord.gamesPlayed);
    ExactPfennig exactWinnings = 0;
    for (int hits = kLeastWinningHits; hits <= kNumbersPerTip; ++hits)
        exactWinnings += ExactPfennig{price[PRIZE_3 + hits - kLeastWinningHits]} * gameRecord.hitClassCount[hits];
    const std::int64_t winnings = Saturated(exactWinnings);
    ExpectAmount(event, 0, costs);
    ExpectAmount(event, 1, winnings);
    ExpectAmount(event, 2, winnings - costs);
    FUZZ_CHECK(lossDialog.logLength == event);
}

// Any counts at all, consistent or not, as far as the money is concerned.
void CheckedEvaluationOfAnyCounts(FuzzedDataProvider& input)
{
    const GameRecord saved = gameRecord;
    gameRecord.gamesPlayed = CountNearABoundary(input);
    for (int hits = kLeastWinningHits; hits <= kNumbersPerTip; ++hits)
        gameRecord.hitClassCount[hits] = CountNearABoundary(input);
    CheckedEvaluation();
    gameRecord = saved;
}

void CheckedShowAmount(FuzzedDataProvider& input)
{
    const int row = input.ConsumeIntegralInRange(0, kResultRows - 1);
    const std::uint64_t magnitude = CountNearABoundary(input);
    const auto amount = static_cast<std::int64_t>(input.ConsumeBool() ? 0 - magnitude : magnitude);
    lossDialog.logLength = 0;
    ShowAmount(lossDialog.handle(), IDC_RESULT_DM_FIRST + row, IDC_RESULT_PF_FIRST + row, amount);
    std::size_t event = 0;
    ExpectAmount(event, row, amount);
    FUZZ_CHECK(lossDialog.logLength == event);
}

void TypeString(FuzzedDataProvider& input, FuzzDialog& dialog, int fieldId)
{
    const std::string text = input.ConsumeRandomLengthString(kFieldTextSize);
    TypeText(dialog, fieldId, text.data(), text.size());
}

// A decimal number: near the tip range, any 32-bit value, or wider than the field reads.
void TypeNumber(FuzzedDataProvider& input, FuzzDialog& dialog, int fieldId)
{
    std::string text;
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        text = std::to_string(input.ConsumeIntegralInRange<std::uint32_t>(0, kLargestNearTipNumber));
        break;
    case 1:
        text = std::to_string(input.ConsumeIntegral<std::uint32_t>());
        break;
    default:
        text = std::to_string(input.ConsumeIntegral<std::uint64_t>());
        break;
    }
    TypeText(dialog, fieldId, text.data(), text.size());
}

int TipField(FuzzedDataProvider& input)
{
    return IDC_TIP_FIRST + input.ConsumeIntegralInRange(0, kNumbersPerTip - 1);
}

int PriceField(FuzzedDataProvider& input)
{
    const int row = input.ConsumeIntegralInRange(0, PRICE_ROWS - 1);
    return input.ConsumeBool() ? IDC_PRICE_DM_FIRST + row : IDC_PRICE_PF_FIRST + row;
}

void Perform(Operation operation, FuzzedDataProvider& input)
{
    switch (operation) {
    case TYPE_TIP_TEXT:
        TypeString(input, mainDialog, TipField(input));
        break;
    case TYPE_TIP_NUMBER:
        TypeNumber(input, mainDialog, TipField(input));
        break;
    case START:
        CheckedStart(input.ConsumeIntegralInRange(0, kMaxDrawsPerWarning));
        break;
    case DRAWS:
        for (int draws = input.ConsumeIntegralInRange(1, kMaxDrawsPerOperation); draws > 0; --draws)
            CheckedDraw();
        break;
    case RESET:
        CheckedReset();
        break;
    case SEED:
        Seed(input.ConsumeIntegral<std::uint32_t>());
        break;
    case SET_COUNTERS:
        SetCounters(input);
        break;
    case TYPE_PRICE_TEXT:
        TypeString(input, lossDialog, PriceField(input));
        break;
    case TYPE_PRICE_NUMBER:
        TypeNumber(input, lossDialog, PriceField(input));
        break;
    case EVALUATE:
        CheckedEvaluation();
        break;
    case EVALUATE_ANY_COUNTS:
        CheckedEvaluationOfAnyCounts(input);
        break;
    case SHOW_AMOUNT:
        CheckedShowAmount(input);
        break;
    case OPERATION_COUNT:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);

    // As the program starts: the main dialog seeds the generator and makes a tip, and the loss
    // dialog opens with its default prices.
    ClearDialog(mainDialog);
    ClearDialog(lossDialog);
    gameRecord = GameRecord{};
    priceTable = PriceTable{};
    drawsWithoutHits = 0;
    Seed(input.ConsumeIntegral<std::uint32_t>());
    CheckedReset();
    SetDefaultPrices(lossDialog.handle());

    for (int step = 0; step < kMaxOperations && input.remaining_bytes() > 0; ++step) {
        Perform(static_cast<Operation>(input.ConsumeIntegralInRange(0, OPERATION_COUNT - 1)), input);
        CheckTip();
        CheckCounters();
    }
    return 0;
}
