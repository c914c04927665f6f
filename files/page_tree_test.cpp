// The page tree: nothing outside its root is created, replaced or followed into, also when links
// take the place of its folders while it writes.

#include "files/disk.h"
#include "files/test_support.h"

#include <cerrno>

namespace {

namespace fs = std::filesystem;

using PageTreeTest = InMemoryTempDir;

// Every name below `root` with the bytes of its regular files, links shown as "-> target".
std::map<std::string, std::string> Everything(const fs::path& root) {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string name = e.path().lexically_relative(root).string();
        all[name] = e.is_symlink() ? std::string("-> ").append(fs::read_symlink(e.path()).string())
                    : e.is_regular_file() ? ReadWholeFile(e.path().string())
                                          : "(other)";
    }
    return all;
}

} // namespace

TEST_F(PageTreeTest, NothingOutsideItsRootIsWrittenOrFollowedEvenWhenLinksComeLater) {
    fs::create_directories("elsewhere/deep");
    WriteWholeFile("elsewhere/victim.html", "KEEP");
    fs::create_directories("out/dir.html");
    WriteWholeFile("out/file", "a file");
    fs::create_directory_symlink("../elsewhere", "out/sub");
    fs::create_symlink("../elsewhere/victim.html", "out/a.html");
    fs::create_symlink("../elsewhere/new.html", "out/dangling.html");
    ASSERT_EQ(::mkfifo("out/fifo.html", 0644), 0);
    MakeDevice("out/device.html");
    const auto outside = Everything("elsewhere");

    const std::unique_ptr<PageTree> tree = RealDisk().OpenPageTree("out/");
    ASSERT_NE(tree, nullptr);
    errno = 0;
    EXPECT_EQ(tree->MakeFolder(PageTree::kRoot, "sub"), -1);
    EXPECT_EQ(errno, ELOOP);
    EXPECT_EQ(tree->MakeFolder(PageTree::kRoot, "file"), -1);
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_EQ(tree->MakeFolder(PageTree::kRoot, ".."), -1);
    EXPECT_EQ(errno, EINVAL);
    const int real = tree->MakeFolder(PageTree::kRoot, "real");
    const int below = tree->MakeFolder(real, "below");
    ASSERT_GT(real, 0);
    ASSERT_GT(below, real);
    EXPECT_EQ(tree->MakeFolder(PageTree::kRoot, "real"), below + 1) << "taken as it is";

    std::unique_ptr<PageGroup> group = tree->NewGroup();
    for (const auto& [name, error] :
         std::vector<std::pair<const char*, int>>{{"a.html", ELOOP},
                                                  {"dangling.html", ELOOP},
                                                  {"fifo.html", ENODEV},
                                                  {"device.html", ENODEV},
                                                  {"dir.html", EISDIR},
                                                  {"../elsewhere/x.html", EINVAL}}) {
        errno = 0;
        EXPECT_EQ(group->Write(PageTree::kRoot, name, "page"), 0) << name;
        EXPECT_EQ(errno, error) << name;
    }
    ASSERT_EQ(group->Write(below, "p.html", "P"), 1);
    ASSERT_EQ(group->Write(PageTree::kRoot, "q.html", "Q"), 1);
    ASSERT_EQ(group->Write(real, "r.html", "R"), 1);
    // Links take the place of a folder between the write and the commit: its pages fail.
    fs::rename("out/real", "out/moved");
    fs::create_directory_symlink("../elsewhere", "out/real");
    const std::vector<PageGroup::Failure> failed = group->Commit();
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_EQ(failed[0].index, 0u);
    EXPECT_EQ(failed[1].index, 2u);
    EXPECT_EQ(ReadWholeFile("out/q.html"), "Q");
    // And after it, the link is never followed.
    errno = 0;
    EXPECT_EQ(group->Write(below, "p.html", "P"), 0);
    EXPECT_EQ(errno, ELOOP);
    EXPECT_EQ(tree->MakeFolder(real, "more"), -1);
    group.reset();

    EXPECT_EQ(Everything("elsewhere"), outside);
    for (const char* link : {"out/sub", "out/a.html", "out/dangling.html", "out/real"}) {
        EXPECT_TRUE(fs::is_symlink(link)) << link;
    }
    EXPECT_TRUE(fs::is_fifo("out/fifo.html"));
    EXPECT_FALSE(fs::exists("out/moved/below/p.html"));
}
