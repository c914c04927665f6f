// Settings between the real controls and a record: colour and number texts, keyword joins, the
// built-in settings, and running out of memory on the way.

#include "default_settings.h"
#include "dialog_fixture.h"
#include "memory.h"
#include "profile_settings.h"

#include <cstring>
#include <random>

namespace {

std::vector<std::string> Keywords(const ProfileSettings& s) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        out.emplace_back(s.Keyword(i));
    }
    return out;
}

void SetKeywordList(ProfileSettings& s, const std::vector<std::string>& words) {
    s.ClearKeywords();
    for (const std::string& w : words) {
        ASSERT_TRUE(s.p_s_keyword.Add(tarvo::DuplicateString(w.c_str(), w.size())));
    }
}

class TransferTest : public DialogTest {
protected:
    // What a colour box's text reads as, into a field that held 0xABCDEF before.
    uint32_t ReadColour(int id, const char* text) {
        dlg.SetDlgItemText(id, text);
        ProfileSettings s;
        s.n_keyword_color = s.n_comment_color = s.n_table_lt_color = s.n_table_dk_color = kBefore;
        dlg.ControlsToSettings(s);
        switch (id) {
        case IDC_KEYWORD_COLOR:
            return s.n_keyword_color;
        case IDC_COMMENT_COLOR:
            return s.n_comment_color;
        case IDC_TABLE_LT_COLOR:
            return s.n_table_lt_color;
        default:
            return s.n_table_dk_color;
        }
    }
    static constexpr uint32_t kBefore = 0xABCDEF;
};

TEST_F(TransferTest, ColourTextsReadLikeScanfHexAfterOneHash) {
    const std::vector<std::pair<const char*, uint32_t>> cases{
        {"#FF8000", 0xFF8000},
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
        {"123456789", 0x23456789},
    };
    for (int id : {IDC_KEYWORD_COLOR, IDC_COMMENT_COLOR, IDC_TABLE_LT_COLOR, IDC_TABLE_DK_COLOR}) {
        for (const auto& [text, value] : cases) {
            EXPECT_EQ(ReadColour(id, text), value) << id << " '" << text << "'";
        }
    }
    ProfileSettings s;
    s.n_keyword_color = 0x12345678;
    s.n_comment_color = 0x0000FF;
    dlg.SettingsToControls(s);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_COLOR), "345678");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_COMMENT_COLOR), "0000FF");
}

TEST_F(TransferTest, NumberBoxesReadSignedDecimalOrZero) {
    const std::vector<std::pair<const char*, int32_t>> cases{
        {"", 0},
        {"-1", -1},
        {"  42", 42},
        {"12abc", 12},
        {"abc", 0},
        {"-", 0},
        {"-2147483648", INT32_MIN},
        {"2147483648", 0},
    };
    for (const auto& [text, value] : cases) {
        dlg.SetDlgItemText(IDC_TAB_SIZE, text);
        dlg.SetDlgItemText(IDC_FONT_SIZE, text);
        dlg.SetDlgItemText(IDC_TABLE_WIDTH, text);
        ProfileSettings s;
        s.n_tab_size = s.n_font_size = s.n_table_width = 99;
        dlg.ControlsToSettings(s);
        EXPECT_EQ(s.n_tab_size, value) << text;
        EXPECT_EQ(s.n_font_size, value) << text;
        EXPECT_EQ(s.n_table_width, value) << text;
    }
    ProfileSettings s;
    s.n_tab_size = -1;
    dlg.SettingsToControls(s);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "-1");
}

TEST_F(TransferTest, KeywordsJoinWithOneSpaceAndSplitBack) {
    struct Case {
        std::vector<std::string> words;
        std::string shown;
        std::vector<std::string> read_back;
    };
    const std::vector<Case> cases{
        {{"a", "", "b"}, "a  b", {"a", "", "b"}},
        {{"", "", "a"}, "a", {"a"}},
        {{"a", ""}, "a ", {"a"}},
        {{}, "", {}},
        {{"#define", "int"}, "#define int", {"#define", "int"}},
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
    // Typed over two lines: the line break separates like a space.
    dlg.SetDlgItemText(IDC_KEYWORD_LIST, "int\r\nlong");
    ProfileSettings typed;
    dlg.ControlsToSettings(typed);
    EXPECT_EQ(Keywords(typed), (std::vector<std::string>{"int", "long"}));
}

TEST_F(TransferTest, RandomRecordsSurviveTheWayThroughTheControls) {
    std::mt19937 random(2024);
    const char* const words[] = {"int",
                                 "#define",
                                 "x_1",
                                 "gr\xC3\xB6\xC3\x9F"
                                 "e",
                                 "<&>",
                                 "a"};
    for (int round = 0; round < 150; ++round) {
        ProfileSettings s;
        s.n_tab_size = int32_t(random());
        s.n_font_size = int32_t(random());
        s.n_table_width = int32_t(random());
        s.n_keyword_color = uint32_t(random());
        s.n_comment_color = uint32_t(random());
        s.n_table_lt_color = uint32_t(random());
        s.n_table_dk_color = uint32_t(random());
        s.b_use_table = int32_t(random() % 2);
        s.b_table_width_percent = int32_t(random() % 2);
        std::vector<std::string> list;
        for (int n = int(random() % 8); n > 0; --n) {
            list.emplace_back(words[random() % std::size(words)]);
        }
        SetKeywordList(s, list);

        dlg.SettingsToControls(s);
        ProfileSettings back;
        dlg.ControlsToSettings(back);
        ASSERT_EQ(back.n_tab_size, s.n_tab_size);
        ASSERT_EQ(back.n_font_size, s.n_font_size);
        ASSERT_EQ(back.n_table_width, s.n_table_width);
        ASSERT_EQ(back.n_keyword_color, s.n_keyword_color & 0xFFFFFF);
        ASSERT_EQ(back.n_comment_color, s.n_comment_color & 0xFFFFFF);
        ASSERT_EQ(back.n_table_lt_color, s.n_table_lt_color & 0xFFFFFF);
        ASSERT_EQ(back.n_table_dk_color, s.n_table_dk_color & 0xFFFFFF);
        ASSERT_EQ(back.b_use_table, s.b_use_table);
        ASSERT_EQ(back.b_table_width_percent, s.b_table_width_percent);
        ASSERT_EQ(Keywords(back), list);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(TransferTest, CppDefaultsFillTheSettingsControlsOnly) {
    dlg.SetDlgItemText(IDC_SOURCE, "int x;");
    dlg.SetDlgItemText(IDC_PROFILE_NAME, "mine");
    dlg.SetCheck(IDC_W3C_CORRECT, 0);
    Click(IDC_CPP_DEFAULTS);

    EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "4");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_COLOR), "0000FF");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_COMMENT_COLOR), "008000");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TABLE_LT_COLOR), "A8C8E8");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TABLE_DK_COLOR), "4084D0");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_FONT_SIZE), "13");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TABLE_WIDTH), "80");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_LIST).size(), 385u);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), "int x;");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_PROFILE_NAME), "mine");
    EXPECT_EQ(dlg.GetCheck(IDC_W3C_CORRECT), 0);

    ProfileSettings s;
    dlg.ControlsToSettings(s);
    EXPECT_EQ(s.n_tab_size, 4);
    EXPECT_EQ(s.n_keyword_color, 0x0000FFu);
    EXPECT_EQ(s.n_comment_color, 0x008000u);
    EXPECT_EQ(s.n_table_lt_color, 0xA8C8E8u);
    EXPECT_EQ(s.n_table_dk_color, 0x4084D0u);
    EXPECT_EQ(s.n_font_size, 13);
    EXPECT_EQ(s.n_table_width, 80);
    EXPECT_EQ(s.b_table_width_percent, 1);
    EXPECT_EQ(s.b_use_table, 1);
    ASSERT_EQ(s.KeywordCount(), 60);
    EXPECT_STREQ(s.Keyword(0), "#");
    EXPECT_STREQ(s.Keyword(3), "#defined");
    EXPECT_STREQ(s.Keyword(59), "while");

    // Shown again from the record, the controls hold the same texts.
    dlg.SettingsToControls(s);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_LIST), kDefaultKeywords);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TABLE_LT_COLOR), "A8C8E8");
}

TEST_F(TransferTest, OutOfMemoryStopsShowingAtTheBlockThatFailed) {
    ProfileSettings s;
    s.n_tab_size = 7;
    s.n_comment_color = 0x111111;
    s.n_keyword_color = 0x222222;
    s.n_table_lt_color = 0x333333;
    s.n_table_dk_color = 0x444444;
    SetKeywordList(s, {"int"});
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
        EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "7") << "numbers come first";
        for (long i = 0; i < 5; ++i) {
            EXPECT_EQ(dlg.GetDlgItemText(order[i]) == "old", i >= fail_at) << fail_at << " " << i;
        }
    }

    // Reading: the keywords split before the failure stay, and the message has no " !".
    dlg.SetDlgItemText(IDC_KEYWORD_LIST, "a b c");
    dlg.SetDlgItemText(IDC_TAB_SIZE, "3");
    messages.clear();
    ProfileSettings read;
    tarvo::InjectAllocationFailure(2); // "a" and the slot array, then "b" fails
    dlg.ControlsToSettings(read);
    tarvo::InjectAllocationFailure(-1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Not enough memory");
    EXPECT_EQ(Keywords(read), std::vector<std::string>{"a"});
    EXPECT_EQ(read.n_tab_size, 3);
}

} // namespace
