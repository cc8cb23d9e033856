// The end-to-end driver: starts Tippwerk as its own process and walks through it as a player would.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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
    {"stress", StressWalk},
    {"bad-input", BadInputWalk},
    {"soak", SoakWalk},
};

constexpr int kUsageError = 2;
constexpr int kDecimal = 10;

int Usage()
{
    (void)std::fprintf(stderr,
                 "usage: tippwerk_e2e_driver WALK TIPPWERK.EXE [SCREENSHOT-FOLDER] [--seed=N] [--actions=N]\n"
                 "                           [--seconds=N]\n"
                 "  WALK: main-dialog, loss-dialog, demo, stress, bad-input or soak.\n"
                 "  With a folder, screenshots are asked of the capture script that watches it.\n"
                 "  stress: --seed replays a walk (default: a new seed), --actions sets its length.\n"
                 "  soak: --seconds sets how long the draws and Auto run.\n");
    return kUsageError;
}

// Reads "--name=number" into value; false when the argument is another option.
bool ReadOption(const char* argument, const char* name, std::uint64_t& value)
{
    const std::string prefix = std::string("--") + name + "=";
    if (std::strncmp(argument, prefix.c_str(), prefix.size()) != 0)
        return false;
    char* end = nullptr;
    value = std::strtoull(argument + prefix.size(), &end, kDecimal);
    return *end == '\0' && end != argument + prefix.size();
}

bool ReadOptions(int argc, char** argv, int first, WalkSettings& settings)
{
    for (int i = first; i < argc; ++i) {
        std::uint64_t value = 0;
        if (ReadOption(argv[i], "seed", value)) {
            settings.seed = value;
            settings.seedGiven = true;
        } else if (ReadOption(argv[i], "actions", value)) {
            settings.actions = static_cast<int>(value);
        } else if (ReadOption(argv[i], "seconds", value)) {
            settings.seconds = static_cast<int>(value);
        } else {
            return false;
        }
    }
    return true;
}

// The command that reruns this walk: the wrapping script names itself when it runs the driver.
std::string ReplayCommand(int argc, char** argv, int optionsFrom)
{
    const char* wrapper = std::getenv("TIPPWERK_E2E_REPLAY");
    std::string command = wrapper ? wrapper : "";
    if (command.empty())
        for (int i = 0; i < optionsFrom; ++i)
            command += std::string(i ? " " : "") + argv[i];
    for (int i = optionsFrom; i < argc; ++i)
        if (std::strncmp(argv[i], "--seed=", std::strlen("--seed=")) != 0)
            command += std::string(" ") + argv[i];
    return command;
}

} // namespace

int main(int argc, char** argv)
{
    constexpr int kWalkArgument = 1;
    constexpr int kProgramArgument = 2;
    constexpr int kFolderArgument = 3;
    if (argc <= kProgramArgument)
        return Usage();
    const bool folderGiven = argc > kFolderArgument && std::strncmp(argv[kFolderArgument], "--", 2) != 0;
    const int optionsFrom = folderGiven ? kFolderArgument + 1 : kFolderArgument;

    WalkSettings settings{argv[kProgramArgument], ScreenshotRequester(folderGiven ? argv[kFolderArgument] : ""),
                          0, false, 0, 0, ReplayCommand(argc, argv, optionsFrom)};
    if (!ReadOptions(argc, argv, optionsFrom, settings))
        return Usage();
    for (const Walk& walk : kWalks)
        if (std::strcmp(argv[kWalkArgument], walk.name) == 0)
            return walk.run(settings);
    return Usage();
}
