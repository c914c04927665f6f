#include "settings/profile_settings.h"

#include "base/memory.h"

#include <cstdlib>
#include <cstring>

void ProfileSettings::ClearKeywords() noexcept {
    for (int32_t i = 0; i < p_s_keyword.GetCount(); ++i) {
        std::free(*p_s_keyword.GetAt(i));
    }
    p_s_keyword.RemoveAll();
}

int ProfileSettings::SetKeywords(const char* text) noexcept {
    ClearKeywords();
    if (text == nullptr) {
        return 1;
    }
    const char* run = text;
    while (*run != '\0') {
        const char* end = run;
        while (*end != '\0' && *end != ' ' && *end != '\t' && *end != '\n') {
            ++end;
        }
        // A line typed in the keyword box ends with CR LF; the CR is part of the break.
        const char* keyword_end = end;
        if (*end == '\n' && keyword_end != run && keyword_end[-1] == '\r') {
            --keyword_end;
        }
        char* keyword = tarvo::DuplicateString(run, std::size_t(keyword_end - run));
        if (keyword == nullptr) {
            return 0;
        }
        if (!p_s_keyword.Add(keyword)) {
            std::free(keyword);
            return 0;
        }
        if (*end == '\0') {
            break;
        }
        run = end + 1;
    }
    return 1;
}

int OwnedText::Set(const char* text) noexcept {
    char* copy = nullptr;
    if (text != nullptr && *text != '\0') {
        copy = tarvo::DuplicateString(text, std::strlen(text));
        if (copy == nullptr) {
            return 0;
        }
    }
    std::free(m_text);
    m_text = copy;
    return 1;
}
