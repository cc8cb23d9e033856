// Plays a script of player actions on in-memory dialogs and prints, as JSON, what the dialogs' fields show
// and which warnings came at every check: the page, given the same script, must show exactly that.
// Usage: replay_actions SCRIPT
//
// Script lines (# starts a comment):
//   clock MS                    the millisecond count the main dialog opens at; the first line
//   type main|loss ID "TEXT"    puts TEXT into a field, as a paste or a script would
//   press main|loss ID          the button's command
//   draw-until N                draw-timer ticks until N games have been played
//   tick                        one tick of the one timer that runs
//   dismiss                     OK on every message box up (nothing to do here)
//   check LABEL                 the fields written since each dialog opened, and the warnings since the last check
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

#include "fake_dialog.h"
#include "losses/money.h"
#include "lottery/game_record.h"
#include "lottery/random_source.h"
#include "resources/resource.h"

namespace {

struct Program {
    FakeDialog main;
    std::unique_ptr<FakeDialog> loss; // while the loss dialog is open
    bool drawing = false;
    bool evaluatingAutomatically = false;
    std::size_t warningsChecked = 0;
};

// The operations each command runs, as the dialog procedures run them.
void PressMain(Program& program, int id)
{
    switch (id) {
    case IDC_START:
        AcceptTip(program.main.handle());
        program.drawing = true;
        break;
    case IDC_STOP:
        program.drawing = false;
        break;
    case IDC_RESET:
        NewRandomTip(program.main.handle());
        break;
    case IDC_LOSSES:
        if (!program.loss) {
            program.loss = std::make_unique<FakeDialog>();
            SetDefaultPrices(program.loss->handle());
        }
        break;
    case IDC_END:
        program.drawing = false;
        break;
    default:
        throw std::invalid_argument("no main dialog command " + std::to_string(id));
    }
}

void PressLoss(Program& program, int id)
{
    if (!program.loss)
        throw std::logic_error("the loss dialog is not open");
    switch (id) {
    case IDC_EVALUATE:
        program.evaluatingAutomatically = false;
        EvaluateLosses(program.loss->handle());
        break;
    case IDC_AUTO:
        program.evaluatingAutomatically = true;
        break;
    case IDC_END:
        program.evaluatingAutomatically = false;
        program.loss.reset();
        break;
    default:
        throw std::invalid_argument("no loss dialog command " + std::to_string(id));
    }
}

void Tick(Program& program)
{
    // With both timers running, the order of their ticks would be the page's to choose.
    if (program.drawing == program.evaluatingAutomatically)
        throw std::logic_error("tick needs exactly one running timer");
    if (program.drawing)
        RunOneDraw(program.main.handle());
    else
        EvaluateLosses(program.loss->handle());
}

std::string Json(const std::string& text)
{
    std::ostringstream quoted;
    quoted << '"';
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted << '\\' << c;
        else if (c == '\n')
            quoted << "\\n";
        else
            quoted << c;
    }
    quoted << '"';
    return quoted.str();
}

std::string FieldsJson(const FakeDialog& dialog)
{
    std::set<int> written;
    for (const DialogEvent& event : dialog.events)
        if (event.kind == DialogEvent::FIELD_WRITE)
            written.insert(event.fieldId);
    std::string json = "{";
    for (const int id : written)
        json += (json.size() > 1 ? "," : "") + Json(std::to_string(id)) + ":" + Json(dialog.text(id));
    return json + "}";
}

std::string Check(Program& program, const std::string& label)
{
    std::string boxes = "[";
    const auto& events = program.main.events;
    std::size_t seen = 0;
    for (const DialogEvent& event : events) {
        if (event.kind != DialogEvent::WARNING_BOX || seen++ < program.warningsChecked)
            continue;
        boxes += (boxes.size() > 1 ? "," : "") + Json(event.caption + ": " + event.text);
    }
    program.warningsChecked = seen;
    return "{\"label\":" + Json(label) + ",\"main\":" + FieldsJson(program.main) +
           ",\"loss\":" + (program.loss ? FieldsJson(*program.loss) : "null") + ",\"boxes\":" + boxes + "]}";
}

FakeDialog& DialogNamed(Program& program, const std::string& name)
{
    if (name == "main")
        return program.main;
    if (name == "loss" && program.loss)
        return *program.loss;
    throw std::invalid_argument("no open dialog " + name);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: replay_actions SCRIPT\n";
        return 2;
    }
    std::ifstream script(argv[1]);
    if (!script) {
        std::cerr << "replay_actions: cannot read " << argv[1] << '\n';
        return 2;
    }

    Program program;
    std::string checks;
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string action;
        if (!(words >> action))
            continue;
        try {
            if (action == "clock") {
                std::uint64_t milliseconds = 0;
                words >> milliseconds;
                // The page seeds from the clock's milliseconds modulo 2^32, as Windows' counter wraps.
                Seed(static_cast<std::uint32_t>(milliseconds));
                NewRandomTip(program.main.handle());
            } else if (action == "type") {
                std::string dialog;
                int id = 0;
                std::string text;
                words >> dialog >> id >> std::quoted(text);
                DialogNamed(program, dialog).type(id, text);
            } else if (action == "press") {
                std::string dialog;
                int id = 0;
                words >> dialog >> id;
                (dialog == "main" ? PressMain : PressLoss)(program, id);
            } else if (action == "draw-until") {
                std::uint64_t games = 0;
                words >> games;
                // Auto's evaluations between the draws show nothing a later tick does not show again.
                if (!program.drawing || games < gameRecord.gamesPlayed)
                    throw std::logic_error("draw-until needs the draws running and a count ahead");
                while (gameRecord.gamesPlayed < games)
                    RunOneDraw(program.main.handle());
            } else if (action == "tick") {
                Tick(program);
            } else if (action == "check") {
                std::string label;
                std::getline(words >> std::ws, label);
                checks += (checks.empty() ? "" : ",\n") + Check(program, label);
            } else if (action != "dismiss") {
                throw std::invalid_argument("unknown action " + action);
            }
        } catch (const std::exception& error) {
            std::cerr << argv[1] << ':' << number << ": " << error.what() << '\n';
            return 1;
        }
    }
    std::cout << "[" << checks << "]\n";
    return 0;
}
