#include "names/name_table.h"

#include "base/memory.h"
#include "names/declarations.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using names::NameTable;

// The tables stay within their bounds whatever they are fed: more distinct names than they hold.
TEST(NameTable, BoundedForAnyInput) {
    std::string source;
    for (int i = 0; i < 300000; ++i) { // more than a file's table holds
        source += "#define M" + std::to_string(i) + "\nclass C" + std::to_string(i) + ";\n";
    }
    NameTable file(names::kFileNames, names::kFileNameBytes);
    names::CollectDeclarations(source, 0, false, names::Scope::File, file);
    EXPECT_EQ(file.Size(), names::kFileNames);
    EXPECT_TRUE(file.Full());
    EXPECT_LE(file.MemoryUsed(), 16u << 20);
    EXPECT_EQ(file.Find("M0"), names::kMacro);
    EXPECT_EQ(file.Find("C0"), names::kType);
    EXPECT_EQ(file.Find("C299999"), 0);

    NameTable small(3, 8);
    EXPECT_TRUE(small.Add("abc", names::kType));
    EXPECT_TRUE(small.Add("abc", names::kFunction));
    EXPECT_EQ(small.Find("abc"), names::kType | names::kFunction);
    EXPECT_TRUE(small.Add("de", names::kType));
    EXPECT_FALSE(small.Add("fghi", names::kType)); // past the bytes
    EXPECT_TRUE(small.Add("f", names::kType));
    EXPECT_FALSE(small.Add("g", names::kType)); // past the names
    EXPECT_FALSE(small.Add(std::string(256, 'x'), names::kType));
    EXPECT_EQ(small.Size(), 3u);
}

TEST(NameTable, RunningOutOfMemoryOnlyDropsNames) {
    NameTable table(1000, 100000);
    tarvo::InjectAllocationFailure(0);
    EXPECT_FALSE(table.Add("a", names::kType));
    tarvo::InjectAllocationFailure(-1);
    EXPECT_TRUE(table.Add("a", names::kType));
    EXPECT_EQ(table.Find("a"), names::kType);
}

} // namespace
