// The colour reader: the box's rule is scanf's "%x" after one "#", the strict rule is six digits.

#include "base/colour.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

// "#" at most once, then six hexadecimal digits and nothing else.
bool SixDigits(std::string text) {
    if (text.starts_with('#')) {
        text.erase(0, 1);
    }
    return text.size() == 6 && text.find_first_not_of("0123456789abcdefABCDEF") == text.npos;
}

} // namespace

TEST(Colour, TheBoxReadsAsScanfAndTheStrictRuleTakesSixDigitsOnly) {
    std::mt19937 random(25);
    static const char kOften[] = "#0123456789abcdefABCDEFxXgG +-\t";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (std::size_t n = random() % 10; n > 0; --n) {
            text += kOften[random() % (sizeof kOften - 1)];
        }
        // scanf's own reading, where its digits fit into 32 bits (beyond, glibc saturates).
        const std::string rest = text.starts_with('#') ? text.substr(1) : text;
        unsigned expected = 0;
        const bool scanned = std::sscanf(rest.c_str(), "%x", &expected) == 1;
        int64_t box = -7;
        const bool read = ReadColour(text, ColourRule::Box, box);
        ASSERT_EQ(read, scanned) << '"' << text << '"';
        if (read) {
            ASSERT_EQ(box, int64_t(expected)) << '"' << text << '"';
        } else {
            ASSERT_EQ(box, -7) << "untouched";
        }
        int64_t strict = -7;
        const bool whole = SixDigits(text);
        ASSERT_EQ(ReadColour(text, ColourRule::RRGGBB, strict), whole) << '"' << text << '"';
        ASSERT_EQ(ReadColour(text, ColourRule::RRGGBBOrOff, strict), whole) << '"' << text << '"';
        if (whole) {
            ASSERT_EQ(strict, int64_t(std::stoul(text.substr(text.size() - 6), nullptr, 16)));
        }
    }
    // The spelled-out cases of the box, and "off" where it is one.
    int64_t c = 0;
    EXPECT_TRUE(ReadColour("12345678", ColourRule::Box, c) && c == 0x12345678);
    EXPECT_TRUE(ReadColour("-1", ColourRule::Box, c) && c == 0xFFFFFFFF);
    EXPECT_TRUE(ReadColour("FF8000G", ColourRule::Box, c) && c == 0xFF8000);
    for (const char* none : {"##FF8000", " #FF8000", "G0", "", "#"}) {
        EXPECT_FALSE(ReadColour(none, ColourRule::Box, c)) << none;
    }
    EXPECT_TRUE(ReadColour("off", ColourRule::RRGGBBOrOff, c) && c == kColourOff);
    for (const char* none : {"off", "0x1234", "#0x1234", "1234567", "#off"}) {
        EXPECT_FALSE(ReadColour(none, ColourRule::RRGGBB, c)) << none;
    }
    EXPECT_FALSE(ReadColour("#off", ColourRule::RRGGBBOrOff, c));
    EXPECT_EQ(NotAColour("0x1234", ColourRule::RRGGBBOrOff),
              "'0x1234' is not a colour (RRGGBB or off)");
    EXPECT_EQ(NotAColour("-2", ColourRule::RRGGBB), "'-2' is not a colour (RRGGBB)");
    // Numbers by the same rules.
    EXPECT_TRUE(IsColourNumber(0xFFFFFF, ColourRule::RRGGBB));
    EXPECT_FALSE(IsColourNumber(0x1000000, ColourRule::RRGGBB));
    EXPECT_FALSE(IsColourNumber(kColourOff, ColourRule::RRGGBB));
    EXPECT_TRUE(IsColourNumber(kColourOff, ColourRule::RRGGBBOrOff));
    EXPECT_FALSE(IsColourNumber(-2, ColourRule::RRGGBBOrOff));
    EXPECT_TRUE(IsColourNumber(0xFFFFFFFF, ColourRule::Box));
}
