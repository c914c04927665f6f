#include "lexing/escape_pass.h"
// The escape pass: `opening` followed by the source with tabs replaced and <, > and & escaped.
bool Escape(std::string_view source, const std::string& opening, const std::string& tab,
            std::string& escaped, const Progress& progress, std::vector<std::size_t>* replaced) {
    Output out(escaped);
    // Escapes rarely add an eighth; the text grows by doubling beyond that.
    if (!out.Reserve(opening.size() + source.size() + source.size() / 8 + 64)) {
        return false;
    }
    out.Append(opening);
    if (replaced != nullptr) {
        // About one character in forty of a source is replaced: the list rarely moves.
        replaced->reserve(source.size() / 32 + 16);
    }
    const std::size_t n = source.size();
    std::size_t j = 0;
    while (j < n) {
        const std::size_t run = FindEscaped(source.data(), j, n);
        out.Append(source.data() + j, run - j);
        progress.Range(j, run);
        if (run == n) {
            break;
        }
        if (replaced != nullptr) {
            replaced->push_back(run);
        }
        switch (source[run]) {
        case '\t':
            out.Append(tab);
            break;
        case '>':
            out.Append("&gt;", 4);
            break;
        case '<':
            out.Append("&lt;", 4);
            break;
        default:
            out.Append("&amp;", 5);
            break;
        }
        progress.At(run);
        j = run + 1;
    }
    return !out.Failed();
}
