// A field's text read as the platform's number fields read it, for bindings that get only the text.
#pragma once

#include <cstdint>

// Blanks, an optional sign and the digits up to the first other character, of the first
// kFieldCharactersRead characters; no digits or a value past 4294967295 read 0, and a minus sign
// gives the 32-bit two's complement.
std::uint32_t FieldTextNumber(const char* text);

// The number fields look at no more of a field's text than this.
constexpr int kFieldCharactersRead = 29;
