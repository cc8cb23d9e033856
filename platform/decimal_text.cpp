// Decimal text of 64-bit values, written into a fixed buffer so showing a value never allocates.
#include "decimal_text.h"

namespace {

constexpr std::uint64_t kRadix = 10;

// Writes the digits of magnitude after an optional minus sign.
DecimalText Compose(bool negative, std::uint64_t magnitude)
{
    char reversed[kDecimalTextSize];
    std::size_t digits = 0;
    do {
        reversed[digits++] = static_cast<char>('0' + magnitude % kRadix);
        magnitude /= kRadix;
    } while (magnitude != 0);

    DecimalText result{};
    std::size_t length = 0;
    if (negative)
        result.text[length++] = '-';
    while (digits > 0)
        result.text[length++] = reversed[--digits];
    result.text[length] = '\0';
    return result;
}

} // namespace

DecimalText UnsignedDecimal(std::uint64_t value)
{
    return Compose(false, value);
}

DecimalText SignedDecimal(std::int64_t value)
{
    // Negate in unsigned arithmetic so the most negative value has a magnitude too.
    const auto bits = static_cast<std::uint64_t>(value);
    return Compose(value < 0, value < 0 ? ~bits + 1 : bits);
}
