// The plan of a batch run, in memory: pages, clashes and folders, in the order of the sources.

#include "cli/batch_plan.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace {

SourceEntry Source(const std::string& relative, const std::string& problem = "") {
    return {"in/" + relative, relative, 1, problem};
}

} // namespace

TEST(BatchPlan, ClashesFailTheLaterSourceAndTheIndexIsNeverReplaced) {
    const std::vector<SourceEntry> sources{Source("a.c"),
                                           Source("index"),
                                           Source("a.c.html/x.c"),
                                           Source("b/c.h"),
                                           Source("b/c.h"),
                                           Source("gone.c", "No such file"),
                                           Source("index.html/y.c"),
                                           Source("b"),
                                           Source("d/e/f.cpp")};
    const BatchPlan plan = PlanBatch("out", sources);
    ASSERT_EQ(plan.pages.size(), sources.size());
    const std::vector<std::pair<std::string, std::string>> expected{
        {"out/a.c.html", ""},
        {"", "its page would replace the index"},
        {"", "its folder would replace the page of in/a.c"},
        {"out/b/c.h.html", ""},
        {"", "its page would replace that of in/b/c.h"},
        {"", "No such file"},
        {"", "its folder would replace the index"},
        {"out/b.html", ""},
        {"out/d/e/f.cpp.html", ""}};
    for (std::size_t i = 0; i < sources.size(); ++i) {
        EXPECT_EQ(plan.pages[i].page, expected[i].first) << i;
        EXPECT_EQ(plan.pages[i].problem, expected[i].second) << i;
    }
    ASSERT_EQ(plan.folders.size(), 3u);
    EXPECT_EQ(plan.folders[0].path, "out/b");
    EXPECT_EQ(plan.folders[1].path, "out/d");
    EXPECT_EQ(plan.folders[2].path, "out/d/e");
    EXPECT_EQ(plan.folders[2].parent, 1);
    EXPECT_EQ(plan.pages[8].folder, 2);
    EXPECT_EQ(plan.pages[3].folder, 0);
    EXPECT_EQ(plan.pages[0].folder, -1);
}

// Random trees: no two pages share a path, no page is a folder or lies below a page, every page
// lies in its planned folder, and parents come before their folders.
TEST(BatchPlan, RandomTreesNeverPlanTwoThingsInOnePlace) {
    std::mt19937 random(3);
    const char* const parts[] = {"a", "b", "a.html", "index.html", "c.h", "c.h.html"};
    for (int round = 0; round < 300; ++round) {
        std::vector<SourceEntry> sources;
        for (int n = int(random() % 12); n > 0; --n) {
            std::string relative = parts[random() % std::size(parts)];
            for (int depth = int(random() % 3); depth > 0; --depth) {
                relative += std::string("/") + parts[random() % std::size(parts)];
            }
            sources.push_back(Source(relative));
        }
        const BatchPlan plan = PlanBatch("o", sources);
        std::set<std::string> pages{"o/index.html"};
        std::set<std::string> folders;
        for (std::size_t f = 0; f < plan.folders.size(); ++f) {
            const FolderPlan& folder = plan.folders[f];
            ASSERT_LT(folder.parent, int(f));
            const std::string above =
                folder.parent < 0 ? "o" : plan.folders[std::size_t(folder.parent)].path;
            ASSERT_EQ(folder.path, above + "/" + folder.name);
            ASSERT_TRUE(folders.insert(folder.path).second);
        }
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const PagePlan& page = plan.pages[i];
            ASSERT_EQ(page.page.empty(), !page.problem.empty());
            if (page.page.empty()) {
                continue;
            }
            ASSERT_EQ(page.page, "o/" + sources[i].relative + ".html");
            ASSERT_TRUE(pages.insert(page.page).second) << page.page;
            const std::string in =
                page.folder < 0 ? "o" : plan.folders[std::size_t(page.folder)].path;
            ASSERT_EQ(page.page, in + "/" + page.name);
        }
        for (const std::string& page : pages) {
            ASSERT_EQ(folders.count(page), 0u) << page;
            for (const std::string& folder : folders) {
                ASSERT_NE(folder.rfind(page + "/", 0), 0u) << folder;
            }
        }
    }
}
