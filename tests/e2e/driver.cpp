// The end-to-end driver: starts Tippwerk as its own process and walks through it as a player would.
#include <cstdio>
#include <cstring>

#include "walks.h"

namespace {

struct Walk {
    const char* name;
    int (*run)(const WalkSettings&);
};

constexpr Walk kWalks[] = {
    {"main-dialog", MainDialogWalk},
    {"loss-dialog", LossDialogWalk},
    {"demo", DemoWalk},
};

constexpr int kUsageError = 2;

int Usage()
{
    std::fprintf(stderr, "usage: tippwerk_e2e_driver main-dialog|loss-dialog|demo TIPPWERK.EXE [SCREENSHOT-FOLDER]\n"
                         "  With a folder, screenshots are asked of the capture script that watches it.\n");
    return kUsageError;
}

} // namespace

int main(int argc, char** argv)
{
    constexpr int kWalkArgument = 1;
    constexpr int kProgramArgument = 2;
    constexpr int kFolderArgument = 3;
    if (argc != kFolderArgument && argc != kFolderArgument + 1)
        return Usage();

    const WalkSettings settings{argv[kProgramArgument],
                                ScreenshotRequester(argc > kFolderArgument ? argv[kFolderArgument] : "")};
    for (const Walk& walk : kWalks)
        if (std::strcmp(argv[kWalkArgument], walk.name) == 0)
            return walk.run(settings);
    return Usage();
}
