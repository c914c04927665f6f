#include "names/marks_ahead.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Random sources: the thread's marks, handed over a few at a time, are the marker's, whether
// taken one by one or asked word by word; a scan that stops early lets the thread go.
TEST(MarksAhead, GivesTheMarkersMarks) {
    const char* const pieces[] = {
        "a",     "Foo",      "std", "::",         "<",      ">",        "(",   ")",  "{", "}",
        ";",     "#define ", "\n",  " ",          "class ", "template", "&",   "->", "~", "1",
        "//c\n", "/*",       "*/",  "namespace ", "\"s\"",  "typedef ", "A_B", "x.f"};
    names::TreeNames tree;
    tree.AddSource("#define Foo bar\nnamespace a {}\n");
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::string text = "<pre>";
        const int n = int(rng() % 400);
        for (int i = 0; i < n; ++i) {
            const char* piece = pieces[rng() % (sizeof pieces / sizeof *pieces)];
            text += piece[0] == '<' ? "&lt;" : piece[0] == '&' ? "&amp;" : piece;
        }
        const names::TreeNames* shared = round % 2 == 0 ? &tree : nullptr;
        const std::size_t chunk = 1 + rng() % 5;
        names::NameMarker marker(text, 5, shared);
        names::MarksAhead taken(text, 5, shared, chunk);
        names::MarksAhead asked(text, 5, shared, chunk);
        if (!taken.Started() || !asked.Started()) {
            GTEST_SKIP() << "no second core, or no thread";
        }
        for (names::NameMark m; marker.Next(m);) {
            names::NameMark t;
            ASSERT_TRUE(taken.Next(t));
            ASSERT_EQ(t.start, m.start);
            ASSERT_EQ(t.end, m.end);
            ASSERT_EQ(t.name_class, m.name_class);
            ASSERT_EQ(asked.ClassAt(m.start), m.name_class);
            ASSERT_EQ(asked.ClassAt(m.start + 1), NameClass::None);
        }
        names::NameMark t;
        ASSERT_FALSE(taken.Next(t));
        ASSERT_EQ(asked.ClassAt(text.size()), NameClass::None);
        names::MarksAhead left(text, 5, shared, chunk);
        left.ClassAt(rng() % (text.size() + 1));
    }
}

// Random sources: where the next mark begins, asked from positions that grow by random steps
// between questions of ClassAt, is the next of the marker's own marks, from either marker.
TEST(MarksAhead, TellWhereTheNextMarkBegins) {
    const char* const pieces[] = {"a ",     "Foo", "std",   "::",       "(",  ")",
                                  "{",      "}",   ";",     "#define ", "\n", " ",
                                  "class ", "MAX", "//c\n", "x.f",      "1",  "\"s\""};
    std::mt19937 rng(8);
    for (int round = 0; round < 200; ++round) {
        std::string text = "<pre>";
        const int n = int(rng() % 300);
        for (int i = 0; i < n; ++i) {
            text += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        }
        std::vector<std::size_t> starts;
        names::NameMarker all(text, 5);
        for (names::NameMark m; all.Next(m);) {
            starts.push_back(m.start);
        }
        names::NameMarker marker(text, 5);
        names::MarksAhead ahead(text, 5, nullptr, 1 + rng() % 3);
        const bool threaded = ahead.Started();
        auto mark = starts.begin();
        for (std::size_t p = 0; p <= text.size(); p += 1 + rng() % 6) {
            while (mark != starts.end() && *mark < p) {
                ++mark;
            }
            const std::size_t next = mark == starts.end() ? text.size() + 1 : *mark;
            if (rng() % 3 == 0) {
                ASSERT_EQ(marker.ClassAt(p) != NameClass::None, next == p);
            }
            ASSERT_EQ(marker.NextMarkFrom(p), next) << text;
            if (threaded) {
                ASSERT_EQ(ahead.NextMarkFrom(p), next) << text;
            }
        }
    }
}

} // namespace
