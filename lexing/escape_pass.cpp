#include "lexing/escape_pass.h"

#include "base/cores.h"
#include "base/memory.h"

#include <exception>
#include <system_error>
#include <thread>

namespace {

// From this size of source on, a second thread escapes the second half.
constexpr std::size_t kTwoThreadsBytes = 1 << 20;

// Escapes source[from, to) onto `out`, the source index of each character it replaces onto
// `replaced`.
void EscapePart(std::string_view source, std::size_t from, std::size_t to, const std::string& tab,
                Output& out, const Progress& progress, std::vector<std::size_t>* replaced) {
    std::size_t j = from;
    while (j < to) {
        const std::size_t run = FindEscaped(source.data(), j, to);
        out.Append(source.data() + j, run - j);
        progress.Range(j, run);
        if (run == to) {
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
}

} // namespace

// The escape pass: `opening` followed by the source with tabs replaced and <, > and & escaped.
bool Escape(std::string_view source, const std::string& opening, const std::string& tab,
            std::string& escaped, const Progress& progress, std::vector<std::size_t>* replaced,
            bool may_use_threads) {
    Output out(escaped);
    // Escapes rarely add an eighth; the text grows by doubling beyond that.
    if (!out.Reserve(opening.size() + source.size() + source.size() / 8 + 64)) {
        return false;
    }
    tarvo::PreferLargePages(escaped); // written once from end to end
    out.Append(opening);
    if (replaced != nullptr) {
        // About one character in forty of a source is replaced: the list rarely moves.
        replaced->reserve(source.size() / 32 + 16);
    }
    const std::size_t n = source.size();
    // Each character is escaped by itself, so the halves can be escaped apart and joined.
    std::size_t half = n;
    std::string rest;
    std::vector<std::size_t> rest_replaced;
    bool rest_failed = false;
    std::exception_ptr rest_error;
    std::jthread thread; // joined before the locals it uses go, also when this half throws
    if (may_use_threads && n >= kTwoThreadsBytes && tarvo::UsableCores() > 1) {
        half = n / 2;
        try {
            thread = std::jthread([&] {
                try {
                    Output part(rest);
                    if (part.Reserve(n - half + (n - half) / 8 + 64)) {
                        EscapePart(source, half, n, tab, part, Progress(nullptr, n, 0),
                                   replaced != nullptr ? &rest_replaced : nullptr);
                    }
                    rest_failed = part.Failed();
                } catch (...) {
                    rest_error = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            half = n; // no thread to be had: all of it here
        }
    }
    EscapePart(source, 0, half, tab, out, progress, replaced);
    if (thread.joinable()) {
        thread.join();
        if (rest_error) {
            std::rethrow_exception(rest_error);
        }
        progress.Range(half, n);
        out.Append(rest.data(), rest.size());
        if (replaced != nullptr) {
            replaced->insert(replaced->end(), rest_replaced.begin(), rest_replaced.end());
        }
        return !out.Failed() && !rest_failed;
    }
    return !out.Failed();
}
