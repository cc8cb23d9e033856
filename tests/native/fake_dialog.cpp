// The in-memory dialog-field access linked into the native tests in place of the Win32 one.
#include "fake_dialog.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/decimal_text.h"
#include "platform/field_text_number.h"

namespace {

FakeDialog& Fake(DialogHandle dialog)
{
    return *static_cast<FakeDialog*>(dialog);
}

// cppcheck-suppress constParameter ; the field's text is handed out for writing
char* Field(FakeDialog& fake, int fieldId)
{
    if (fieldId < 0 || fieldId >= FakeDialog::kFieldCount)
        throw std::out_of_range("field identifier out of range");
    return fake.fields[fieldId];
}

void Write(DialogHandle dialog, int fieldId, const char* text)
{
    FakeDialog& fake = Fake(dialog);
    // Every text the logic shows fits the field, so nothing is ever cut.
    static_cast<void>(std::snprintf(Field(fake, fieldId), FakeDialog::kFieldTextSize, "%s", text));
    if (fake.recordEvents)
        fake.events.push_back({DialogEvent::FIELD_WRITE, fieldId, text, {}});
}

} // namespace

void FakeDialog::type(int fieldId, const std::string& value)
{
    // A longer text is cut, as a field too narrow for it would.
    static_cast<void>(std::snprintf(Field(*this, fieldId), kFieldTextSize, "%s", value.c_str()));
}

std::string FakeDialog::text(int fieldId) const
{
    return Field(const_cast<FakeDialog&>(*this), fieldId);
}

std::vector<int> FakeDialog::writtenFields() const
{
    std::vector<int> ids;
    for (const DialogEvent& event : events)
        if (event.kind == DialogEvent::FIELD_WRITE)
            ids.push_back(event.fieldId);
    return ids;
}

int FakeDialog::warningCount() const
{
    int count = 0;
    for (const DialogEvent& event : events)
        count += event.kind == DialogEvent::WARNING_BOX;
    return count;
}

// Reads the way the platform's number fields do, as the page's fields are read too.
std::uint32_t ReadFieldNumber(DialogHandle dialog, int fieldId)
{
    return FieldTextNumber(Field(Fake(dialog), fieldId));
}

void ShowCount(DialogHandle dialog, int fieldId, std::uint64_t count)
{
    Write(dialog, fieldId, UnsignedDecimal(count).text);
}

void ShowSignedValue(DialogHandle dialog, int fieldId, std::int64_t value)
{
    Write(dialog, fieldId, SignedDecimal(value).text);
}

void ShowWarningBox(DialogHandle dialog, const char* text, const char* caption)
{
    FakeDialog& fake = Fake(dialog);
    fake.events.push_back({DialogEvent::WARNING_BOX, 0, text, caption});
    if (fake.whileWarningShown)
        fake.whileWarningShown();
}
