// Themes of one's own on the disk: found by bare names in the themes folder only, and opened as
// profiles are, so that a FIFO, a device or a huge file answers at once.

#include "files/memory_disk.h"
#include "files/test_support.h"
#include "profiles/theme_files.h"
#include "themes/builtin_themes.h"

namespace {

using ThemeFilesOnDisk = InTempDir;

const char* const kMine = "p_s_name = \"mine\"; p_s_based_on = \"nord\"; n_comment_color = 0;";

} // namespace

TEST(ThemeFiles, FoundByNameInTheThemesFolderOnly) {
    MemoryDisk disk;
    disk.AddFolder("store");
    disk.AddFolder("store/themes");
    disk.Put("store/themes/mine.theme", kMine);
    disk.Put("store/themes/nord.theme", "p_s_name = \"nord\";");
    disk.Put("store/themes/other.theme", kMine);
    disk.Put("store/x.theme", kMine);
    const ProfileFolder folder{&disk, "store"};
    EXPECT_EQ(ThemeFilePath(folder, "mine"), "store/themes/mine.theme");

    Theme theme;
    std::string problems;
    ASSERT_EQ(FindTheme(folder, "mine", theme, problems), ThemeFileRead::Ok) << problems;
    EXPECT_STREQ(theme.name, "mine");
    EXPECT_EQ(theme.Look(ThemeClass::Comment).colour, 0);
    // A built-in name is the built-in theme, whatever the folder holds.
    ASSERT_EQ(FindTheme(folder, "nord", theme, problems), ThemeFileRead::Ok) << problems;
    EXPECT_EQ(theme, *FindBuiltInTheme("nord"));
    EXPECT_EQ(problems, "");

    // Anything else is unknown: no file, or a name that is no bare theme name.
    const Theme before = theme;
    for (const char* name : {"none", "../x", "../themes/mine", "x", "Mine", "", "mine.theme"}) {
        problems.clear();
        EXPECT_EQ(FindTheme(folder, name, theme, problems), ThemeFileRead::Missing) << name;
        EXPECT_EQ(problems, std::string("Unknown theme '") + name + "'\n");
        EXPECT_EQ(theme, before);
    }
    // The file of a name must name that theme.
    problems.clear();
    EXPECT_EQ(FindTheme(folder, "other", theme, problems), ThemeFileRead::Bad);
    EXPECT_EQ(problems, "Theme file 'store/themes/other.theme', line 1: p_s_name = \"mine\" does "
                        "not match the file name other.theme\n");
}

TEST_F(ThemeFilesOnDisk, SpecialFilesAnswerAtOnce) {
    MakeSpecialFiles(m_dir);
    WriteWholeFile("big.theme", "");
    ASSERT_EQ(::truncate("big.theme", off_t(Disk::kReadLimit) + 1), 0);
    WriteWholeFile("mine.theme", kMine);
    const struct {
        const char* path;
        ThemeFileRead result;
        const char* problem;
    } cases[] = {
        {"fifo", ThemeFileRead::Bad, "Theme file 'fifo': not a regular file\n"},
        {"zero", ThemeFileRead::Bad, "Theme file 'zero': not a regular file\n"},
        {"big.theme", ThemeFileRead::Bad, "Theme file 'big.theme': too large for a theme file\n"},
        {".", ThemeFileRead::Bad, "Theme file '.': Is a directory\n"},
        {"gone", ThemeFileRead::Missing, "Theme file 'gone': No such file or directory\n"},
        {"mine.theme", ThemeFileRead::Ok, ""},
    };
    for (const auto& c : cases) {
        std::string problems;
        const CallCost cost = MeasureCall([&] {
            Theme theme;
            return int(ReadThemeFileAt(RealDisk(), c.path, theme, problems));
        });
        EXPECT_EQ(cost.result, int(c.result)) << c.path;
        EXPECT_LT(cost.seconds, 2.0) << c.path;
        Theme theme;
        if (std::string(c.path) != "fifo") {
            EXPECT_EQ(ReadThemeFileAt(RealDisk(), c.path, theme, problems), c.result);
            EXPECT_EQ(problems, c.problem) << c.path;
        }
    }
}
