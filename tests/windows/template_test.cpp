// Both dialog templates read back from the built resources and from the live dialogs made of them.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "dialog_driver.h"
#include "dialog_template.h"
#include "losses/loss_dialog.h"
#include "lottery/main_dialog.h"
#include "resources/resource.h"

namespace {

constexpr int kClassNameSize = 32;

// The control kinds of both dialogs, as whole style words.
constexpr DWORD kShownChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPushButton = kShownChild | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
constexpr DWORD kDefaultButton = kShownChild | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_CENTER | BS_VCENTER;
constexpr DWORD kNumberEdit = kShownChild | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_NUMBER;
constexpr DWORD kMarkEdit = kNumberEdit | ES_AUTOHSCROLL;
constexpr DWORD kText = kShownChild | SS_LEFT;
constexpr DWORD kGroup = kShownChild | BS_GROUPBOX | BS_LEFT;
constexpr DWORD kDialogStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_3DLOOK | DS_SETFONT;

struct Expected {
    const wchar_t* className;
    int id;
    DWORD style;
    short x, y, w, h;
    const wchar_t* text;
};

constexpr Expected kMainControls[] = {
    {L"BUTTON", IDC_START, kDefaultButton, 208, 8, 40, 14, L"Start"},
    {L"BUTTON", IDC_STOP, kPushButton, 208, 24, 40, 14, L"Stop"},
    {L"BUTTON", IDC_RESET, kPushButton, 208, 40, 40, 14, L"Reset"},
    {L"BUTTON", IDC_LOSSES, kPushButton, 208, 56, 40, 14, L"Verluste"},
    {L"BUTTON", IDC_INFO, kPushButton, 208, 80, 40, 14, L"Info"},
    {L"BUTTON", IDC_END, kPushButton, 208, 96, 40, 14, L"Ende"},
    {L"EDIT", 103, kNumberEdit, 56, 8, 16, 12, L""},
    {L"EDIT", 104, kNumberEdit, 80, 8, 16, 12, L""},
    {L"EDIT", 105, kNumberEdit, 104, 8, 16, 12, L""},
    {L"EDIT", 106, kNumberEdit, 128, 8, 16, 12, L""},
    {L"EDIT", 107, kNumberEdit, 152, 8, 16, 12, L""},
    {L"EDIT", 108, kNumberEdit, 176, 8, 16, 12, L""},
    {L"STATIC", IDC_STATIC, kText, 8, 8, 40, 8, L"Ihre Zahlen:"},
    {L"STATIC", IDC_STATIC, kText, 8, 24, 40, 8, L"Treffer:"},
    {L"BUTTON", IDC_STATIC, kGroup, 8, 40, 184, 72, L"Auswertung:"},
    {L"STATIC", IDC_STATIC, kText, 16, 56, 32, 8, L"Einer:"},
    {L"STATIC", IDC_STATIC, kText, 16, 64, 32, 8, L"Zweier:"},
    {L"STATIC", IDC_STATIC, kText, 16, 72, 32, 8, L"Dreier:"},
    {L"STATIC", IDC_STATIC, kText, 16, 80, 32, 8, L"Vierer:"},
    {L"STATIC", IDC_STATIC, kText, 16, 88, 32, 8, L"Fuenfer:"},
    {L"STATIC", IDC_STATIC, kText, 16, 96, 32, 8, L"Sechser:"},
    {L"STATIC", 115, kText, 64, 56, 32, 8, L"0"},
    {L"STATIC", 116, kText, 64, 64, 32, 8, L"0"},
    {L"STATIC", 117, kText, 64, 72, 32, 8, L"0"},
    {L"STATIC", 118, kText, 64, 80, 32, 8, L"0"},
    {L"STATIC", 119, kText, 64, 88, 32, 8, L"0"},
    {L"STATIC", 120, kText, 64, 96, 32, 8, L"0"},
    {L"STATIC", IDC_STATIC, kText, 112, 56, 32, 8, L"Gespielt:"},
    {L"STATIC", 121, kText, 152, 56, 32, 8, L"0"},
    {L"STATIC", 109, kText, 56, 24, 8, 8, L""},
    {L"STATIC", 110, kText, 80, 24, 8, 8, L""},
    {L"STATIC", 111, kText, 104, 24, 8, 8, L""},
    {L"STATIC", 112, kText, 128, 24, 8, 8, L""},
    {L"STATIC", 113, kText, 152, 24, 8, 8, L""},
    {L"STATIC", 114, kText, 176, 24, 8, 8, L""},
    {L"STATIC", IDC_STATIC, kText, 112, 72, 40, 8, L"Kein Geld:"},
    {L"STATIC", 122, kText, 152, 72, 32, 8, L"0"},
};

constexpr Expected kLossControls[] = {
    {L"BUTTON", IDC_EVALUATE, kDefaultButton, 168, 8, 48, 14, L"Auswertung"},
    {L"BUTTON", IDC_AUTO, kPushButton, 168, 24, 48, 14, L"Auto"},
    {L"BUTTON", IDC_END, kPushButton, 168, 48, 48, 14, L"Ende"},
    {L"EDIT", 102, kMarkEdit, 64, 24, 40, 12, L""},
    {L"EDIT", 107, kNumberEdit, 120, 24, 16, 12, L""},
    {L"EDIT", 103, kMarkEdit, 64, 40, 40, 12, L""},
    {L"EDIT", 108, kNumberEdit, 120, 40, 16, 12, L""},
    {L"EDIT", 104, kMarkEdit, 64, 56, 40, 12, L""},
    {L"EDIT", 109, kNumberEdit, 120, 56, 16, 12, L""},
    {L"EDIT", 105, kMarkEdit, 64, 72, 40, 12, L""},
    {L"EDIT", 110, kNumberEdit, 120, 72, 16, 12, L""},
    {L"EDIT", 106, kMarkEdit, 64, 88, 40, 12, L""},
    {L"EDIT", 111, kNumberEdit, 120, 88, 16, 12, L""},
    {L"BUTTON", IDC_STATIC, kGroup, 8, 8, 144, 96, L"Preise:"},
    {L"STATIC", IDC_STATIC, kText, 24, 24, 32, 8, L"Spiel:"},
    {L"STATIC", IDC_STATIC, kText, 24, 40, 32, 8, L"Dreier:"},
    {L"STATIC", IDC_STATIC, kText, 24, 56, 32, 8, L"Vierer:"},
    {L"STATIC", IDC_STATIC, kText, 24, 72, 32, 8, L"Fuenfer:"},
    {L"STATIC", IDC_STATIC, kText, 24, 88, 32, 8, L"Sechser:"},
    {L"STATIC", IDC_STATIC, kText, 104, 24, 16, 8, L"DM"},
    {L"STATIC", IDC_STATIC, kText, 136, 24, 8, 8, L"Pf"},
    {L"STATIC", IDC_STATIC, kText, 104, 40, 16, 8, L"DM"},
    {L"STATIC", IDC_STATIC, kText, 104, 56, 16, 8, L"DM"},
    {L"STATIC", IDC_STATIC, kText, 104, 72, 16, 8, L"DM"},
    {L"STATIC", IDC_STATIC, kText, 104, 88, 16, 8, L"DM"},
    {L"STATIC", IDC_STATIC, kText, 136, 40, 8, 8, L"Pf"},
    {L"STATIC", IDC_STATIC, kText, 136, 56, 8, 8, L"Pf"},
    {L"STATIC", IDC_STATIC, kText, 136, 72, 8, 8, L"Pf"},
    {L"STATIC", IDC_STATIC, kText, 136, 88, 8, 8, L"Pf"},
    {L"BUTTON", IDC_STATIC, kGroup, 8, 112, 144, 64, L"Spielergebnisse:"},
    {L"STATIC", IDC_STATIC, kText, 24, 128, 32, 8, L"Kosten:"},
    {L"STATIC", IDC_STATIC, kText, 24, 144, 40, 8, L"Gewinne:"},
    {L"STATIC", IDC_STATIC, kText, 24, 160, 32, 8, L"Gesamt:"},
    {L"STATIC", 112, kText, 64, 128, 40, 8, L"0"},
    {L"STATIC", 113, kText, 64, 144, 40, 8, L"0"},
    {L"STATIC", 114, kText, 64, 160, 40, 8, L"0"},
    {L"STATIC", IDC_STATIC, kText, 104, 128, 16, 8, L"DM"},
    {L"STATIC", IDC_STATIC, kText, 104, 144, 16, 8, L"DM"},
    {L"STATIC", IDC_STATIC, kText, 104, 160, 16, 8, L"DM"},
    {L"STATIC", IDC_STATIC, kText, 136, 128, 8, 8, L"Pf"},
    {L"STATIC", IDC_STATIC, kText, 136, 144, 8, 8, L"Pf"},
    {L"STATIC", IDC_STATIC, kText, 136, 160, 8, 8, L"Pf"},
    {L"STATIC", 115, kText, 120, 128, 16, 8, L"0"},
    {L"STATIC", 116, kText, 120, 144, 16, 8, L"0"},
    {L"STATIC", 117, kText, 120, 160, 16, 8, L"0"},
};

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

template <std::size_t N>
void ExpectTemplate(const char* name, const wchar_t* caption, short w, short h, const Expected (&controls)[N])
{
    const DialogTemplate dialog = LoadDialogTemplate(name);
    EXPECT_EQ(dialog.style, kDialogStyle) << "no WS_POPUP, nothing beyond the listed styles";
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.caption, caption);
    EXPECT_EQ(dialog.font, L"Helv");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.menu, L"");
    EXPECT_EQ(dialog.className, L"");
    EXPECT_EQ(dialog.w, w);
    EXPECT_EQ(dialog.h, h);

    ASSERT_EQ(dialog.controls.size(), N);
    for (std::size_t i = 0; i < N; ++i) {
        const ControlTemplate& actual = dialog.controls[i];
        const Expected& expected = controls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " '" + Narrow(expected.text) + "'");
        EXPECT_EQ(actual.className, expected.className);
        EXPECT_EQ(actual.id, expected.id);
        EXPECT_EQ(actual.style, expected.style) << std::hex << "differs in " << (actual.style ^ expected.style);
        EXPECT_EQ(actual.exStyle, 0u);
        EXPECT_EQ(actual.x, expected.x);
        EXPECT_EQ(actual.y, expected.y);
        EXPECT_EQ(actual.w, expected.w);
        EXPECT_EQ(actual.h, expected.h);
        EXPECT_EQ(actual.text, expected.text);
    }
}

RECT InDialogUnits(HWND dialog, int x, int y, int w, int h)
{
    RECT rect{x, y, x + w, y + h};
    MapDialogRect(dialog, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// The live dialog against its template: the dialog manager keeps each word, except that it marks
// every control WS_EX_NOPARENTNOTIFY and draws a bordered edit with a sunken client edge instead.
void ExpectLiveDialog(HWND dialog, const DialogTemplate& expected)
{
    const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    EXPECT_EQ(style & expected.style, expected.style);
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD | WS_DISABLED), 0u) << "an overlapped, enabled top-level window";
    EXPECT_EQ(WindowTextW(dialog), expected.caption);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_TRUE(SameRect(client, InDialogUnits(dialog, 0, 0, expected.w, expected.h)));

    std::size_t index = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, expected.controls.size()) << "more live controls than the template has";
        const ControlTemplate& item = expected.controls[index];
        SCOPED_TRACE("live control #" + std::to_string(index + 1) + " '" + Narrow(item.text) + "'");

        wchar_t className[kClassNameSize] = {};
        GetClassNameW(control, className, kClassNameSize);
        EXPECT_EQ(_wcsicmp(className, item.className.c_str()), 0);
        EXPECT_EQ(GetDlgCtrlID(control), item.id);

        // So no control gains WS_GROUP or WS_DISABLED either.
        const auto liveStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        const auto liveExStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE));
        const bool borderMoved = item.className == L"EDIT" && liveExStyle & WS_EX_CLIENTEDGE;
        EXPECT_EQ(liveStyle, borderMoved ? item.style & ~WS_BORDER : item.style) << std::hex << liveStyle;
        const DWORD platformExStyle = WS_EX_NOPARENTNOTIFY | (borderMoved ? WS_EX_CLIENTEDGE : 0);
        EXPECT_EQ(liveExStyle & ~platformExStyle, 0u) << std::hex << liveExStyle;

        RECT bounds;
        GetWindowRect(control, &bounds);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bounds), 2);
        EXPECT_TRUE(SameRect(bounds, InDialogUnits(dialog, item.x, item.y, item.w, item.h)));

        // Fields the dialog fills on opening are checked with its opening state.
        if (item.id == IDC_STATIC || item.className == L"BUTTON") {
            EXPECT_EQ(WindowTextW(control), item.text);
        }
    }
    EXPECT_EQ(index, expected.controls.size());
}

} // namespace

TEST(DialogTemplates, MainDialogMatchesItsTable)
{
    ExpectTemplate(kMainDialogTemplate, L"Tippwerk", 260, 121, kMainControls);
}

TEST(DialogTemplates, LossDialogMatchesItsTable)
{
    ExpectTemplate(kLossDialogTemplate, L"Verluste beim Lottospiel", 228, 185, kLossControls);
}

TEST(DialogTemplates, LiveDialogsAreBuiltFromTheirTemplates)
{
    const HWND main = CreateDialogParamA(nullptr, kMainDialogTemplate, nullptr, MainDialogProc, 0);
    ASSERT_NE(main, nullptr);
    ExpectLiveDialog(main, LoadDialogTemplate(kMainDialogTemplate));
    DestroyWindow(main);

    const HWND losses = CreateDialogParamA(nullptr, kLossDialogTemplate, nullptr, LossDialogProc, 0);
    ASSERT_NE(losses, nullptr);
    ExpectLiveDialog(losses, LoadDialogTemplate(kLossDialogTemplate));
    SendMessageA(losses, WM_CLOSE, 0, 0);
    DestroyWindow(losses);
}
