#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
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
    p.profile_dir = options.profile_dir != nullptr ? options.profile_dir : "-";
    p.user_profiles = options.user_profiles;
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
    Parsed p = Parse({"tarvo", "-platform", "offscreen", "--profile-dir", "my dir", "-style=x"});
    EXPECT_EQ(p.status, -1);
    EXPECT_EQ(p.left, (std::vector<std::string>{"tarvo", "-platform", "offscreen", "-style=x"}));
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
