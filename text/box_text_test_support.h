#pragma once
// Random text for the tests of the boxes' rules and of what passes through them.

#include <random>
#include <string>

// Random bytes, heavy in line breaks, multi-byte characters and broken sequences.
inline std::string RandomBoxText(std::mt19937& random, int pieces) {
    static const char* const kPieces[] = {"a",
                                          "int",
                                          " ",
                                          "\t",
                                          "\r",
                                          "\n",
                                          "\r\n",
                                          "\xE2\x80\xA8",
                                          "\xEF\xB7\x91",
                                          "\xEF\xBB\xBF",
                                          "\xC3\xA4",
                                          "\xFF",
                                          "\x80",
                                          "\xE2\x80",
                                          "\xED\xA0\x80",
                                          "\xF0\x9F\x98\x80",
                                          "\xC0\x80",
                                          "xxxxxxxxx"};
    std::string text;
    for (int n = int(random() % unsigned(pieces + 1)); n > 0; --n) {
        if (random() % 8 == 0) {
            text += char(1 + random() % 255);
        } else {
            text += kPieces[random() % std::size(kPieces)];
        }
    }
    return text;
}
