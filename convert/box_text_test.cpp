// Text through the dialog's boxes and settings through the dialog, on random texts against
// their plain definitions. The real boxes are compared in the dialog's
// tests.

#include "base/memory.h"
#include "convert/box_text.h"
#include "convert/dialog_round_trip.h"
#include "convert/settings_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Random bytes, heavy in line breaks, multi-byte characters and broken sequences.
std::string RandomText(std::mt19937& random, int pieces) {
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

std::string PlainCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> Keywords(const ProfileSettings& s) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        out.emplace_back(s.Keyword(i));
    }
    return out;
}

} // namespace

TEST(BoxText, TheBoxGivesValidUtf8WithCrLfBreaks) {
    std::mt19937 random(12);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(random, 12);
        const std::string shown = ThroughTextBox(text);
        ASSERT_TRUE(IsValidUtf8(shown));
        ASSERT_EQ(PlainCrLf(shown), shown) << "every break is CR LF already";
        const bool unchanged = shown == text && text.find_first_of("\r\n") == std::string::npos;
        ASSERT_EQ(SurvivesTextBox(text), unchanged) << text;
        ASSERT_EQ(SurvivesTextBox(text, false), ThroughTextBox("x" + text) == "x" + text &&
                                                    text.find_first_of("\r\n") == std::string::npos)
            << text;
        if (IsValidUtf8(text)) {
            const bool bom = text.rfind("\xEF\xBB\xBF", 0) == 0;
            ASSERT_EQ(OpenedInTextBox(text), ThroughTextBox(bom ? text.substr(3) : text));
        }
    }
    EXPECT_EQ(ThroughTextBox("a\xE2\x80"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(ThroughTextBox("\xEF\xBB\xBF\xEF\xBB\xBFx"), "\xEF\xBB\xBFx");
    EXPECT_EQ(ThroughTextBox("a\r\r\nb\r\r\r\nc"), "a\r\nb\r\n\r\nc");
    EXPECT_EQ(ThroughTextBox("a\rb\xE2\x80\xA9"
                             "c\xEF\xB7\x90"),
              "a\r\nb\r\nc\r\n");
    EXPECT_EQ(OpenedInTextBox("gr\xF6\xDF\r"), "gr\xC3\xB6\xC3\x9F\r\n");
    EXPECT_EQ(OpenedInTextBox("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBFint"), "\xEF\xBB\xBFint");
}

// The round trip leaves a list that comes back whole where it is, and otherwise gives what
// joining, the box and splitting give.
TEST(DialogRoundTrip, KeywordsAndFieldsComeBackAsFromTheControls) {
    std::mt19937 random(13);
    for (int round = 0; round < 2000; ++round) {
        ProfileSettings s;
        s.n_keyword_color = uint32_t(random());
        s.b_use_table = int32_t(random() % 3) - 1;
        s.b_table_width_percent = int32_t(random() % 3);
        std::vector<const char*> before;
        for (int n = int(random() % 6); n > 0; --n) {
            const std::string word =
                random() % 2 ? "kw" + std::to_string(random() % 9) : RandomText(random, 3);
            char* copy = tarvo::DuplicateString(word.c_str(), word.size());
            ASSERT_EQ(s.p_s_keyword.Add(copy), 1);
            before.push_back(copy);
        }
        std::vector<char> joined(KeywordTextSize(s));
        const std::size_t length = JoinKeywords(s, joined.data());
        ProfileSettings expected;
        ASSERT_EQ(
            expected.SetKeywords(ThroughTextBox(std::string_view(joined.data(), length)).c_str()),
            1);
        const std::vector<std::string> original = Keywords(s);
        ASSERT_EQ(ThroughTheDialog(s), 1);
        ASSERT_EQ(Keywords(s), Keywords(expected));
        if (original == Keywords(s)) {
            for (std::size_t i = 0; i < before.size(); ++i) {
                ASSERT_EQ(s.Keyword(int32_t(i)), before[i]) << "kept, not copied";
            }
        }
        EXPECT_EQ(s.n_keyword_color, s.n_keyword_color & 0xFFFFFF);
        EXPECT_EQ(s.b_use_table, s.b_use_table != 0);
    }
}
