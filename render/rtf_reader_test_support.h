#pragma once
// A small RTF reader for the tests: what a word processor takes from the RTF that BuildRtf
// writes, character by character with its colour and background.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

struct RtfChar {
    char32_t c;
    int32_t colour;     // -1: none stated
    int32_t background; // -1: none stated
};

// What a reader takes from `rtf`: control words removed, escapes decoded, \uN surrogates joined,
// colours looked up in the colour table. Fails the test on anything malformed.
inline std::vector<RtfChar> ReadRtf(const std::string& rtf) {
    struct State {
        int32_t colour = -1;
        int32_t background = -1;
        bool skip = false; // a destination: font or colour table
    };
    std::vector<State> stack{State{}};
    std::vector<int32_t> table;
    int32_t red = 0, green = 0, blue = 0;
    bool in_colours = false;
    std::vector<RtfChar> text;
    char16_t high = 0;
    const auto put = [&](char32_t c) {
        EXPECT_EQ(high, 0) << "a lone high surrogate";
        text.push_back({c, stack.back().colour, stack.back().background});
    };
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        EXPECT_TRUE(c > 0 && c < 0x7F) << "not 7-bit at " << i;
        State& state = stack.back();
        if (c == '{') {
            stack.push_back(state);
        } else if (c == '}') {
            in_colours = false;
            stack.pop_back();
            if (stack.size() == 1) {
                EXPECT_EQ(i + 1, rtf.size()) << "text after the document";
                break;
            }
        } else if (c == '\r' || c == '\n') {
        } else if (c != '\\') {
            if (in_colours && c == ';') {
                table.push_back(red << 16 | green << 8 | blue);
                red = green = blue = 0;
            } else if (!state.skip) {
                put(char32_t(static_cast<unsigned char>(c)));
            }
        } else if (i + 1 < rtf.size() && !std::isalpha(static_cast<unsigned char>(rtf[i + 1]))) {
            ++i;
            EXPECT_NE(std::string("\\{}").find(rtf[i]), std::string::npos) << rtf[i];
            put(char32_t(rtf[i]));
        } else {
            std::size_t end = i + 1;
            while (end < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[end]))) {
                ++end;
            }
            const std::string word = rtf.substr(i + 1, end - i - 1);
            const std::size_t digits = end;
            end += end < rtf.size() && rtf[end] == '-' ? 1 : 0;
            while (end < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[end]))) {
                ++end;
            }
            const bool has_number = end > digits;
            const int number = has_number ? std::stoi(rtf.substr(digits, end - digits)) : 0;
            i = end < rtf.size() && rtf[end] == ' ' ? end : end - 1;
            if (word == "fonttbl") {
                state.skip = true;
            } else if (word == "colortbl") {
                state.skip = in_colours = true;
            } else if (word == "red" || word == "green" || word == "blue") {
                (word == "red" ? red : word == "green" ? green : blue) = number;
            } else if (word == "par") {
                put(U'\n');
            } else if (word == "tab") {
                put(U'\t');
            } else if (word == "cf" || word == "chcbpat") {
                EXPECT_TRUE(number >= 1 && std::size_t(number) < table.size()) << word << number;
                (word == "cf" ? state.colour : state.background) = table.at(std::size_t(number));
            } else if (word == "u") {
                EXPECT_EQ(rtf[i + 1], '?');
                ++i;
                const auto unit = char16_t(uint16_t(int16_t(number)));
                if (unit >= 0xD800 && unit < 0xDC00) {
                    EXPECT_EQ(high, 0);
                    high = unit;
                } else if (unit >= 0xDC00 && unit < 0xE000) {
                    EXPECT_NE(high, 0) << "a lone low surrogate";
                    const char32_t joined = 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00);
                    high = 0;
                    put(joined);
                } else {
                    put(unit);
                }
            }
        }
    }
    EXPECT_EQ(stack.size(), 1u) << "unbalanced groups";
    return text;
}
