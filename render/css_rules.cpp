#include "render/css_rules.h"

#include "base/format.h"

namespace {

CssDeclaration Declaration(const char* property, std::string value, std::size_t spaces = 1) {
    return CssDeclaration{property, std::move(value), spaces};
}

} // namespace

const char* CssClassName(SpanClass c) {
    switch (c) {
    case SpanClass::Text:
        return "cpp_text";
    case SpanClass::Keyword:
        return "cpp_keyword";
    case SpanClass::Comment:
        return "cpp_comment";
    default:
        break;
    }
    for (const ClassColourField& field : kClassColourFields) {
        if (field.span == c) {
            return field.css_class;
        }
    }
    return "cpp_text";
}

std::string CssColour(uint32_t colour) {
    return tarvo::Format("#%06X", unsigned(colour));
}

CssRule ClassRule(const StyleRecord& style, SpanClass c) {
    const ClassStyle& look = style.Of(c);
    CssRule rule{std::string(".") + CssClassName(c), {}};
    rule.declarations.push_back(Declaration("font-family", "monospace"));
    rule.declarations.push_back(Declaration("font-size", tarvo::Format("%dpx", style.font_size)));
    rule.declarations.push_back(Declaration("color", CssColour(look.colour)));
    if (look.bold) {
        rule.declarations.push_back(Declaration("font-weight", "bold"));
    }
    if (look.italic) {
        rule.declarations.push_back(Declaration("font-style", "italic"));
    }
    if (look.background) {
        if (c == SpanClass::Text) {
            // The code element fills its box, so that the background is the box's.
            rule.declarations.push_back(Declaration("display", "block"));
        }
        rule.declarations.push_back(Declaration("background-color", CssColour(*look.background)));
    }
    return rule;
}

CssRule FrameRule(const StyleRecord& style) {
    CssRule rule{".cpp", {}};
    // The colons of the four colours stand in one column.
    rule.declarations.push_back(Declaration("border-top-color", CssColour(style.frame_light), 4));
    rule.declarations.push_back(Declaration("border-left-color", CssColour(style.frame_light), 3));
    rule.declarations.push_back(Declaration("border-right-color", CssColour(style.frame_dark), 2));
    rule.declarations.push_back(Declaration("border-bottom-color", CssColour(style.frame_dark)));
    rule.declarations.push_back(Declaration("border-style", "solid"));
    if (const auto& box = style.Of(SpanClass::Text).background) {
        rule.declarations.push_back(Declaration("background-color", CssColour(*box)));
    }
    return rule;
}

std::vector<CssRule> LineRules(const StyleRecord& style) {
    std::vector<CssRule> rules;
    rules.push_back({".cpp_lines",
                     {Declaration("display", "inline-block"), Declaration("min-width", "100%"),
                      Declaration("vertical-align", "top")}});
    rules.push_back({".cpp_line_number",
                     {Declaration("display", "inline-block"),
                      Declaration("color", CssColour(style.number_colour)),
                      Declaration("margin-right", "1ch"), Declaration("user-select", "none")}});
    rules.push_back({".cpp_line_number::before", {Declaration("content", "attr(data-line)")}});
    rules.push_back({".cpp_marked",
                     {Declaration("display", "inline-block"), Declaration("min-width", "100%"),
                      Declaration("background-color", CssColour(style.mark_colour)),
                      Declaration("box-shadow", "inset 3px 0 " + CssColour(style.mark_edge))}});
    rules.push_back({".cpp_marked::after", {Declaration("content", "\"\\200B\"")}});
    return rules;
}

std::vector<CssRule> SheetRules(const StyleRecord& style) {
    std::vector<CssRule> rules;
    for (std::size_t i = 0; i < kSpanClassCount; ++i) {
        const SpanClass c = SpanClass(i);
        if (c == SpanClass::Text || style.Of(c).on) {
            rules.push_back(ClassRule(style, c));
        }
    }
    rules.push_back(FrameRule(style));
    if (style.LinesWanted()) {
        for (CssRule& rule : LineRules(style)) {
            rules.push_back(std::move(rule));
        }
    }
    return rules;
}

std::string InlineStyle(const CssRule& rule) {
    std::string text;
    for (const CssDeclaration& d : rule.declarations) {
        if (!text.empty()) {
            text += ';';
        }
        text += d.property;
        text += ':';
        text += d.value;
    }
    return text;
}
