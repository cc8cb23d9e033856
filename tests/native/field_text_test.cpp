// Field text read as a number, as Windows' number fields read it under Wine: the page's fields are read the same way.
#include <gtest/gtest.h>

#include <string>

#include "platform/field_text_number.h"

TEST(FieldTextNumber, ReadsOddTextAsThePlatformsNumberFieldsDo)
{
    const std::string zeros28(28, '0');
    const struct {
        std::string text;
        std::uint32_t number;
    } readings[] = {
        {"", 0},
        {"abc", 0},
        {"\xC3\xA4", 0}, // a-umlaut, UTF-8
        {"0x1A", 0},
        {"12a", 12},
        {"1e3", 1},
        {" 7", 7},
        {"\t\n 7", 7},
        {"7 ", 7},
        {"+7", 7},
        {"007", 7},
        {"-", 0},
        {"+ 7", 0},
        {"-0", 0},
        {"-3", 4294967293u},
        {"-4294967295", 1},
        {"-4294967296", 0},
        {"1234567890", 1234567890u},
        {"4294967295", 4294967295u},
        {"4294967296", 0},
        {"9999999999", 0},
        {"12345678901234567890", 0},
        // Only the first 29 characters count.
        {zeros28 + "7", 7},
        {zeros28 + "07", 0},
        {"                            7", 7},
        {"                             7", 0},
    };
    for (const auto& reading : readings)
        EXPECT_EQ(FieldTextNumber(reading.text.c_str()), reading.number) << '"' << reading.text << '"';
}
