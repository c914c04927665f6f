#pragma once
// File names for new profiles: "profile_%08x.ini" with numbers from a fixed sequence, so that
// every run offers the same candidates in the same order.

#include "profiles/profile_folder.h"
#include "profiles/profile_list.h"

#include <cstddef>
#include <cstdint>

// The numbers 0 to 32767, each once before any of them comes again.
class ProfileNumberSequence {
public:
    static constexpr int32_t kRange = 32768;

    int32_t Next() noexcept;

private:
    uint32_t m_state = 0;
};

inline constexpr std::size_t kProfileFileNameSize = sizeof "profile_00000000.ini";

// Draws up to `max_draws` numbers and claims the first free name for a new profile, writing it
// to `name`: no entry of `list` holds it as its file name, ignoring case, and it is created in
// `folder` as an empty file that nothing of that name preceded, not even a dangling link
// (O_CREAT|O_EXCL), so that no other window or process can take it too. Returns false when no
// drawn name was free (errno EEXIST) or the folder refused a new file (errno tells why); kRange
// draws try every name once.
bool ClaimProfileFileName(const ProfileList& list, ProfileNumberSequence& numbers,
                          int32_t max_draws, const ProfileFolder& folder,
                          char (&name)[kProfileFileNameSize]);
