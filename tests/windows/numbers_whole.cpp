// Measures a live dialog against its template: value texts in the dialog font, overlaps, group boxes.
#include "numbers_whole.h"

#include <cstddef>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "dialog_template.h"
#include "platform/dialog_area.h"
#include "resources/resource.h"

namespace {

constexpr int kDecimalBase = 10;

struct Placed {
    HWND window;
    const ControlTemplate* item;
    RECT planned; // from the template, in pixels
    RECT live;
};

RECT Planned(HWND dialog, int x, int y, int w, int h)
{
    RECT area{x, y, x + w, y + h};
    MapDialogRect(dialog, &area);
    return area;
}

bool Meet(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

bool IsGroup(const ControlTemplate& item)
{
    return item.className == L"BUTTON" && (item.style & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsValue(const ControlTemplate& item)
{
    return item.className == L"STATIC" && item.id != IDC_STATIC;
}

std::string Name(const Placed& control)
{
    std::string text;
    for (const wchar_t c : WindowTextW(control.window))
        text += c < 0x80 ? static_cast<char>(c) : '?';
    return "control " + std::to_string(control.item->id) + " '" + text + "'";
}

int TextWidth(HDC dc, HWND control)
{
    const std::wstring text = WindowTextW(control);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
}

} // namespace

::testing::AssertionResult ShowsEveryNumberWhole(HWND dialog, const char* templateName, Grown grown)
{
    const DialogTemplate plan = LoadDialogTemplate(templateName);
    std::vector<Placed> controls;
    std::size_t index = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr && index < plan.controls.size();
         control = GetWindow(control, GW_HWNDNEXT), ++index) {
        const ControlTemplate& item = plan.controls[index];
        controls.push_back(
            {control, &item, Planned(dialog, item.x, item.y, item.w, item.h), AreaInDialog(dialog, control)});
    }
    std::ostringstream faults;
    if (controls.size() != plan.controls.size())
        faults << controls.size() << " controls, the template has " << plan.controls.size() << "; ";

    // The dialog's own font, as the fields draw their texts in it.
    const HDC dc = GetDC(dialog);
    // Run at another screen DPI, the check proves something only if Wine really took it.
    const char* const expectedDpi = std::getenv("TIPPWERK_EXPECTED_DPI");
    if (expectedDpi != nullptr && GetDeviceCaps(dc, LOGPIXELSY) != std::strtol(expectedDpi, nullptr, kDecimalBase))
        faults << "the screen has " << GetDeviceCaps(dc, LOGPIXELSY) << " DPI, not " << expectedDpi << "; ";
    const HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    for (const Placed& control : controls) {
        if (!IsValue(*control.item))
            continue;
        RECT client;
        GetClientRect(control.window, &client);
        const int needed = TextWidth(dc, control.window);
        if (needed > client.right)
            faults << Name(control) << " needs " << needed << " pixels, has " << client.right << "; ";
    }
    SelectObject(dc, previousFont);
    ReleaseDC(dialog, dc);

    RECT client;
    GetClientRect(dialog, &client);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Placed& control = controls[i];
        if (!Encloses(client, control.live))
            faults << Name(control) << " outside the dialog's client area; ";
        for (std::size_t j = 0; j < controls.size(); ++j) {
            const Placed& other = controls[j];
            const bool groupOfControl = IsGroup(*other.item) && i != j && Encloses(other.planned, control.planned);
            if (groupOfControl && !Encloses(other.live, control.live))
                faults << Name(control) << " outside its group box " << Name(other) << "; ";
            const bool nested = Encloses(other.planned, control.planned) || Encloses(control.planned, other.planned);
            if (j > i && !nested && Meet(control.live, other.live))
                faults << Name(control) << " overlaps " << Name(other) << "; ";
        }
        if (grown == Grown::NO && !EqualRect(&control.planned, &control.live))
            faults << Name(control) << " not where its template puts it; ";
    }
    const RECT planned = Planned(dialog, 0, 0, plan.w, plan.h);
    if (grown == Grown::NO && !EqualRect(&planned, &client))
        faults << "the dialog's client area is not the template's size";

    const std::string found = faults.str();
    if (found.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << templateName << ": " << found;
}
