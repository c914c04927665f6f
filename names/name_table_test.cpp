#include "names/name_table.h"

#include "base/memory.h"
#include "names/declarations.h"
#include "names/name_marker.h"

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
    EXPECT_EQ(file.Find("M0"), names::kMacro | names::kMacroAlways);
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

// A tree of 10,000 headers of 120 names each: the tree's table keeps the first million names,
// in the files' order, however its parts are merged.
TEST(NameTable, TreeBoundedAndMergedInOrder) {
    names::TreeNames whole;
    names::TreeNames first;
    names::TreeNames second;
    for (int file = 0; file < 10000; ++file) {
        std::string header;
        for (int i = 0; i < 120; ++i) {
            header += "struct S" + std::to_string(file) + "_" + std::to_string(i) + ";\n";
        }
        whole.AddSource(header);
        (file < 5000 ? first : second).AddSource(header);
    }
    names::TreeNames merged;
    merged.Merge(first);
    merged.Merge(second);
    for (const names::TreeNames* tree : {&whole, &merged}) {
        EXPECT_EQ(tree->Table().Size(), names::kTreeNames);
        EXPECT_LE(tree->Table().MemoryUsed(), 64u << 20);
        EXPECT_EQ(tree->Table().Find("S0_0"), names::kType);
        EXPECT_EQ(tree->Table().Find("S9999_119"), 0);
    }
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
