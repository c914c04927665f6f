#include "render/html_spans.h"

#include "render/style_sheet.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<ClassRule> ParseClassRules(std::string_view sheet) {
    std::vector<ClassRule> rules;
    std::size_t at = 0;
    while ((at = sheet.find('.', at)) != std::string_view::npos) {
        const std::size_t open = sheet.find('{', at);
        const std::size_t close = sheet.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            break;
        }
        ClassRule rule{std::string(Trim(sheet.substr(at + 1, open - at - 1))), {}};
        std::string_view body = sheet.substr(open + 1, close - open - 1);
        while (!body.empty()) {
            const std::size_t end = body.find(';');
            const std::string_view declaration = body.substr(0, end);
            body.remove_prefix(end == std::string_view::npos ? body.size() : end + 1);
            const std::size_t colon = declaration.find(':');
            if (colon == std::string_view::npos) {
                continue;
            }
            if (!rule.declarations.empty()) {
                rule.declarations += ';';
            }
            rule.declarations += Trim(declaration.substr(0, colon));
            rule.declarations += ':';
            rule.declarations += Trim(declaration.substr(colon + 1));
        }
        rules.push_back(std::move(rule));
        at = close;
    }
    return rules;
}

} // namespace

std::vector<ClassRule> StyleSheetRules(const ProfileSettings& settings) {
    return ParseClassRules(BuildStyleSheet(settings));
}

const std::string* FindRule(const std::vector<ClassRule>& rules, std::string_view name) {
    for (const ClassRule& rule : rules) {
        if (rule.name == name) {
            return &rule.declarations;
        }
    }
    return nullptr;
}

std::string_view DeclarationValue(std::string_view declarations, std::string_view property) {
    while (!declarations.empty()) {
        const std::size_t end = declarations.find(';');
        std::string_view declaration = declarations.substr(0, end);
        declarations.remove_prefix(end == std::string_view::npos ? declarations.size() : end + 1);
        const std::size_t colon = declaration.find(':');
        if (colon != std::string_view::npos && Trim(declaration.substr(0, colon)) == property) {
            return Trim(declaration.substr(colon + 1));
        }
    }
    return {};
}

int32_t ParseHexColour(std::string_view text) {
    if (text.size() < 7 || text[0] != '#') {
        return -1;
    }
    uint32_t value = 0;
    for (const char c : text.substr(1)) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return -1;
        }
        value = value << 4 | uint32_t(digit);
    }
    return int32_t(value & 0xFFFFFF);
}

std::size_t ReadTag(std::string_view text, std::size_t at, HtmlTag& tag) {
    const std::size_t end = text.find('>', at);
    if (end == std::string_view::npos) {
        return at;
    }
    std::string_view inside = text.substr(at + 1, end - at - 1);
    tag.closing = !inside.empty() && inside[0] == '/';
    if (tag.closing) {
        inside.remove_prefix(1);
    }
    std::size_t name_end = 0;
    while (name_end < inside.size() && !IsSpace(inside[name_end]) && inside[name_end] != '/') {
        ++name_end;
    }
    tag.name = inside.substr(0, name_end);
    tag.attributes = inside.substr(name_end);
    return end + 1;
}

std::string_view AttributeValue(std::string_view attributes, std::string_view name) {
    for (std::size_t at = attributes.find(name); at != std::string_view::npos;
         at = attributes.find(name, at + 1)) {
        const std::size_t quote = at + name.size() + 1;
        if (at > 0 && IsSpace(attributes[at - 1]) && quote < attributes.size() &&
            attributes[quote - 1] == '=' && attributes[quote] == '"') {
            const std::size_t end = attributes.find('"', quote + 1);
            if (end != std::string_view::npos) {
                return attributes.substr(quote + 1, end - quote - 1);
            }
        }
    }
    return {};
}

SpanColours ColoursOfTag(const HtmlTag& tag, const std::vector<ClassRule>& rules) {
    SpanColours colours;
    const auto take = [&colours](std::string_view declarations) {
        if (const int32_t c = ParseHexColour(DeclarationValue(declarations, "color")); c >= 0) {
            colours.color = c;
        }
        for (const char* property : {"background", "background-color"}) {
            if (const int32_t c = ParseHexColour(DeclarationValue(declarations, property));
                c >= 0) {
                colours.background = c;
            }
        }
    };
    // Each class of a list in its order, so that a later rule wins as in a browser's cascade
    // of equally specific rules.
    std::string_view classes = AttributeValue(tag.attributes, "class");
    while (!classes.empty()) {
        const std::size_t end = classes.find(' ');
        if (const std::string* declarations = FindRule(rules, classes.substr(0, end))) {
            take(*declarations);
        }
        classes.remove_prefix(end == std::string_view::npos ? classes.size() : end + 1);
    }
    take(AttributeValue(tag.attributes, "style"));
    if (const int32_t c = ParseHexColour(AttributeValue(tag.attributes, "color")); c >= 0) {
        colours.color = c;
    }
    return colours;
}
