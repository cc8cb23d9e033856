// The draw engine: rejection-sampled numbers, tip validation and hit counting on the one game record.
#include "game_record.h"

#include "../resources/resource.h"
#include "random_source.h"

GameRecord gameRecord;

namespace {

constexpr int kNumberRange = kHighestNumber - kLowestNumber + 1;
constexpr const char* kBadTipText = "Bitte korrekte Lottozahlen eingeben!";
constexpr const char* kBadTipCaption = "Eingabefehler";

bool IsAmong(int value, int n, const int numbers[])
{
    for (int i = 0; i < n; ++i)
        if (numbers[i] == value)
            return true;
    return false;
}

// Entry k of candidate is still this field's previous number, so an entry equal to it is no repeat;
// only the numbers accepted earlier in this Start count as taken.
bool IsBadTipNumber(int value, int k, const int candidate[])
{
    return value < kLowestNumber || value > kHighestNumber || IsAmong(value, k, candidate);
}

// Reads tip field k against the numbers accepted so far; a bad entry is replaced by a number
// different from candidate[0..k], shown in its field and then announced.
int ReadTipNumber(DialogHandle dialog, int k, const int candidate[])
{
    const std::uint32_t typed = ReadFieldNumber(dialog, IDC_TIP_FIRST + k);
    // Anything past 49 is bad whatever its size; clamping keeps the conversion to int defined.
    const int value = typed > kHighestNumber ? kHighestNumber + 1 : static_cast<int>(typed);
    if (!IsBadTipNumber(value, k, candidate))
        return value;

    const int replacement = DrawUniqueNumber(k + 1, candidate);
    ShowCount(dialog, IDC_TIP_FIRST + k, static_cast<std::uint64_t>(replacement));
    ShowWarningBox(dialog, kBadTipText, kBadTipCaption);
    return replacement;
}

} // namespace

int DrawUniqueNumber(int n, const int numbers[])
{
    for (;;) {
        const int value = Next() % kNumberRange + kLowestNumber;
        if (!IsAmong(value, n, numbers))
            return value;
    }
}

void NewRandomTip(DialogHandle dialog)
{
    for (int i = 0; i < kNumbersPerTip; ++i) {
        gameRecord.tip[i] = DrawUniqueNumber(i, gameRecord.tip);
        ShowCount(dialog, IDC_TIP_FIRST + i, static_cast<std::uint64_t>(gameRecord.tip[i]));
        gameRecord.hits[i] = 0;
        gameRecord.drawn[i] = 0;
        ShowCount(dialog, IDC_HIT_FIRST + i, 0);
        gameRecord.hitClassCount[i + 1] = 0;
        ShowCount(dialog, IDC_HIT_CLASS_FIRST + i, 0);
    }
    gameRecord.gamesPlayed = 0;
    ShowCount(dialog, IDC_GAMES_PLAYED, 0);
    gameRecord.gamesWithoutPrize = 0;
    ShowCount(dialog, IDC_GAMES_WITHOUT_PRIZE, 0);
}

void AcceptTip(DialogHandle dialog)
{
    // The warning boxes let draw-timer ticks through; they keep drawing against the complete
    // previous tip, so the new one is validated in a copy and stored only once all six are in.
    int candidate[kNumbersPerTip];
    for (int i = 0; i < kNumbersPerTip; ++i)
        candidate[i] = gameRecord.tip[i];
    for (int k = 0; k < kNumbersPerTip; ++k)
        candidate[k] = ReadTipNumber(dialog, k, candidate);
    for (int i = 0; i < kNumbersPerTip; ++i)
        gameRecord.tip[i] = candidate[i];
}

void RunOneDraw(DialogHandle dialog)
{
    int hitCount = 0;
    for (int j = 0; j < kNumbersPerTip; ++j)
        gameRecord.hits[j] = 0;
    for (int i = 0; i < kNumbersPerTip; ++i) {
        gameRecord.drawn[i] = DrawUniqueNumber(i, gameRecord.drawn);
        for (int j = 0; j < kNumbersPerTip; ++j) {
            if (gameRecord.drawn[i] == gameRecord.tip[j]) {
                gameRecord.hits[j] = gameRecord.drawn[i];
                ++hitCount;
            }
        }
    }

    // A draw without hits leaves the hit row showing the latest draw that had any.
    if (hitCount > 0) {
        for (int j = 0; j < kNumbersPerTip; ++j)
            ShowCount(dialog, IDC_HIT_FIRST + j, static_cast<std::uint64_t>(gameRecord.hits[j]));
        ++gameRecord.hitClassCount[hitCount];
        ShowCount(dialog, IDC_HIT_CLASS_FIRST + hitCount - 1, gameRecord.hitClassCount[hitCount]);
    }
    if (hitCount < kLeastWinningHits) {
        ++gameRecord.gamesWithoutPrize;
        ShowCount(dialog, IDC_GAMES_WITHOUT_PRIZE, gameRecord.gamesWithoutPrize);
    }
    ++gameRecord.gamesPlayed;
    ShowCount(dialog, IDC_GAMES_PLAYED, gameRecord.gamesPlayed);
}
