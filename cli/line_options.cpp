#include "cli/line_options.h"

#include "render/line_numbers.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
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
    const bool colour = arg == "--mark-color";
    const char* digits = colour && value[0] == '#' ? value + 1 : value;
    char* end = nullptr;
    const long long number = std::strtoll(digits, &end, colour ? 16 : 10);
    const auto first = static_cast<unsigned char>(digits[0]);
    const bool ok = colour ? std::strlen(digits) == 6 && std::isxdigit(first) != 0
                           : std::isdigit(first) != 0 && number <= kMaxLineNumber;
    if (end == digits || *end != '\0' || !ok) {
        problem = std::string(colour ? "--mark-color needs a colour such as FFF6BF"
                                     : "--first-line needs a number from 0 to 999999999") +
                  ", not '" + value + "'";
        return LineOptionRead::UsageError;
    }
    (colour ? o.mark_color : o.first_line) = number;
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
