#include "base/memory.h"
#include "files/memory_disk.h"
#include "files/test_support.h"
#include "profiles/profile_file.h"
#include "settings/cpp_defaults.h"

#include <random>

namespace {

using ProfileFile = InTempDir;

// The built-in settings without keywords.
void Defaults(ProfileSettings& s) {
    SetCppDefaults(s);
    s.ClearKeywords();
}

std::vector<std::string> Keywords(const ProfileSettings& s) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        out.emplace_back(s.Keyword(i));
    }
    return out;
}

void AddKeyword(ProfileSettings& s, const std::string& k) {
    char* copy = tarvo::DuplicateString(k.data(), k.size());
    ASSERT_EQ(s.p_s_keyword.Add(copy), 1);
}

void ExpectSame(const ProfileSettings& a, const ProfileSettings& b) {
    EXPECT_EQ(a.n_tab_size, b.n_tab_size);
    EXPECT_EQ(a.n_comment_color, b.n_comment_color);
    EXPECT_EQ(a.n_keyword_color, b.n_keyword_color);
    EXPECT_EQ(a.n_table_lt_color, b.n_table_lt_color);
    EXPECT_EQ(a.n_table_dk_color, b.n_table_dk_color);
    EXPECT_EQ(a.n_font_size, b.n_font_size);
    EXPECT_EQ(a.n_table_width, b.n_table_width);
    EXPECT_EQ(a.b_table_width_percent, b.b_table_width_percent);
    EXPECT_EQ(a.b_use_table, b.b_use_table);
    for (const ClassColourField& c : kClassColourFields) {
        EXPECT_EQ(a.*c.field, b.*c.field) << c.key;
    }
    EXPECT_EQ(Keywords(a), Keywords(b));
}

const char* const kExample = "// profile config v1.00\n"
                             "// profile_file \"profile_00000029.ini\"\n"
                             "//\n"
                             "//\n"
                             "\n"
                             "n_tab_size = 4;\n"
                             "\n"
                             "n_comment_color = 0x008000;\n"
                             "n_keyword_color = 0x0000ff;\n"
                             "\n"
                             "n_table_lt_color = 0xa8c8e8;\n"
                             "n_table_dk_color = 0x4084d0;\n"
                             "\n"
                             "n_font_size = 13;\n"
                             "\n"
                             "n_table_width = 80;\n"
                             "\n"
                             "b_table_width_percent = 1;\n"
                             "\n"
                             "b_use_table = 1;\n"
                             "\n"
                             "n_keyword_num = 2;\n"
                             "p_s_keyword[0] = \"#\";\n"
                             "p_s_keyword[1] = \"#define\";\n"
                             "\n"
                             "\n"
                             "// profile_file \"profile_00000029.ini\" end\n";

} // namespace

TEST_F(ProfileFile, WritesTheKnownTextAndReadsItBack) {
    ProfileSettings s;
    Defaults(s);
    ASSERT_EQ(s.SetKeywords("# #define"), 1);
    ASSERT_EQ(WriteProfileFile("profile_00000029.ini", s), 1);
    EXPECT_EQ(ReadWholeFile("profile_00000029.ini"), kExample);
    // Saving again gives the same bytes.
    ASSERT_EQ(WriteProfileFile("profile_00000029.ini", s), 1);
    EXPECT_EQ(ReadWholeFile("profile_00000029.ini"), kExample);

    ProfileSettings back;
    ASSERT_EQ(back.SetKeywords("old"), 1);
    ASSERT_EQ(ReadProfileFile("profile_00000029.ini", back), 1);
    ExpectSame(back, s);

    // A copy under another name reads the same: the path in it is only a comment.
    WriteWholeFile("copy.ini", kExample);
    ProfileSettings copy;
    ASSERT_EQ(ReadProfileFile("copy.ini", copy), 1);
    ExpectSame(copy, s);

    // No keywords, a negative tab size and colours above 24 bits.
    ProfileSettings other;
    Defaults(other);
    other.n_tab_size = -1;
    other.n_keyword_color = 0xFFFFFFFF;
    ASSERT_EQ(WriteProfileFile("p.ini", other), 1);
    const std::string text = ReadWholeFile("p.ini");
    EXPECT_NE(text.find("n_tab_size = -1;\n"), std::string::npos);
    EXPECT_NE(text.find("n_keyword_color = 0xffffffff;\n"), std::string::npos);
    EXPECT_NE(text.find("n_keyword_num = 0;\n\n\n// profile_file \"p.ini\" end\n"),
              std::string::npos);
    ProfileSettings other_back;
    ASSERT_EQ(ReadProfileFile("p.ini", other_back), 1);
    ExpectSame(other_back, other);
}

TEST_F(ProfileFile, OptionalClassesAreWrittenOnlyWhileOn) {
    ProfileSettings s;
    Defaults(s);
    ASSERT_EQ(s.SetKeywords("# #define"), 1);
    s.n_char_color = 0x8b4513;
    s.n_preproc_color = 0;
    ASSERT_EQ(WriteProfileFile("profile_00000029.ini", s), 1);
    std::string expected = kExample;
    expected.insert(expected.find("n_keyword_num"),
                    "n_char_color = 0x8b4513;\nn_preproc_color = 0x000000;\n\n");
    EXPECT_EQ(ReadWholeFile("profile_00000029.ini"), expected);
    ProfileSettings back;
    ASSERT_EQ(ReadProfileFile("profile_00000029.ini", back), 1);
    ExpectSame(back, s);

    // An old file reads with every class off, also into a record that had them on; -1 and
    // other negative values are off too, and a value of another kind fails the load.
    WriteWholeFile("old.ini", kExample);
    ASSERT_EQ(ReadProfileFile("old.ini", back), 1);
    for (const ClassColourField& c : kClassColourFields) {
        EXPECT_EQ(back.*c.field, kClassOff) << c.key;
    }
    WriteWholeFile("old.ini", std::string(kExample) + "n_number_color = -7; n_string_color = 5;");
    ASSERT_EQ(ReadProfileFile("old.ini", back), 1);
    EXPECT_EQ(back.n_number_color, kClassOff);
    EXPECT_EQ(back.n_string_color, 5);
    WriteWholeFile("old.ini", std::string(kExample) + "n_number_color = \"red\";");
    EXPECT_EQ(ReadProfileFile("old.ini", back), 0);
}

TEST_F(ProfileFile, EveryKeywordReadsBackByteForByte) {
    ProfileSettings s;
    Defaults(s);
    const std::vector<std::string> hard = {
        "a\"b", "back\\slash", "//", "/*", "*/", "a//b/*c",  "line\nfeed", "cr\r",
        "",     "\\0",         "/",  "\\", "'",  "\x80\xff", "/\\/",       "x/"};
    for (const auto& k : hard) {
        AddKeyword(s, k);
    }
    ASSERT_EQ(WriteProfileFile("hard.ini", s), 1);
    ProfileSettings back;
    ASSERT_EQ(ReadProfileFile("hard.ini", back), 1);
    EXPECT_EQ(Keywords(back), hard);
    const std::string text = ReadWholeFile("hard.ini");
    EXPECT_NE(text.find("p_s_keyword[0] = \"a\\\"b\";\n"), std::string::npos);
    EXPECT_NE(text.find("p_s_keyword[2] = \"/\\0/\";\n"), std::string::npos);
    EXPECT_NE(text.find("p_s_keyword[6] = \"line\\nfeed\";\n"), std::string::npos);
}

// In memory: the text round trip, not the disk, is under test here.
TEST(ProfileFileInMemory, RandomRecordsRoundTrip) {
    MemoryDisk disk;
    disk.AddFolder("store");
    std::mt19937 rng(11);
    for (int round = 0; round < 2000; ++round) {
        ProfileSettings s;
        s.n_tab_size = int32_t(rng());
        s.n_comment_color = uint32_t(rng());
        s.n_keyword_color = uint32_t(rng() % 0x1000000);
        s.n_table_lt_color = uint32_t(rng());
        s.n_table_dk_color = uint32_t(rng() % 2 ? 0 : rng());
        s.n_font_size = int32_t(rng()) % 100;
        s.n_table_width = round % 7 == 0 ? INT32_MIN : int32_t(rng());
        s.b_table_width_percent = int32_t(rng() % 3) - 1;
        s.b_use_table = int32_t(rng() % 2);
        for (const ClassColourField& c : kClassColourFields) {
            s.*c.field = rng() % 2 ? kClassOff : int32_t(rng() % 0x1000000);
        }
        const int count = int(rng() % 20);
        std::vector<std::string> previous;
        for (int i = 0; i < count; ++i) {
            std::string k;
            if (!previous.empty() && rng() % 5 == 0) {
                k = previous[rng() % previous.size()]; // duplicates
            } else {
                const std::size_t length = rng() % 6;
                for (std::size_t j = 0; j < length; ++j) {
                    // Slashes, stars, quotes and backslashes often, every byte but NUL sometimes.
                    static const char often[] = "/*\"\\\n\r a";
                    k += rng() % 2 ? often[rng() % 8] : char(1 + rng() % 255);
                }
            }
            previous.push_back(k);
            AddKeyword(s, k);
        }
        // A file name may hold anything but a slash and NUL, line breaks included; the comment
        // lines name it as profiles.ini does, without the folder.
        std::string name = "p";
        for (std::size_t j = rng() % 8; j > 0; --j) {
            char c = char(1 + rng() % 255);
            name += c == '/' ? '_' : c;
        }
        const std::string path = (round % 2 ? "store/" : "") + name;
        ASSERT_EQ(WriteProfileFile(disk, path.c_str(), name.c_str(), s), 1) << "round " << round;
        ASSERT_EQ(disk.Text(path), ProfileFileText(s, name.c_str()));
        ProfileSettings back;
        ASSERT_EQ(ReadProfileFile(disk, path.c_str(), back), 1) << "round " << round;
        ExpectSame(back, s);
        disk.Remove(path.c_str());
        if (HasFailure()) {
            FAIL() << "round " << round;
        }
    }
}

TEST_F(ProfileFile, BadFilesFailTheLoad) {
    ProfileSettings good;
    Defaults(good);
    ASSERT_EQ(good.SetKeywords("int long"), 1);
    ASSERT_EQ(WriteProfileFile("good.ini", good), 1);
    const std::string text = ReadWholeFile("good.ini");
    auto loads = [](const std::string& file_text) {
        WriteWholeFile("edited.ini", file_text);
        ProfileSettings s;
        return ReadProfileFile("edited.ini", s);
    };
    auto replace = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const std::size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return t.replace(at, from.size(), to);
    };
    ProfileSettings s;
    EXPECT_EQ(ReadProfileFile("missing.ini", s), 0);
    EXPECT_EQ(ReadProfileFile(nullptr, s), 0);
    EXPECT_EQ(loads(""), 0);
    EXPECT_EQ(loads(replace("n_tab_size = 4;", "n_tab_size = 4")), 0);
    EXPECT_EQ(loads(replace("n_tab_size = 4;", "n_tab_size = 4.0;")), 0);
    EXPECT_EQ(loads(replace("n_font_size = 13;", "")), 0);
    EXPECT_EQ(loads(replace("n_font_size = 13;", "n_font_size = \"13\";")), 0);
    EXPECT_EQ(loads(replace("n_keyword_num = 2;", "n_keyword_num = 3;")), 0);
    EXPECT_EQ(loads(replace("p_s_keyword[1] = \"long\";", "p_s_keyword[1] = 5;")), 0);
    EXPECT_EQ(loads(replace("\"int\"", "\"in\nt\"")), 0);

    // What a hand edit may do: other integer forms, references, extra and missing keywords.
    WriteWholeFile("edited.ini", replace("n_tab_size = 4;", "n_tab_size = ' ';") +
                                     "b_use_table = 7;\nextra = { 1, 2, };\n");
    ProfileSettings edited;
    ASSERT_EQ(ReadProfileFile("edited.ini", edited), 1);
    EXPECT_EQ(edited.n_tab_size, 32);
    EXPECT_EQ(edited.b_use_table, 1); // the first definition wins
    WriteWholeFile("edited.ini",
                   replace("n_font_size = 13;", "n_font_size = n_width; n_width = 0x10;"));
    ASSERT_EQ(ReadProfileFile("edited.ini", edited), 1);
    EXPECT_EQ(edited.n_font_size, 16);
    WriteWholeFile("edited.ini", replace("n_keyword_num = 2;", "n_keyword_num = -5;"));
    ASSERT_EQ(ReadProfileFile("edited.ini", edited), 1);
    EXPECT_EQ(edited.KeywordCount(), 0);
    WriteWholeFile("edited.ini", replace("n_keyword_num = 2;", "n_keyword_num = 1;"));
    ASSERT_EQ(ReadProfileFile("edited.ini", edited), 1);
    EXPECT_EQ(Keywords(edited), std::vector<std::string>{"int"});
}

TEST_F(ProfileFile, FailedWritesKeepTheOldFile) {
    ProfileSettings s;
    Defaults(s);
    ASSERT_EQ(s.SetKeywords("int"), 1);
    ASSERT_EQ(WriteProfileFile("p.ini", s), 1);
    const std::string before = ReadWholeFile("p.ini");
    ASSERT_EQ(s.SetKeywords(std::string(5000, 'k').c_str()), 1);

    int written = 1;
    {
        FileSizeLimit limit(300); // the disk fills half-way through the new text
        written = WriteProfileFile("p.ini", s);
    }
    EXPECT_EQ(written, 0);
    EXPECT_EQ(ReadWholeFile("p.ini"), before);
    EXPECT_EQ(WriteProfileFile("p.ini/q.ini", s), 0); // no directory there
    EXPECT_EQ(Listing(), "p.ini\n");
}

TEST_F(ProfileFile, OutOfMemoryWhileReadingFailsCleanly) {
    ProfileSettings s;
    Defaults(s);
    ASSERT_EQ(s.SetKeywords("a b c d e f"), 1);
    ASSERT_EQ(WriteProfileFile("p.ini", s), 1);
    bool loaded = false;
    for (long allowed = 0; allowed < 500 && !loaded; ++allowed) {
        ProfileSettings back;
        tarvo::InjectAllocationFailure(allowed);
        loaded = ReadProfileFile("p.ini", back) == 1;
        tarvo::InjectAllocationFailure(-1);
        if (loaded) {
            ExpectSame(back, s);
        }
    }
    EXPECT_TRUE(loaded);
}
