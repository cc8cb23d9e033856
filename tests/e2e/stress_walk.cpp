// A player's worst afternoon: thousands of random actions on both dialogs while the draws and Auto run.
#include <chrono>
#include <cstdio>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "program_session.h"
#include "walks.h"

namespace {

constexpr int kDefaultActions = 5000;
// Checkpoints come every few hundred steps (a step is one action, with those taken under a box it
// opens), at a distance the seed chooses.
constexpr int kShortestStretch = 200;
constexpr int kLongestStretch = 300;
// A player reads the about box for a moment, a warning hardly at all.
constexpr int kLongestAboutDelayMs = 150;
constexpr int kLongestWarningDelayMs = 30;
constexpr int kMostActionsUnderBox = 3;
// Actions shown when a walk fails, so the failure can be read without replaying it.
constexpr std::size_t kRecentActions = 25;

constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 49;
constexpr std::uint32_t kLargestUnambiguousRead = 4294967294u; // 4294967295 may also read 0
constexpr int kLongestDigitString = 25;
constexpr int kDigitValues = 10;
// Eleven to twenty digits starting with 9: always beyond 32 bits.
constexpr int kFewestOverflowDigits = 10;
constexpr int kMostOverflowDigits = 19;
// Of the kinds of tip text below, all but the first five are plain valid numbers; of the kinds of
// price text, all but the first five are ordinary prices.
constexpr int kTipTextKinds = 12;
constexpr int kPriceTextKinds = 8;
constexpr double kPasteShare = 0.2;
constexpr double kActionsUnderBoxShare = 0.3;
constexpr int kHighestSmallPrice = 999;
constexpr int kPfennigPerMark = 100;
constexpr int kHighestOddPfennig = 99999;

using Clock = std::chrono::steady_clock;

class RandomWalk {
public:
    RandomWalk(const WalkSettings& settings, CheckLog& log, std::uint64_t seed)
        : log(log), seed(seed), random(seed), checkpointRandom(seed), session(settings.programPath, log)
    {
    }

    int run(int actionsWanted);

private:
    struct Choice {
        double weight;
        void (RandomWalk::*act)();
    };

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    int between(int lowest, int highest) { return std::uniform_int_distribution<int>(lowest, highest)(random); }
    bool chance(double probability) { return std::bernoulli_distribution(probability)(random); }
    void note(const std::string& action);
    void step();
    void choose(const std::vector<Choice>& choices);

    std::wstring randomTipText();
    std::wstring randomPriceText(bool pfennig);
    std::wstring digits(int count);
    void underBox(int longestDelayMs);

    void typeTip();
    void typeWholeTip();
    void clickStart();
    void enterInMain();
    void stop();
    void reset();
    void info();
    void openLosses();
    void escapeInMain();
    void endMainButton();
    void endMainCloseBox();
    void typePrice();
    void clickEvaluate();
    void enterInLosses();
    void startAuto();
    void escapeInLosses();
    void endLossesButton();
    void endLossesCloseBox();

    CheckLog& log;
    const std::uint64_t seed;
    // Each step draws from a generator seeded with the walk's seed and the step's number, so that a
    // replay takes the same steps even where the program's own numbers (its tip, its replacements,
    // and so how many warnings a Start brings) come out differently.
    std::mt19937_64 random;
    std::mt19937_64 checkpointRandom;
    ProgramSession session;
    int actions = 0;
    int checkpoints = 0;
    std::deque<std::string> recent;
};

void RandomWalk::note(const std::string& action)
{
    ++actions;
    recent.push_back(std::to_string(actions) + " " + action);
    if (recent.size() > kRecentActions)
        recent.pop_front();
}

std::wstring RandomWalk::digits(int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += static_cast<wchar_t>(L'0' + pick(kDigitValues));
    return text;
}

// Mostly valid numbers, then every kind of bad one a Start must replace.
std::wstring RandomWalk::randomTipText()
{
    switch (pick(kTipTextKinds)) {
    case 0: return L"0";
    case 1: return L"50";
    case 2: return L"";
    case 3: return L"1" + digits(between(2, kLongestDigitString));
    case 4: return session.tipText(pick(kTipFields)); // likely a duplicate
    case 5: return L"0" + std::to_wstring(between(kLowestNumber, kHighestNumber));
    default: return std::to_wstring(between(kLowestNumber, kHighestNumber));
    }
}

// Empty, 0, ordinary, huge and (for Pf) over 99; never a text that may read two ways.
std::wstring RandomWalk::randomPriceText(bool pfennig)
{
    switch (pick(kPriceTextKinds)) {
    case 0: return L"";
    case 1: return L"0";
    case 2: return std::to_wstring(std::uniform_int_distribution<std::uint32_t>(0, kLargestUnambiguousRead)(random));
    case 3: return L"9" + digits(between(kFewestOverflowDigits, kMostOverflowDigits));
    case 4: return std::to_wstring(pfennig ? between(kPfennigPerMark, kHighestOddPfennig) : kLargestUnambiguousRead);
    default: return std::to_wstring(between(0, pfennig ? kPfennigPerMark - 1 : kHighestSmallPrice));
    }
}

// While a box of the main dialog is up the loss dialog still takes the mouse.
void RandomWalk::underBox(int longestDelayMs)
{
    if (session.lossShown() && chance(kActionsUnderBoxShare)) {
        const int count = between(1, kMostActionsUnderBox);
        for (int i = 0; i < count && session.lossShown() && log.failures() == 0; ++i) {
            const std::vector<Choice> choices = {
                {6, &RandomWalk::typePrice}, {3, &RandomWalk::clickEvaluate},
                {2, &RandomWalk::startAuto}, {0.3, &RandomWalk::endLossesButton}};
            choose(choices);
        }
    }
    Sleep(static_cast<DWORD>(between(0, longestDelayMs)));
    note("dismiss the box");
}

void RandomWalk::typeTip()
{
    const int field = pick(kTipFields);
    const std::wstring text = randomTipText();
    const bool paste = chance(kPasteShare);
    note(std::string(paste ? "paste \"" : "type \"") + Printable(text) + "\" into tip field " +
         std::to_string(field + 1));
    session.typeTip(field, text, paste);
}

void RandomWalk::typeWholeTip()
{
    note("type a whole tip");
    for (int field = 0; field < kTipFields; ++field)
        session.typeTip(field, std::to_wstring(between(kLowestNumber, kHighestNumber)), false);
}

void RandomWalk::clickStart()
{
    note("Start");
    session.start(Press::Button, [this] { underBox(kLongestWarningDelayMs); });
}

void RandomWalk::enterInMain()
{
    note("Enter in the main dialog");
    session.start(Press::EnterKey, [this] { underBox(kLongestWarningDelayMs); });
}

void RandomWalk::stop()
{
    note("Stop");
    session.stop();
}

void RandomWalk::reset()
{
    note("Reset");
    session.reset();
}

void RandomWalk::info()
{
    note("Info");
    session.showInfo([this] { underBox(kLongestAboutDelayMs); });
}

void RandomWalk::openLosses()
{
    note("Verluste");
    session.openLosses();
}

void RandomWalk::escapeInMain()
{
    note("Escape in the main dialog");
    session.pressEscapeInMain();
}

void RandomWalk::endMainButton()
{
    note("Ende of the main dialog");
    session.endMain(Closing::EndButton);
}

void RandomWalk::endMainCloseBox()
{
    note("close box of the main dialog");
    session.endMain(Closing::CloseBox);
}

void RandomWalk::typePrice()
{
    const int field = pick(kPriceFields);
    const std::wstring text = randomPriceText(field % 2 == 1);
    const bool paste = chance(kPasteShare);
    note(std::string(paste ? "paste \"" : "type \"") + Printable(text) + "\" into price field " +
         std::to_string(field + 1));
    session.typePrice(field, text, paste);
}

void RandomWalk::clickEvaluate()
{
    note("Auswertung");
    session.evaluate(Press::Button);
}

void RandomWalk::enterInLosses()
{
    note("Enter in the loss dialog");
    session.evaluate(Press::EnterKey);
}

void RandomWalk::startAuto()
{
    note("Auto");
    session.startAuto();
}

void RandomWalk::escapeInLosses()
{
    note("Escape in the loss dialog");
    session.pressEscapeInLosses();
}

void RandomWalk::endLossesButton()
{
    note("Ende of the loss dialog");
    session.endLosses(Closing::EndButton);
}

void RandomWalk::endLossesCloseBox()
{
    note("close box of the loss dialog");
    session.endLosses(Closing::CloseBox);
}

void RandomWalk::choose(const std::vector<Choice>& choices)
{
    std::vector<double> weights;
    weights.reserve(choices.size());
    for (const Choice& choice : choices)
        weights.push_back(choice.weight);
    const Choice& chosen = choices[std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(random)];
    (this->*chosen.act)();
}

// One action, among those a player could take in the program's present state.
void RandomWalk::step()
{
    std::vector<Choice> choices;
    if (session.mainTakesInput()) {
        choices.insert(choices.end(), {{20, &RandomWalk::typeTip}, {3, &RandomWalk::typeWholeTip},
                                       {6, &RandomWalk::clickStart}, {5, &RandomWalk::stop},
                                       {3, &RandomWalk::reset}, {2, &RandomWalk::info},
                                       {session.lossShown() ? 1.0 : 6.0, &RandomWalk::openLosses},
                                       {0.25, &RandomWalk::endMainButton}, {0.15, &RandomWalk::endMainCloseBox}});
        if (session.mainTakesKeys())
            choices.insert(choices.end(), {{3, &RandomWalk::enterInMain}, {2, &RandomWalk::escapeInMain}});
    }
    if (session.lossShown()) {
        choices.insert(choices.end(), {{20, &RandomWalk::typePrice}, {5, &RandomWalk::clickEvaluate},
                                       {4, &RandomWalk::startAuto}, {0.8, &RandomWalk::endLossesButton},
                                       {0.4, &RandomWalk::endLossesCloseBox}});
        if (session.lossTakesKeys())
            choices.insert(choices.end(), {{3, &RandomWalk::enterInLosses}, {2, &RandomWalk::escapeInLosses}});
    }
    choose(choices);
}

int RandomWalk::run(int actionsWanted)
{
    const Clock::time_point begin = Clock::now();
    constexpr int kSeedHalfBits = 32;
    const auto seedLow = static_cast<std::uint32_t>(seed);
    const auto seedHigh = static_cast<std::uint32_t>(seed >> kSeedHalfBits);
    std::uniform_int_distribution<int> stretch(kShortestStretch, kLongestStretch);
    int nextCheckpoint = stretch(checkpointRandom);
    for (int stepNumber = 0; actions < actionsWanted && log.failures() == 0; ++stepNumber) {
        std::seed_seq stepSeed{seedLow, seedHigh, static_cast<std::uint32_t>(stepNumber)};
        random.seed(stepSeed);
        if (!session.running()) {
            note("start the program");
            if (!session.launch())
                break;
            continue;
        }
        step();
        if (stepNumber >= nextCheckpoint && log.failures() == 0) {
            session.checkpoint();
            ++checkpoints;
            nextCheckpoint = stepNumber + stretch(checkpointRandom);
        }
    }
    if (log.failures() == 0 && session.running()) {
        session.checkpoint();
        ++checkpoints;
        session.checkWindows();
        session.close();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();

    std::printf("stress walk: %d actions in %.1f s (%.0f actions/s), %d checkpoints, %d program starts, %d warnings\n",
                actions, seconds, actions / seconds, checkpoints, session.launches(), session.warningsSeen());
    if (log.failures() != 0) {
        std::printf("the last actions before the failure:\n");
        for (const std::string& action : recent)
            std::printf("  %s\n", action.c_str());
    }
    return actions;
}

} // namespace

int StressWalk(const WalkSettings& settings)
{
    const std::uint64_t seed = settings.seedGiven ? settings.seed : static_cast<std::uint64_t>(
                                                                        Clock::now().time_since_epoch().count());
    const int actionsWanted = settings.actions > 0 ? settings.actions : kDefaultActions;
    const std::string replay = settings.replayCommand + " --seed=" + std::to_string(seed);
    std::printf("stress walk: seed %llu, %d actions\n", static_cast<unsigned long long>(seed), actionsWanted);
    (void)std::fflush(stdout); // the seed is printed again with any failure

    CheckLog log;
    RandomWalk walk(settings, log, seed);
    walk.run(actionsWanted);
    if (log.failures() != 0)
        std::printf("replay this walk with:\n  %s\n"
                    "(the replay takes the same actions; the program seeds its own numbers from the clock, so the\n"
                    "tips and replacements it shows differ, and a fault that needs particular numbers may take a\n"
                    "few replays)\n",
                    replay.c_str());
    return log.finish();
}
