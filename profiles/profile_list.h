#pragma once
// The profile list: for each profile its name and the file that holds its settings, in the
// order of profiles.ini, and which one is the default.

#include <cstdint>

// Owns its two strings (blocks from tarvo::TryAllocate): it moves, and is never copied.
struct ProfileEntry {
    char* p_s_name = nullptr;      // shown in the profile box, found ignoring case
    char* p_s_file_name = nullptr; // the profile file, as profiles.ini lists it

    ProfileEntry() = default;
    ~ProfileEntry() { Clear(); }
    ProfileEntry(ProfileEntry&& other) noexcept;
    ProfileEntry& operator=(ProfileEntry&& other) noexcept;
    ProfileEntry(const ProfileEntry&) = delete;
    ProfileEntry& operator=(const ProfileEntry&) = delete;

    // Frees both strings and sets them to null.
    void Clear() noexcept;
};

class ProfileList {
public:
    ProfileList() = default;
    ~ProfileList() { RemoveAll(); }
    ProfileList(const ProfileList&) = delete;
    ProfileList& operator=(const ProfileList&) = delete;

    // Appends an entry that takes over both strings (blocks from tarvo::TryAllocate). Returns 1,
    // or 0 when memory runs out: the list is unchanged and the caller still owns the strings.
    // A full list grows as a PtrArray does (GrownCapacity).
    int Add(char* name, char* file_name) noexcept;
    // The entry at `index`, or null when there is none.
    ProfileEntry* GetAt(int32_t index) noexcept;
    const ProfileEntry* GetAt(int32_t index) const noexcept;
    // The index of the first entry whose name equals `text` when the case of A to Z is ignored,
    // or -1.
    int32_t FindByName(const char* text) const noexcept;
    // Removes the entry at `index`, freeing its strings; the later entries move down. Returns 0
    // when there is no such entry.
    int RemoveAt(int32_t index) noexcept;
    // Frees every entry and the storage. Leaves n_default_profile alone.
    void RemoveAll() noexcept;

    int32_t GetCount() const noexcept { return m_count; }

    // The index of the default entry; a value outside 0 to count-1 means there is none.
    int32_t n_default_profile = 0;

private:
    int32_t m_capacity = 0;
    int32_t m_count = 0;
    ProfileEntry* m_items = nullptr;
};

// Equality as the runtime's case-insensitive compare has it in its default locale: only the
// letters A to Z fold to a to z.
bool EqualIgnoringAsciiCase(const char* a, const char* b) noexcept;
