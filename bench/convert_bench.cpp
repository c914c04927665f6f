// Conversion speed on real C++: the standard library headers that ship with the compiler,
// concatenated (about 13 MB), or a generated corpus when they cannot be found.
//
//   build/release/bench/convert_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only

#include "render/converter.h"
#include "render/html_page.h"
#include "render/rich_text.h"
#include "render/style_sheet.h"
#include "settings/cpp_defaults.h"
#include "style/theme_style.h"
#include "themes/builtin_themes.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// Heap accounting, for the peak memory of one conversion.
namespace {
std::size_t g_heap_now = 0;
std::size_t g_heap_peak = 0;
} // namespace

void* operator new(std::size_t size) {
    auto* block = static_cast<std::size_t*>(std::malloc(size + 16));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *block = size;
    g_heap_now += size;
    g_heap_peak = std::max(g_heap_peak, g_heap_now);
    return reinterpret_cast<char*>(block) + 16;
}
void operator delete(void* p) noexcept {
    if (p != nullptr) {
        auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - 16);
        g_heap_now -= *block;
        std::free(block);
    }
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

// The first C++ directory in the compiler's include search list.
std::string CompilerIncludeDirectory() {
    const std::string command = std::string(TARVO_CXX_COMPILER) + " -xc++ -E -v /dev/null 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    pclose(pipe);
    std::istringstream lines(output);
    bool in_list = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("search starts here") != std::string::npos) {
            in_list = true;
        } else if (line.find("End of search list") != std::string::npos) {
            break;
        } else if (in_list && line.find("/c++/") != std::string::npos) {
            return line.substr(line.find_first_not_of(' '));
        }
    }
    return {};
}

std::string GeneratedCorpus() {
    std::mt19937 rng(1);
    const char* const lines[] = {"template <class T>\n",
                                 "  int main(int argc, char** argv) {\n",
                                 "\treturn a < b && c > d; // compare\n",
                                 "  /* block\n   comment */\n",
                                 "  const char* s = \"C:\\\\path\\\\\";\n",
                                 "#include <vector>\n",
                                 "  for (unsigned i = 0; i != n; ++i) x[i] += y[i] * 2;\n",
                                 "}\n"};
    std::string text;
    while (text.size() < (13u << 20)) {
        text += lines[rng() % 8];
    }
    return text;
}

const std::string& Corpus() {
    static const std::string corpus = [] {
        const std::string dir = CompilerIncludeDirectory();
        std::vector<std::filesystem::path> files;
        std::error_code ec;
        if (!dir.empty()) {
            for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
                 !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
                if (it->is_regular_file()) {
                    files.push_back(it->path());
                }
            }
        }
        std::sort(files.begin(), files.end());
        std::string text;
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        if (text.size() < (1u << 20)) {
            std::fprintf(stderr,
                         "convert_bench: no compiler headers found, using a generated corpus\n");
            return GeneratedCorpus();
        }
        std::fprintf(stderr, "convert_bench: %zu files, %zu bytes from %s\n", files.size(),
                     text.size(), dir.c_str());
        return text;
    }();
    return corpus;
}

// Every distinct identifier-like word of the corpus, so that every word of it is a keyword.
const std::string& AllWordsAsKeywords() {
    static const std::string keywords = [] {
        std::set<std::string> words;
        const std::string& text = Corpus();
        std::string word;
        for (char c : text) {
            if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#') {
                word += c;
            } else if (!word.empty()) {
                words.insert(word);
                word.clear();
            }
        }
        std::string joined;
        for (const auto& w : words) {
            joined += (joined.empty() ? "" : " ") + w;
        }
        return joined;
    }();
    return keywords;
}

// A text made of the built-in keywords only, one or two to a line.
const std::string& KeywordText() {
    static const std::string text = [] {
        std::vector<std::string> words;
        std::istringstream in(kCppDefaultKeywords);
        for (std::string w; in >> w;) {
            words.push_back(w);
        }
        std::mt19937 rng(3);
        std::string t;
        while (t.size() < Corpus().size()) {
            t += words[rng() % words.size()];
            t += rng() % 2 ? " " : "\n";
        }
        return t;
    }();
    return text;
}

void Settings(ProfileSettings& s, const char* keywords) {
    SetCppDefaults(s);
    s.SetKeywords(keywords);
}

// `fresh_memory`: every big block comes fresh from the system (see BM_ConvertCssFreshMemory).
// `classes`: the literal classes and directive lines on, in their suggested colours, and with
// `names` the name classes too. `lines`: line numbers and a tenth of the lines marked.
void RunConvert(benchmark::State& state, const std::string& source, const char* keywords, int css,
                bool fresh_memory = false, bool classes = false, bool lines = false,
                bool names = false, const char* theme = nullptr) {
    ProfileSettings settings;
    Settings(settings, keywords);
    if (classes) {
        SetSuggestedClassColours(settings);
    }
    if (names) {
        SetSuggestedNameColours(settings);
    }
    if (lines) {
        settings.b_line_numbers = 1;
        settings.SetMarkedLines("3-5,9,100-2000,5000-9000,20000-60000"); // a tenth
    }
    // A theme's record, built once as tarvo-convert builds it.
    StyleRecord style;
    BuildStyle(settings, style);
    if (theme != nullptr) {
        ApplyTheme(*FindBuiltInTheme(theme), style);
    }
    std::size_t out_size = 0;
    std::size_t peak = 0;
    for (auto _ : state) {
        if (fresh_memory) {
            state.PauseTiming();
            ::malloc_trim(0); // free pages go back to the system, to come back cleared
            state.ResumeTiming();
        }
        std::string html;
        const std::size_t before = g_heap_now;
        g_heap_peak = before;
        if (theme != nullptr) {
            ConvertSource(settings, style, source, css, html);
        } else {
            ConvertSource(settings, source, css, html);
        }
        peak = g_heap_peak - before;
        out_size = html.size();
        benchmark::DoNotOptimize(html.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
    state.counters["out/in"] = double(out_size) / double(source.size());
    // Peak heap of one conversion beyond what existed before, over input plus output.
    state.counters["peak/(in+out)"] = double(peak) / double(source.size() + out_size);
}

void BM_ConvertCss(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 1);
}
void BM_ConvertFontMarkup(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 0);
}
// With strings, characters, numbers and directive lines marked: a lexer of C++ runs instead.
void BM_ConvertCssAllClasses(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 1, false, true);
}
void BM_ConvertCssAllClassesAndNames(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 1, false, true, false, true);
}
void BM_ConvertFontMarkupAllClasses(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 0, false, true);
}
void BM_ConvertEveryWordAKeyword(benchmark::State& state) {
    RunConvert(state, Corpus(), AllWordsAsKeywords().c_str(), 1);
}
void BM_ConvertKeywordsOnly(benchmark::State& state) {
    RunConvert(state, KeywordText(), kCppDefaultKeywords, 1);
}

// Line numbers and marked lines on: the pass over the output's lines comes on top.
void BM_ConvertCssNumberedMarked(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 1, false, false, true);
}
void BM_ConvertFontMarkupNumberedMarked(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 0, false, false, true);
}

// In a theme (bold, italic and backgrounds in the tags), beside the same with the profile's
// colours above.
void BM_ConvertCssThemed(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 1, false, false, false, false, "gruvbox-dark");
}
void BM_ConvertFontMarkupThemed(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 0, false, false, false, false, "gruvbox-dark");
}
void BM_ConvertFontMarkupAllClassesThemed(benchmark::State& state) {
    RunConvert(state, Corpus(), kCppDefaultKeywords, 0, false, true, false, false, "gruvbox-dark");
}

// A -d page in the light theme alone, and the same page for both schemes (its style sheet
// carries the dark theme's rules too); and the snippet of --inline-styles alike, whose every
// colour is a light-dark() of both themes' when dual.
void RunPage(benchmark::State& state, bool dual, bool inline_styles) {
    ProfileSettings settings;
    Settings(settings, kCppDefaultKeywords);
    StyleRecord style, dark;
    BuildStyle(settings, style);
    BuildStyle(settings, dark);
    ApplyTheme(*FindBuiltInTheme("github-light"), style);
    ApplyTheme(*FindBuiltInTheme("github-dark"), dark);
    const std::string& source = Corpus();
    std::size_t out_size = 0;
    for (auto _ : state) {
        std::string page;
        if (inline_styles) {
            page = dual ? BuildRichText(source, settings, style, dark)
                        : BuildRichText(source, settings, style, 1);
        } else {
            std::string html;
            ConvertSource(settings, style, source, 1, html);
            page = BuildHtmlPage("corpus", html,
                                 dual ? BuildStyleSheet(style, dark) : BuildStyleSheet(style));
        }
        out_size = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
    state.counters["out/in"] = double(out_size) / double(source.size());
}
void BM_PageThemed(benchmark::State& state) {
    RunPage(state, false, false);
}
void BM_PageDual(benchmark::State& state) {
    RunPage(state, true, false);
}
void BM_InlineThemed(benchmark::State& state) {
    RunPage(state, false, true);
}
void BM_InlineDual(benchmark::State& state) {
    RunPage(state, true, true);
}

// The yardstick: escaping alone, one character at a time, into a reserved string.
void BM_EscapeOnly(benchmark::State& state) {
    const std::string& source = Corpus();
    for (auto _ : state) {
        std::string out;
        out.reserve(source.size() + source.size() / 8);
        for (char c : source) {
            switch (c) {
            case '\t':
                out += "    ";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            default:
                out += c;
                break;
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
}

// As BM_ConvertCss, but every big block comes fresh from the system, as in a new process such as
// tarvo-convert: the system must clear each page before its first use, which the blocks that
// the other benchmarks reuse from one iteration to the next never cost. Registered last, since
// it changes the allocator for the rest of the process.
void BM_ConvertCssFreshMemory(benchmark::State& state) {
    ::mallopt(M_MMAP_THRESHOLD, 1 << 20);
    RunConvert(state, Corpus(), kCppDefaultKeywords, 1, true);
}

} // namespace

BENCHMARK(BM_EscapeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertCss)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFontMarkup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertCssAllClasses)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertCssAllClassesAndNames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertFontMarkupAllClasses)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertEveryWordAKeyword)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertKeywordsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertCssNumberedMarked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFontMarkupNumberedMarked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertCssThemed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFontMarkupThemed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFontMarkupAllClassesThemed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertCssFreshMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageThemed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDual)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InlineThemed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InlineDual)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
