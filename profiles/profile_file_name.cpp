#include "profiles/profile_file_name.h"

#include <cerrno>
#include <cstdio>

int32_t ProfileNumberSequence::Next() noexcept {
    // A multiplier of the form 4k + 1 and an odd increment give the full period of 2^15.
    m_state = (m_state * 25173u + 13849u) % uint32_t(kRange);
    return int32_t(m_state);
}

namespace {

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

bool ClaimProfileFileName(const ProfileList& list, ProfileNumberSequence& numbers,
                          int32_t max_draws, const ProfileFolder& folder,
                          char (&name)[kProfileFileNameSize]) {
    errno = EEXIST;
    for (int32_t draw = 0; draw < max_draws; ++draw) {
        std::snprintf(name, sizeof name, "profile_%08x.ini", unsigned(numbers.Next()));
        if (HeldByList(list, name)) {
            continue;
        }
        if (folder.disk->CreateNew(folder.PathOf(name).c_str())) {
            return true;
        }
        if (errno != EEXIST) {
            break; // the folder takes no new file at all
        }
    }
    const int error = errno;
    name[0] = '\0';
    errno = error;
    return false;
}
