// The fuzzer's dialog-field access: reads any text the way the platform's number fields do.
#include "fuzz_dialog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lottery/random_source.h"
#include "platform/decimal_text.h"

namespace {

constexpr std::uint64_t kRadix = 10;

FuzzDialog& Dialog(DialogHandle handle)
{
    return *static_cast<FuzzDialog*>(handle);
}

// A field the logic has no business touching is a fault of the logic, not of the input.
char* Field(FuzzDialog& dialog, int fieldId)
{
    if (fieldId < 0 || fieldId >= kFieldCount) {
        static_cast<void>(std::fprintf(stderr, "field %d is no field of the dialogs\n", fieldId));
        std::abort();
    }
    return dialog.text[fieldId];
}

void Log(FuzzDialog& dialog, const FieldEvent& event)
{
    if (dialog.logLength == FuzzDialog::kLogCapacity) {
        static_cast<void>(
            std::fprintf(stderr, "more than %zu field events in one operation\n", FuzzDialog::kLogCapacity));
        std::abort();
    }
    dialog.log[dialog.logLength++] = event;
}

void Write(DialogHandle handle, int fieldId, const char* text)
{
    FuzzDialog& dialog = Dialog(handle);
    char* field = Field(dialog, fieldId);
    const std::size_t length = std::strlen(text);
    if (length >= kFieldTextSize) {
        static_cast<void>(std::fprintf(stderr, "text '%s' too long for field %d\n", text, fieldId));
        std::abort();
    }
    std::memcpy(field, text, length + 1);
    FieldEvent event{FieldEvent::WRITE, fieldId, 0, 0, {}};
    std::memcpy(event.text, text, length + 1);
    Log(dialog, event);
}

} // namespace

void ClearDialog(FuzzDialog& dialog)
{
    std::memset(dialog.text, 0, sizeof dialog.text);
    dialog.logLength = 0;
    dialog.whileWarningShown = nullptr;
    dialog.whileWarningContext = nullptr;
}

void TypeText(FuzzDialog& dialog, int fieldId, const char* text, std::size_t length)
{
    char* field = Field(dialog, fieldId);
    const std::size_t kept = length < kFieldTextSize ? length : kFieldTextSize - 1;
    std::memcpy(field, text, kept);
    field[kept] = '\0';
}

// As the platform documents its unsigned number fields: leading blanks are skipped, digits are
// read up to the first other character, and a value wider than 32 bits reads as 0. Every 32-bit
// value can come out, which is all the logic may rely on.
std::uint32_t ReadFieldNumber(DialogHandle handle, int fieldId)
{
    FuzzDialog& dialog = Dialog(handle);
    const char* text = Field(dialog, fieldId);
    while (*text == ' ')
        ++text;
    std::uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * kRadix + static_cast<std::uint64_t>(*text - '0');
        if (value > UINT32_MAX) {
            value = 0;
            break;
        }
    }
    const auto number = static_cast<std::uint32_t>(value);
    Log(dialog, {FieldEvent::READ, fieldId, number, randomSource.seed, {}});
    return number;
}

void ShowCount(DialogHandle handle, int fieldId, std::uint64_t count)
{
    Write(handle, fieldId, UnsignedDecimal(count).text);
}

void ShowSignedValue(DialogHandle handle, int fieldId, std::int64_t value)
{
    Write(handle, fieldId, SignedDecimal(value).text);
}

void ShowWarningBox(DialogHandle handle, const char*, const char*)
{
    FuzzDialog& dialog = Dialog(handle);
    Log(dialog, {FieldEvent::WARNING, 0, 0, 0, {}});
    if (dialog.whileWarningShown)
        dialog.whileWarningShown(dialog.whileWarningContext);
}
