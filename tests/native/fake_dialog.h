// An in-memory dialog for the native tests: field texts, and every field write and message box in order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/dialog_fields.h"

struct DialogEvent {
    enum Kind { FIELD_WRITE, WARNING_BOX } kind;
    int fieldId;         // FIELD_WRITE only
    std::string text;    // the field's new text, or the box's text
    std::string caption; // WARNING_BOX only
};

class FakeDialog {
public:
    static constexpr int kFieldCount = 128;
    static constexpr int kFieldTextSize = 32;

    DialogHandle handle() { return this; }

    // Sets a field's text as a player would type it.
    void type(int fieldId, const std::string& text);
    std::string text(int fieldId) const;

    // Texts written to the given fields since the last clear, in order.
    std::vector<int> writtenFields() const;
    int warningCount() const;
    void clearEvents() { events.clear(); }

    std::vector<DialogEvent> events;
    // Off for tests that must see the field access itself allocate nothing.
    bool recordEvents = true;
    // Runs while a warning box is "up", as the box's modal loop would run timer messages.
    std::function<void()> whileWarningShown;

    char fields[kFieldCount][kFieldTextSize] = {};
};
