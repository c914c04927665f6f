#include "config_scanner.h"

#include "config_memory.h"
#include "config_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct Case {
    std::string text;
    std::string tokens; // Describe's output
};

void Load(ConfigScanner& scanner, const std::string& text) {
    ASSERT_EQ(scanner.LoadText(TextFile(text).get()), 1);
}

std::string Printable(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", byte);
        out += byte < 32 || byte > 126 ? std::string(hex) : std::string(1, *p);
    }
    return out;
}

// The tokens of `text` up to the end of the data or the first TOKEN_NONE, then the last
// diagnostic: "N:name I:int C:char F:float S:string = ; { } , NONE | diagnostic".
std::string Describe(const std::string& text) {
    ConfigScanner scanner;
    Load(scanner, text);
    std::string out;
    while (scanner.OnlyBlanksLeft() == 0) {
        const ConfigToken token = scanner.NextToken();
        char value[64] = "";
        switch (token.kind) {
        case TOKEN_NAME:
        case TOKEN_STRING:
            out += (token.kind == TOKEN_NAME ? "N:" : "S:") + Printable(token.text.get());
            break;
        case TOKEN_INT:
        case TOKEN_CHAR:
            std::snprintf(value, sizeof value, "%c:%d", token.kind == TOKEN_INT ? 'I' : 'C',
                          static_cast<int>(token.intValue));
            break;
        case TOKEN_FLOAT:
            std::snprintf(value, sizeof value, "F:%g", static_cast<double>(token.floatValue));
            break;
        case TOKEN_NONE:
            out += "NONE";
            break;
        default:
            out += "{};=,"[token.kind == TOKEN_ASSIGN  ? 3
                           : token.kind == TOKEN_COMMA ? 4
                                                       : token.kind];
        }
        out += std::string(value) + " ";
        if (token.kind == TOKEN_NONE) {
            break;
        }
    }
    if (scanner.ErrorText()[0] != '\0') {
        out += std::string("| ") + scanner.ErrorText();
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

void ExpectTokens(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(c.text), c.tokens) << "text: " << Printable(c.text.c_str());
    }
}

const std::string kUnknown = "NONE | Unknown token found [1]";

} // namespace

TEST(ConfigScanner, LoadsWholeFilesAndRefusesNone) {
    ConfigScanner scanner;
    EXPECT_EQ(scanner.LoadText(nullptr), 0);
    EXPECT_EQ(scanner.LoadText(TextFile("").get()), 0);
    EXPECT_FALSE(scanner.HasText());
    std::string big(100000, 'x');
    big[0] = '\0';
    big[99999] = 'y';
    Load(scanner, big);
    EXPECT_EQ(scanner.ReadChar(), 0);
    EXPECT_EQ(scanner.ReadChar(), 'x');
    while (scanner.Position() < 99999) {
        scanner.ReadChar();
    }
    EXPECT_EQ(scanner.ReadChar(), 'y');
    EXPECT_EQ(scanner.ReadChar(), 0);
    EXPECT_EQ(scanner.FreeText(), 1);
    EXPECT_EQ(scanner.FreeText(), 0);
    EXPECT_TRUE(scanner.HasText());
    EXPECT_EQ(scanner.ReadChar(), 0);
    EXPECT_EQ(scanner.LineNumber(), 1);

    InjectConfigAllocationFailure(0);
    EXPECT_EQ(scanner.LoadText(TextFile("a").get()), 0);
    InjectConfigAllocationFailure(-1);
    EXPECT_TRUE(scanner.OutOfMemory());
    EXPECT_FALSE(scanner.HasText());
    EXPECT_STREQ(scanner.ErrorText(), "");
}

TEST(ConfigScanner, TakesCommentsOutBelowTheTokens) {
    ExpectTokens({
        {"a/**/b", "N:ab"},
        {"a /**/ b", "N:a N:b"},
        {"a/*/b*/c", "N:ac"},
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
        {"0x1F 0X1f 0x 0755 12ab 1e5", "I:31 I:31 I:0 I:755 I:12 N:ab I:1 N:e5"},
        {"1.5 1.2.3 .5 . 5. 0.25", "F:1.5 F:1.2 F:0.5 F:0 F:5 F:0.25"},
        {"-1 -0x10 -.5 -0 - 1", "I:-1 I:-16 F:-0.5 I:0 NONE | Unknown token found [1]"},
        {"-", kUnknown},
        {"0x1.5", "NONE"},
        {"5\0;"s, "I:5 ;"},
        {"2147483647 2147483648 99999999999999999999 -2147483648 -2147483649",
         "I:2147483647 I:2147483647 I:2147483647 I:-2147483648 I:-2147483648"},
        {"0xFFFFFFFF 0x100000001 -0x80000000 0x7fffffff -0xFFFFFFFF",
         "I:-1 I:1 I:-2147483648 I:2147483647 I:1"},
        {digits255 + " 0x" + std::string(254, 'f'), "I:2147483647 I:-1"},
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
        {"\"abc", "NONE | Unexpected end of file found [1]"},
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
        {"p_s_keyword[12] p_profile_name[0].p_s_name _x a]b[", "N:p_s_keyword[12] "
                                                               "N:p_profile_name[0].p_s_name "
                                                               "N:_x N:a]b["},
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
    EXPECT_EQ(scanner.NextToken().floatValue, 3.1415927f);
    const ConfigToken e = scanner.NextToken();
    EXPECT_EQ(e.floatValue, 2.7182817f);
    EXPECT_EQ(e.text, nullptr);
}

TEST(ConfigScanner, CutsDiagnosticsTo255Characters) {
    ConfigScanner scanner;
    EXPECT_STREQ(scanner.ErrorText(), "");
    scanner.SetError(std::string(251, 'm').c_str(), 7);
    EXPECT_EQ(std::string(scanner.ErrorText()), std::string(251, 'm') + " [7]");
    scanner.SetError(std::string(252, 'm').c_str(), 7);
    EXPECT_EQ(std::string(scanner.ErrorText()), std::string(252, 'm'));
    scanner.SetError(std::string(100000, 'm').c_str(), -2147483647 - 1);
    EXPECT_EQ(std::string(scanner.ErrorText()), std::string(255, 'm'));
    scanner.SetError(nullptr, -3);
    EXPECT_STREQ(scanner.ErrorText(), " [-3]");
    scanner.SetError(scanner.ErrorText() + 1, 4);
    EXPECT_STREQ(scanner.ErrorText(), "[-3] [4]");
}

TEST(ConfigScanner, ReportsTextsThatDoNotFitInMemory) {
    for (const std::string text : {"\"abc\"", "abc"}) {
        ConfigScanner scanner;
        Load(scanner, text);
        InjectConfigAllocationFailure(0);
        EXPECT_EQ(scanner.NextToken().kind, TOKEN_NONE);
        InjectConfigAllocationFailure(-1);
        EXPECT_STREQ(scanner.ErrorText(), "String is too long to fit in memory [1]");
    }
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
        const auto naive = [&](int32_t position) {
            return 1 +
                   static_cast<int32_t>(std::count(text.begin(), text.begin() + position, '\n'));
        };
        for (int step = 0; step < 200; ++step) {
            switch (random() % 6) {
            case 0:
                scanner.Rewind();
                break;
            case 1:
                scanner.UnreadChar();
                break;
            case 2:
                scanner.OnlyBlanksLeft();
                break;
            case 3:
                scanner.ReadChar();
                break;
            default: {
                // The token's line is that of its first character, read here and put back.
                int c = 0;
                do {
                    c = scanner.ReadChar();
                } while (c == ' ' || c == '\n' || c == '\r' || c == '\t');
                const int32_t expected = naive(scanner.Position());
                scanner.UnreadChar();
                const ConfigToken token = scanner.NextToken();
                if (c != 0 && c != '/') {
                    ASSERT_EQ(token.line, expected);
                }
            }
            }
            ASSERT_EQ(scanner.LineNumber(), naive(scanner.Position())) << Printable(text.c_str());
        }
    }
}
