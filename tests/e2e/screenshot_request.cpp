// Asking the capture script for a screenshot and waiting until it is written.
#include "screenshot_request.h"

#include <cstdio>

#include "tests/window_driving/window_driving.h"

namespace {

// Time for the program to repaint windows that were just moved or uncovered.
constexpr DWORD kRepaintMs = 200;

} // namespace

bool ScreenshotRequester::capture(const std::string& name, std::initializer_list<HWND> windows) const
{
    if (!enabled())
        return true;
    const std::string base = folder + "/" + name;
    const std::string picture = base + ".png";
    const std::string pending = base + ".pending";
    DeleteFileA(picture.c_str());
    Sleep(kRepaintMs);

    // Written under another name first, so the script never reads half a request.
    FILE* request = std::fopen(pending.c_str(), "w");
    if (!request)
        return false;
    // A request cut short would have the script capture the wrong areas, so it is not handed over.
    bool written = true;
    for (const HWND window : windows) {
        const RECT area = AreaOf(window);
        if (std::fprintf(request, "%ldx%ld+%ld+%ld\n", area.right - area.left, area.bottom - area.top, area.left,
                         area.top) < 0)
            written = false;
    }
    if (std::fclose(request) != 0 || !written)
        return false;
    if (!MoveFileExA(pending.c_str(), (base + ".request").c_str(), MOVEFILE_REPLACE_EXISTING))
        return false;

    return WaitFor([&] { return GetFileAttributesA(picture.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   kScreenshotTimeoutMs);
}
