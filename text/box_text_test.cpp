// Text through the dialog's boxes, on random texts against their plain definitions. The real
// boxes are compared in the dialog's tests.

#include "base/memory.h"
#include "text/box_text.h"
#include "text/box_text_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string PlainCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

TEST(BoxText, TheBoxGivesValidUtf8WithCrLfBreaks) {
    std::mt19937 random(12);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomBoxText(random, 12);
        const std::string shown = ThroughTextBox(text);
        ASSERT_TRUE(IsValidUtf8(shown));
        ASSERT_EQ(PlainCrLf(shown), shown) << "every break is CR LF already";
        const bool unchanged = shown == text && text.find_first_of("\r\n") == std::string::npos;
        ASSERT_EQ(SurvivesTextBox(text), unchanged) << text;
        ASSERT_EQ(SurvivesTextBox(text, false), ThroughTextBox("x" + text) == "x" + text &&
                                                    text.find_first_of("\r\n") == std::string::npos)
            << text;
        if (IsValidUtf8(text)) {
            const bool bom = text.rfind("\xEF\xBB\xBF", 0) == 0;
            ASSERT_EQ(OpenedInTextBox(text), ThroughTextBox(bom ? text.substr(3) : text));
        }
    }
    EXPECT_EQ(ThroughTextBox("a\xE2\x80"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(ThroughTextBox("\xEF\xBB\xBF\xEF\xBB\xBFx"), "\xEF\xBB\xBFx");
    EXPECT_EQ(ThroughTextBox("a\r\r\nb\r\r\r\nc"), "a\r\nb\r\n\r\nc");
    EXPECT_EQ(ThroughTextBox("a\rb\xE2\x80\xA9"
                             "c\xEF\xB7\x90"),
              "a\r\nb\r\nc\r\n");
    EXPECT_EQ(OpenedInTextBox("gr\xF6\xDF\r"), "gr\xC3\xB6\xC3\x9F\r\n");
    EXPECT_EQ(OpenedInTextBox("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBFint"), "\xEF\xBB\xBFint");
}
