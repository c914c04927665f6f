// Text and dialog numbers between the program's form and the toolkit's.

#include "platform/app_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

using platform::FormatDlgInt;
using platform::FromAppText;
using platform::ParseDlgInt;
using platform::ToAppText;

TEST(AppText, CrLfTextSurvivesTheToolkitAndEveryLineBreakComesBackAsCrLf) {
    std::mt19937 random(11);
    const std::vector<std::string> pieces{"int",
                                          " ",
                                          "\r\n",
                                          "\t",
                                          "gr\xC3\xB6\xC3\x9F",
                                          "\xC2\xA0",
                                          "\xE2\x82\xAC",
                                          "<&>",
                                          "\xF0\x9F\x98\x80",
                                          ""};
    for (int round = 0; round < 500; ++round) {
        std::string text;
        for (int n = int(random() % 12); n > 0; --n) {
            text += pieces[random() % pieces.size()];
        }
        const QString held = FromAppText(text);
        ASSERT_FALSE(held.contains(u'\r')) << text;
        ASSERT_EQ(ToAppText(held), text);
    }
    EXPECT_EQ(ToAppText(QStringLiteral("a\nb\u2029c\u2028d\r\ne\n")), "a\r\nb\r\nc\r\nd\r\ne\r\n");
    EXPECT_EQ(ToAppText(QStringLiteral("a\rb")), "a\rb") << "a lone CR is not the toolkit's";
}

TEST(AppText, NumbersReadAsADialogReadsThem) {
    struct Case {
        const char* text;
        bool is_signed;
        int32_t value;
        bool translated;
    };
    const std::vector<Case> cases{
        {"", true, 0, false},
        {"  42", true, 42, true},
        {"\t42", true, 0, false}, // spaces only are skipped
        {"12abc", true, 12, true},
        {"-1", true, -1, true},
        {"-1", false, 0, false},
        {"+5", true, 0, false},
        {"-", true, 0, false},
        {"- 1", true, 0, false},
        {"2147483647", true, INT32_MAX, true},
        {"2147483648", true, 0, false},
        {"-2147483648", true, INT32_MIN, true},
        {"-2147483649", true, 0, false},
        {"4294967295", false, -1, true},
        {"4294967296", false, 0, false},
        {"\xEF\xBC\x91", true, 0, false}, // a full-width digit is no digit
        {"007", false, 7, true},
    };
    for (const Case& c : cases) {
        bool translated = !c.translated;
        EXPECT_EQ(ParseDlgInt(QString::fromUtf8(c.text), &translated, c.is_signed), c.value)
            << c.text << " " << c.is_signed;
        EXPECT_EQ(translated, c.translated) << c.text << " " << c.is_signed;
    }
    EXPECT_EQ(ParseDlgInt(QStringLiteral("9"), nullptr, false), 9);

    std::mt19937 random(5);
    for (int round = 0; round < 1000; ++round) {
        const auto value = int32_t(random());
        for (bool is_signed : {true, false}) {
            bool translated = false;
            ASSERT_EQ(ParseDlgInt(FormatDlgInt(value, is_signed), &translated, is_signed), value);
            ASSERT_TRUE(translated);
        }
    }
    EXPECT_EQ(FormatDlgInt(-1, true), QStringLiteral("-1"));
    EXPECT_EQ(FormatDlgInt(-1, false), QStringLiteral("4294967295"));
}

} // namespace
