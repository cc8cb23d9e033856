// The main dialog's message boxes: one warning per bad tip field while draws go on, and the about box.
#include "main_dialog_fixture.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kDecimalBase = 10;
const wchar_t* const kWarningCaption = L"Eingabefehler";
const wchar_t* const kWarningText = L"Bitte korrekte Lottozahlen eingeben!";
// Games that must be played behind each warning box before the test dismisses it.
constexpr unsigned long long kDrawsBehindABox = 3;

std::vector<std::wstring> Lines(const std::wstring& text)
{
    std::vector<std::wstring> lines(1);
    for (wchar_t c : text) {
        if (c == L'\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What the test saw the moment a warning box appeared.
struct AtWarning {
    std::vector<std::string> fields;
    Tip storedTip;
    // cppcheck-suppress unusedStructMember ; read by the watcher's lambda and after the boxes
    unsigned long long played;
};

} // namespace

TEST_F(MainDialogTest, BadTipFieldsAreReplacedThenWarnedOnceEachWhileDrawsGoOn)
{
    Click(dialog, IDC_START);
    ASSERT_TRUE(DrawsGoOn(dialog, 5));
    const Tip previous = StoredTip();

    // Two valid fields first, so no replacement can collide with a later valid field: then 0,
    // 50, a repeat of the first field's 7 and an empty field, each bad.
    const std::vector<std::string> typed = {"07", "12", "0", "50", "7", ""};
    const int firstBad = 2;
    for (int i = 0; i < kNumbersPerTip; ++i)
        TypeInto(dialog, IDC_TIP_FIRST + i, typed[i].c_str());

    std::vector<AtWarning> seen;
    BoxWatcher watcher(
        dialog, kWarningCaption,
        [&] {
            AtWarning now{{}, StoredTip(), Played(dialog)};
            for (int i = 0; i < kNumbersPerTip; ++i)
                now.fields.push_back(FieldText(dialog, IDC_TIP_FIRST + i));
            seen.push_back(now);
        },
        [&] { return Played(dialog) >= seen.back().played + kDrawsBehindABox; });
    Click(dialog, IDC_START);

    ASSERT_EQ(watcher.boxes.size(), 4u);
    for (std::size_t n = 0; n < watcher.boxes.size(); ++n) {
        SCOPED_TRACE("warning " + std::to_string(n + 1));
        const SeenBox& box = watcher.boxes[n];
        EXPECT_EQ(box.text, kWarningText);
        EXPECT_EQ(box.owner, dialog);
        EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
        EXPECT_EQ(box.buttonIds, std::vector<int>{IDOK});

        // The box's field already shows its replacement; later fields still hold what was typed.
        const int field = firstBad + static_cast<int>(n);
        const std::vector<std::string>& fields = seen[n].fields;
        EXPECT_NE(fields[field], typed[field]);
        const char* const shown = fields[field].c_str();
        char* end = nullptr;
        const long replacement = std::strtol(shown, &end, kDecimalBase);
        EXPECT_TRUE(end != shown && *end == '\0') << "the replacement \"" << shown << "\" is a number";
        EXPECT_GE(replacement, kLowestNumber);
        EXPECT_LE(replacement, kHighestNumber);
        for (int later = field + 1; later < kNumbersPerTip; ++later)
            EXPECT_EQ(fields[later], typed[later]);

        // Draws behind the box go on against the whole previous tip.
        EXPECT_EQ(seen[n].storedTip, previous);
    }
    EXPECT_GE(Played(dialog), seen.back().played + kDrawsBehindABox);

    EXPECT_EQ(FieldText(dialog, IDC_TIP_FIRST), "07") << "a valid field is not rewritten";
    EXPECT_EQ(FieldText(dialog, IDC_TIP_FIRST + 1), "12");
    const Tip accepted = StoredTip();
    EXPECT_EQ(accepted, ShownTip(dialog));
    ExpectValidTip(accepted);
    EXPECT_TRUE(DrawsGoOn(dialog, 5));
}

TEST_F(MainDialogTest, InfoShowsTheAboutTextWithItsUmlauts)
{
    // Run under another ANSI code page, the test proves something only if Wine really switched to it.
    if (const char* expected = std::getenv("TIPPWERK_EXPECTED_ANSI_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), std::strtoul(expected, nullptr, kDecimalBase))
            << "Wine did not take this code page from LC_ALL: is the locale known and generated (locale-gen)?";
    }

    BoxWatcher watcher(dialog, kMainCaption);
    Click(dialog, IDC_INFO);

    ASSERT_EQ(watcher.boxes.size(), 1u);
    const SeenBox& box = watcher.boxes[0];
    EXPECT_EQ(box.owner, dialog);
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_INFORMATION));
    EXPECT_EQ(box.buttonIds, std::vector<int>{IDOK});

    // Three blocks split by empty lines, the first line empty, no line feed at the end.
    const std::vector<std::wstring> lines = Lines(box.text);
    ASSERT_EQ(lines.size(), 10u) << std::string(box.text.begin(), box.text.end());
    EXPECT_EQ(lines[0], L"");
    EXPECT_FALSE(lines[1].empty());
    EXPECT_TRUE(EndsWith(lines[2], L"programmiert!"));
    EXPECT_EQ(lines[3], L"");
    EXPECT_EQ(lines[4], L"Besuchen Sie unsere Homepage:");
    EXPECT_FALSE(lines[5].empty());
    EXPECT_EQ(lines[6], L"");
    EXPECT_EQ(lines[7], L"F\u00fcr Spenden w\u00e4re ich sehr dankbar");
    EXPECT_EQ(lines[8], L"- vielleicht hat ja jemand durch");
    EXPECT_EQ(lines[9], L"dieses Programm viel Geld gespart!");
    EXPECT_EQ(box.text.find(L'\r'), std::wstring::npos);
}
