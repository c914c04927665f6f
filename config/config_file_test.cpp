#include "config_file.h"

#include "config_memory.h"
#include "config_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
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

// What a look-up of `name` gives, as one comparable text: "int 5", "string ab", or the result.
std::string LookUps(const ConfigFile& config, const std::string& name) {
    int32_t value = -77;
    int32_t length = -77;
    const ConfigResult intResult = config.GetInt(name.c_str(), value);
    const ConfigResult lengthResult = config.GetStringLength(name.c_str(), length);
    std::string buffer(lengthResult == CFG_OK ? length + 1 : 4, '#');
    const ConfigResult stringResult =
        config.GetString(name.c_str(), buffer.data(), static_cast<int32_t>(buffer.size()));
    EXPECT_EQ(lengthResult, stringResult) << name;
    if (intResult == CFG_OK) {
        return "int " + std::to_string(value);
    }
    if (lengthResult == CFG_OK) {
        EXPECT_EQ(buffer.back(), '\0');
        return "string " + buffer.substr(0, length);
    }
    EXPECT_EQ(intResult, lengthResult) << name;
    EXPECT_EQ(value, -77); // failed look-ups leave the out-arguments alone
    EXPECT_EQ(buffer, "####");
    return "result " + std::to_string(intResult);
}

std::string Chain(int names, const std::string& value) {
    std::string text;
    for (int i = 1; i < names; ++i) {
        text += "n" + std::to_string(i) + " = n" + std::to_string(i + 1) + ";\n";
    }
    return text + "n" + std::to_string(names) + " = " + value + ";";
}

} // namespace

TEST(ConfigFile, EmptyFilesOpenWithNothingToLookUp) {
    ConfigFile config;
    EXPECT_EQ(LookUps(config, "a"), "result 3");
    EXPECT_EQ(config.Release(), CFG_EMPTY);
    EXPECT_EQ(config.Open(nullptr), CFG_OK);
    EXPECT_EQ(config.Release(), CFG_EMPTY);
    for (const std::string& text : {""s, " \r\n\t"s, "// only\n/* comments */"s, "\0a = 1;"s}) {
        EXPECT_EQ(OpenText(config, text), CFG_OK);
        EXPECT_EQ(config.TokenCount(), 0);
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
        {"e", "string "},   {"x", "int 16"},   {"N", "result 2"}, {"", "result 2"},
    };
    for (const auto& [name, result] : expected) {
        EXPECT_EQ(LookUps(config, name), result) << name;
    }
    char buffer[6] = "#####";
    EXPECT_EQ(config.GetString("s", buffer, 3), CFG_OK);
    EXPECT_EQ(std::memcmp(buffer, "ab\0##", 6), 0);
    EXPECT_EQ(config.GetString("s", buffer, 1), CFG_OK);
    EXPECT_EQ(std::memcmp(buffer, "ab\0##", 6), 0);
    std::memcpy(buffer, "#####", 6);
    EXPECT_EQ(config.GetString("s", buffer, 5), CFG_OK);
    EXPECT_EQ(std::memcmp(buffer, "ab\0\0\0", 6), 0);
    EXPECT_EQ(config.GetString("s", buffer, 0), CFG_OK);
    EXPECT_EQ(config.GetString("s", buffer, -1), CFG_OK);
    EXPECT_EQ(config.GetString("s", nullptr, 9), CFG_OK);
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
    const std::vector<std::pair<std::string, ConfigResult>> cases = {
        {"l = { 1, 2, };", CFG_OK},
        {"l = { a, 'c', 1.5, \"s\", }; m = 1;", CFG_OK},
        {"l = { 1, 2 };", CFG_SYNTAX_ERROR},
        {"l = { };", CFG_SYNTAX_ERROR},
        {"l = { 1, }", CFG_SYNTAX_ERROR},
        {"l = { { 1, }, };", CFG_SYNTAX_ERROR},
        {"a = 1", CFG_SYNTAX_ERROR},
        {"a 1;", CFG_SYNTAX_ERROR},
        {"a = ;", CFG_SYNTAX_ERROR},
        {"a = b", CFG_SYNTAX_ERROR},
        {"= 1;", CFG_SYNTAX_ERROR},
        {"1 = 1;", CFG_SYNTAX_ERROR},
        {"a = 1 2;", CFG_SYNTAX_ERROR},
        {"x;", CFG_SYNTAX_ERROR},
        {";", CFG_SYNTAX_ERROR},
        {"a = 1; x;", CFG_OK},
        {"a = 1;;;", CFG_OK},
        {"; = 5;", CFG_OK},
        {"a = b = c = 1;", CFG_OK},
        {"a = 1;\0 {{{"s, CFG_OK},
        {"a = 1\0;"s, CFG_OK},
        {"a = 1;\nb = 2;\nc = \"x\ny\";", CFG_BAD_TOKEN},
        {"p_s_keyword[ 3 ] = \"x\";", CFG_BAD_TOKEN},
        {"x = 0x1.5;", CFG_BAD_TOKEN},
    };
    ConfigFile config;
    for (const auto& [text, result] : cases) {
        EXPECT_EQ(OpenText(config, text), result) << text;
    }
    // The grammar error keeps the table; the bad token keeps nothing.
    EXPECT_EQ(OpenText(config, "a = 1; b"), CFG_SYNTAX_ERROR);
    EXPECT_EQ(LookUps(config, "a"), "int 1");
    EXPECT_EQ(OpenText(config, "a = 1;\nb = 2;\nc = \"x\ny\";"), CFG_BAD_TOKEN);
    EXPECT_STREQ(config.ErrorText(), "Newline in constant [4]");
    EXPECT_EQ(LookUps(config, "a"), "result 3");
    EXPECT_EQ(OpenText(config, "b = 2;"), CFG_OK); // a second Open forgets the first file
    EXPECT_EQ(LookUps(config, "a"), "result 2");
}

// Every allocation that fails gives a failure result, or, for the look-up index alone, the
// right answers found the slow way.
TEST(ConfigFile, ReportsEveryAllocationFailure) {
    const std::string text = "a = \"x\"; b = a; c = 1;\n" + std::string(5000, ' ') + "d = 2;";
    std::map<ConfigResult, int> seen;
    for (long after = 0; after < 40; ++after) {
        ConfigFile config;
        InjectConfigAllocationFailure(after);
        const ConfigResult result = OpenText(config, text);
        InjectConfigAllocationFailure(-1);
        ++seen[result];
        if (result == CFG_OK) {
            EXPECT_EQ(LookUps(config, "b") + LookUps(config, "c"), "string xint 1");
        } else if (result == CFG_BAD_TOKEN) {
            EXPECT_NE(std::strstr(config.ErrorText(), "String is too long to fit in memory"),
                      nullptr);
        } else {
            EXPECT_TRUE(result == CFG_NO_MEMORY || result == CFG_SYNTAX_ERROR) << result;
        }
    }
    EXPECT_EQ(seen.size(), 4u);
}

TEST(ConfigFile, ReadsTheProgramsOwnFiles) {
    ConfigFile config;
    ASSERT_EQ(OpenText(config, "// profile config v1.00\r\n// profile_file \"p.ini\"\r\n//\r\n"
                               "n_tab_size = -1;\r\nn_comment_color = 0x008000;\r\n"
                               "n_keyword_num = 2;\r\np_s_keyword[0] = \"#\";\r\n"
                               "p_s_keyword[1] = \"#define\\r\r\";\r\n\r\n// end\r\n"),
              CFG_OK);
    EXPECT_EQ(LookUps(config, "n_tab_size"), "int -1");
    EXPECT_EQ(LookUps(config, "n_comment_color"), "int 32768");
    EXPECT_EQ(LookUps(config, "p_s_keyword[1]"), "string #define\r\r");
    ASSERT_EQ(OpenText(config, "// Tarvo\n//\n\nn_profile_num = 1;\nn_default_profile = -1;\n"
                               "p_profile_name[0].p_s_name = \"Web\";\n"
                               "p_profile_name[0].p_s_file_name = \"profile_00004823.ini\";\n"
                               "\n// end of file"),
              CFG_OK);
    EXPECT_EQ(LookUps(config, "n_default_profile"), "int -1");
    EXPECT_EQ(LookUps(config, "p_profile_name[0].p_s_file_name"), "string profile_00004823.ini");
}

namespace {

// A random well-formed file and what each of its names must give.
struct Generated {
    std::string text;
    std::map<std::string, std::string> expected;
};

class Generator {
public:
    explicit Generator(unsigned seed) : m_random(seed) {}

    Generated Make(int statements) {
        m_text.clear();
        m_definitions.clear();
        for (int i = 0; i < statements; ++i) {
            std::string name = m_names.empty() || Pick(8) != 0 ? NewName() : OldName();
            Emit(name);
            Emit("=");
            while (Pick(6) == 0) { // a chain
                std::string next = Pick(2) == 0 ? NewName() : OldName();
                Define(name, "ref " + next);
                name = next;
                Emit(name);
                Emit("=");
            }
            if (Pick(8) == 0) {
                const std::string target = Pick(2) == 0 ? NewName() : OldName();
                Define(name, "ref " + target);
                Emit(target);
            } else if (Pick(8) == 0) {
                Define(name, "result 7");
                Emit("{");
                for (int n = Pick(3); n >= 0; --n) {
                    Emit(Pick(2) == 0 ? OldName() : std::to_string(Pick(100)));
                    Emit(",");
                }
                Emit("}");
            } else {
                Emit(Value(name));
            }
            Emit(";");
        }
        Generated out{m_text, {}};
        for (const std::string& name : m_names) {
            out.expected[name] = Resolve(name, 1);
        }
        return out;
    }

private:
    int Pick(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    std::string NewName() {
        static const std::string first = "abcxyzABCXYZ_";
        static const std::string rest = "abcABC_019.[]";
        std::string name(1, first[Pick(13)]);
        for (int n = Pick(12); n > 0; --n) {
            name += rest[Pick(13)];
        }
        m_names.push_back(name);
        return name;
    }
    std::string OldName() { return m_names[Pick(static_cast<int>(m_names.size()))]; }

    void Define(const std::string& name, const std::string& meaning) {
        m_definitions.emplace(name, meaning); // the first definition stays
    }

    std::string Value(const std::string& name) {
        const int32_t number = static_cast<int32_t>(m_random());
        char text[32];
        switch (Pick(6)) {
        case 0:
            std::snprintf(text, sizeof text, "%d", static_cast<int>(number));
            break;
        case 1:
            std::snprintf(text, sizeof text, "%s0x%X", number < 0 ? "-" : "",
                          number < 0 ? 0u - static_cast<uint32_t>(number)
                                     : static_cast<uint32_t>(number));
            break;
        case 2: {
            const int code = 32 + Pick(95);
            Define(name, "int " + std::to_string(code == '\\' ? 10 : code));
            return code == '\\' ? "'\\n'" : "'" + std::string(1, static_cast<char>(code)) + "'";
        }
        case 3:
            Define(name, "result 7");
            return std::to_string(Pick(1000)) + "." + std::to_string(Pick(1000));
        default:
            return String(name);
        }
        Define(name, "int " + std::to_string(number));
        return text;
    }

    std::string String(const std::string& name) {
        static const std::string escapes = "\"'\\abfnrtv";
        static const std::string codes = "\"'\\\a\b\f\n\r\t\v";
        std::string literal = "\"";
        std::string value;
        for (int n = Pick(20); n > 0; --n) {
            const int kind = Pick(5);
            if (kind == 0) {
                const int e = Pick(static_cast<int>(escapes.size()));
                literal += "\\"s + escapes[e];
                value += codes[e];
            } else if (kind == 1) {
                // A "/" right after a comment's end is a plain character: no comment follows one.
                const bool comment = Pick(2) == 0 && literal.back() != '/';
                literal += comment ? "/* gone */" : "\\0";
            } else {
                static const std::string plain = "az Z09_-;={},'\r\x80\xff";
                const char c = plain[Pick(static_cast<int>(plain.size()))];
                literal += c;
                value += c;
            }
        }
        Define(name, "string " + value);
        return literal + "\"";
    }

    // Tokens are kept apart by blanks and comments of every kind.
    void Emit(const std::string& token) {
        static const char* const separators[] = {" ",          "\t",           "\r\n",    "\n",
                                                 " // note\n", " /* a\nb */ ", "\n/**/\n"};
        m_text += separators[Pick(7)];
        m_text += token;
    }

    std::string Resolve(const std::string& name, int depth) {
        if (depth > ConfigFile::kMaxDepth) {
            return "result 8";
        }
        const auto found = m_definitions.find(name);
        if (found == m_definitions.end()) {
            return "result 2";
        }
        if (found->second.rfind("ref ", 0) == 0) {
            return Resolve(found->second.substr(4), depth + 1);
        }
        return found->second;
    }

    std::mt19937 m_random;
    std::string m_text;
    std::vector<std::string> m_names;
    std::map<std::string, std::string> m_definitions;
};

} // namespace

TEST(ConfigFile, RandomWellFormedFilesGiveWhatWasWritten) {
    for (unsigned seed = 0; seed < 150; ++seed) {
        const Generated file = Generator(seed).Make(1 + static_cast<int>(seed) % 60);
        ConfigFile config;
        ASSERT_EQ(OpenText(config, file.text), CFG_OK) << file.text;
        for (const auto& [name, expected] : file.expected) {
            ASSERT_EQ(LookUps(config, name), expected) << name << " in\n" << file.text;
        }
    }
}

// Each corrupted byte gives some result and consistent look-ups, never a crash or a leak.
TEST(ConfigFile, EverySingleByteCorruptionGivesAResult) {
    for (unsigned seed = 0; seed < 4; ++seed) {
        const Generated file = Generator(seed + 1000).Make(12);
        std::mt19937 random(seed);
        for (std::size_t at = 0; at < file.text.size(); ++at) {
            for (const char byte : {'\0', '/', '"', static_cast<char>(random())}) {
                std::string text = file.text;
                text[at] = byte;
                ConfigFile config;
                const ConfigResult result = OpenText(config, text);
                ASSERT_TRUE(result == CFG_OK || result == CFG_BAD_TOKEN ||
                            result == CFG_SYNTAX_ERROR);
                for (const auto& entry : file.expected) {
                    LookUps(config, entry.first);
                }
            }
        }
    }
}

// The index answers exactly as a scan of the table for the first definition would.
TEST(ConfigFile, FindValueMatchesAScanOfTheTable) {
    std::mt19937 random(11);
    const std::vector<std::string> words = {"a", "b", "a[0]", "=", "=", ";", "1", "\"s\"", "{"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int n = static_cast<int>(random() % 40); n > 0; --n) {
            text += words[random() % words.size()] + " ";
        }
        ConfigFile config;
        OpenText(config, text);
        for (const char* name : {"a", "b", "a[0]", "c"}) {
            int32_t expected = -1;
            for (int32_t k = 0; k + 2 < config.TokenCount() && expected < 0; ++k) {
                const ConfigToken* token = config.TokenAt(k);
                if (token->kind == TOKEN_NAME && config.TokenAt(k + 1)->kind == TOKEN_ASSIGN &&
                    std::strcmp(token->text.get(), name) == 0) {
                    expected = k + 2;
                }
            }
            int32_t index = -1;
            const ConfigResult result = config.FindValue(name, index);
            ASSERT_EQ(index, expected) << text;
            ASSERT_EQ(result, expected >= 0              ? CFG_OK
                              : config.TokenCount() == 0 ? CFG_EMPTY
                                                         : CFG_NOT_FOUND);
        }
    }
}

// Inputs that once broke the reader, kept so they cannot break it again.
TEST(ConfigFile, KeptFuzzInputsStillGiveAResult) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(CONFIG_TESTDATA_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        ConfigFile config;
        OpenText(config, text.str());
        for (int32_t k = 0; k < config.TokenCount(); ++k) {
            if (config.TokenAt(k)->kind == TOKEN_NAME) {
                LookUps(config, config.TokenAt(k)->text.get());
            }
        }
        ++files;
    }
    EXPECT_GT(files, 0);
}
