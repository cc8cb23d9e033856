// Tips and draws: the seeded examples, what each draw writes, counters past 32 bits, no allocation.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "fake_dialog.h"
#include "lottery/game_record.h"
#include "lottery/random_source.h"
#include "resources/resource.h"

namespace {

std::atomic<long> allocations{0};

// What plain new promises; the aligned forms are asked for more.
constexpr std::size_t kDefaultAlignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

// A block for any form of new, counted, which every form of delete gives back with free().
void* CountedBlock(std::size_t size, std::size_t alignment)
{
    ++allocations;
    // An explicit call may ask for less than the default alignment, which posix_memalign refuses;
    // and new gives a block of its own even for no bytes.
    void* block = nullptr;
    if (posix_memalign(&block, std::max(alignment, kDefaultAlignment), size == 0 ? 1 : size) != 0)
        return nullptr;
    return block;
}

void* CountedBlockOrThrow(std::size_t size, std::size_t alignment)
{
    if (void* block = CountedBlock(size, alignment))
        return block;
    throw std::bad_alloc();
}

std::vector<int> Tip()
{
    return {std::begin(gameRecord.tip), std::end(gameRecord.tip)};
}

std::vector<int> Drawn()
{
    return {std::begin(gameRecord.drawn), std::end(gameRecord.drawn)};
}

std::vector<std::string> Texts(const FakeDialog& dialog, int firstField)
{
    std::vector<std::string> texts;
    texts.reserve(kNumbersPerTip);
    for (int i = 0; i < kNumbersPerTip; ++i)
        texts.push_back(dialog.text(firstField + i));
    return texts;
}

using Strings = std::vector<std::string>;

} // namespace

// Counts every allocation of the test binary, so a draw can be shown to make none. Every form of new
// and delete is replaced, not only the plain pair: the library's or the sanitizer's own would allocate
// uncounted, or free a block of these as one of another kind (GoogleTest allocates with nothrow new).
void* operator new(std::size_t size)
{
    return CountedBlockOrThrow(size, kDefaultAlignment);
}

void* operator new[](std::size_t size)
{
    return CountedBlockOrThrow(size, kDefaultAlignment);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    return CountedBlockOrThrow(size, static_cast<std::size_t>(alignment));
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return CountedBlockOrThrow(size, static_cast<std::size_t>(alignment));
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedBlock(size, kDefaultAlignment);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedBlock(size, kDefaultAlignment);
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return CountedBlock(size, static_cast<std::size_t>(alignment));
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return CountedBlock(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::align_val_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::align_val_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t, std::align_val_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t, std::align_val_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(block);
}

TEST(DrawEngine, SeedOneGivesTheKnownTipAndFirstDraws)
{
    FakeDialog dialog;
    Seed(1);
    NewRandomTip(dialog.handle());
    EXPECT_EQ(Tip(), (std::vector<int>{32, 26, 20, 23, 35, 42}));
    EXPECT_EQ(Texts(dialog, IDC_TIP_FIRST), (Strings{"32", "26", "20", "23", "35", "42"}));
    EXPECT_EQ(Texts(dialog, IDC_HIT_FIRST), Strings(6, "0"));
    EXPECT_EQ(Texts(dialog, IDC_HIT_CLASS_FIRST), Strings(6, "0"));

    RunOneDraw(dialog.handle());
    EXPECT_EQ(Drawn(), (std::vector<int>{30, 21, 43, 20, 6, 28}));
    EXPECT_EQ(Texts(dialog, IDC_HIT_FIRST), (Strings{"0", "0", "20", "0", "0", "0"}));
    EXPECT_EQ(dialog.text(IDC_HIT_CLASS_FIRST), "1");
    EXPECT_EQ(dialog.text(IDC_GAMES_PLAYED), "1");
    EXPECT_EQ(dialog.text(IDC_GAMES_WITHOUT_PRIZE), "1");

    RunOneDraw(dialog.handle());
    EXPECT_EQ(Drawn(), (std::vector<int>{20, 7, 33, 2, 16, 1}));
    EXPECT_EQ(dialog.text(IDC_HIT_CLASS_FIRST), "2");

    // A draw without hits writes only the two game counters and leaves the hit row as it was.
    dialog.clearEvents();
    RunOneDraw(dialog.handle());
    EXPECT_EQ(Drawn(), (std::vector<int>{38, 17, 30, 14, 22, 49}));
    EXPECT_EQ(dialog.writtenFields(), (std::vector<int>{IDC_GAMES_WITHOUT_PRIZE, IDC_GAMES_PLAYED}));
    EXPECT_EQ(Texts(dialog, IDC_HIT_FIRST), (Strings{"0", "0", "20", "0", "0", "0"}));
    EXPECT_EQ(std::vector<int>(std::begin(gameRecord.hits), std::end(gameRecord.hits)), std::vector<int>(6, 0));
    EXPECT_EQ(dialog.text(IDC_GAMES_PLAYED), "3");
    EXPECT_EQ(dialog.text(IDC_GAMES_WITHOUT_PRIZE), "3");
}

TEST(DrawEngine, SeedZeroGivesTwoHitsInTheFirstDraw)
{
    FakeDialog dialog;
    Seed(0);
    NewRandomTip(dialog.handle());
    EXPECT_EQ(Tip(), (std::vector<int>{1, 7, 42, 19, 20, 23}));

    dialog.clearEvents();
    RunOneDraw(dialog.handle());
    EXPECT_EQ(Drawn(), (std::vector<int>{23, 44, 20, 32, 12, 5}));
    EXPECT_EQ(Texts(dialog, IDC_HIT_FIRST), (Strings{"0", "0", "0", "0", "20", "23"}));
    EXPECT_EQ(dialog.text(IDC_HIT_CLASS_FIRST + 1), "1");
    // The hit row, then the class counter, then the prize-less and played counters.
    EXPECT_EQ(dialog.writtenFields(),
              (std::vector<int>{109, 110, 111, 112, 113, 114, IDC_HIT_CLASS_FIRST + 1, IDC_GAMES_WITHOUT_PRIZE,
                                IDC_GAMES_PLAYED}));
}

TEST(DrawEngine, ThreeHitsOrMoreAreNotCountedAsWithoutPrize)
{
    FakeDialog dialog;
    Seed(7);
    NewRandomTip(dialog.handle());
    for (int draw = 0; draw < 20000; ++draw) {
        const std::uint64_t withoutPrize = gameRecord.gamesWithoutPrize;
        RunOneDraw(dialog.handle());
        int hits = 0;
        for (int hit : gameRecord.hits)
            hits += hit != 0;
        if (hits >= kLeastWinningHits) {
            EXPECT_EQ(gameRecord.gamesWithoutPrize, withoutPrize);
            EXPECT_EQ(dialog.text(IDC_HIT_CLASS_FIRST + hits - 1), std::to_string(gameRecord.hitClassCount[hits]));
            return;
        }
    }
    FAIL() << "no draw with three hits in 20000";
}

TEST(DrawEngine, ResetClearsCountersAndHitRowAndMakesANewTip)
{
    FakeDialog dialog;
    Seed(0);
    NewRandomTip(dialog.handle());
    for (int draw = 0; draw < 500; ++draw)
        RunOneDraw(dialog.handle());
    ASSERT_EQ(dialog.text(IDC_GAMES_PLAYED), "500");

    NewRandomTip(dialog.handle());
    for (int id = IDC_HIT_FIRST; id <= IDC_GAMES_WITHOUT_PRIZE; ++id)
        EXPECT_EQ(dialog.text(id), "0") << "field " << id;
    EXPECT_EQ(gameRecord.gamesPlayed, 0u);
    EXPECT_EQ(gameRecord.gamesWithoutPrize, 0u);
    for (int k = 1; k <= kNumbersPerTip; ++k)
        EXPECT_EQ(gameRecord.hitClassCount[k], 0u);
    for (int i = 0; i < kNumbersPerTip; ++i) {
        EXPECT_GE(gameRecord.tip[i], kLowestNumber);
        EXPECT_LE(gameRecord.tip[i], kHighestNumber);
        EXPECT_EQ(dialog.text(IDC_TIP_FIRST + i), std::to_string(gameRecord.tip[i]));
        for (int j = 0; j < i; ++j)
            EXPECT_NE(gameRecord.tip[i], gameRecord.tip[j]);
    }
}

TEST(DrawEngine, DrawUniqueNumberAvoidsTheGivenNumbers)
{
    Seed(3);
    int numbers[kNumbersPerTip] = {};
    for (int round = 0; round < 2000; ++round) {
        for (int n = 0; n < kNumbersPerTip; ++n) {
            numbers[n] = DrawUniqueNumber(n, numbers);
            ASSERT_GE(numbers[n], kLowestNumber);
            ASSERT_LE(numbers[n], kHighestNumber);
            for (int i = 0; i < n; ++i)
                ASSERT_NE(numbers[n], numbers[i]);
        }
    }
}

// Counters are 64 bits wide: they count on past 2^31 and 2^32 and show the exact value.
TEST(DrawEngine, CountersStayExactPastThirtyTwoBits)
{
    FakeDialog dialog;
    Seed(11);
    NewRandomTip(dialog.handle());
    const std::uint64_t starts[] = {0x7FFFFFFFu - 1, 0xFFFFFFFFu - 1};
    for (std::uint64_t start : starts) {
        gameRecord.gamesPlayed = start;
        gameRecord.gamesWithoutPrize = start;
        for (int k = 1; k <= kNumbersPerTip; ++k)
            gameRecord.hitClassCount[k] = start;
        for (int draw = 0; draw < 4; ++draw)
            RunOneDraw(dialog.handle());
        EXPECT_EQ(gameRecord.gamesPlayed, start + 4);
        EXPECT_EQ(dialog.text(IDC_GAMES_PLAYED), std::to_string(start + 4));
        EXPECT_EQ(dialog.text(IDC_GAMES_WITHOUT_PRIZE), std::to_string(gameRecord.gamesWithoutPrize));
        EXPECT_GT(gameRecord.gamesWithoutPrize, start);
    }
    EXPECT_EQ(dialog.text(IDC_GAMES_PLAYED), "4294967298");
}

TEST(DrawEngine, ADrawAllocatesNothing)
{
    FakeDialog dialog;
    dialog.recordEvents = false;
    Seed(5);
    NewRandomTip(dialog.handle());
    // The counter must see every kind of allocation, or its silence below would prove nothing.
    struct alignas(2 * kDefaultAlignment) Wide {};
    const long beforeProbe = allocations.load();
    delete new int(1);
    delete[] new int[2];
    delete new (std::nothrow) int(1);
    delete new Wide();
    // NOLINTNEXTLINE(clang-analyzer-unix.Malloc): the analyzer misses that delete frees the counting new's block
    ASSERT_EQ(allocations.load(), beforeProbe + 4);

    const long before = allocations.load();
    for (int draw = 0; draw < 10000; ++draw)
        RunOneDraw(dialog.handle());
    EXPECT_EQ(allocations.load(), before);
    EXPECT_EQ(gameRecord.gamesPlayed, 10000u);
}
