#include "config/config_file.h"

#include "base/format.h"
#include "base/memory.h"
#include "config/config_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

ConfigResult OpenText(ConfigFile& config, const std::string& text) {
    return config.Open(TextFile(text).get());
}

// What the look-ups of `name` give, as one text: "int 5", "string ab", or "result 7".
std::string LookUps(const ConfigFile& config, const std::string& name) {
    int32_t value = -77;
    int32_t length = -77;
    const ConfigResult int_result = config.GetInt(name.c_str(), value);
    const ConfigResult length_result = config.GetStringLength(name.c_str(), length);
    std::string buffer(length_result == CFG_OK ? length + 1 : 4, '#');
    EXPECT_EQ(config.GetString(name.c_str(), buffer.data(), static_cast<int32_t>(buffer.size())),
              length_result);
    if (int_result == CFG_OK) {
        return "int " + std::to_string(value);
    }
    if (length_result == CFG_OK) {
        EXPECT_EQ(buffer.back(), '\0');
        return "string " + buffer.substr(0, length);
    }
    EXPECT_EQ(int_result, length_result) << name;
    EXPECT_EQ(value + length, -154); // failed look-ups leave the out-arguments alone
    EXPECT_EQ(buffer, "####");
    return "result " + std::to_string(int_result);
}

// FindValue answers exactly as a scan of the table for the first definition does.
void ExpectIndexMatchesScan(const ConfigFile& config, const std::string& name) {
    int32_t expected = -1;
    for (int32_t k = 0; k + 2 < config.TokenCount() && expected < 0; ++k) {
        const ConfigToken* token = config.TokenAt(k);
        if (token->kind == TOKEN_NAME && config.TokenAt(k + 1)->kind == TOKEN_ASSIGN &&
            token->text.get() == name) {
            expected = k + 2;
        }
    }
    int32_t index = -1;
    const ConfigResult result = config.FindValue(name.c_str(), index);
    EXPECT_EQ(index, expected) << name;
    EXPECT_EQ(result, expected >= 0              ? CFG_OK
                      : config.TokenCount() == 0 ? CFG_EMPTY
                                                 : CFG_NOT_FOUND);
}

// n1 = n2; ... n<names> = value;
std::string Chain(int names, const std::string& value) {
    std::string text;
    for (int i = 1; i < names; ++i) {
        // Formatted: GCC 12 warns falsely (-Wrestrict) on "n" + std::to_string(i) here.
        tarvo::AppendFormat(text, "n%d = n%d;\n", i, i + 1);
    }
    return text + "n" + std::to_string(names) + " = " + value + ";";
}

} // namespace

TEST(ConfigFile, EmptyFilesOpenWithNothingToLookUp) {
    ConfigFile config;
    EXPECT_EQ(LookUps(config, "a"), "result 3");
    EXPECT_EQ(config.Open(nullptr), CFG_OK);
    EXPECT_EQ(config.Release(), CFG_EMPTY);
    for (const std::string& text : {""s, " \r\n\t"s, "// only\n/* comments */"s, "\0a = 1;"s}) {
        EXPECT_EQ(OpenText(config, text), CFG_OK);
        EXPECT_EQ(LookUps(config, "a"), "result 3");
    }
    EXPECT_EQ(OpenText(config, "a = 1;"), CFG_OK);
    EXPECT_EQ(config.Release(), CFG_OK);
    EXPECT_EQ(LookUps(config, "a"), "result 3");
}

TEST(ConfigFile, LookUpsDeliverByKind) {
    ConfigFile config;
    ASSERT_EQ(OpenText(config, "n = 5; c = 'A'; f = 1.5; p = Pi; s = \"ab\"; l = { 1, 2, };\r\n"
                               "d = 1; d = 2; neg = -1; e = \"\"; x = 0x10;"),
              CFG_OK);
    const std::map<std::string, std::string> expected = {
        {"n", "int 5"},     {"c", "int 65"},   {"f", "result 7"}, {"p", "result 7"},
        {"s", "string ab"}, {"l", "result 7"}, {"d", "int 1"},    {"neg", "int -1"},
        {"e", "string "},   {"x", "int 16"},   {"N", "result 2"}, {"", "result 2"}};
    for (const auto& [name, result] : expected) {
        EXPECT_EQ(LookUps(config, name), result) << name;
    }
    char buffer[6] = "#####"; // strncpy: zero-padded, or cut without a closing zero
    EXPECT_EQ(config.GetString("s", buffer, 3), CFG_OK);
    EXPECT_EQ(config.GetString("s", buffer, 1), CFG_OK);
    EXPECT_EQ(std::memcmp(buffer, "ab\0##", 6), 0);
    EXPECT_EQ(config.GetString("s", buffer, 5), CFG_OK);
    EXPECT_EQ(std::memcmp(buffer, "ab\0\0\0", 6), 0);
    EXPECT_EQ(config.GetString("s", buffer, -1) + config.GetString("s", nullptr, 9), CFG_OK);
    int32_t value = 0;
    EXPECT_EQ(config.GetInt(nullptr, value), CFG_NOT_FOUND);
}

TEST(ConfigFile, FollowsReferencesUpTo256Names) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a = b; b = 3;", "int 3"},
        {"a = b = 4; c = a;", "int 4"},
        {"a = b;", "result 2"},
        {"a = a;", "result 8"},
        {"a = b; b = a;", "result 8"},
        {"a = b = \"x\"; b = 1;", "string x"},
        {Chain(256, "7") + "a = n1;", "result 8"},
    };
    ConfigFile config;
    for (const auto& [text, result] : cases) {
        ASSERT_EQ(OpenText(config, text), CFG_OK) << text;
        EXPECT_EQ(LookUps(config, "a"), result) << text;
    }
    ASSERT_EQ(OpenText(config, Chain(256, "\"v\"")), CFG_OK);
    EXPECT_EQ(LookUps(config, "n1"), "string v");
    ASSERT_EQ(OpenText(config, Chain(257, "\"v\"")), CFG_OK);
    EXPECT_EQ(LookUps(config, "n1"), "result 8");
    EXPECT_EQ(LookUps(config, "n2"), "string v"); // the counters are back at zero
}

TEST(ConfigFile, ChecksTheGrammar) {
    // Cases apart by "|": the expected result, then the text.
    std::istringstream cases(
        "0l = { 1, 2, };|0l = { a, 'c', 1.5, \"s\", }; m = 1;|5l = { 1, 2 };|5l = { };|5l = { 1, }|"
        "5l = { { 1, }, };|5a = 1|5a 1;|5a = ;|5a = b|5= 1;|51 = 1;|5a = 1 2;|5x;|5;|0a = 1; x;|"
        "0a = 1;;;|0; = 5;|0a = b = c = 1;|0a = 1;\0 {{{|0a = 1\0;|2x = 0x1.5;|"
        "2p_s_keyword[ 3 ] = \"x\";"s);
    ConfigFile config;
    for (std::string text; std::getline(cases, text, '|');) {
        EXPECT_EQ(OpenText(config, text.substr(1)), text[0] - '0') << text;
    }
    // A grammar error keeps the table; a bad token keeps nothing.
    EXPECT_EQ(OpenText(config, "a = 1; b"), CFG_SYNTAX_ERROR);
    EXPECT_EQ(LookUps(config, "a"), "int 1");
    EXPECT_EQ(OpenText(config, "a = 1;\nb = 2;\nc = \"x\ny\";"), CFG_BAD_TOKEN);
    EXPECT_STREQ(config.ErrorText(), "Newline in constant [4]");
    EXPECT_EQ(LookUps(config, "a"), "result 3");
    EXPECT_EQ(OpenText(config, "b = 2;"), CFG_OK);
    EXPECT_EQ(OpenText(config, "c = 2;"), CFG_OK); // a second Open forgets the first file
    EXPECT_EQ(LookUps(config, "b"), "result 2");
}

// Every failing allocation gives a failure result, or, for the look-up index alone, the right
// answers found by a scan.
TEST(ConfigFile, ReportsEveryAllocationFailure) {
    const std::string text = "a = \"x\"; b = a; c = 1;\n" + std::string(5000, ' ') + "d = 2;";
    std::map<int, int> seen;
    for (long after = 0; after < 40; ++after) {
        ConfigFile config;
        tarvo::InjectAllocationFailure(after);
        const ConfigResult result = OpenText(config, text);
        tarvo::InjectAllocationFailure(-1);
        ++seen[result];
        if (result == CFG_OK) {
            EXPECT_EQ(LookUps(config, "b") + LookUps(config, "d"), "string xint 2");
        } else if (result == CFG_BAD_TOKEN) {
            EXPECT_EQ(std::string(config.ErrorText()).rfind("String is too long to fit in", 0), 0u);
        } else {
            EXPECT_TRUE(result == CFG_NO_MEMORY || result == CFG_SYNTAX_ERROR) << result;
        }
    }
    EXPECT_EQ(seen.size(), 4u);
}

namespace {

// Random well-formed files, with what each of their names must give.
class Generator {
public:
    explicit Generator(unsigned seed) : m_random(seed) {}

    std::string Make(int statements) {
        for (int i = 0; i < statements; ++i) {
            std::string name = Name();
            Emit(name + "=");
            for (;;) {
                const auto [literal, meaning] = Value();
                m_definitions.emplace(name, meaning); // the first definition stays
                Emit(literal);
                if (meaning.rfind("ref ", 0) != 0 || Pick(2) == 0) {
                    break;
                }
                name = literal; // a chain goes on
                Emit("=");
            }
            Emit(";");
        }
        return m_text;
    }

    std::map<std::string, std::string> Expected() const {
        std::map<std::string, std::string> expected;
        for (const std::string& name : m_names) {
            std::string meaning = "ref " + name;
            for (int depth = 0; depth < ConfigFile::kMaxDepth && meaning.rfind("ref ", 0) == 0;
                 ++depth) {
                const auto found = m_definitions.find(meaning.substr(4));
                meaning = found == m_definitions.end() ? "result 2" : found->second;
            }
            expected[name] = meaning.rfind("ref ", 0) == 0 ? "result 8" : meaning;
        }
        return expected;
    }

private:
    int Pick(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    std::string Name() {
        if (!m_names.empty() && Pick(3) == 0) {
            return m_names[Pick(static_cast<int>(m_names.size()))];
        }
        std::string name(1, "abcxyzABCXYZ_"[Pick(13)]);
        for (int n = Pick(12); n > 0; --n) {
            name += "abcABC_019.[]"[Pick(13)];
        }
        m_names.push_back(name);
        return name;
    }

    // A value's text and what a look-up gives for it ("ref name" for a reference).
    std::pair<std::string, std::string> Value() {
        const auto number = static_cast<int32_t>(m_random());
        const auto magnitude = number < 0 ? 0u - static_cast<uint32_t>(number) : uint32_t(number);
        const int code = 32 + Pick(95);
        char text[32];
        std::snprintf(text, sizeof text, Pick(2) == 0 ? "%s0x%X" : "%s%u", number < 0 ? "-" : "",
                      magnitude);
        switch (Pick(8)) {
        case 0: {
            const std::string target = Name();
            return {target, "ref " + target};
        }
        case 1:
            return {"{ 1, " + Name() + ", 'c', \"s\", 2.5, }", "result 7"};
        case 2:
            return {std::to_string(Pick(1000)) + "." + std::to_string(Pick(1000)), "result 7"};
        case 3:
            if (code == '\\') {
                return {"'\\n'", "int 10"};
            }
            return {"'" + std::string(1, static_cast<char>(code)) + "'",
                    "int " + std::to_string(code)};
        case 4:
        case 5:
            return String();
        }
        return {text, "int " + std::to_string(number)};
    }

    // Every escape, comments and zero escapes that leave nothing, raw bytes of every kind.
    std::pair<std::string, std::string> String() {
        static const std::string escapes = "\"'\\abfnrtv", codes = "\"'\\\a\b\f\n\r\t\v";
        static const std::string plain = "az Z09_-;={},'\r\x80\xff";
        std::string literal = "\"", value;
        for (int n = Pick(20); n > 0; --n) {
            if (const int e = Pick(15); e < 10) {
                literal += "\\"s + escapes[e];
                value += codes[e];
            } else if (e == 10) {
                // A "/" right after a comment's end is a plain character: no comment follows one.
                literal += literal.back() != '/' ? "/* gone */" : "\\0";
            } else {
                value += plain[Pick(static_cast<int>(plain.size()))];
                literal += value.back();
            }
        }
        return {literal + "\"", "string " + value};
    }

    // Blanks and comments of every kind between the tokens.
    void Emit(const std::string& token) {
        static const char* const separators[] = {" ", "\t", "\r\n", " // note\n", " /* a\nb */ "};
        m_text += separators[Pick(5)] + token;
    }

    std::mt19937 m_random;
    std::string m_text;
    std::vector<std::string> m_names;
    std::map<std::string, std::string> m_definitions;
};

} // namespace

TEST(ConfigFile, RandomWellFormedFilesGiveWhatWasWritten) {
    for (unsigned seed = 0; seed < 150; ++seed) {
        Generator generator(seed);
        const std::string text = generator.Make(1 + static_cast<int>(seed) % 60);
        ConfigFile config;
        ASSERT_EQ(OpenText(config, text), CFG_OK) << text;
        for (const auto& [name, expected] : generator.Expected()) {
            ASSERT_EQ(LookUps(config, name), expected) << name << " in\n" << text;
        }
    }
}

// Each corrupted byte gives some result and consistent look-ups, never a crash or a leak; the
// index answers exactly as a scan of the table for the first definition does.
TEST(ConfigFile, EverySingleByteCorruptionGivesAResult) {
    for (unsigned seed = 0; seed < 4; ++seed) {
        Generator generator(seed + 1000);
        const std::string original = generator.Make(12);
        std::mt19937 random(seed);
        for (std::size_t at = 0; at < original.size(); ++at) {
            for (const char byte : {'\0', '/', '"', static_cast<char>(random())}) {
                std::string text = original;
                text[at] = byte;
                ConfigFile config;
                const ConfigResult result = OpenText(config, text);
                ASSERT_TRUE(result == CFG_OK || result == CFG_BAD_TOKEN ||
                            result == CFG_SYNTAX_ERROR);
                for (const auto& entry : generator.Expected()) {
                    LookUps(config, entry.first);
                    ExpectIndexMatchesScan(config, entry.first);
                }
            }
        }
    }
}

// The fuzzer's seeds, and inputs that once broke the reader, kept so that they cannot again.
TEST(ConfigFile, KeptInputsGiveResults) {
    int files = 0;
    for (const char* folder : {"/config/testdata", "/fuzz/seeds/config"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(TARVO_SOURCE_DIR + ""s + folder)) {
            ConfigFile config;
            const FileHandle file(std::fopen(entry.path().c_str(), "r"));
            const ConfigResult result = config.Open(file.get());
            EXPECT_TRUE(folder[1] == 'c' || result == CFG_OK) << entry.path();
            for (int32_t k = 0; k < config.TokenCount(); ++k) {
                if (config.TokenAt(k)->kind == TOKEN_NAME) {
                    LookUps(config, config.TokenAt(k)->text.get());
                }
            }
            files++;
        }
    }
    EXPECT_GT(files, 3);
}
