#include "app/theme_sample.h"

#include "render/rich_text.h"
#include "style/style_record.h"
#include "style/theme_style.h"

#include <exception>

const char* const kThemeSampleSource = "#include <cstdio>\r\n"
                                       "#define NAME \"Tarvo\"\r\n"
                                       "// Greets, then counts.\r\n"
                                       "namespace demo {\r\n"
                                       "struct Greeter {\r\n"
                                       "  int Run() const\r\n"
                                       "  { return std::puts(NAME) + 'c' * 42; }\r\n"
                                       "};\r\n"
                                       "}";

std::string ThemeSampleHtml(const ProfileSettings& settings, std::span<const int32_t> classes,
                            const Theme& theme) {
    try {
        StyleRecord style;
        if (!BuildStyle(settings, style)) {
            return {};
        }
        for (std::size_t i = 0; i < std::size(kClassColourFields) && i < classes.size(); ++i) {
            ClassStyle& look = style.Of(kClassColourFields[i].span);
            look.on = classes[i] >= 0;
            look.colour = classes[i] >= 0 ? uint32_t(classes[i]) : 0;
        }
        // The code alone: the frame and the lines are the Colours dialog's other business.
        style.frame = false;
        style.numbers = false;
        style.marks.clear();
        // The sample shows colours; a size that the profile has wrong must not hide them.
        if (style.font_size < 8 || style.font_size > 40) {
            style.font_size = 13;
        }
        ApplyTheme(theme, style);
        return BuildRichText(kThemeSampleSource, settings, style, 1);
    } catch (const std::exception&) {
        return {};
    }
}

std::string EscapedHtml(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
    }
    return out;
}
