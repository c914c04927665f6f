// Scale of the configuration reader: a profiles.ini with 10,000 profiles opened and every one of
// its settings looked up as the profile list reads them, and a 10 MB file of statements opened.
// Run: build/bench/bench/config_bench (a Release build).

#include "config/config_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle TextFile(const std::string& text) {
    FileHandle file(std::tmpfile());
    if (file) {
        std::fwrite(text.data(), 1, text.size(), file.get());
    }
    return file;
}

constexpr int kProfiles = 10000;

std::string ProfileList() {
    std::string text = "// Tarvo profile list\n//\n// here profile name/file settings are stored\n"
                       "//\n\nn_profile_num = " +
                       std::to_string(kProfiles) + ";\nn_default_profile = 17;\n";
    char line[160];
    for (int i = 0; i < kProfiles; ++i) {
        std::snprintf(line, sizeof line,
                      "p_profile_name[%d].p_s_name = \"Profile number %d\";\n"
                      "p_profile_name[%d].p_s_file_name = \"profile_%08x.ini\";\n",
                      i, i, i, static_cast<unsigned>(i) * 2654435761u);
        text += line;
    }
    return text + "\n// end of file";
}

// Statements of every kind, repeated up to `bytes`.
std::string Statements(std::size_t bytes) {
    std::string text;
    char line[400];
    for (int i = 0; text.size() < bytes; ++i) {
        std::snprintf(
            line, sizeof line,
            "// block %d\nn_value[%d] = %d;\nn_color[%d] = 0x%06x; /* colour */\n"
            "p_s_keyword[%d] = \"key\\tword \\\"%d\\\"\";\nc[%d] = '\\n'; f[%d] = %d.25;\n"
            "r[%d] = n_value[%d];\nl[%d] = { %d, \"x\", r[%d], };\n",
            i, i, -i, i, i * 7919 & 0xffffff, i, i, i, i, i, i, i, i, i, i);
        text += line;
    }
    return text;
}

void BM_ProfileListOpenAndLookUps(benchmark::State& state) {
    const std::string text = ProfileList();
    const FileHandle file = TextFile(text);
    std::vector<char> buffer;
    char key[64];
    for (auto _ : state) {
        std::rewind(file.get());
        ConfigFile config;
        int32_t count = 0;
        int32_t length = 0;
        int32_t default_profile = 0;
        if (config.Open(file.get()) != CFG_OK || config.GetInt("n_profile_num", count) != CFG_OK) {
            state.SkipWithError("profile list did not open");
            break;
        }
        for (int32_t i = 0; i < count; ++i) {
            for (const char* field : {"p_s_name", "p_s_file_name"}) {
                std::snprintf(key, sizeof key, "p_profile_name[%d].%s", static_cast<int>(i), field);
                if (config.GetStringLength(key, length) != CFG_OK) {
                    state.SkipWithError("missing entry");
                    return;
                }
                buffer.resize(static_cast<std::size_t>(length) + 1);
                config.GetString(key, buffer.data(), length + 1);
            }
        }
        config.GetInt("n_default_profile", default_profile);
        benchmark::DoNotOptimize(default_profile);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
    state.counters["keys"] = 2 * kProfiles + 2;
}
BENCHMARK(BM_ProfileListOpenAndLookUps)->Unit(benchmark::kMillisecond)->Repetitions(9);

void BM_Open10MBOfStatements(benchmark::State& state) {
    const std::string text = Statements(10 * 1024 * 1024);
    const FileHandle file = TextFile(text);
    for (auto _ : state) {
        std::rewind(file.get());
        ConfigFile config;
        if (config.Open(file.get()) != CFG_OK) {
            state.SkipWithError("statements did not open");
            break;
        }
        benchmark::DoNotOptimize(config.TokenCount());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_Open10MBOfStatements)->Unit(benchmark::kMillisecond)->Repetitions(9);

} // namespace
