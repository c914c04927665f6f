#include "settings/marked_lines.h"

#include <algorithm>
#include <exception>

namespace {

// The limits as the messages name them.
constexpr std::string_view kLineLimits = "(from 0 to 999999999)";
static_assert(kMaxLineNumber == 999999999, "the messages name the last line number");

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

MarkedLinesParse Malformed(std::string* problem, std::string_view item, const char* what) {
    if (problem != nullptr) {
        // Appended piece by piece: GCC 12 warns wrongly about "'" + std::string.
        problem->assign(1, '\'');
        problem->append(item);
        problem->append("' ");
        problem->append(what);
    }
    return MarkedLinesParse::Malformed;
}

MarkedLinesParse Parse(std::string_view text, std::vector<LineRange>& ranges,
                       std::string* problem) {
    ranges.clear();
    if (Trim(text).empty()) {
        return MarkedLinesParse::Ok;
    }
    std::vector<LineRange> found;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = Trim(text.substr(0, comma));
        if (item.empty()) {
            return Malformed(problem, text.substr(0, comma), "is an empty entry");
        }
        LineRange range;
        const std::size_t dash = item.find('-');
        const bool ok = dash == std::string_view::npos
                            ? ReadLineNumber(item, range.first)
                            : ReadLineNumber(Trim(item.substr(0, dash)), range.first) &&
                                  ReadLineNumber(Trim(item.substr(dash + 1)), range.last);
        if (!ok) {
            std::string what = "is not a line number ";
            what.append(kLineLimits).append(" or a range such as 3-5");
            return Malformed(problem, item, what.c_str());
        }
        if (dash == std::string_view::npos) {
            range.last = range.first;
        } else if (range.last < range.first) {
            const std::string turned =
                ": write " + std::to_string(range.last) + "-" + std::to_string(range.first);
            return Malformed(problem, item, ("runs backwards" + turned).c_str());
        }
        found.push_back(range);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    std::sort(found.begin(), found.end(),
              [](const LineRange& a, const LineRange& b) { return a.first < b.first; });
    for (const LineRange& r : found) {
        if (!ranges.empty() && r.first <= ranges.back().last + 1) {
            ranges.back().last = std::max(ranges.back().last, r.last);
        } else {
            ranges.push_back(r);
        }
    }
    return MarkedLinesParse::Ok;
}

} // namespace

bool ReadLineNumber(std::string_view text, int64_t& value) noexcept {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    int64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        number = number * 10 + (c - '0');
    }
    if (number > kMaxLineNumber) {
        return false;
    }
    value = number;
    return true;
}

std::string NotALineNumber(std::string_view text) {
    std::string message(1, '\'');
    message.append(text);
    message.append("' is not a line number ");
    message.append(kLineLimits);
    return message;
}

MarkedLinesParse ParseMarkedLines(std::string_view text, std::vector<LineRange>& ranges,
                                  std::string* problem) noexcept {
    try {
        return Parse(text, ranges, problem);
    } catch (const std::exception&) {
        ranges.clear();
        return MarkedLinesParse::OutOfMemory;
    }
}

bool LinesWanted(const ProfileSettings& s) noexcept {
    if (s.b_line_numbers != 0) {
        return true;
    }
    std::vector<LineRange> ranges;
    return ParseMarkedLines(s.MarkedLines(), ranges) != MarkedLinesParse::Malformed &&
           Trim(s.MarkedLines()).size() != 0;
}

int64_t FirstLineNumber(const ProfileSettings& s) noexcept {
    return std::clamp<int64_t>(s.n_first_line, 0, kMaxLineNumber);
}
