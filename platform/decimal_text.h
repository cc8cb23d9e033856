// Decimal text of counts and money parts too wide for the platform's 32-bit number fields.
#pragma once

#include <cstddef>
#include <cstdint>

// Longest text: "-9223372036854775808" or "18446744073709551615", plus the terminator.
constexpr std::size_t kDecimalTextSize = 21;

struct DecimalText {
    char text[kDecimalTextSize];
};

DecimalText UnsignedDecimal(std::uint64_t value);
DecimalText SignedDecimal(std::int64_t value);
