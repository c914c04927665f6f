#include "cli/dialog_transfer.h"

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
    for (std::size_t i = text.find_first_of("\r\n"); i != std::string_view::npos;
         i = text.find_first_of("\r\n", from)) {
        out.append(text, from, i - from);
        out += "\r\n";
        // A line break is LF, CR LF, or a CR alone, as the box shows each of them.
        from = i + (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1);
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
