#include "settings/cpp_defaults.h"

int SetCppDefaults(ProfileSettings& s) {
    s.n_tab_size = kCppDefaultTabSize;
    s.n_keyword_color = kCppDefaultKeywordColor;
    s.n_comment_color = kCppDefaultCommentColor;
    s.n_table_lt_color = kCppDefaultTableLtColor;
    s.n_table_dk_color = kCppDefaultTableDkColor;
    s.n_font_size = kCppDefaultFontSize;
    s.n_table_width = kCppDefaultTableWidth;
    s.b_table_width_percent = 1;
    s.b_use_table = 1;
    for (const ClassColourField& c : kClassColourFields) {
        s.*c.field = kClassOff;
    }
    return s.SetKeywords(kCppDefaultKeywords);
}

void SetSuggestedClassColours(ProfileSettings& s) noexcept {
    s.n_string_color = kSuggestedStringColor;
    s.n_char_color = kSuggestedCharColor;
    s.n_number_color = kSuggestedNumberColor;
    s.n_preproc_color = kSuggestedPreprocColor;
}

void SetSuggestedNameColours(ProfileSettings& s) noexcept {
    s.n_function_color = kSuggestedFunctionColor;
    s.n_type_color = kSuggestedTypeColor;
    s.n_namespace_color = kSuggestedNamespaceColor;
    s.n_macro_color = kSuggestedMacroColor;
}
