// Finding, reading, typing into and clicking the windows of the program under test.
#include "window_driving.h"

#include <cwchar>
#include <vector>

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
    return std::wcscmp(caption, query.caption) == 0;
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

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result)
{
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
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

HWND FindProgramWindow(const WindowQuery& query)
{
    return SearchWindows(query).found;
}

HWND WaitForProgramWindow(const WindowQuery& query, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindProgramWindow(query)) != nullptr; }, timeoutMs);
    return found;
}

int CountProgramWindows(const WindowQuery& query)
{
    return SearchWindows(query).count;
}

std::wstring ReadText(HWND window)
{
    DWORD_PTR length = 0;
    if (!Send(window, WM_GETTEXTLENGTH, 0, 0, length))
        return L"";
    std::vector<wchar_t> text(length + 1);
    DWORD_PTR copied = 0;
    if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), copied))
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
    return field && Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), result);
}

bool ClickButton(HWND dialog, int buttonId)
{
    const HWND button = GetDlgItem(dialog, buttonId);
    DWORD_PTR result = 0;
    return button && Send(button, BM_CLICK, 0, 0, result);
}

bool PostClick(HWND dialog, int buttonId)
{
    const HWND button = GetDlgItem(dialog, buttonId);
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

bool PressCloseBox(HWND window)
{
    DWORD_PTR result = 0;
    return Send(window, WM_CLOSE, 0, 0, result);
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
