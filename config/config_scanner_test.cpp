#include "config/config_scanner.h"

#include "config/config_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace std::string_literals;

namespace {

void Load(ConfigScanner& scanner, const std::string& text) {
    ASSERT_EQ(scanner.LoadText(TextFile(text).get()), 1);
}

// The tokens of `text` up to the end or the first TOKEN_NONE, then the last diagnostic:
// "N:name I:int C:char F:float S:string { } ; = , NONE | diagnostic", an integer that is not
// what its text says as "I:int~text".
std::string Describe(const std::string& text) {
    static const char* const kinds[] = {
        "{", "}", ";", "N:", "I:", "C:", "F:", "S:", "=", ",", "NONE"};
    ConfigScanner scanner;
    Load(scanner, text);
    std::string out;
    while (scanner.OnlyBlanksLeft() == 0) {
        const ConfigToken token = scanner.NextToken();
        std::ostringstream value;
        if (token.kind == TOKEN_INT || token.kind == TOKEN_CHAR) {
            value << token.int_value;
            if (token.inexact) {
                value << "~" << token.inexact.get(); // its text, which the value is not
            }
        } else if (token.kind == TOKEN_FLOAT) {
            value << token.float_value;
        } else if (token.text) {
            value << Printable(token.text.get());
        }
        out += kinds[token.kind] + value.str() + " ";
        if (token.kind == TOKEN_NONE) {
            break;
        }
    }
    if (scanner.ErrorText()[0] != '\0') {
        out += "| "s + scanner.ErrorText();
    }
    return out.substr(0, out.find_last_not_of(' ') + 1);
}

void ExpectTokens(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [text, tokens] : cases) {
        EXPECT_EQ(Describe(text), tokens) << "text: " << Printable(text.c_str());
    }
}

const std::string kUnknown = "NONE | Unknown token found [1]";

} // namespace

TEST(ConfigScanner, LoadsWholeFilesAndRefusesNone) {
    ConfigScanner scanner;
    EXPECT_EQ(scanner.LoadText(nullptr) + scanner.LoadText(TextFile("").get()), 0);
    EXPECT_FALSE(scanner.HasText());
    const std::string big = "\0"s + std::string(99998, 'x') + "y"; // more than one read's worth
    Load(scanner, big);
    std::string read;
    for (int i = 0; i < 100001; ++i) {
        read += static_cast<char>(scanner.ReadChar()); // a zero byte is stepped past
    }
    EXPECT_EQ(read, big + '\0');
    EXPECT_EQ(scanner.FreeText() * 2 + scanner.FreeText(), 2);
    EXPECT_TRUE(scanner.HasText()); // the length of the last text stays
    EXPECT_EQ(scanner.ReadChar(), 0);
}

TEST(ConfigScanner, TakesCommentsOutBelowTheTokens) {
    ExpectTokens({
        {"a/**/b a /**/ b a/*/b*/c", "N:ab N:a N:b N:ac"},
        {"/* one *//* two */", kUnknown},
        {"x // last line", "N:x"},
        {"a/**/", "N:a"},
        {"x\n/* open\n\n", "N:x | Comment into the end of file ! [4]"},
        {"0/* open", "I:0 | Comment into the end of file ! [1]"},
        {"0//x", "I:0"},              // the read that met the end is not put back
        {"ab/**///c\nd", "N:ab N:d"}, // a "/" put back is read again as a comment
        {"1/", "I:1 " + kUnknown},
        {"a\r\n\tb\n\n\"x\ny\"", "N:a N:b NONE | Newline in constant [5]"},
    });
}

TEST(ConfigScanner, ReadsNumbers) {
    const std::string digits255 = std::string(254, '1') + "2";
    ExpectTokens({
        {"0x1F 0X1f 0x 0755 12ab 1e5", "I:31 I:31 I:0~0x I:755 I:12 N:ab I:1 N:e5"},
        {"-0x; 0x0; 0x000000000FF", "I:0~-0x ; I:0 ; I:255"},
        {"1.5 1.2.3 .5 . 5. 0.25", "F:1.5 F:1.2 F:0.5 F:0 F:5 F:0.25"},
        {"-1 -0x10 -.5 -0 - 1", "I:-1 I:-16 F:-0.5 I:0 " + kUnknown},
        {"-", kUnknown},
        {"0x1.5", "NONE"},
        {"5\0;"s, "I:5 ;"},
        {"2147483647 2147483648 99999999999999999999 -2147483648 -2147483649",
         "I:2147483647 I:2147483647~2147483648 I:2147483647~99999999999999999999 I:-2147483648 "
         "I:-2147483648~-2147483649"},
        {"0xFFFFFFFF 0x100000001 -0x80000000 0x7fffffff -0xFFFFFFFF",
         "I:-1 I:1~0x100000001 I:-2147483648 I:2147483647 I:1"},
        {digits255 + " 0x" + std::string(254, 'f'),
         "I:2147483647~" + digits255 + " I:-1~0x" + std::string(254, 'f')},
        {digits255 + "3", "NONE | Too long number found ! [1]"},
        {"1" + std::string(100, '0') + ".0 -" + digits255.substr(0, 60) + ".", "F:inf F:-inf"},
    });
}

TEST(ConfigScanner, ReadsStringsAndCharacterConstants) {
    ExpectTokens({
        {R"("\"\'\\\a\b\f\n\r\t\v" "ab\0cd" "")", R"(S:"'\\x07\x08\x0c\x0a\x0d\x09\x0b S:abcd S:)"},
        {"\"a\r\xff/* x */b\"", "S:a\\x0d\\xffb"},
        {R"("a\qb")", "S:ab | Unknown escape sequence (skipping) [1]"},
        {"\"a\\\nb\"", "S:ab | Unknown escape sequence (skipping) [2]"},
        {"\"a\nb\"", "NONE | Newline in constant [2]"},
        {"\"a // b\"\n", "NONE | Newline in constant [2]"},
        {"\"a // b\"", "NONE | Unexpected end of file found [1]"},
        {"\"abc\\", "NONE | Unexpected end of file found [1]"},
        {"\"a\0b\""s, "NONE | Unexpected end of file found [1]"},
        {"'A' '\\n' ''' '\xe9' '\\0'", "C:65 C:10 C:39 C:-23 C:0"},
        {"'\\q'", "C:0 | Unknown escape sequence (skipping) [1]"},
        {"'ab'", "NONE | Expected quotation mark not found [1]"},
        {"'a", "NONE | Unexpected end of file found [1]"},
        {"'\\", "NONE | Unexpected end of file found [1]"},
        {"'\n'", "NONE | Newline in constant [2]"},
    });
}

TEST(ConfigScanner, ReadsNamesAndSymbols) {
    ExpectTokens({
        {"p_s_keyword[12] p_profile_name[0].p_s_name _x a]b[",
         "N:p_s_keyword[12] N:p_profile_name[0].p_s_name N:_x N:a]b["},
        {"Pi _e pi PI _E", "F:3.14159 F:2.71828 N:pi N:PI N:_E"},
        {"a\0b"s, "N:a N:b"},
        {"{ } ; = ,", "{ } ; = ,"},
        {"p_s_keyword[ 3 ]", "N:p_s_keyword[ I:3 " + kUnknown},
        {"\xe9", kUnknown},
        {"\f", kUnknown},
        {"\v", kUnknown},
    });
    ConfigScanner scanner;
    Load(scanner, "Pi _e");
    EXPECT_EQ(scanner.NextToken().float_value, 3.1415927f);
    EXPECT_EQ(scanner.NextToken().float_value, 2.7182817f);
}

TEST(ConfigScanner, CutsDiagnosticsTo255Characters) {
    ConfigScanner scanner;
    EXPECT_STREQ(scanner.ErrorText(), "");
    scanner.SetError(std::string(251, 'm').c_str(), 7);
    EXPECT_EQ(scanner.ErrorText(), std::string(251, 'm') + " [7]");
    scanner.SetError(std::string(252, 'm').c_str(), 7);
    EXPECT_EQ(scanner.ErrorText(), std::string(252, 'm'));
    scanner.SetError(std::string(100000, 'm').c_str(), -2147483647 - 1);
    EXPECT_EQ(scanner.ErrorText(), std::string(255, 'm'));
    scanner.SetError(nullptr, -3);
    EXPECT_STREQ(scanner.ErrorText(), " [-3]");
    scanner.SetError(scanner.ErrorText() + 1, 4);
    EXPECT_STREQ(scanner.ErrorText(), "[-3] [4]");
}

// Every line number, of tokens and diagnostics alike, equals a count from the start.
TEST(ConfigScanner, LineNumbersMatchACountFromTheStart) {
    std::mt19937 random(3);
    const std::string alphabet = "a1 \n\n/*\"\\';-.x\r";
    for (int round = 0; round < 300; ++round) {
        std::string text(random() % 200 + 1, ' ');
        for (char& c : text) {
            c = random() % 50 == 0 ? '\0' : alphabet[random() % alphabet.size()];
        }
        ConfigScanner scanner;
        Load(scanner, text);
        const auto naive = [&text](int32_t end) {
            return 1 + static_cast<int32_t>(std::count(text.begin(), text.begin() + end, '\n'));
        };
        for (int step = 0; step < 200; ++step) {
            const unsigned operation = random() % 5;
            if (operation == 0) {
                scanner.Rewind();
            } else if (operation == 1) {
                scanner.UnreadChar();
            } else if (operation == 2) {
                scanner.OnlyBlanksLeft();
            } else {
                const int32_t before = scanner.Position();
                const ConfigToken token = scanner.NextToken();
                const auto first = text.find_first_not_of(" \n\r\t", before) + 1;
                // A token's line is that of its first character, unless a comment came first.
                ASSERT_TRUE(token.line == 0 || text.find('/', before) < first ||
                            token.line == naive(static_cast<int32_t>(first)));
            }
            ASSERT_EQ(scanner.LineNumber(), naive(scanner.Position())) << Printable(text.c_str());
        }
    }
}
