#include "profiles/profile_file_name.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

int32_t ProfileNumberSequence::Next() noexcept {
    // A multiplier of the form 4k + 1 and an odd increment give the full period of 2^15.
    m_state = (m_state * 25173u + 13849u) % uint32_t(kRange);
    return int32_t(m_state);
}

namespace {

bool ExistsOnDisk(const char* name) {
    struct stat st;
    // Anything but a plain "not there" counts as taken: a name that cannot be checked is no
    // safe place for a new file.
    return ::lstat(name, &st) == 0 || errno != ENOENT;
}

bool HeldByList(const ProfileList& list, const char* name) {
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        const char* held = list.GetAt(i)->p_s_file_name;
        if (held != nullptr && EqualIgnoringAsciiCase(held, name)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool ChooseProfileFileName(const ProfileList& list, ProfileNumberSequence& numbers,
                           int32_t max_draws, char (&name)[kProfileFileNameSize]) {
    for (int32_t draw = 0; draw < max_draws; ++draw) {
        std::snprintf(name, sizeof name, "profile_%08x.ini", unsigned(numbers.Next()));
        if (!HeldByList(list, name) && !ExistsOnDisk(name)) {
            return true;
        }
    }
    name[0] = '\0';
    return false;
}
