// The dialog-field access in the browser: the page's fields and message boxes.
#include "dialog_fields.h"

#include "decimal_text.h"
#include "field_text_number.h"
#include "page_services.h"

std::uint32_t ReadFieldNumber(DialogHandle dialog, int fieldId)
{
    // A character that is not ASCII ends the number, so bytes past the characters read never count.
    char text[kFieldCharactersRead + 1];
    PageReadFieldText(DialogOf(dialog), fieldId, text, sizeof text);
    return FieldTextNumber(text);
}

void ShowCount(DialogHandle dialog, int fieldId, std::uint64_t count)
{
    PageShowFieldText(DialogOf(dialog), fieldId, UnsignedDecimal(count).text);
}

void ShowSignedValue(DialogHandle dialog, int fieldId, std::int64_t value)
{
    PageShowFieldText(DialogOf(dialog), fieldId, SignedDecimal(value).text);
}

void ShowWarningBox(DialogHandle dialog, const char* text, const char* caption)
{
    PageShowMessageBox(DialogOf(dialog), text, caption, BoxIcon::WARNING);
}
