// Start's tip validation: bad fields replaced, shown, then warned about once each, in field order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "fake_dialog.h"
#include "lottery/game_record.h"
#include "lottery/random_source.h"
#include "resources/resource.h"

namespace {

const char* const kWarningText = "Bitte korrekte Lottozahlen eingeben!";
const char* const kWarningCaption = "Eingabefehler";

using Tip = std::array<int, kNumbersPerTip>;

class TipValidation : public ::testing::Test {
protected:
    // Starts from a known stored tip with every field showing it, as after a Reset.
    void SetStoredTip(const Tip& tip)
    {
        for (int i = 0; i < kNumbersPerTip; ++i) {
            gameRecord.tip[i] = tip[i];
            dialog.type(IDC_TIP_FIRST + i, std::to_string(tip[i]));
        }
        dialog.clearEvents();
    }

    Tip StoredTip() const
    {
        Tip tip;
        std::copy(std::begin(gameRecord.tip), std::end(gameRecord.tip), tip.begin());
        return tip;
    }

    void ExpectValidTip()
    {
        const Tip tip = StoredTip();
        for (int i = 0; i < kNumbersPerTip; ++i) {
            EXPECT_GE(tip[i], kLowestNumber);
            EXPECT_LE(tip[i], kHighestNumber);
            EXPECT_EQ(std::count(tip.begin(), tip.end(), tip[i]), 1) << "tip number " << tip[i] << " twice";
        }
    }

    FakeDialog dialog;
};

} // namespace

TEST_F(TipValidation, ValidFieldsAreTakenAsTypedAndNotRewritten)
{
    SetStoredTip({1, 2, 3, 4, 5, 6});
    const char* typed[] = {"07", "49", "1", "13", "2", "31"};
    for (int i = 0; i < kNumbersPerTip; ++i)
        dialog.type(IDC_TIP_FIRST + i, typed[i]);
    AcceptTip(dialog.handle());
    EXPECT_EQ(StoredTip(), (Tip{7, 49, 1, 13, 2, 31}));
    EXPECT_TRUE(dialog.events.empty());
    EXPECT_EQ(dialog.text(IDC_TIP_FIRST), "07");
}

TEST_F(TipValidation, EachBadValueIsReplacedShownAndWarnedOnce)
{
    const char* badValues[] = {"0", "50", "", "4294967295", "99"};
    for (const char* bad : badValues) {
        for (int field = 0; field < kNumbersPerTip; ++field) {
            Seed(static_cast<std::uint32_t>(field) * 977u + 5u);
            SetStoredTip({11, 12, 13, 14, 15, 16});
            dialog.type(IDC_TIP_FIRST + field, bad);
            AcceptTip(dialog.handle());

            ASSERT_EQ(dialog.events.size(), 2u) << "value '" << bad << "' in field " << field;
            const DialogEvent& write = dialog.events[0];
            const DialogEvent& warning = dialog.events[1];
            EXPECT_EQ(write.kind, DialogEvent::FIELD_WRITE);
            EXPECT_EQ(write.fieldId, IDC_TIP_FIRST + field);
            EXPECT_EQ(warning.kind, DialogEvent::WARNING_BOX);
            EXPECT_EQ(warning.text, kWarningText);
            EXPECT_EQ(warning.caption, kWarningCaption);

            const int replacement = gameRecord.tip[field];
            EXPECT_EQ(write.text, std::to_string(replacement));
            // Different from the earlier fields and from the field's own previous number.
            for (int earlier = 0; earlier <= field; ++earlier)
                EXPECT_NE(replacement, 11 + earlier);
            ExpectValidTip();
        }
    }
}

TEST_F(TipValidation, ReplacementsComeFromTheSeededSequence)
{
    // After Seed(1) the generator yields 32, 26, 20, 23, 35, 42 first; none is taken here.
    Seed(1);
    SetStoredTip({1, 2, 3, 4, 5, 6});
    for (int i = 0; i < kNumbersPerTip; ++i)
        dialog.type(IDC_TIP_FIRST + i, "");
    AcceptTip(dialog.handle());
    EXPECT_EQ(StoredTip(), (Tip{32, 26, 20, 23, 35, 42}));
    EXPECT_EQ(dialog.warningCount(), 6);
    for (std::size_t e = 0; e < dialog.events.size(); e += 2) {
        EXPECT_EQ(dialog.events[e].kind, DialogEvent::FIELD_WRITE);
        EXPECT_EQ(dialog.events[e].fieldId, IDC_TIP_FIRST + static_cast<int>(e / 2));
        EXPECT_EQ(dialog.events[e + 1].kind, DialogEvent::WARNING_BOX);
    }
}

TEST_F(TipValidation, RepeatsOfEarlierFieldsAreReplaced)
{
    Seed(2);
    SetStoredTip({10, 20, 30, 40, 41, 42});
    dialog.type(IDC_TIP_FIRST + 2, "10");
    dialog.type(IDC_TIP_FIRST + 5, "20");
    AcceptTip(dialog.handle());
    EXPECT_EQ(dialog.warningCount(), 2);
    EXPECT_EQ(dialog.writtenFields(), (std::vector<int>{IDC_TIP_FIRST + 2, IDC_TIP_FIRST + 5}));
    EXPECT_NE(gameRecord.tip[2], 30);
    EXPECT_NE(gameRecord.tip[5], 42);
    ExpectValidTip();
}

TEST_F(TipValidation, AnUnchangedFieldTakenByAnEarlierFieldIsReplaced)
{
    Seed(4);
    SetStoredTip({10, 20, 30, 40, 41, 42});
    // Field 1 still shows 20, which field 0 has just taken.
    dialog.type(IDC_TIP_FIRST, "20");
    AcceptTip(dialog.handle());
    EXPECT_EQ(dialog.warningCount(), 1);
    EXPECT_EQ(dialog.writtenFields(), (std::vector<int>{IDC_TIP_FIRST + 1}));
    EXPECT_EQ(gameRecord.tip[0], 20);
    EXPECT_NE(gameRecord.tip[1], 20);
    ExpectValidTip();
}

// Draw-timer ticks run while a warning is up; they must see the whole previous tip, never a
// half-typed one holding a number twice, which would count one drawn number as two hits.
TEST_F(TipValidation, DrawsDuringAWarningUseTheCompletePreviousTip)
{
    Seed(8);
    NewRandomTip(dialog.handle());
    const Tip previous = StoredTip();
    // Field 0 takes field 1's number, so field 1 is replaced with a warning.
    dialog.type(IDC_TIP_FIRST, std::to_string(previous[1]));
    dialog.clearEvents();

    int drawsDuringWarning = 0;
    dialog.whileWarningShown = [&] {
        EXPECT_EQ(StoredTip(), previous);
        for (int draw = 0; draw < 2000; ++draw) {
            RunOneDraw(dialog.handle());
            ++drawsDuringWarning;
            int hits = 0;
            for (int j = 0; j < kNumbersPerTip; ++j)
                if (gameRecord.hits[j] != 0) {
                    ++hits;
                    EXPECT_EQ(gameRecord.hits[j], previous[j]);
                }
            EXPECT_LE(hits, kNumbersPerTip);
        }
    };
    AcceptTip(dialog.handle());
    EXPECT_EQ(drawsDuringWarning, 2000);
    EXPECT_EQ(dialog.warningCount(), 1);
    EXPECT_EQ(gameRecord.tip[0], previous[1]);
    EXPECT_NE(gameRecord.tip[1], previous[1]);
    ExpectValidTip();
    std::uint64_t classSum = 0;
    for (int k = 1; k <= kNumbersPerTip; ++k)
        classSum += gameRecord.hitClassCount[k];
    EXPECT_LE(classSum, gameRecord.gamesPlayed);
}
