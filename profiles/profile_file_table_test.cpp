// Every setting of the table through a profile file: random records, each row a value of its
// kind, some beyond its check, come back equal, with exactly those rows named.

#include "base/memory.h"
#include "files/memory_disk.h"
#include "profiles/profile_file.h"
#include "settings/marked_lines.h"
#include "settings/setting_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::string RandomText(std::mt19937& rng, std::size_t longest) {
    std::string text;
    for (std::size_t n = rng() % (longest + 1); n > 0; --n) {
        static const char often[] = "/*\"\\\n\r 1-,";
        text += rng() % 2 ? often[rng() % 11] : char(1 + rng() % 255);
    }
    return text;
}

// A random value for each row: at its default now and then, beyond its check now and then.
void Randomize(std::mt19937& rng, ProfileSettings& s) {
    for (const Setting& row : kSettings) {
        const bool plain = rng() % 3 == 0;
        switch (row.kind) {
        case SettingKind::Number:
            SetNumber(row, s,
                      plain ? row.value
                            : (row.check == SettingCheck::LineNumber && rng() % 2
                                   ? int64_t(rng() % (kMaxLineNumber + 1))
                                   : int64_t(int32_t(rng()))));
            break;
        case SettingKind::Flag:
            SetNumber(row, s, plain ? row.value : int64_t(rng() % 4) - 1);
            break;
        case SettingKind::Colour:
            SetNumber(row, s, plain ? row.value : rng() % 2 ? rng() % 0x1000000 : rng());
            break;
        case SettingKind::ClassColour:
            SetNumber(row, s, plain ? kClassOff : rng() % 4 ? rng() % 0x1000000 : rng() >> 1);
            break;
        case SettingKind::Text:
            ASSERT_TRUE(SetOptionValue(row, s, 0,
                                       plain       ? ""
                                       : rng() % 2 ? std::to_string(rng() % 50).c_str()
                                                   : RandomText(rng, 8).c_str()));
            break;
        case SettingKind::Name:
            ASSERT_TRUE(SetOptionValue(row, s, 0, plain ? "" : RandomText(rng, 64).c_str()));
            break;
        case SettingKind::Keywords:
            s.ClearKeywords();
            for (std::size_t n = rng() % 8; n > 0; --n) {
                const std::string k = RandomText(rng, 6);
                ASSERT_EQ(s.p_s_keyword.Add(tarvo::DuplicateString(k.data(), k.size())), 1);
            }
            break;
        }
    }
}

// The rows on which `a` and `b` differ.
std::vector<std::string> Differences(const ProfileSettings& a, const ProfileSettings& b) {
    std::vector<std::string> keys;
    for (const Setting& row : kSettings) {
        bool same = NumberOf(row, a) == NumberOf(row, b) &&
                    std::strcmp(TextOf(row, a), TextOf(row, b)) == 0;
        if (row.kind == SettingKind::Keywords) {
            same = a.KeywordCount() == b.KeywordCount();
            for (int32_t i = 0; same && i < a.KeywordCount(); ++i) {
                same = std::strcmp(a.Keyword(i), b.Keyword(i)) == 0;
            }
        }
        if (!same) {
            keys.emplace_back(row.key);
        }
    }
    return keys;
}

// The rows whose values break their checks, as a profile's load names them.
std::vector<std::string> Broken(const ProfileSettings& s) {
    std::vector<std::string> keys;
    for (const Setting& row : kSettings) {
        int64_t unused = 0;
        std::string why;
        if (!NumberProblem(row, NumberOf(row, s)).empty() ||
            (row.kind == SettingKind::Text &&
             ReadOptionValue(row, TextOf(row, s), unused, why) == OptionRead::Bad)) {
            keys.emplace_back(row.key);
        }
    }
    return keys;
}

} // namespace

TEST(ProfileFileTable, RandomRecordsComeBackEqualWithTheirBrokenValuesNamed) {
    // A fresh record writes no opt-in key: the table's defaults are the record's.
    const ProfileSettings fresh;
    for (const Setting& row : kSettings) {
        EXPECT_TRUE(row.written != Written::UnlessDefault || IsDefault(row, fresh)) << row.key;
    }
    MemoryDisk disk;
    std::mt19937 rng(26);
    for (int round = 0; round < 3000; ++round) {
        ProfileSettings s;
        Randomize(rng, s);
        const std::string text = ProfileFileText(s, "p.ini");
        for (const Setting& row : kSettings) {
            const char* key = row.kind == SettingKind::Keywords ? kKeywordCountKey : row.key;
            const std::string line = std::string("\n") + key + " = ";
            const bool written = row.kind == SettingKind::Keywords ||
                                 row.written != Written::UnlessDefault || !IsDefault(row, s);
            ASSERT_EQ(text.find(line) != std::string::npos, written) << row.key;
        }
        ASSERT_EQ(WriteProfileFile(disk, "p.ini", "p.ini", s), 1);
        ProfileSettings back;
        Randomize(rng, back); // every row is read, none kept from before
        std::vector<std::string> problems;
        ASSERT_EQ(ReadProfileFile(disk, "p.ini", back, &problems), 1) << text;
        ASSERT_EQ(Differences(s, back), std::vector<std::string>()) << text;
        std::vector<std::string> named;
        for (const std::string& problem : problems) {
            named.push_back(problem.substr(0, problem.find(':')));
        }
        std::vector<std::string> broken = Broken(s);
        std::sort(named.begin(), named.end());
        std::sort(broken.begin(), broken.end());
        ASSERT_EQ(named, broken) << text;
        // -d's per-worker copy is the record again.
        ProfileSettings copy;
        Randomize(rng, copy);
        ASSERT_TRUE(CopySettings(s, copy));
        ASSERT_EQ(Differences(s, copy), std::vector<std::string>());
    }
}
