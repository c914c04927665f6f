// The name marker's speed on real C++: the standard library headers that ship with the
// compiler, concatenated and escaped as a conversion escapes them; the marker alone, asked
// word by word as the class scan asks it, and the tree's first pass.
//
//   build/bench/bench/names_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only
//
// The marker's figure is its use in a conversion: made on the escaped text, then asked the
// class of every identifier word in order (ClassEveryWord).

#include "names/name_marker.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <string>
#include <vector>

// Heap accounting, for the peak memory of one marking.
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
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
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
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

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

const std::vector<std::string>& Files() {
    static const std::vector<std::string> files = [] {
        std::vector<std::filesystem::path> paths;
        std::error_code ec;
        const std::string dir = CompilerIncludeDirectory();
        if (!dir.empty()) {
            for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
                 !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
                if (it->is_regular_file()) {
                    paths.push_back(it->path());
                }
            }
        }
        std::sort(paths.begin(), paths.end());
        std::vector<std::string> texts;
        for (const auto& p : paths) {
            std::ifstream in(p, std::ios::binary);
            texts.emplace_back(std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>());
        }
        if (texts.empty()) {
            texts.emplace_back("template <class T> struct A { A(); std::vector<T> f(); };\n");
        }
        return texts;
    }();
    return files;
}

// The corpus escaped, repeated up to `megabytes` when asked.
std::string Escaped(std::size_t megabytes = 0) {
    std::string source;
    for (const auto& f : Files()) {
        source += f;
    }
    if (megabytes != 0) {
        const std::string once = source;
        source.clear();
        while (source.size() < (megabytes << 20)) {
            source += once;
        }
        source.resize(megabytes << 20);
    }
    std::string text = "<pre><code class=\"cpp_text\">\r\n";
    for (char c : source) {
        text += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
    }
    return text;
}

constexpr std::size_t kOpening = 29;

void MarkAll(benchmark::State& state, const std::string& text) {
    std::size_t marks = 0;
    std::size_t peak = 0;
    for (auto _ : state) {
        g_heap_peak = g_heap_now;
        const std::size_t before = g_heap_now;
        names::NameMarker marker(text, kOpening);
        marks = 0;
        for (names::NameMark m; marker.Next(m);) {
            ++marks;
        }
        benchmark::DoNotOptimize(marks);
        peak = g_heap_peak - before;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["marks"] = double(marks);
    state.counters["peak_heap_MB"] = double(peak) / (1 << 20);
}

void BM_NamesMark(benchmark::State& state) {
    static const std::string text = Escaped();
    MarkAll(state, text);
}
BENCHMARK(BM_NamesMark)->Unit(benchmark::kMillisecond);

// The identifier words of the text, as the class scan finds them.
std::vector<std::size_t> WordStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    bool in_word = false;
    for (std::size_t i = kOpening; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool w = std::isalnum(c) || c == '_' || c >= 0x80;
        if (w && !in_word && !std::isdigit(c)) {
            starts.push_back(i);
        }
        in_word = w;
    }
    return starts;
}

// One conversion's use of the marker: made on the text, then asked the class of every
// identifier word of code, in order.
__attribute__((noinline)) std::size_t ClassEveryWord(const std::string& text,
                                                     const std::vector<std::size_t>& words) {
    names::NameMarker marker(text, kOpening);
    std::size_t marked = 0;
    for (std::size_t start : words) {
        marked += marker.ClassAt(start) != NameClass::None;
    }
    return marked;
}

void ClassAtEveryWord(benchmark::State& state, const std::string& text) {
    const std::vector<std::size_t> words = WordStarts(text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ClassEveryWord(text, words));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_NamesClassAtEveryWord(benchmark::State& state) {
    static const std::string text = Escaped();
    ClassAtEveryWord(state, text);
}
BENCHMARK(BM_NamesClassAtEveryWord)->Unit(benchmark::kMillisecond);

// 10 and 100 MB as a conversion asks: the time should grow tenfold.
void BM_NamesClassAtMegabytes(benchmark::State& state) {
    const std::string text = Escaped(std::size_t(state.range(0)));
    ClassAtEveryWord(state, text);
}
BENCHMARK(BM_NamesClassAtMegabytes)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

__attribute__((noinline)) std::size_t TreePass() {
    names::TreeNames tree;
    for (const auto& f : Files()) {
        tree.AddSource(f);
    }
    return tree.Table().Size();
}

// The tree's first pass over every file.
void BM_TreeNames(benchmark::State& state) {
    std::size_t bytes = 0;
    std::size_t names = 0;
    for (const auto& f : Files()) {
        bytes += f.size();
    }
    for (auto _ : state) {
        names = TreePass();
        benchmark::DoNotOptimize(names);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.counters["names"] = double(names);
}
BENCHMARK(BM_TreeNames)->Unit(benchmark::kMillisecond);

} // namespace

// One run outside the benchmark loop, for counting instructions:
//   valgrind --tool=callgrind --toggle-collect='*ClassEveryWord*' names_bench --once 10
//   valgrind --tool=callgrind --toggle-collect='*TreePass*' names_bench --once-tree
int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--once") {
        const std::string text = Escaped(std::size_t(std::atoi(argv[2])));
        const std::size_t marked = ClassEveryWord(text, WordStarts(text));
        std::printf("%zu bytes, %zu words marked\n", text.size(), marked);
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--once-tree") {
        Files();
        std::printf("%zu names\n", TreePass());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
