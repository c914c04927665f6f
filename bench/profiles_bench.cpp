// Loading a profile with 1.8 million keywords and a profiles.ini with 800,000 entries, each
// from a real file: both must take well under 2 s, which only lists that grow geometrically give.
// Run: scripts/bench --benchmark_filter=Load (a Release build).

#include "profiles/profile_file.h"
#include "profiles/profile_list_file.h"
#include "settings/cpp_defaults.h"
#include "settings/profile_settings.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

constexpr int kKeywords = 1800000;
constexpr int kEntries = 800000;

// These files are far beyond what the program reads as a profile (Disk::kReadLimit): the reader
// is measured on them all the same.
Disk& LargeFiles() {
    return RealDiskReadingUpTo(std::size_t(1) << 30);
}

// A file in a folder of its own, removed at the end.
class ScratchFile {
public:
    ScratchFile() {
        char pattern[] = "/tmp/tarvo-bench-XXXXXX";
        m_dir = ::mkdtemp(pattern) != nullptr ? pattern : "";
        m_path = m_dir + "/file.ini";
    }
    ~ScratchFile() {
        std::remove(m_path.c_str());
        ::rmdir(m_dir.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const char* Path() const { return m_path.c_str(); }

private:
    std::string m_dir;
    std::string m_path;
};

void BM_LoadProfileWith1800000Keywords(benchmark::State& state) {
    ScratchFile file;
    {
        ProfileSettings settings;
        std::string words;
        for (int i = 0; i < kKeywords; ++i) {
            words += "kw" + std::to_string(i) + " ";
        }
        words.pop_back();
        if (!settings.SetKeywords(words.c_str()) || !WriteProfileFile(file.Path(), settings)) {
            state.SkipWithError("cannot write the profile");
            return;
        }
    }
    for (auto _ : state) {
        ProfileSettings settings;
        if (!ReadProfileFile(LargeFiles(), file.Path(), settings) ||
            settings.KeywordCount() != kKeywords) {
            state.SkipWithError("the profile did not load");
            break;
        }
        benchmark::DoNotOptimize(settings.KeywordCount());
    }
}
BENCHMARK(BM_LoadProfileWith1800000Keywords)->Unit(benchmark::kMillisecond)->Iterations(3);

// A profile as the first start writes it, every opt-in key set: the cost of each key's look-up
// and check, which the keyword list hides in the benchmark above.
void BM_LoadEveryKeyOfATypicalProfile(benchmark::State& state) {
    ScratchFile file;
    {
        ProfileSettings settings;
        if (!SetCppDefaults(settings)) {
            state.SkipWithError("out of memory");
            return;
        }
        SetSuggestedClassColours(settings);
        SetSuggestedNameColours(settings);
        settings.b_line_numbers = 1;
        settings.n_first_line = 10;
        settings.n_mark_color = 0xFFEEDD;
        std::snprintf(settings.p_s_theme, sizeof settings.p_s_theme, "%s", "nord");
        std::snprintf(settings.p_s_dark_theme, sizeof settings.p_s_dark_theme, "%s", "dark");
        if (!settings.SetMarkedLines("3-5,9") || !WriteProfileFile(file.Path(), settings)) {
            state.SkipWithError("cannot write the profile");
            return;
        }
    }
    for (auto _ : state) {
        ProfileSettings settings;
        if (!ReadProfileFile(file.Path(), settings) || settings.b_line_numbers != 1) {
            state.SkipWithError("the profile did not load");
            break;
        }
        benchmark::DoNotOptimize(settings.n_mark_color);
    }
}
BENCHMARK(BM_LoadEveryKeyOfATypicalProfile)->Unit(benchmark::kMicrosecond);

void BM_LoadProfileListWith800000Entries(benchmark::State& state) {
    ScratchFile file;
    {
        ProfileList list;
        for (int i = 0; i < kEntries; ++i) {
            char name[32];
            char file_name[32];
            std::snprintf(name, sizeof name, "Profile %d", i);
            std::snprintf(file_name, sizeof file_name, "profile_%08x.ini", unsigned(i));
            if (!list.Add(tarvo::DuplicateString(name, std::strlen(name)),
                          tarvo::DuplicateString(file_name, std::strlen(file_name)))) {
                state.SkipWithError("out of memory");
                return;
            }
        }
        if (!WriteProfileListFile(file.Path(), list)) {
            state.SkipWithError("cannot write the list");
            return;
        }
    }
    for (auto _ : state) {
        ProfileList list;
        if (ReadProfileListFile(LargeFiles(), file.Path(), list, WhenMissing::Leave) !=
                ProfileListRead::Read ||
            list.GetCount() != kEntries) {
            state.SkipWithError("the list did not load");
            break;
        }
        benchmark::DoNotOptimize(list.GetCount());
    }
}
BENCHMARK(BM_LoadProfileListWith800000Entries)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
