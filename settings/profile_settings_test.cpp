#include "base/memory.h"
#include "settings/profile_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

std::vector<std::string> Split(const char* text) {
    ProfileSettings s;
    EXPECT_EQ(s.SetKeywords(text), 1);
    return Keywords(s);
}

using Words = std::vector<std::string>;

} // namespace

TEST(PtrArray, GrowsByFiftyTwiceThenGeometricallyAndKeepsOrder) {
    PtrArray<int> array;
    EXPECT_EQ(array.GetCapacity(), 0);
    EXPECT_EQ(array.GetAt(0), nullptr);
    EXPECT_EQ(array.GetAt(-1), nullptr);
    std::vector<int> values(151);
    for (int i = 0; i < 151; ++i) {
        values[std::size_t(i)] = i;
        ASSERT_EQ(array.Add(&values[std::size_t(i)]), 1);
        const int expected = i < 50 ? 50 : i < 100 ? 100 : i < 150 ? 150 : 250;
        ASSERT_EQ(array.GetCapacity(), expected) << "after adding pointer " << i + 1;
    }
    for (int i = 0; i < 151; ++i) {
        ASSERT_EQ(*array.GetAt(i), &values[std::size_t(i)]);
    }
    EXPECT_EQ(array.GetAt(151), nullptr);
    EXPECT_EQ(array.GetAt(-1), nullptr);

    // Always a multiple of 50, half as much again each time, up to the largest int32 one.
    int growths = 0;
    for (int32_t capacity = 150; capacity != 0; capacity = GrownCapacity(capacity), ++growths) {
        ASSERT_EQ(capacity % 50, 0);
        ASSERT_LT(growths, 60);
    }
    EXPECT_EQ(GrownCapacity(INT32_MAX / 50 * 50 - 1), INT32_MAX / 50 * 50);

    array.RemoveAll(); // frees the slots only: `values` still owns what they pointed to
    EXPECT_EQ(array.GetCount(), 0);
    EXPECT_EQ(array.GetCapacity(), 0);
    EXPECT_EQ(array.GetAt(0), nullptr);
}

TEST(PtrArray, FailedGrowthLeavesTheArrayAsItWas) {
    PtrArray<int> array;
    int value = 0;
    tarvo::InjectAllocationFailure(0);
    EXPECT_EQ(array.Add(&value), 0);
    EXPECT_EQ(array.GetCapacity(), 0);
    EXPECT_EQ(array.GetAt(0), nullptr);
    tarvo::InjectAllocationFailure(1);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(array.Add(&value), 1);
    }
    EXPECT_EQ(array.Add(&value), 0); // the 51st needs a new slot array, which fails
    tarvo::InjectAllocationFailure(-1);
    EXPECT_EQ(array.GetCount(), 50);
    EXPECT_EQ(array.GetCapacity(), 50);
    EXPECT_EQ(*array.GetAt(49), &value);
}

TEST(SetKeywords, SplitsAtSingleSeparators) {
    EXPECT_EQ(Split(nullptr), Words{});
    EXPECT_EQ(Split(""), Words{});
    EXPECT_EQ(Split("# #define #undef"), (Words{"#", "#define", "#undef"}));
    EXPECT_EQ(Split("a\tb\nc"), (Words{"a", "b", "c"}));
    EXPECT_EQ(Split("a  b "), (Words{"a", "", "b"}));
    EXPECT_EQ(Split(" a"), (Words{"", "a"}));
    EXPECT_EQ(Split("a  "), (Words{"a", ""}));
    EXPECT_EQ(Split(" "), (Words{""}));
}

TEST(SetKeywords, CarriageReturnBeforeLineFeedBelongsToTheBreak) {
    EXPECT_EQ(Split("int\r\nlong\r\nshort"), (Words{"int", "long", "short"}));
    EXPECT_EQ(Split("int\r\n\r\nlong"), (Words{"int", "", "long"}));
    EXPECT_EQ(Split("\r\nx"), (Words{"", "x"}));
    // A carriage return not followed by a line feed is a character of its keyword.
    EXPECT_EQ(Split("a\rb c\r"), (Words{"a\rb", "c\r"}));
    EXPECT_EQ(Split("a\r\r\nb"), (Words{"a\r", "b"}));
    EXPECT_EQ(Split("a\r b"), (Words{"a\r", "b"}));
}

TEST(SetKeywords, RandomWordListsSurviveJoiningWithOneSeparator) {
    std::mt19937 rng(7);
    const std::string alphabet = "ab#_\r{}*/\"\\\x80\xff";
    for (int round = 0; round < 2000; ++round) {
        Words words(rng() % 12);
        for (auto& w : words) {
            const std::size_t length = rng() % 5;
            for (std::size_t i = 0; i < length; ++i) {
                w += alphabet[rng() % alphabet.size()];
            }
            // A CR ending a word would join the line break that follows it.
            while (!w.empty() && w.back() == '\r') {
                w.pop_back();
            }
        }
        std::string text;
        for (std::size_t i = 0; i < words.size(); ++i) {
            if (i != 0) {
                static const char* const separators[] = {" ", "\t", "\n", "\r\n"};
                text += separators[rng() % 4];
            }
            text += words[i];
        }
        // Whatever the words, the text splits back into them: only the very last word may
        // vanish, when it is empty (nothing follows the separator before it).
        Words expected = words;
        if (!expected.empty() && expected.back().empty()) {
            expected.pop_back();
        }
        ASSERT_EQ(Split(text.c_str()), expected) << "round " << round;
    }
}

TEST(SetKeywords, OutOfMemoryKeepsWhatWasSplit) {
    ProfileSettings s;
    ASSERT_EQ(s.SetKeywords("old ones"), 1);
    // The slot array and the first two keywords succeed, the third keyword fails.
    tarvo::InjectAllocationFailure(3);
    EXPECT_EQ(s.SetKeywords("a b c d"), 0);
    tarvo::InjectAllocationFailure(-1);
    EXPECT_EQ(Keywords(s), (Words{"a", "b"}));
    // The slot array itself cannot be had.
    tarvo::InjectAllocationFailure(1);
    EXPECT_EQ(s.SetKeywords("x y"), 0);
    tarvo::InjectAllocationFailure(-1);
    EXPECT_EQ(Keywords(s), Words{});
    s.ClearKeywords();
    EXPECT_EQ(s.p_s_keyword.GetCapacity(), 0);
}
