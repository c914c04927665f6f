#include "cli/line_options.h"

#include "base/colour.h"
#include "convert/line_numbers.h"

#include <string_view>
#include <vector>

LineOptionRead ReadLineOption(int argc, const char* const* argv, int& i, LineOptions& o,
                              std::string& problem) {
    const std::string_view arg = argv[i];
    if (arg == "-n" || arg == "--line-numbers") {
        o.line_numbers = true;
        return LineOptionRead::Taken;
    }
    if (arg != "--first-line" && arg != "--mark" && arg != "--mark-color") {
        return LineOptionRead::NotOne;
    }
    if (i + 1 >= argc) {
        problem = "missing value after '" + std::string(arg) + "'";
        return LineOptionRead::UsageError;
    }
    const char* value = argv[++i];
    if (arg == "--mark") {
        std::vector<LineRange> ranges;
        switch (ParseMarkedLines(value, ranges, &problem)) {
        case MarkedLinesParse::Ok:
            o.mark = value;
            return LineOptionRead::Taken;
        case MarkedLinesParse::Malformed:
            problem = "--mark: " + problem;
            return LineOptionRead::UsageError;
        case MarkedLinesParse::OutOfMemory:
            break;
        }
        return LineOptionRead::OutOfMemory;
    }
    if (arg == "--mark-color") {
        int64_t colour = 0;
        if (!ReadColour(value, ColourRule::RRGGBB, colour)) {
            problem = std::string("--mark-color: ").append(NotAColour(value, ColourRule::RRGGBB));
            return LineOptionRead::UsageError;
        }
        o.mark_color = colour;
        return LineOptionRead::Taken;
    }
    int64_t first = 0;
    if (!ReadLineNumber(value, first)) {
        problem = std::string("--first-line: ").append(NotALineNumber(value));
        return LineOptionRead::UsageError;
    }
    o.first_line = first;
    return LineOptionRead::Taken;
}

bool ApplyLineOptions(const LineOptions& o, ProfileSettings& settings) {
    if (o.line_numbers) {
        settings.b_line_numbers = 1;
    }
    if (o.first_line >= 0) {
        settings.n_first_line = int32_t(o.first_line);
    }
    if (o.mark_color >= 0) {
        settings.n_mark_color = uint32_t(o.mark_color);
    }
    return o.mark == nullptr || settings.SetMarkedLines(o.mark) != 0;
}
