// A first look at the program: the draws run for a few seconds, a screenshot is taken, and Ende.
#include "resources/resource.h"
#include "tests/window_driving/window_driving.h"
#include "walks.h"

namespace {

constexpr DWORD kDemoDrawingMs = 3000;

} // namespace

int DemoWalk(const WalkSettings& settings)
{
    CheckLog log;
    const ProgramProcess program(settings.programPath);
    const HWND mainDialog = WaitForMainDialog(log, program);
    if (!mainDialog)
        return log.finish();

    log.check(ClickButton(mainDialog, IDC_START) && GamesRisePast(mainDialog, 0), "the draws run after Start");
    Sleep(kDemoDrawingMs);
    log.check(settings.screenshots.capture("tippwerk", {mainDialog}), "a screenshot of the drawing main dialog");
    log.check(ClickButton(mainDialog, IDC_END), "Ende is handled");
    CheckCleanExit(log, program);
    return log.finish();
}
