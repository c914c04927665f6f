// The line-number keys of a profile file: written only when they differ from their defaults,
// read back whole, and defaults for a file that has none.

#include "convert/cpp_defaults.h"
#include "files/memory_disk.h"
#include "files/test_support.h"
#include "profiles/profile_file.h"

#include <random>

namespace {

struct Lines {
    int32_t numbers, first;
    std::string marks;
    uint32_t colour;
    bool operator==(const Lines&) const = default;
};

Lines Of(const ProfileSettings& s) {
    return {s.b_line_numbers, s.n_first_line, s.MarkedLines(), s.n_mark_color};
}

} // namespace

TEST(ProfileFileLines, KeysOnlyWhenSetAndReadBackWhole) {
    MemoryDisk disk;
    ProfileSettings plain;
    SetCppDefaults(plain);
    const std::string plain_text = ProfileFileText(plain, "p.ini");
    for (const char* key : {"b_line_numbers", "n_first_line", "p_s_marked_lines", "n_mark_color"}) {
        EXPECT_EQ(plain_text.find(key), std::string::npos);
    }

    ProfileSettings s;
    SetCppDefaults(s);
    s.b_line_numbers = 1;
    s.n_first_line = 0;
    ASSERT_EQ(s.SetMarkedLines("3-5,9"), 1);
    s.n_mark_color = 0xFFE0A0;
    const std::string text = ProfileFileText(s, "p.ini");
    const std::string keys = "\nb_line_numbers = 1;\nn_first_line = 0;\n"
                             "p_s_marked_lines = \"3-5,9\";\nn_mark_color = 0xffe0a0;\n";
    const std::size_t end = plain_text.rfind("\n\n// profile_file");
    EXPECT_EQ(text, plain_text.substr(0, end) + keys + plain_text.substr(end));

    // A file without the keys gives their defaults, whatever the record held before.
    ASSERT_EQ(WriteProfileFile(disk, "p.ini", "p.ini", plain), 1);
    ASSERT_EQ(ReadProfileFile(disk, "p.ini", s), 1);
    EXPECT_EQ(Of(s), Of(plain));

    std::mt19937 rng(20);
    for (int round = 0; round < 300; ++round) {
        s.b_line_numbers = int32_t(rng() % 2);
        s.n_first_line = rng() % 3 == 0 ? 1 : int32_t(rng());
        std::string marks;
        for (std::size_t i = rng() % 6; i > 0; --i) {
            static const char often[] = "0123456789-, \"\\/*";
            marks += often[rng() % (sizeof often - 1)];
        }
        ASSERT_EQ(s.SetMarkedLines(marks.c_str()), 1);
        s.n_mark_color = rng() % 3 == 0 ? kDefaultMarkColor : uint32_t(rng());
        ASSERT_EQ(WriteProfileFile(disk, "p.ini", "p.ini", s), 1);
        ProfileSettings back;
        ASSERT_EQ(ReadProfileFile(disk, "p.ini", back), 1) << disk.Text("p.ini");
        ASSERT_EQ(Of(back), Of(s)) << disk.Text("p.ini");
    }

    // A key of the wrong kind fails the load, as for every other key.
    for (const char* bad : {"b_line_numbers = \"1\";", "n_first_line = 1.5;",
                            "p_s_marked_lines = 3;", "n_mark_color = \"FFF6BF\";"}) {
        std::string broken = plain_text;
        broken.insert(end, std::string("\n") + bad);
        disk.Remove("p.ini");
        ASSERT_EQ(disk.WriteWhole("p.ini", broken), 1);
        ProfileSettings back;
        EXPECT_EQ(ReadProfileFile(disk, "p.ini", back), 0) << bad;
    }
}

// A value that is read but cannot be used is kept as read and named with its key, never dropped
// unseen; the specified keys load as before.
TEST(ProfileFileLines, ValuesThatCannotBeUsedAreNamed) {
    MemoryDisk disk;
    ProfileSettings plain;
    SetCppDefaults(plain);
    const std::string text = ProfileFileText(plain, "p.ini");
    const std::size_t end = text.rfind("\n\n// profile_file");
    for (const auto& [lines, named] : std::vector<std::pair<std::string, std::string>>{
             {"b_line_numbers = 1; p_s_marked_lines = \"1-3,x\";",
              "p_s_marked_lines: 'x' is not a line number (from 0 to 999999999) or a range such "
              "as 3-5"},
             {"p_s_marked_lines = \"5-3\";", "p_s_marked_lines: '5-3' runs backwards: write 3-5"},
             {"p_s_marked_lines = \"1-2000000000\";",
              "p_s_marked_lines: '1-2000000000' is not a line number (from 0 to 999999999)"},
             {"n_first_line = -1;",
              "n_first_line: '-1' is not a line number (from 0 to 999999999)"},
             {"n_first_line = 2147483647;", "n_first_line: '2147483647' is not a line number"},
             {"n_first_line = 99999999999;", "n_first_line: '99999999999' is beyond 32 bits (read "
                                             "as 2147483647)"},
             {"n_mark_color = 0x1000000;", "n_mark_color: '0x1000000' is not a colour (RRGGBB)"},
             {"n_mark_color = -1;", "n_mark_color: '0xffffffff' is not a colour (RRGGBB)"},
             {"n_string_color = 0x1000000;",
              "n_string_color: '0x1000000' is not a colour (RRGGBB or off)"},
             {"n_char_color = -2;", "n_char_color: '-2' is not a colour (RRGGBB or off)"},
             {"n_font_size = 0x;", "n_font_size: '0x' has no digits after 0x (read as 0)"},
             {"n_tab_size = -0x;", "n_tab_size: '-0x' has no digits after 0x (read as 0)"},
             {"n_keyword_color = 0x1ffffffff;",
              "n_keyword_color: '0x1ffffffff' is beyond 32 bits (read as -1)"}}) {
        // The first definition wins: the line goes before the file's own.
        disk.Put("p.ini", lines + "\n" + text);
        ProfileSettings read;
        std::vector<std::string> problems;
        ASSERT_EQ(ReadProfileFile(disk, "p.ini", read, &problems), 1) << lines;
        ASSERT_FALSE(problems.empty()) << lines;
        EXPECT_EQ(problems[0].substr(0, named.size()), named) << lines;
        EXPECT_EQ(ReadProfileFile(disk, "p.ini", read), 1) << "the same without the list";
    }
    // The values as read stay in the record, so that a save keeps them.
    disk.Put("p.ini", text.substr(0, end) + "\np_s_marked_lines = \"1-3,x\";\nn_first_line = -1;" +
                          text.substr(end));
    ProfileSettings read;
    std::vector<std::string> problems;
    ASSERT_EQ(ReadProfileFile(disk, "p.ini", read, &problems), 1);
    EXPECT_EQ(problems.size(), 2u);
    EXPECT_STREQ(read.MarkedLines(), "1-3,x");
    EXPECT_EQ(read.n_first_line, -1);
    // What the program writes has nothing to name, whatever the record.
    std::mt19937 rng(25);
    for (int round = 0; round < 200; ++round) {
        ProfileSettings s;
        SetCppDefaults(s);
        s.n_first_line = int32_t(rng() % 1000000000);
        s.n_mark_color = rng() % 0x1000000;
        s.n_string_color = rng() % 2 ? kClassOff : int32_t(rng() % 0x1000000);
        ASSERT_EQ(s.SetMarkedLines(std::to_string(rng() % 100).c_str()), 1);
        ASSERT_EQ(WriteProfileFile(disk, "p.ini", "p.ini", s), 1);
        ASSERT_EQ(ReadProfileFile(disk, "p.ini", read, &problems), 1);
        ASSERT_TRUE(problems.empty()) << problems[0];
    }
}
