// The renditions of 1 MB of real C++ (the first MB of the newest C++ library headers, with CR LF
// line ends as the source box holds them): the HTML (also numbered), the RTF, the LaTeX, the
// terminal's (also numbered), and every clipboard flavour, each from the source, so that their
// costs compare in one run; and the line-end passes over the numbered HTML.
//
//   build/bench/bench/rtf_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only

#include "render/ansi_text.h"
#include "render/clipboard_data.h"
#include "render/converter.h"
#include "render/latex_text.h"
#include "render/rtf_text.h"
#include "settings/cpp_defaults.h"
#include "text/line_ends.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kSize = 1 << 20;

std::string GeneratedSource() {
    std::mt19937 rng(1);
    const char* const lines[] = {"template <class T>\r\n",
                                 "  int main(int argc, char** argv) {\r\n",
                                 "\treturn a < b && c > d; // compare {x} \\n\r\n",
                                 "  /* block\r\n   comment caf\xC3\xA9 */\r\n", "}\r\n"};
    std::string text;
    while (text.size() < kSize) {
        text += lines[rng() % 5];
    }
    return text;
}

const std::string& Source() {
    static const std::string source = [] {
        std::filesystem::path library;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator("/usr/include/c++", ec)) {
            if (std::filesystem::exists(e.path() / "bits") && e.path() > library) {
                library = e.path();
            }
        }
        std::vector<std::filesystem::path> files;
        if (!library.empty()) {
            for (const auto& e : std::filesystem::directory_iterator(library / "bits", ec)) {
                files.push_back(e.path());
            }
        }
        std::sort(files.begin(), files.end());
        std::string text;
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            for (auto it = std::istreambuf_iterator<char>(in);
                 it != std::istreambuf_iterator<char>() && text.size() < kSize; ++it) {
                text += *it == '\n' ? "\r\n" : std::string(1, *it);
            }
        }
        if (text.size() < kSize) {
            std::fprintf(stderr, "rtf_bench: no C++ headers found, using a generated source\n");
            return GeneratedSource();
        }
        return text;
    }();
    return source;
}

void Report(benchmark::State& state, std::size_t out) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Source().size()));
    state.counters["out/in"] = double(out) / double(Source().size());
}

// Runs `build(settings, out)` in each iteration and reports the size of what it wrote.
template <class Build>
void Measure(benchmark::State& state, ProfileSettings& settings, Build build) {
    std::size_t size = 0;
    for (auto _ : state) {
        std::string out;
        build(settings, out);
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, size);
}

void Html(ProfileSettings& settings, std::string& html) {
    ConvertSource(settings, Source(), 1, html);
}
void Rtf(ProfileSettings& settings, std::string& rtf) {
    BuildRtf(Source(), settings, 1, rtf);
}
void Latex(ProfileSettings& settings, std::string& latex) {
    BuildLatex(Source(), settings, latex);
}
void Ansi(ProfileSettings& settings, std::string& ansi) {
    BuildAnsi(Source(), settings, ansi);
}

void BM_Convert(benchmark::State& state) {
    ProfileSettings settings;
    SetCppDefaults(settings);
    Measure(state, settings, Html);
}
BENCHMARK(BM_Convert)->Unit(benchmark::kMillisecond);

// What --rtf does: the RTF written from the source's spans, as the HTML is.
void BM_Rtf(benchmark::State& state) {
    ProfileSettings settings;
    SetCppDefaults(settings);
    const int css = int(state.range(0));
    Measure(state, settings,
            [css](ProfileSettings& s, std::string& rtf) { BuildRtf(Source(), s, css, rtf); });
}
BENCHMARK(BM_Rtf)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Every optional class on, the lines numbered and a tenth of them marked: the most spans.
void BM_RtfAllClassesNumbered(benchmark::State& state) {
    ProfileSettings settings;
    SetCppDefaults(settings);
    SetSuggestedClassColours(settings);
    settings.b_line_numbers = 1;
    settings.SetMarkedLines("3-5,9,100-2000,5000-9000,20000-30000");
    Measure(state, settings, Rtf);
}
BENCHMARK(BM_RtfAllClassesNumbered)->Unit(benchmark::kMillisecond);

// The HTML with the lines numbered: the line logic of the writer.
void BM_ConvertNumbered(benchmark::State& state) {
    ProfileSettings settings;
    SetCppDefaults(settings);
    settings.b_line_numbers = 1;
    Measure(state, settings, Html);
}
BENCHMARK(BM_ConvertNumbered)->Unit(benchmark::kMillisecond);

// The LaTeX fragment and the terminal's rendition.
void BM_Latex(benchmark::State& state) {
    ProfileSettings settings;
    SetCppDefaults(settings);
    Measure(state, settings, Latex);
}
BENCHMARK(BM_Latex)->Unit(benchmark::kMillisecond);

void BM_Ansi(benchmark::State& state) {
    ProfileSettings settings;
    SetCppDefaults(settings);
    Measure(state, settings, Ansi);
}
BENCHMARK(BM_Ansi)->Unit(benchmark::kMillisecond);

// The terminal's rendition with the lines numbered and some marked: each line split.
void BM_AnsiNumbered(benchmark::State& state) {
    ProfileSettings settings;
    SetCppDefaults(settings);
    settings.b_line_numbers = 1;
    settings.SetMarkedLines("3-5,9,100-2000");
    Measure(state, settings, Ansi);
}
BENCHMARK(BM_AnsiNumbered)->Unit(benchmark::kMillisecond);

// What tarvo-convert does to the numbered HTML before it writes it (CR LF as LF), and the count
// of lines that numbering starts with: passes over every byte, with no call per line.
void BM_LineEndsOfNumberedHtml(benchmark::State& state) {
    ProfileSettings settings;
    SetCppDefaults(settings);
    settings.b_line_numbers = 1;
    std::string html;
    ConvertSource(settings, Source(), 1, html);
    std::size_t lines = 0;
    for (auto _ : state) {
        std::string text = html;
        ToLf(text);
        lines += CountLines(text);
        benchmark::DoNotOptimize(text.data());
    }
    benchmark::DoNotOptimize(lines);
    Report(state, html.size());
}
BENCHMARK(BM_LineEndsOfNumberedHtml)->Unit(benchmark::kMillisecond);

// Copy as rich text: the RTF and the rich HTML from one scan.
void BM_ClipboardFlavours(benchmark::State& state) {
    ProfileSettings settings;
    SetCppDefaults(settings);
    for (auto _ : state) {
        std::vector<ClipboardFlavour> flavours;
        BuildClipboardFlavours(Source(), settings, 1, flavours);
        benchmark::DoNotOptimize(flavours.data());
    }
    Report(state, 0);
}
BENCHMARK(BM_ClipboardFlavours)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
