// Settings between the real controls and a record: colour and number texts, keyword joins, the
// built-in settings, and running out of memory on the way.

#include "app/dialog_fixture.h"
#include "base/memory.h"
#include "settings/cpp_defaults.h"
#include "settings/dialog_round_trip.h"
#include "text/box_text.h"

#include <random>

namespace {

// Random numbers and colours, and flags of 0 or 1, or with `odd_flags` also -1, 2 and the like.
void RandomScalars(ProfileSettings& s, std::mt19937& random, bool odd_flags) {
    s.n_tab_size = int32_t(random());
    s.n_font_size = int32_t(random());
    s.n_table_width = int32_t(random());
    s.n_keyword_color = uint32_t(random());
    s.n_comment_color = uint32_t(random());
    s.n_table_lt_color = uint32_t(random());
    s.n_table_dk_color = uint32_t(random());
    s.b_use_table = odd_flags ? int32_t(random() % 4) - 1 : int32_t(random() % 2);
    s.b_table_width_percent = int32_t(random() % (odd_flags ? 3 : 2));
    for (const ClassColourField& c : kClassColourFields) {
        s.*c.field = random() % 3 == 0 ? kClassOff : int32_t(random()); // negative is off
    }
}

using TransferTest = DialogTest;

TEST_F(TransferTest, ColourAndNumberTextsReadAsTheOldDialogCallsReadThem) {
    constexpr uint32_t kBefore = 0xABCDEF; // kept where the text holds no number
    const std::vector<std::pair<const char*, uint32_t>> colours{{"#FF8000", 0xFF8000},
                                                                {"FF8000", 0xFF8000},
                                                                {"ff8000", 0xFF8000},
                                                                {"0xFF8000", 0xFF8000},
                                                                {"##FF8000", kBefore},
                                                                {" #FF8000", kBefore},
                                                                {"G0", kBefore},
                                                                {"FF8000G", 0xFF8000},
                                                                {"-1", 0xFFFFFFFF},
                                                                {"12345678", 0x12345678},
                                                                {"", kBefore},
                                                                {"#", kBefore},
                                                                {"  +1f", 0x1F},
                                                                {"0xG", 0},
                                                                {"123456789", 0x23456789}};
    for (const auto& [text, value] : colours) {
        for (int id :
             {IDC_KEYWORD_COLOR, IDC_COMMENT_COLOR, IDC_TABLE_LT_COLOR, IDC_TABLE_DK_COLOR}) {
            dlg.SetDlgItemText(id, text);
        }
        ProfileSettings s;
        s.n_keyword_color = s.n_comment_color = s.n_table_lt_color = s.n_table_dk_color = kBefore;
        dlg.ControlsToSettings(s);
        EXPECT_EQ(s.n_keyword_color, value) << text;
        EXPECT_EQ(s.n_comment_color, value) << text;
        EXPECT_EQ(s.n_table_lt_color, value) << text;
        EXPECT_EQ(s.n_table_dk_color, value) << text;
    }
    const std::vector<std::pair<const char*, int32_t>> numbers{{"", 0},
                                                               {"-1", -1},
                                                               {"  42", 42},
                                                               {"12abc", 12},
                                                               {"abc", 0},
                                                               {"+5", 0},
                                                               {"-", 0},
                                                               {"\t5", 0},
                                                               {"-2147483648", INT32_MIN},
                                                               {"2147483647", INT32_MAX},
                                                               {"2147483648", 0}};
    for (const auto& [text, value] : numbers) {
        for (int id : {IDC_TAB_SIZE, IDC_FONT_SIZE, IDC_TABLE_WIDTH}) {
            dlg.SetDlgItemText(id, text);
        }
        ProfileSettings s;
        dlg.ControlsToSettings(s);
        EXPECT_EQ(s.n_tab_size, value) << text;
        EXPECT_EQ(s.n_font_size, value) << text;
        EXPECT_EQ(s.n_table_width, value) << text;
    }
    ProfileSettings s;
    s.n_tab_size = -1;
    s.n_keyword_color = 0x12345678;
    s.n_comment_color = 0x0000FF;
    dlg.SettingsToControls(s);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "-1");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_COLOR), "345678");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_COMMENT_COLOR), "0000FF");
}

TEST_F(TransferTest, KeywordsJoinWithOneSpaceAndSplitBack) {
    struct Case {
        std::vector<std::string> words;
        std::string shown;
        std::vector<std::string> read_back;
    };
    const std::vector<Case> cases{
        {{"a", "", "b"}, "a  b", {"a", "", "b"}},
        {{"", "", "a"}, "a", {"a"}}, // no space while the text is still empty
        {{"a", ""}, "a ", {"a"}},    // one trailing separator gives nothing more
        {{}, "", {}},
    };
    for (const Case& c : cases) {
        ProfileSettings s;
        SetKeywordList(s, c.words);
        dlg.SettingsToControls(s);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_LIST), c.shown);
        ProfileSettings back;
        dlg.ControlsToSettings(back);
        EXPECT_EQ(Keywords(back), c.read_back) << c.shown;
    }
    dlg.SetDlgItemText(IDC_KEYWORD_LIST, "int\r\nlong"); // typed over two lines
    ProfileSettings typed;
    dlg.ControlsToSettings(typed);
    EXPECT_EQ(Keywords(typed), (std::vector<std::string>{"int", "long"}));
}

TEST_F(TransferTest, RandomRecordsSurviveTheWayThroughTheControls) {
    std::mt19937 random(2024);
    // "\x9F" "e": the escape must not take the e in.
    const char* const words[] = {"int", "#define", "x_1",
                                 ("gr\xC3\xB6\xC3\x9F"
                                  "e"),
                                 "<&>"};
    for (int round = 0; round < 150; ++round) {
        ProfileSettings s;
        RandomScalars(s, random, false);
        std::vector<std::string> list;
        for (int n = int(random() % 8); n > 0; --n) {
            list.emplace_back(words[random() % std::size(words)]);
        }
        SetKeywordList(s, list);
        dlg.SettingsToControls(s);
        ProfileSettings back;
        dlg.ControlsToSettings(back);
        for (uint32_t* colour :
             {&s.n_keyword_color, &s.n_comment_color, &s.n_table_lt_color, &s.n_table_dk_color}) {
            *colour &= 0xFFFFFF; // the boxes show six digits
        }
        for (const ClassColourField& c : kClassColourFields) {
            s.*c.field = s.*c.field < 0 ? kClassOff : s.*c.field & 0xFFFFFF;
        }
        ASSERT_EQ(Fields(back), Fields(s));
    }
    EXPECT_TRUE(messages.empty());
}

// Random bytes, heavy in what the boxes change: line breaks, broken UTF-8, separators, marks.
std::string RandomBytes(std::mt19937& random, int pieces) {
    static const char* const kPieces[] = {"int",          " ",
                                          "\t",           "\r",
                                          "\n",           "\r\n",
                                          "\xC3\xA4",     "\xFF",
                                          "\x80",         "\xE2\x80",
                                          "\xE2\x80\xA8", "\xE2\x80\xA9",
                                          "\xEF\xB7\x90", "\xEF\xBB\xBF",
                                          "\xED\xA0\x80", "\xF0\x9F\x98\x80",
                                          "\xC2\xA0",     "\xC0\xAF"};
    std::string text;
    for (int n = int(random() % unsigned(pieces + 1)); n > 0; --n) {
        if (random() % 4 == 0) {
            // A stray byte, never one that begins a character of its own: characters of scripts
            // that the installed fonts cannot shape would make the toolkit warn.
            const unsigned byte = 1 + random() % 255;
            text += char(byte >= 0xC2 && byte <= 0xF4 ? 0x80 | (byte & 0x3F) : byte);
        } else {
            text += kPieces[random() % std::size(kPieces)];
        }
    }
    return text;
}

// The command line's round trip against the real controls, on records that no user types.
TEST_F(TransferTest, TheCommandLinesRoundTripIsTheDialogs) {
    std::mt19937 random(2026);
    for (int round = 0; round < 300; ++round) {
        ProfileSettings s;
        RandomScalars(s, random, true);
        std::vector<std::string> list;
        for (int n = int(random() % 6); n > 0; --n) {
            list.push_back(random() % 3 == 0 ? std::string() : RandomBytes(random, 4));
        }
        SetKeywordList(s, list);
        dlg.SettingsToControls(s);
        ProfileSettings real;
        dlg.ControlsToSettings(real);
        ASSERT_EQ(ThroughTheDialog(s), 1);
        ASSERT_EQ(Fields(s), Fields(real));
    }
    EXPECT_TRUE(messages.empty());
}

// What the source box holds once a file is opened, as Go reads it, against the command line's
// rule for the same bytes.
TEST_F(TransferTest, TheSourceBoxHoldsWhatTheCommandLineConverts) {
    std::mt19937 random(2027);
    for (int round = 0; round < 300; ++round) {
        const std::string bytes = RandomBytes(random, 12);
        WriteWholeFile("opened.cpp", bytes);
        dlg.LoadSourceFile((m_dir / "opened.cpp").string());
        ASSERT_EQ(dlg.GetDlgItemText(IDC_SOURCE), OpenedInTextBox(bytes)) << bytes;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(TransferTest, CppDefaultsFillTheSettingsControlsOnly) {
    dlg.SetDlgItemText(IDC_SOURCE, "int x;");
    dlg.SetDlgItemText(IDC_PROFILE_NAME, "mine");
    dlg.SetCheck(IDC_W3C_CORRECT, 0);
    Click(IDC_CPP_DEFAULTS);
    const std::vector<std::pair<int, std::string>> texts{{IDC_TAB_SIZE, "4"},
                                                         {IDC_KEYWORD_COLOR, "0000FF"},
                                                         {IDC_COMMENT_COLOR, "008000"},
                                                         {IDC_TABLE_LT_COLOR, "A8C8E8"},
                                                         {IDC_TABLE_DK_COLOR, "4084D0"},
                                                         {IDC_FONT_SIZE, "13"},
                                                         {IDC_TABLE_WIDTH, "80"},
                                                         {IDC_KEYWORD_LIST, kCppDefaultKeywords},
                                                         {IDC_SOURCE, "int x;"},
                                                         {IDC_PROFILE_NAME, "mine"}};
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(dlg.GetDlgItemText(id), text) << id;
    }
    EXPECT_EQ(dlg.GetCheck(IDC_W3C_CORRECT), 0);
    EXPECT_EQ(std::string(kCppDefaultKeywords).size(), 385u);

    ProfileSettings s;
    dlg.ControlsToSettings(s);
    ProfileSettings expected;
    SetCppDefaults(expected);
    expected.SetKeywords(kCppDefaultKeywords);
    EXPECT_EQ(Fields(s), Fields(expected));
    ASSERT_EQ(s.KeywordCount(), 60);
    EXPECT_STREQ(s.Keyword(0), "#");
    EXPECT_STREQ(s.Keyword(3), "#defined");
    EXPECT_STREQ(s.Keyword(59), "while");

    // Out of memory: said, and the controls show the whole built-in settings or what they did.
    for (long fail_at = 0;; ++fail_at) {
        ASSERT_LT(fail_at, 200);
        dlg.SetDlgItemText(IDC_KEYWORD_LIST, "");
        messages.clear();
        tarvo::InjectAllocationFailure(fail_at);
        Click(IDC_CPP_DEFAULTS);
        tarvo::InjectAllocationFailure(-1);
        if (messages.empty()) {
            EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_LIST), kCppDefaultKeywords);
            break;
        }
        EXPECT_EQ(Texts(), std::vector<std::string>{"Not enough memory !"}) << fail_at;
    }
}

TEST_F(TransferTest, OutOfMemoryStopsAtTheBlockThatFailed) {
    ProfileSettings s;
    SetCppDefaults(s);
    const int order[] = {IDC_COMMENT_COLOR, IDC_KEYWORD_COLOR, IDC_TABLE_LT_COLOR,
                         IDC_TABLE_DK_COLOR, IDC_KEYWORD_LIST};
    for (long fail_at = 0; fail_at < 5; ++fail_at) {
        for (int id : order) {
            dlg.SetDlgItemText(id, "old");
        }
        dlg.SetDlgItemText(IDC_TAB_SIZE, "");
        messages.clear();
        tarvo::InjectAllocationFailure(fail_at);
        dlg.SettingsToControls(s);
        tarvo::InjectAllocationFailure(-1);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Not enough memory !");
        EXPECT_EQ(messages[0].caption, "Tarvo");
        EXPECT_EQ(messages[0].style, platform::MessageStyle::Stop);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "4") << "numbers come first";
        for (long i = 0; i < 5; ++i) {
            EXPECT_EQ(dlg.GetDlgItemText(order[i]) == "old", i >= fail_at) << fail_at << i;
        }
    }
    // Reading: the keywords split before the failure stay; this message has no " !".
    dlg.SetDlgItemText(IDC_KEYWORD_LIST, "a b c");
    messages.clear();
    ProfileSettings read;
    tarvo::InjectAllocationFailure(2); // "a" and the slot array, then "b" fails
    dlg.ControlsToSettings(read);
    tarvo::InjectAllocationFailure(-1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Not enough memory");
    EXPECT_EQ(Keywords(read), std::vector<std::string>{"a"});
    EXPECT_EQ(read.n_tab_size, 4);
}

} // namespace
