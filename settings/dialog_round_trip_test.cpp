// Settings through the dialog, on random keyword lists against joining, the box and splitting.

#include "base/memory.h"
#include "settings/dialog_round_trip.h"
#include "settings/settings_text.h"
#include "text/box_text.h"
#include "text/box_text_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Keywords(const ProfileSettings& s) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        out.emplace_back(s.Keyword(i));
    }
    return out;
}

} // namespace

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
                random() % 2 ? "kw" + std::to_string(random() % 9) : RandomBoxText(random, 3);
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
