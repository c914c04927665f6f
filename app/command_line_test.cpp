#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct Parsed {
    int status;
    std::vector<std::string> left; // what the toolkit gets
    std::string profile_dir;       // "-" when not given
    bool user_profiles;
    std::string out;
};

Parsed Parse(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    int argc = int(args.size());
    Parsed p{};
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&text, &size);
    TarvoOptions options;
    p.status = ParseTarvoOptions(argc, argv.data(), options, out, out);
    p.profile_dir = options.folder.dir != nullptr ? options.folder.dir : "-";
    p.user_profiles = options.folder.user;
    std::fclose(out);
    p.out.assign(text, size);
    std::free(text);
    for (int i = 0; i < argc; ++i) {
        p.left.emplace_back(argv[std::size_t(i)]);
    }
    return p;
}

} // namespace

TEST(TarvoOptions, TakesTheProfileOptionsAndLeavesTheRestToTheToolkit) {
    Parsed p = Parse({"tarvo", "-platform", "offscreen", "--profile-dir", "my dir", "-style=x",
                      "--display", "--user-profiles", "-reverse"});
    EXPECT_EQ(p.status, -1);
    EXPECT_EQ(p.left, (std::vector<std::string>{"tarvo", "-platform", "offscreen", "-style=x",
                                                "--display", "--user-profiles", "-reverse"}))
        << "a toolkit option's value is the toolkit's, whatever it looks like";
    EXPECT_EQ(p.profile_dir, "my dir");
    EXPECT_FALSE(p.user_profiles);
    p = Parse({"tarvo", "--user-profiles"});
    EXPECT_EQ(p.status, -1);
    EXPECT_TRUE(p.user_profiles);
    EXPECT_EQ(p.profile_dir, "-");
    EXPECT_EQ(p.left, std::vector<std::string>{"tarvo"});

    p = Parse({"tarvo", "--help"});
    EXPECT_EQ(p.status, 0);
    EXPECT_NE(p.out.find("profiles.ini"), std::string::npos);
    EXPECT_NE(p.out.find("${XDG_CONFIG_HOME:-$HOME/.config}/tarvo"), std::string::npos);
    EXPECT_EQ(Parse({"tarvo", "--version"}).out, "tarvo " TARVO_VERSION "\n");
    EXPECT_EQ(Parse({"tarvo", "--profile-dir"}).status, 2);
    EXPECT_EQ(Parse({"tarvo", "--profile-dir", "d", "--user-profiles"}).status, 2);
}

// Anything else is a typo or a misunderstanding: said at once, with the help.
TEST(TarvoOptions, UnknownOptionsAndArgumentsAreUsageErrors) {
    const std::string help = Parse({"tarvo", "--help"}).out;
    for (const auto& [args, first_line] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"tarvo", "--bogus"}, "tarvo: unknown option '--bogus'\n"},
             {{"tarvo", "--profile-dirs", "X"}, "tarvo: unknown option '--profile-dirs'\n"},
             {{"tarvo", "-platform", "offscreen", "main.cpp"},
              "tarvo: unexpected argument 'main.cpp'\n"},
             {{"tarvo", "--profile-dir"}, "tarvo: missing folder after '--profile-dir'\n"}}) {
        const Parsed p = Parse(args);
        EXPECT_EQ(p.status, 2) << first_line;
        EXPECT_EQ(p.out, first_line + help);
    }
}

// Without a display the program says so in one line and fails, rather than aborting.
TEST(TarvoOptions, NoDisplayIsOneLineAndStatusOne) {
    std::FILE* run = ::popen("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                             "ASAN_OPTIONS=detect_leaks=0 '" TARVO_PROGRAM "' 2>&1",
                             "r");
    ASSERT_NE(run, nullptr);
    std::string out;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, run)) > 0;) {
        out.append(buffer, n);
    }
    const int status = ::pclose(run);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(out, "tarvo: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are "
                   "both empty)\n");
}
