#include "dialog_transfer.h"

int ThroughTheDialog(ProfileSettings& s) {
    s.n_keyword_color &= 0xFFFFFF;
    s.n_comment_color &= 0xFFFFFF;
    s.n_table_lt_color &= 0xFFFFFF;
    s.n_table_dk_color &= 0xFFFFFF;
    s.b_table_width_percent = s.b_table_width_percent != 0;
    s.b_use_table = s.b_use_table != 0;
    std::string joined;
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        if (!joined.empty()) {
            joined += ' ';
        }
        joined += s.Keyword(i);
    }
    return s.SetKeywords(WithCrLf(joined).c_str());
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 16);
    std::size_t from = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos;
         lf = text.find('\n', lf + 1)) {
        out.append(text, from, lf - from);
        if (lf == 0 || text[lf - 1] != '\r') {
            out += '\r';
        }
        out += '\n';
        from = lf + 1;
    }
    out.append(text, from);
    return out;
}

std::string WithLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t cr = text.find("\r\n"); cr != std::string_view::npos;
         cr = text.find("\r\n", cr + 2)) {
        out.append(text, from, cr - from);
        out += '\n';
        from = cr + 2;
    }
    out.append(text, from);
    return out;
}
