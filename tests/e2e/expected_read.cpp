// The platform's reading of field text, worked out the way the driver expects it for each input.
#include "expected_read.h"

#include <cstddef>
#include <limits>

namespace {

// The platform reads a field into a buffer of 30 characters, the last one its terminator.
constexpr std::size_t kCharactersRead = 29;
constexpr std::uint64_t kRadix = 10;
constexpr std::uint64_t kLargestRead = std::numeric_limits<std::uint32_t>::max();

bool IsSpace(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

} // namespace

FieldRead ExpectedRead(const std::wstring& text)
{
    const std::wstring read = text.substr(0, kCharactersRead);
    std::size_t at = 0;
    while (at < read.size() && IsSpace(read[at]))
        ++at;
    bool negative = false;
    if (at < read.size() && (read[at] == L'+' || read[at] == L'-'))
        negative = read[at++] == L'-';

    std::uint64_t value = 0;
    bool overflow = false;
    const std::size_t firstDigit = at;
    for (; at < read.size() && IsDigit(read[at]); ++at) {
        value = value * kRadix + static_cast<std::uint64_t>(read[at] - L'0');
        overflow = overflow || value > kLargestRead;
        if (overflow)
            value = kLargestRead + 1;
    }
    if (at == firstDigit || overflow)
        return {0, false};
    const auto magnitude = static_cast<std::uint32_t>(value);
    const std::uint32_t result = negative ? 0u - magnitude : magnitude;
    return {result, result == kLargestRead};
}
