#include "render/html_pieces.h"

#include "base/format.h"

namespace {

std::string* OpenTag(HtmlPieces& p, const ClassColourField& c) {
    return c.field == &ProfileSettings::n_string_color   ? &p.string_open
           : c.field == &ProfileSettings::n_char_color   ? &p.char_open
           : c.field == &ProfileSettings::n_number_color ? &p.number_open
                                                         : &p.preproc_open;
}

} // namespace

HtmlPieces ChoosePieces(const ProfileSettings& s, bool css) {
    HtmlPieces p;
    const char* percent = s.b_table_width_percent != 0 ? "%" : "";
    if (css) {
        if (s.b_use_table != 0) {
            p.opening = tarvo::Format("<table cellspacing=\"0\" class=\"cpp\" align=\"center\" "
                                      "cellpadding=\"10\" width=\"%d",
                                      int(s.n_table_width)) +
                        percent + "\" border=\"2\"><tr><td><pre>\r\n<code class=\"cpp_text\">\r\n";
            p.closing = "\r\n</code></pre></td></tr></table>\r\n";
        } else {
            p.opening = "<pre><code class=\"cpp_text\">\r\n";
            p.closing = "\r\n</code></pre>\r\n";
        }
        p.keyword_open = "<code class=\"cpp_keyword\">";
        p.comment_open = "<code class=\"cpp_comment\">";
        p.keyword_close = p.comment_close = "</code>";
        for (const ClassColourField& c : kClassColourFields) {
            if (s.*c.field >= 0) {
                *OpenTag(p, c) = std::string("<code class=\"") + c.css_class + "\">";
            }
        }
        p.class_close = "</code>";
    } else {
        if (s.b_use_table != 0) {
            // The dark colour is written with lower-case digits, unlike every other colour.
            p.opening =
                tarvo::Format("<table cellspacing=\"0\" bordercolorlight=\"#%06X\" "
                              "bordercolordark=\"#%06x\" align=\"center\" cellpadding=\"10\" "
                              "width=\"%d",
                              unsigned(s.n_table_lt_color), unsigned(s.n_table_dk_color),
                              int(s.n_table_width)) +
                percent + "\" border=\"2\"><tr><td><pre>\r\n\r\n";
            p.closing = "\r\n</pre></td></tr></table>\r\n";
        } else {
            p.opening = "<pre>\r\n";
            p.closing = "\r\n</pre>\r\n";
        }
        p.keyword_open = tarvo::Format("<font color=\"#%06X\">", unsigned(s.n_keyword_color));
        p.comment_open = tarvo::Format("<font color=\"#%06X\">", unsigned(s.n_comment_color));
        p.keyword_close = p.comment_close = "</font>";
        for (const ClassColourField& c : kClassColourFields) {
            if (s.*c.field >= 0) {
                *OpenTag(p, c) = tarvo::Format("<font color=\"#%06X\">", unsigned(s.*c.field));
            }
        }
        p.class_close = "</font>";
    }
    return p;
}
