// How the platform reads a field's text as a number, which the program takes as it is given.
#pragma once

#include <cstdint>
#include <string>

// What GetDlgItemInt, unsigned, gives for a field's text under Wine: at most the first 29
// characters count; leading white space is skipped; an optional sign and decimal digits are
// converted up to the first other character; text without digits reads 0; a value beyond 32 bits
// reads 0; a minus sign gives the value's two's complement ("-5" reads 4294967291).
struct FieldRead {
    std::uint32_t value;
    // "4294967295" reads 0 too when a read that overflowed came before it on the program's thread,
    // since the platform finds the overflow flag of that earlier read still set.
    bool mayReadZero;
};

FieldRead ExpectedRead(const std::wstring& text);
