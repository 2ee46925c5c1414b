#include "base/decimal.h"

#include "base/text_utf8.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Decimal, ConversionIsTheCLibrarys) {
    const struct {
        const char16_t* text;
        int value;
    } cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"  +12", 12},
        {u"-7", -7},
        {u"12abc", 12},
        {u"\t\r\n 5", 5},
        {u"+-3", 0},
        {u" - 3", 0},
        {u"007", 7},
        {u"1300 ms", 1300},
        {u"2147483647", INT_MAX},
        {u"99999999999", INT_MAX},
        {u"-99999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qor::parseDecimal(c.text), c.value) << qor::utf16ToUtf8(c.text);
    }
}

// Digits and nothing else: what parseDecimal would read past (blanks, a sign, a suffix) or
// read as 0 (no digits) makes the text no number.
TEST(Decimal, DigitsOnly) {
    const struct {
        const char16_t* text;
        std::optional<int> value;
    } cases[] = {
        {u"0", 0},
        {u"7", 7},
        {u"007", 7},
        {u"255", 255},
        {u"2147483647", INT_MAX},
        {u"99999999999", INT_MAX}, // saturates as parseDecimal does
        {u"", std::nullopt},
        {u" 3", std::nullopt},
        {u"3 ", std::nullopt},
        {u"+3", std::nullopt},
        {u"-1", std::nullopt},
        {u"0x10", std::nullopt},
        {u"3a", std::nullopt},
        {u"abc", std::nullopt},
        {u"\uFF13", std::nullopt}, // a full-width digit is not a decimal digit here
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qor::parseDecimalDigits(c.text), c.value) << qor::utf16ToUtf8(c.text);
    }
}

} // namespace
