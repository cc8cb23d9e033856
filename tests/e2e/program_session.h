// A running Tippwerk as the long walks drive it: each action a player can take, checked against what
// the program must show after it, and the program started again whenever the player has ended it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "check_log.h"
#include "program_process.h"

constexpr int kTipFields = 6;
// DM and Pf of the stake and of the prizes for 3..6 hits, in the loss dialog's tab order.
constexpr int kPriceFields = 10;
// The price fields' texts as the loss dialog opens.
extern const wchar_t* const kDefaultPriceFieldTexts[kPriceFields];

// How a player gives a dialog's default command: with its button, or with Enter in one of its fields.
enum class Press { Button, EnterKey };
// How a player ends a dialog: with its Ende button or with its close box.
enum class Closing { EndButton, CloseBox };

// What the player does while a message box of the main dialog is up, before dismissing it.
using WhileBoxUp = std::function<void()>;

class ProgramSession {
public:
    ProgramSession(const char* programPath, CheckLog& log);

    // Starts the program and checks its opening state; false when no main dialog came.
    bool launch();
    // Ends whichever dialogs are still open and checks that the program exits with code 0.
    void close();

    bool running() const { return program && !exited; }
    // The main dialog is shown and no message box of its own blocks it.
    bool mainTakesInput() const { return running() && !mainEnded && !boxUp; }
    // Keys go to the dialog whose modal loop runs innermost: the main dialog's only while nothing is
    // open above it.
    bool mainTakesKeys() const { return mainTakesInput() && !lossDialog; }
    bool lossShown() const { return running() && lossDialog && !lossEnded; }
    bool lossTakesKeys() const { return lossShown() && !boxUp; }
    bool drawing() const { return drawsRunning; }
    bool autoOn() const { return autoRunning; }
    HWND mainWindow() const { return mainDialog; }
    HANDLE processHandle() const { return program ? program->handle() : nullptr; }
    int launches() const { return launchCount; }
    int warningsSeen() const { return warningCount; }
    // Whether the latest Start warned about tip field `index` (and so replaced it).
    bool warnedAbout(int index) const { return lastWarned[index]; }

    // Main dialog.
    void typeTip(int index, const std::wstring& text, bool paste);
    std::wstring tipText(int index) const;
    void start(Press press, const WhileBoxUp& whileBoxUp);
    void stop();
    void reset();
    void showInfo(const WhileBoxUp& whileBoxUp);
    void openLosses();
    void pressEscapeInMain();
    void endMain(Closing closing);

    // Loss dialog.
    void typePrice(int index, const std::wstring& text, bool paste);
    std::wstring priceText(int index) const;
    void evaluate(Press press);
    void startAuto();
    void pressEscapeInLosses();
    void endLosses(Closing closing);

    // Stops the draws and checks everything the dialogs show against each other; then lets the
    // draws and Auto run again as they did.
    void checkpoint();
    // Only the expected dialogs and at most the one expected message box are on the screen.
    void checkWindows();
    // Costs, winnings and total match the shown counters times the shown prices; the draws must stand.
    void checkResults(const std::string& when);
    // The tip fields read as the tip the program holds: six distinct numbers in 1..49.
    void checkTipFields(const std::string& when);
    void checkTipFields(const std::wstring (&shown)[kTipFields], const std::string& when);

private:
    bool post(bool posted, const std::string& what);
    void serveStart(const std::wstring (&typed)[kTipFields], const WhileBoxUp& whileBoxUp);
    void serveBox(HWND box, const WhileBoxUp& whileBoxUp);
    void finishEndedLosses();
    bool readPlainTip(int (&numbers)[kTipFields]) const;
    void checkCountersAgree();
    void checkHitRow();
    void checkOpeningLosses();
    void expectExit();
    int nextKeyField(int fields);

    const char* programPath;
    CheckLog& log;
    std::unique_ptr<ProgramProcess> program;
    bool exited = false;
    HWND mainDialog = nullptr;
    HWND lossDialog = nullptr;
    HWND box = nullptr;
    bool mainEnded = false;
    bool lossEnded = false;
    bool boxUp = false;
    bool drawsRunning = false;
    bool autoRunning = false;
    int tip[kTipFields] = {};
    bool lastWarned[kTipFields] = {};
    int launchCount = 0;
    int warningCount = 0;
    int keyPresses = 0;
};

// The control identifier of price field `index` (0..9): DM and Pf alternate, row by row.
int PriceFieldId(int index);
