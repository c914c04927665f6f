// Reads any bytes as a profile file and as profiles.ini. Whatever reads must survive a write and
// a second read unchanged: the writer escapes what the reader would take apart.

#include "profiles/profile_file.h"
#include "profiles/profile_list_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const std::string& Directory() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/tarvo-fuzz-XXXXXX";
        Check(::mkdtemp(pattern) != nullptr);
        return std::string(pattern);
    }();
    return dir;
}

void Store(const std::string& path, const uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    Check(f != nullptr && std::fwrite(data, 1, size, f) == size && std::fclose(f) == 0);
}

void CheckProfile(const std::string& path) {
    ProfileSettings first;
    if (!first.ReadProfileFile(path.c_str())) {
        return;
    }
    const std::string again = Directory() + "/again.ini";
    Check(first.WriteProfileFile(again.c_str()) == 1);
    ProfileSettings second;
    Check(second.ReadProfileFile(again.c_str()) == 1);
    Check(ProfileFileText(first, "x") == ProfileFileText(second, "x"));
}

void CheckList(const std::string& path) {
    ProfileList first;
    if (ReadProfileListFile(path.c_str(), first, WhenMissing::Leave) != ProfileListRead::Read) {
        return;
    }
    const std::string again = Directory() + "/again-list.ini";
    Check(WriteProfileListFile(again.c_str(), first) == 1);
    ProfileList second;
    Check(ReadProfileListFile(again.c_str(), second, WhenMissing::Leave) == ProfileListRead::Read);
    Check(ProfileListText(first) == ProfileListText(second) || first.GetCount() == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string path = Directory() + "/input.ini";
    Store(path, data, size);
    CheckProfile(path);
    CheckList(path);
    return 0;
}
