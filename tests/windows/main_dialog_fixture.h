// A main dialog from the real template and procedure, modeless so the test itself pumps its messages.
#pragma once

#include <gtest/gtest.h>

#include <array>

#include "dialog_driver.h"
#include "lottery/game_record.h"
#include "lottery/main_dialog.h"
#include "platform/dialog_timer.h"
#include "resources/resource.h"

using Tip = std::array<int, kNumbersPerTip>;

const wchar_t* const kMainCaption = L"Tippwerk";
// Long enough for a dozen ticks of a running timer.
constexpr Milliseconds kQuietSpell{150};

inline unsigned long long Played(HWND dialog)
{
    return FieldNumber(dialog, IDC_GAMES_PLAYED);
}

// Pumps until the dialog has played this many more games.
inline bool DrawsGoOn(HWND dialog, unsigned long long draws)
{
    const unsigned long long from = Played(dialog);
    return PumpUntil([&] { return Played(dialog) >= from + draws; });
}

// No timer 1 on the window, and nothing else plays a game for a while either.
inline void ExpectDrawsStopped(HWND dialog)
{
    EXPECT_FALSE(KillTimer(dialog, TIMER_ID)) << "the draw timer still runs";
    const unsigned long long played = Played(dialog);
    PumpFor(kQuietSpell);
    EXPECT_EQ(Played(dialog), played);
}

inline Tip ShownTip(HWND dialog)
{
    Tip tip{};
    for (int i = 0; i < kNumbersPerTip; ++i)
        tip[i] = static_cast<int>(FieldNumber(dialog, IDC_TIP_FIRST + i));
    return tip;
}

inline Tip StoredTip()
{
    Tip tip{};
    for (int i = 0; i < kNumbersPerTip; ++i)
        tip[i] = gameRecord.tip[i];
    return tip;
}

inline void ExpectValidTip(const Tip& tip)
{
    for (int i = 0; i < kNumbersPerTip; ++i) {
        EXPECT_GE(tip[i], kLowestNumber);
        EXPECT_LE(tip[i], kHighestNumber);
        for (int j = 0; j < i; ++j)
            EXPECT_NE(tip[i], tip[j]) << "tip number " << tip[i] << " twice";
    }
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        timerLog = {};
        dialog = CreateDialogParamA(nullptr, kMainDialogTemplate, nullptr, MainDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
    }

    void TearDown() override { DestroyWindow(dialog); }

    HWND dialog = nullptr;
};
