// Reads any bytes as a profile file and as profiles.ini. Whatever reads must survive a write and
// a second read unchanged: the writer escapes what the reader would take apart. The files live on
// a disk in memory, so a run leaves nothing behind.

#include "files/memory_disk.h"
#include "profiles/profile_file.h"
#include "profiles/profile_list_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckProfile(MemoryDisk& disk) {
    ProfileSettings first;
    if (!ReadProfileFile(disk, "input.ini", first)) {
        return;
    }
    Check(WriteProfileFile(disk, "again.ini", "again.ini", first) == 1);
    ProfileSettings second;
    Check(ReadProfileFile(disk, "again.ini", second) == 1);
    Check(ProfileFileText(first, "x") == ProfileFileText(second, "x"));
}

void CheckList(MemoryDisk& disk) {
    ProfileList first;
    if (ReadProfileListFile(disk, "input.ini", first, WhenMissing::Leave) !=
        ProfileListRead::Read) {
        return;
    }
    Check(WriteProfileListFile(disk, "again-list.ini", first) == 1);
    ProfileList second;
    Check(ReadProfileListFile(disk, "again-list.ini", second, WhenMissing::Leave) ==
          ProfileListRead::Read);
    Check(ProfileListText(first) == ProfileListText(second) || first.GetCount() == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    MemoryDisk disk;
    disk.Put("input.ini", std::string(reinterpret_cast<const char*>(data), size));
    CheckProfile(disk);
    CheckList(disk);
    return 0;
}
