// Screenshots of the program's windows, taken by the capture script that runs beside the driver.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

constexpr DWORD kScreenshotTimeoutMs = 20000;

// The driver asks for a picture by writing NAME.request (one window's screen area a line, as WxH+X+Y)
// into the folder the capture script watches; the script writes NAME.png there and the driver waits for it.
class ScreenshotRequester {
public:
    // An empty folder means no capture script runs and every screenshot is skipped.
    explicit ScreenshotRequester(std::string folder) : folder(std::move(folder)) {}

    bool enabled() const { return !folder.empty(); }
    // Captures the windows, cropped to them, and returns when the picture is written; false when none
    // came in time.
    bool capture(const std::string& name, std::initializer_list<HWND> windows) const;

private:
    std::string folder;
};
