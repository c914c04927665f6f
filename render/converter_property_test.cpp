// Properties of the converter over many random sources and keyword lists.

#include "render/converter_test_support.h"

TEST(ConvertSource, AgreesWithTheRuleByRuleScanOnRandomText) {
    std::mt19937 rng(2024);
    const std::vector<std::string> vocabulary = {
        "int", "in", "i",   "#if", "#ifdef", "\"", "a/", "*", "lt", "&lt;",   "'",   "\\",    "x\r",
        "\r",  "",   "amp", "pre", "b c",    "/",  "a*", "R", "LR", "u8R\"(", ")\"", "\\\r\n"};
    for (int round = 0; round < 3000; ++round) {
        std::string keywords;
        const int count = int(rng() % 8);
        for (int i = 0; i < count; ++i) {
            keywords += (i == 0 ? "" : " ") + vocabulary[rng() % vocabulary.size()];
        }
        ProfileSettings s;
        SetDefaults(s, keywords.c_str());
        s.n_tab_size = int32_t(rng() % 5) - 1;
        s.b_use_table = int32_t(rng() % 2);
        const bool css = rng() % 2 != 0;
        const std::string source =
            RandomText(rng, rng() % (round % 10 == 0 ? 3000 : 60), vocabulary);

        Reference reference(s, css);
        const std::string expected = reference.Run(source);
        Recorder recorder;
        const std::string actual = Convert(s, source, css, &recorder);
        ASSERT_EQ(actual, expected) << "round " << round << " keywords [" << keywords << "]";
        ASSERT_EQ(recorder.progress, reference.progress) << "round " << round;
        for (std::size_t i = 1; i < recorder.progress.size(); ++i) {
            ASSERT_LE(recorder.progress[i - 1], recorder.progress[i]);
        }
        ASSERT_TRUE(recorder.progress.empty() || recorder.progress.back() <= kProgressMax);

        // What a browser shows is the source with its tabs replaced, between the pieces.
        std::string shown = source;
        std::string replaced;
        for (char ch : shown) {
            replaced += ch == '\t' ? reference.tab : std::string(1, ch);
        }
        if (keywords.find("pre") == std::string::npos) {
            ASSERT_EQ(VisibleText(actual),
                      VisibleText(reference.opening) + replaced + VisibleText(reference.closing))
                << "round " << round;
        }
    }
}

TEST(ConvertSource, EveryOpenTagIsClosedBeforeTheNextOne) {
    std::mt19937 rng(99);
    const std::vector<std::string> vocabulary = {"int", "if", "/*", "*/", "//",
                                                 "\n",  "\"", " ",  "x"};
    for (int round = 0; round < 500; ++round) {
        ProfileSettings s;
        SetDefaults(s, "int if x");
        s.b_use_table = 0;
        s.n_comment_color = 0x111111;
        const std::string html = Convert(s, RandomText(rng, 200, vocabulary), 0);
        int depth = 0;
        for (std::size_t i = html.find('<'); i != std::string::npos; i = html.find('<', i + 1)) {
            if (html.compare(i, 6, "<font ") == 0) {
                ASSERT_EQ(depth++, 0) << html;
            } else if (html.compare(i, 7, "</font>") == 0) {
                ASSERT_EQ(--depth, 0) << html;
            }
        }
        ASSERT_EQ(depth, 0);
    }
}

TEST(ConvertSource, OutOfMemoryIsReportedNotCrashed) {
    ProfileSettings s;
    SetDefaults(s);
    std::string source;
    for (int i = 0; i < 200; ++i) {
        source += "int main() { return 0; } // comment\r\n\t\"text\" /* block */\r\n";
    }
    const std::string expected = Convert(s, source, 1);
    bool succeeded = false;
    for (long allowed = 0; allowed < 20 && !succeeded; ++allowed) {
        std::string html = "left over";
        tarvo::InjectAllocationFailure(allowed);
        const int result = ConvertSource(s, source, 1, html);
        tarvo::InjectAllocationFailure(-1);
        if (result == 1) {
            EXPECT_EQ(html, expected);
            succeeded = true;
        } else {
            EXPECT_TRUE(html.empty());
        }
    }
    EXPECT_TRUE(succeeded);
}

TEST(ConvertSource, ProgressStaysInRangeOnLargeSources) {
    // Beyond 4 MB the position times 512 no longer fits 32 bits.
    ProfileSettings s;
    SetDefaults(s);
    std::string source;
    while (source.size() < (5u << 20)) {
        source += "int x; // comment\n\t\"text\" /* block */\n";
    }
    Recorder recorder;
    Convert(s, source, 1, &recorder);
    ASSERT_FALSE(recorder.progress.empty());
    EXPECT_EQ(recorder.progress.front(), 0);
    for (std::size_t i = 1; i < recorder.progress.size(); ++i) {
        ASSERT_LE(recorder.progress[i - 1], recorder.progress[i]);
    }
    EXPECT_GE(recorder.progress.back(), 1020);
    EXPECT_LE(recorder.progress.back(), kProgressMax);
    // Both halves are reported: the escape pass up to 512, the scan from 512 on.
    EXPECT_NE(std::find(recorder.progress.begin(), recorder.progress.end(), 511),
              recorder.progress.end());
}
