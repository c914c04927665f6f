#include "render/html_pieces.h"

#include "base/format.h"
#include "render/css_rules.h"

std::string FontOpenTag(const ClassStyle& look) {
    std::string tag;
    if (look.background) {
        tag = tarvo::Format("<span style=\"background-color:#%06X\">", unsigned(*look.background));
    }
    tag += tarvo::Format("<font color=\"#%06X\">", unsigned(look.colour));
    tag += look.bold ? "<b>" : "";
    tag += look.italic ? "<i>" : "";
    return tag;
}

std::string FontCloseTag(const ClassStyle& look) {
    std::string tag = look.italic ? "</i>" : "";
    tag += look.bold ? "</b>" : "";
    tag += "</font>";
    tag += look.background ? "</span>" : "";
    return tag;
}

HtmlPieces ChoosePieces(const StyleRecord& style, bool css) {
    HtmlPieces p;
    HtmlTags& t = p.tags;
    const char* percent = style.frame_width_percent ? "%" : "";
    const ClassStyle& text = style.Of(SpanClass::Text);
    if (css) {
        if (style.frame) {
            p.opening = tarvo::Format("<table cellspacing=\"0\" class=\"cpp\" align=\"center\" "
                                      "cellpadding=\"10\" width=\"%d",
                                      int(style.frame_width)) +
                        percent + "\" border=\"2\"><tr><td><pre>\r\n<code class=\"cpp_text\">\r\n";
            p.closing = "\r\n</code></pre></td></tr></table>\r\n";
        } else {
            p.opening = "<pre><code class=\"cpp_text\">\r\n";
            p.closing = "\r\n</code></pre>\r\n";
        }
        for (std::size_t i = 1; i < kSpanClassCount; ++i) {
            if (style.classes[i].on) {
                t.open[i] = std::string("<code class=\"") + CssClassName(SpanClass(i)) + "\">";
                t.close[i] = "</code>";
            }
        }
        t.number_open = "<span class=\"cpp_line_number\" data-line=\"";
        t.number_close = "\"></span>";
        t.mark_open = "<span class=\"cpp_marked\">";
    } else {
        // Font markup keeps its looks in its tags: a background of the code box on the table or
        // the <pre>, and the text's colour, where it is not plain black, around the code.
        std::string box;
        if (text.background) {
            box = tarvo::Format(style.frame ? " bgcolor=\"#%06X\""
                                            : " style=\"background-color:#%06X\"",
                                unsigned(*text.background));
        }
        const bool plain = text.colour == 0 && !text.bold && !text.italic;
        ClassStyle text_look = text;
        text_look.background.reset();
        const std::string text_open = plain ? "" : FontOpenTag(text_look);
        const std::string text_close = plain ? "" : FontCloseTag(text_look);
        if (style.frame) {
            // The dark colour is written with lower-case digits, unlike every other colour.
            p.opening =
                tarvo::Format("<table cellspacing=\"0\" bordercolorlight=\"#%06X\" "
                              "bordercolordark=\"#%06x\" align=\"center\" cellpadding=\"10\" "
                              "width=\"%d",
                              unsigned(style.frame_light), unsigned(style.frame_dark),
                              int(style.frame_width)) +
                percent + "\" border=\"2\"" + box + "><tr><td><pre>\r\n" + text_open + "\r\n";
            p.closing = "\r\n" + text_close + "</pre></td></tr></table>\r\n";
        } else {
            p.opening = "<pre" + box + ">" + text_open + "\r\n";
            p.closing = "\r\n" + text_close + "</pre>\r\n";
        }
        for (std::size_t i = 1; i < kSpanClassCount; ++i) {
            if (style.classes[i].on) {
                t.open[i] = FontOpenTag(style.classes[i]);
                t.close[i] = FontCloseTag(style.classes[i]);
            }
        }
        t.number_open = tarvo::Format("<font color=\"#%06X\">", unsigned(style.number_colour));
        t.number_close = " </font>";
        t.mark_open = tarvo::Format("<span style=\"background-color:#%06X;display:inline-block;"
                                    "min-width:100%%;box-shadow:inset 3px 0 #%06X\">",
                                    unsigned(style.mark_colour), unsigned(style.mark_edge));
    }
    t.mark_close = "</span>";
    return p;
}
