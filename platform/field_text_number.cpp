// Reads a number out of a field's text the way Windows' GetDlgItemInt does for an unsigned field.
#include "field_text_number.h"

#include <limits>

namespace {

constexpr std::uint64_t kRadix = 10;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::uint32_t FieldTextNumber(const char* text)
{
    const char* const end = text + kFieldCharactersRead;
    auto more = [&] { return text < end && *text != '\0'; };

    while (more() && IsBlank(*text))
        ++text;
    const bool negative = more() && *text == '-';
    if (more() && (*text == '-' || *text == '+'))
        ++text;

    std::uint64_t value = 0;
    for (; more() && IsDigit(*text); ++text) {
        value = value * kRadix + static_cast<std::uint64_t>(*text - '0');
        // Beyond 32 bits the whole field reads 0, however many digits follow.
        if (value > std::numeric_limits<std::uint32_t>::max())
            return 0;
    }
    const auto number = static_cast<std::uint32_t>(value);
    // Unsigned arithmetic: "-3" gives 4294967293, as the platform reads it.
    return negative ? 0u - number : number;
}
