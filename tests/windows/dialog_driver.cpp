// Pumping, field access, window search and the thread timers that act inside modal loops.
#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/program_icon.h"

namespace {

using Clock = std::chrono::steady_clock;

// The platform raises shorter timer intervals to its minimum anyway.
constexpr UINT kWatchIntervalMs = 10;
constexpr DWORD kIdleWaitMs = 5;
constexpr int kFieldTextSize = 64;
constexpr int kClassNameSize = 32;
constexpr const char* kDialogClass = "#32770";

std::map<UINT_PTR, ModalStep*> pendingSteps;
std::map<UINT_PTR, BoxWatcher*> activeWatchers;

bool IsClass(HWND window, const char* className)
{
    char actual[kClassNameSize] = {};
    GetClassNameA(window, actual, kClassNameSize);
    return lstrcmpiA(actual, className) == 0;
}

bool IsDialogWindow(HWND window)
{
    return IsClass(window, kDialogClass);
}

void Dispatch(MSG& message)
{
    if (message.message == WM_TIMER && message.hwnd != nullptr) {
        timerLog.windows.push_back(message.hwnd);
        timerLog.ids.insert(message.wParam);
    }
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && IsDialogWindow(root) && IsDialogMessageA(root, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void PumpOnce()
{
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        Dispatch(message);
    else
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdleWaitMs, QS_ALLINPUT);
}

// Reads a message box the way a player sees it: the text, the icon and the buttons shown.
SeenBox ReadMessageBox(HWND box)
{
    SeenBox seen{GetWindow(box, GW_OWNER), {}, nullptr, {}};
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool isStatic = IsClass(child, "Static");
        if (IsClass(child, "Button") && IsWindowVisible(child))
            seen.buttonIds.push_back(GetDlgCtrlID(child));
        else if (isStatic && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        else if (isStatic)
            seen.text += WindowTextW(child);
    }
    return seen;
}

struct CaptionSearch {
    const wchar_t* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectCaptioned(HWND window, LPARAM context)
{
    auto& search = *reinterpret_cast<CaptionSearch*>(context);
    if (IsDialogWindow(window) && WindowTextW(window) == search.caption)
        search.found.push_back(window);
    return TRUE;
}

} // namespace

TimerLog timerLog;

int TimerLog::TicksFor(HWND window) const
{
    return static_cast<int>(std::count(windows.begin(), windows.end(), window));
}

bool PumpUntil(const std::function<bool()>& done, Milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > deadline)
            return done();
        PumpOnce();
    }
    return true;
}

void PumpFor(Milliseconds duration)
{
    const auto end = Clock::now() + duration;
    while (Clock::now() < end)
        PumpOnce();
}

std::string FieldText(HWND dialog, int id)
{
    char text[kFieldTextSize] = {};
    GetDlgItemTextA(dialog, id, text, kFieldTextSize);
    return text;
}

unsigned long long FieldNumber(HWND dialog, int id)
{
    const std::string text = FieldText(dialog, id);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        ADD_FAILURE() << "field " << id << " holds '" << text << "', not a count";
        return 0;
    }
    return std::stoull(text);
}

void TypeInto(HWND dialog, int id, const char* text)
{
    ASSERT_TRUE(SetDlgItemTextA(dialog, id, text)) << "no field " << id;
}

void Click(HWND dialog, int id)
{
    const HWND button = GetDlgItem(dialog, id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    SendMessageA(button, BM_CLICK, 0, 0);
}

::testing::AssertionResult ShowsProgramIcons(HWND window)
{
    struct IconSize {
        WPARAM type;
        const char* name;
        int widthMetric;
        int heightMetric;
    };
    const IconSize sizes[] = {{ICON_BIG, "large", SM_CXICON, SM_CYICON},
                              {ICON_SMALL, "small", SM_CXSMICON, SM_CYSMICON}};
    for (const IconSize& size : sizes) {
        // Shared icons are loaded once per size, so the program's icon has one handle at each.
        const HICON program = LoadProgramIcon(size.widthMetric, size.heightMetric);
        if (!program)
            return ::testing::AssertionFailure() << "no program icon at the " << size.name << " size to compare with";
        // cppcheck-suppress constVariablePointer ; a handle, which Win32 never takes as a pointer to const
        const auto shown = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, size.type, 0));
        if (shown != program)
            return ::testing::AssertionFailure()
                   << "the " << size.name << " icon is " << shown << ", not the program's " << program;
    }
    return ::testing::AssertionSuccess();
}

std::wstring WindowTextW(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<HWND> ThreadDialogs(const wchar_t* caption)
{
    CaptionSearch search{caption, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindThreadDialog(const wchar_t* caption)
{
    const std::vector<HWND> found = ThreadDialogs(caption);
    EXPECT_LE(found.size(), 1u) << "several dialogs captioned " << std::string(caption, caption + wcslen(caption));
    return found.empty() ? nullptr : found.front();
}

ModalStep::ModalStep(const wchar_t* dialogCaption, std::function<void()> body, std::function<bool()> ready)
    : caption_(dialogCaption), body_(std::move(body)), ready_(std::move(ready)), deadline_(Clock::now() + kPatience),
      timer_(SetTimer(nullptr, 0, kWatchIntervalMs, OnTick))
{
    pendingSteps[timer_] = this;
}

ModalStep::~ModalStep()
{
    if (pendingSteps.erase(timer_) != 0)
        KillTimer(nullptr, timer_);
}

void CALLBACK ModalStep::OnTick(HWND, UINT, UINT_PTR timer, DWORD)
{
    const auto found = pendingSteps.find(timer);
    if (found == pendingSteps.end())
        return;
    ModalStep& step = *found->second;
    if (step.ready_ && !step.ready_() && Clock::now() < step.deadline_)
        return;
    // The body pumps messages itself, so the step must be gone before it runs.
    KillTimer(nullptr, timer);
    pendingSteps.erase(found);
    step.ran_ = true;
    step.body_();
    if (step.caption_ == nullptr)
        return;
    for (HWND dialog : ThreadDialogs(step.caption_)) {
        if (IsWindowVisible(dialog)) {
            ADD_FAILURE() << "the dialog is still open after the step; ending it";
            EndDialog(dialog, 0);
        }
    }
}

BoxWatcher::BoxWatcher(HWND owner, const wchar_t* caption, std::function<void()> onAppear,
                       std::function<bool()> mayDismiss)
    : owner_(owner), caption_(caption), onAppear_(std::move(onAppear)), mayDismiss_(std::move(mayDismiss)),
      timer_(SetTimer(nullptr, 0, kWatchIntervalMs, OnTick))
{
    activeWatchers[timer_] = this;
}

BoxWatcher::~BoxWatcher()
{
    activeWatchers.erase(timer_);
    KillTimer(nullptr, timer_);
}

void CALLBACK BoxWatcher::OnTick(HWND, UINT, UINT_PTR timer, DWORD)
{
    const auto found = activeWatchers.find(timer);
    if (found != activeWatchers.end())
        found->second->Watch();
}

void BoxWatcher::Watch()
{
    if (current_ == nullptr) {
        for (HWND box : ThreadDialogs(caption_)) {
            if (box != owner_ && IsWindowVisible(box) && dismissed_.count(box) == 0) {
                current_ = box;
                currentSince_ = Clock::now();
                boxes.push_back(ReadMessageBox(box));
                if (onAppear_)
                    onAppear_();
                break;
            }
        }
    }
    if (current_ == nullptr)
        return;
    if (mayDismiss_ && !mayDismiss_() && Clock::now() - currentSince_ < kPatience)
        return;
    dismissed_.insert(current_);
    SendMessageA(current_, WM_COMMAND, IDOK, 0);
    current_ = nullptr;
}
