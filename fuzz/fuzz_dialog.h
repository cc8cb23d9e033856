// The fuzzer's in-memory dialog: field texts of any bytes, and a log of every read, write and warning.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/dialog_fields.h"

constexpr int kFieldCount = 128;
// Wide enough for any decimal 64-bit value and a few bytes of junk besides.
constexpr std::size_t kFieldTextSize = 32;

struct FieldEvent {
    enum Kind { READ, WRITE, WARNING } kind;
    int fieldId;               // READ and WRITE
    std::uint32_t value;       // READ: the number the field gave
    std::uint32_t randomSeed;  // READ: the generator's state when the field was read
    char text[kFieldTextSize]; // WRITE: the text written
};

struct FuzzDialog {
    static constexpr std::size_t kLogCapacity = 256;

    char text[kFieldCount][kFieldTextSize];
    FieldEvent log[kLogCapacity];
    std::size_t logLength;
    // Called while a warning box is "up", as its modal loop would deliver draw-timer ticks.
    void (*whileWarningShown)(void* context);
    void* whileWarningContext;

    DialogHandle handle() { return this; }
};

// Empties every field and the log and removes the warning hook.
void ClearDialog(FuzzDialog& dialog);

// Sets a field's text as a player, a paste or another program would, cut to the field's size.
void TypeText(FuzzDialog& dialog, int fieldId, const char* text, std::size_t length);
