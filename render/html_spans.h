#pragma once
// Reading back what the converter wrote: the code between its opening and closing pieces, the
// tags it put in, and the colours that the style sheet gives each class. The rich renditions
// (the clipboard's HTML, RTF) are built from this, so a class or tag that the converter learns
// reaches all of them through the style sheet alone.

#include "settings/profile_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ClassRule {
    std::string name;
    std::string declarations; // "property:value;property:value", spaces trimmed
};

// The class rules of the style sheet for `settings`: ".name {", "property : value;" lines, "}".
std::vector<ClassRule> StyleSheetRules(const ProfileSettings& settings);

// The declarations of class `name`, or null when the sheet has no rule for it.
const std::string* FindRule(const std::vector<ClassRule>& rules, std::string_view name);

// The value of `property` in "property:value;..." declarations; empty when absent.
std::string_view DeclarationValue(std::string_view declarations, std::string_view property);

// "#RRGGBB" (or more digits, of which the low 24 bits count) as 0xRRGGBB; -1 when `text` is no
// such colour.
int32_t ParseHexColour(std::string_view text);

// One tag of the converted code, "<name attributes>" or "</name>".
struct HtmlTag {
    std::string_view name;
    std::string_view attributes;
    bool closing = false;
};

// Reads the tag that starts at text[at] ('<'); returns the index after its '>', or `at` when no
// tag ends there.
std::size_t ReadTag(std::string_view text, std::size_t at, HtmlTag& tag);

// The value of attribute `name` (quoted with "), or empty.
std::string_view AttributeValue(std::string_view attributes, std::string_view name);

// The colours a span tag gives its text, from a colour attribute, a style attribute or the rule
// of its class; -1 where it gives none.
struct SpanColours {
    int32_t color = -1;
    int32_t background = -1;
};
SpanColours ColoursOfTag(const HtmlTag& tag, const std::vector<ClassRule>& rules);
