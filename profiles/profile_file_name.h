#pragma once
// File names for new profiles: "profile_%08x.ini" with numbers from a fixed sequence, so that
// every run offers the same candidates in the same order.

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

// Draws up to `max_draws` numbers and writes the first free name to `name`: free means that
// nothing of that name exists in the current directory, not even a dangling link, and that no
// entry of `list` holds it as its file name, ignoring case. Returns false when no drawn name
// was free; kRange draws try every name once.
bool ChooseProfileFileName(const ProfileList& list, ProfileNumberSequence& numbers,
                           int32_t max_draws, char (&name)[kProfileFileNameSize]);
