// Finding, reading, typing into and clicking the windows of the program under test.
#include "window_driving.h"

#include <cstring>
#include <cwchar>

namespace {

struct Search {
    const WindowQuery* query;
    HWND found;
    int count;
};

bool Matches(HWND window, const WindowQuery& query)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != query.processId || !IsWindowVisible(window))
        return false;
    if (query.owner && GetWindow(window, GW_OWNER) != query.owner)
        return false;
    wchar_t caption[128];
    GetWindowTextW(window, caption, ARRAYSIZE(caption));
    return !query.caption || std::wcscmp(caption, query.caption) == 0;
}

BOOL CALLBACK CollectMatch(HWND window, LPARAM state)
{
    auto& search = *reinterpret_cast<Search*>(state);
    if (Matches(window, *search.query)) {
        search.found = window;
        ++search.count;
    }
    return TRUE;
}

Search SearchWindows(const WindowQuery& query)
{
    Search search{&query, nullptr, 0};
    EnumWindows(CollectMatch, reinterpret_cast<LPARAM>(&search));
    return search;
}

// Two edit-field text limits far beyond any text a field holds, so setting one changes nothing the
// program or a player would notice; the mark posted behind other messages switches between them.
constexpr DWORD_PTR kMarkLimits[2] = {0x7FFFFFF0, 0x7FFFFFF1};
constexpr WPARAM kShortTextSize = 64;
constexpr DWORD kClipboardTimeoutMs = 1000;

// Key messages as the keyboard would post them: a repeat count of one, and for the key-up the bits
// saying the key was down before and is being released.
constexpr LPARAM kKeyDownFlags = 1;
constexpr LPARAM kKeyUpFlags = kKeyDownFlags | (LPARAM{1} << 30) | (LPARAM{1} << 31);

struct Census {
    DWORD processId;
    std::vector<ProgramWindow>* windows;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM state)
{
    auto& census = *reinterpret_cast<Census*>(state);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == census.processId) {
        wchar_t caption[128];
        GetWindowTextW(window, caption, ARRAYSIZE(caption));
        wchar_t className[64];
        GetClassNameW(window, className, ARRAYSIZE(className));
        census.windows->push_back({window, caption, className, IsWindowVisible(window) != FALSE});
    }
    return TRUE;
}

bool PutOnClipboard(const wchar_t* text)
{
    const std::size_t size = (std::wcslen(text) + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return false;
    bool set = false;
    void* const locked = GlobalLock(memory);
    if (locked) {
        std::memcpy(locked, text, size);
        GlobalUnlock(memory);
        // Another program may hold the clipboard for a moment.
        if (WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, kClipboardTimeoutMs, kQuickPollIntervalMs)) {
            // Once set, the memory belongs to the clipboard.
            set = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory);
            CloseClipboard();
        }
    }
    if (!set)
        // cppcheck-suppress doubleFree ; the clipboard owns the memory only when SetClipboardData succeeded
        GlobalFree(memory);
    return set;
}

struct TextSearch {
    const std::wstring* part;
    bool found;
};

BOOL CALLBACK FindStaticText(HWND child, LPARAM state)
{
    auto& search = *reinterpret_cast<TextSearch*>(state);
    wchar_t className[32];
    GetClassNameW(child, className, ARRAYSIZE(className));
    if (_wcsicmp(className, L"Static") == 0 && ReadText(child).find(*search.part) != std::wstring::npos)
        search.found = true;
    return !search.found;
}

} // namespace

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result)
{
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
}

HWND FindProgramWindow(const WindowQuery& query)
{
    return SearchWindows(query).found;
}

HWND WaitForProgramWindow(const WindowQuery& query, DWORD timeoutMs, DWORD pollIntervalMs)
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindProgramWindow(query)) != nullptr; }, timeoutMs, pollIntervalMs);
    return found;
}

int CountProgramWindows(const WindowQuery& query)
{
    return SearchWindows(query).count;
}

std::wstring ReadText(HWND window)
{
    // Fields and labels hold short texts, which one message fetches; a longer one needs its length first.
    wchar_t shortText[kShortTextSize];
    DWORD_PTR copied = 0;
    if (!SendWithTimeout(window, WM_GETTEXT, kShortTextSize, reinterpret_cast<LPARAM>(shortText), copied))
        return L"";
    if (copied + 1 < kShortTextSize)
        return std::wstring(shortText, copied);

    DWORD_PTR length = 0;
    if (!SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, length))
        return L"";
    std::vector<wchar_t> text(length + 1);
    if (!SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), copied))
        return L"";
    return std::wstring(text.data(), copied);
}

std::wstring ReadField(HWND dialog, int fieldId)
{
    const HWND field = GetDlgItem(dialog, fieldId);
    return field ? ReadText(field) : L"";
}

bool ReadCount(HWND dialog, int fieldId, std::uint64_t& count)
{
    const std::wstring text = ReadField(dialog, fieldId);
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    count = std::wcstoull(text.c_str(), nullptr, 10);
    return true;
}

bool TypeField(HWND dialog, int fieldId, const wchar_t* text)
{
    const HWND field = GetDlgItem(dialog, fieldId);
    DWORD_PTR result = 0;
    return field && SendWithTimeout(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), result);
}

bool ClickButton(HWND dialog, int buttonId)
{
    const HWND button = GetDlgItem(dialog, buttonId);
    DWORD_PTR result = 0;
    return button && SendWithTimeout(button, BM_CLICK, 0, 0, result);
}

bool PostClick(HWND dialog, int buttonId)
{
    const HWND button = GetDlgItem(dialog, buttonId);
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

bool PressCloseBox(HWND window)
{
    DWORD_PTR result = 0;
    return SendWithTimeout(window, WM_CLOSE, 0, 0, result);
}

bool PasteIntoField(HWND dialog, int fieldId, const wchar_t* text)
{
    const HWND field = GetDlgItem(dialog, fieldId);
    constexpr LPARAM kToTheEnd = -1;
    DWORD_PTR result = 0;
    return field && PutOnClipboard(text) && SendWithTimeout(field, EM_SETSEL, 0, kToTheEnd, result) &&
           SendWithTimeout(field, WM_PASTE, 0, 0, result);
}

bool PressKeyInField(HWND dialog, int fieldId, WORD key)
{
    const HWND field = GetDlgItem(dialog, fieldId);
    // WM_NEXTDLGCTL with a window handle moves the focus to that control, as the dialog manager does.
    return field && PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE) &&
           PostMessageW(field, WM_KEYDOWN, key, kKeyDownFlags) && PostMessageW(field, WM_KEYUP, key, kKeyUpFlags);
}

bool WaitUntilPostedTaken(HWND field)
{
    DWORD_PTR limit = 0;
    if (!SendWithTimeout(field, EM_GETLIMITTEXT, 0, 0, limit))
        return false;
    const DWORD_PTR mark = limit == kMarkLimits[0] ? kMarkLimits[1] : kMarkLimits[0];
    if (!PostMessageW(field, EM_LIMITTEXT, mark, 0))
        return false;
    // A program that stops answering ends the wait at once.
    bool answered = true;
    const auto markTakenOrNoAnswer = [&] {
        answered = SendWithTimeout(field, EM_GETLIMITTEXT, 0, 0, limit);
        return !answered || limit == mark;
    };
    return WaitFor(markTakenOrNoAnswer, kWindowTimeoutMs, kQuickPollIntervalMs) && answered;
}

std::vector<ProgramWindow> ListProgramWindows(DWORD processId)
{
    std::vector<ProgramWindow> windows;
    Census census{processId, &windows};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&census));
    return windows;
}

RECT AreaOf(HWND window)
{
    RECT area{};
    GetWindowRect(window, &area);
    return area;
}

bool ShowsText(HWND window, const std::wstring& part)
{
    TextSearch search{&part, false};
    EnumChildWindows(window, FindStaticText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring NumberText(std::int64_t value)
{
    return std::to_wstring(value);
}
