#include "res/keyword_sets.h"

namespace {

// res/keyword_sets.txt as a string literal, made by the build.
constexpr const char kKeywordSetsText[] =
#include "res/keyword_sets_text.inc"
    ;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

std::vector<KeywordSet> ParseKeywordSets(std::string_view text) {
    std::vector<KeywordSet> sets;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && IsSpace(line.back())) {
            line.remove_suffix(1);
        }
        if (line.starts_with(';')) {
            continue;
        }
        if (line.starts_with('[') && line.ends_with(']')) {
            sets.push_back(KeywordSet{std::string(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        while (!line.empty() && !sets.empty()) {
            while (!line.empty() && IsSpace(line.front())) {
                line.remove_prefix(1);
            }
            std::size_t n = 0;
            while (n < line.size() && !IsSpace(line[n])) {
                ++n;
            }
            if (n == 0) {
                break;
            }
            std::string& words = sets.back().words;
            if (!words.empty()) {
                words += ' ';
            }
            words += line.substr(0, n);
            line.remove_prefix(n);
        }
    }
    return sets;
}

const std::vector<KeywordSet>& TarvoKeywordSets() {
    static const std::vector<KeywordSet> sets = ParseKeywordSets(kKeywordSetsText);
    return sets;
}
