#include "render/html_pieces.h"

#include "base/format.h"
#include "render/line_numbers.h"

namespace {

SpanClass ClassOf(const ClassColourField& c) {
    return c.field == &ProfileSettings::n_string_color   ? SpanClass::String
           : c.field == &ProfileSettings::n_char_color   ? SpanClass::Char
           : c.field == &ProfileSettings::n_number_color ? SpanClass::Number
                                                         : SpanClass::Preproc;
}

} // namespace

HtmlPieces ChoosePieces(const ProfileSettings& s, bool css) {
    HtmlPieces p;
    HtmlTags& t = p.tags;
    p.classes.Add(SpanClass::Keyword);
    p.classes.Add(SpanClass::Comment);
    const char* percent = s.b_table_width_percent != 0 ? "%" : "";
    const std::size_t keyword = ClassIndex(SpanClass::Keyword);
    const std::size_t comment = ClassIndex(SpanClass::Comment);
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
        t.open[keyword] = "<code class=\"cpp_keyword\">";
        t.open[comment] = "<code class=\"cpp_comment\">";
        for (const ClassColourField& c : kClassColourFields) {
            if (s.*c.field >= 0) {
                t.open[ClassIndex(ClassOf(c))] =
                    std::string("<code class=\"") + c.css_class + "\">";
            }
        }
        for (std::string& close : t.close) {
            close = "</code>";
        }
        t.number_open = "<span class=\"cpp_line_number\" data-line=\"";
        t.number_close = "\"></span>";
        t.mark_open = "<span class=\"cpp_marked\">";
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
        t.open[keyword] = tarvo::Format("<font color=\"#%06X\">", unsigned(s.n_keyword_color));
        t.open[comment] = tarvo::Format("<font color=\"#%06X\">", unsigned(s.n_comment_color));
        for (const ClassColourField& c : kClassColourFields) {
            if (s.*c.field >= 0) {
                t.open[ClassIndex(ClassOf(c))] =
                    tarvo::Format("<font color=\"#%06X\">", unsigned(s.*c.field));
            }
        }
        for (std::string& close : t.close) {
            close = "</font>";
        }
        t.number_open = tarvo::Format("<font color=\"#%06X\">", unsigned(kLineNumberColor));
        t.number_close = " </font>";
        t.mark_open =
            tarvo::Format("<span style=\"background-color:#%06X;display:inline-block;"
                          "min-width:100%%;box-shadow:inset 3px 0 #%06X\">",
                          unsigned(s.n_mark_color), unsigned(MarkEdgeColor(s.n_mark_color)));
    }
    t.mark_close = "</span>";
    for (const ClassColourField& c : kClassColourFields) {
        if (s.*c.field >= 0) {
            p.classes.Add(ClassOf(c));
        }
    }
    return p;
}
