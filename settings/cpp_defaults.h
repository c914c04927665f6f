#pragma once
// The built-in settings for C and C++ ("C++ defaults").

#include "settings/profile_settings.h"

// Sixty keywords, preprocessor directives among them, one space between each two.
inline constexpr const char* kCppDefaultKeywords =
    "# #define #undef #defined #include #pragma #if #else #elif #endif #ifdef #ifndef asm auto "
    "break case catch char class const continue default delete do double else enum extern float "
    "for friend goto if inline int long new operator private protected public register return "
    "short signed sizeof static struct switch template this throw try typedef union unsigned "
    "virtual void volatile while";

inline constexpr int32_t kCppDefaultTabSize = 4;
inline constexpr uint32_t kCppDefaultKeywordColor = 0x0000FF;
inline constexpr uint32_t kCppDefaultCommentColor = 0x008000;
inline constexpr uint32_t kCppDefaultTableLtColor = 0xA8C8E8;
inline constexpr uint32_t kCppDefaultTableDkColor = 0x4084D0;
inline constexpr int32_t kCppDefaultFontSize = 13;
inline constexpr int32_t kCppDefaultTableWidth = 80;

// Turns the literal classes and directive lines on with their suggested colours.
void SetSuggestedClassColours(ProfileSettings& settings) noexcept;
// Turns the name classes (functions, types, namespaces, macros) on with their suggested colours.
void SetSuggestedNameColours(ProfileSettings& settings) noexcept;

// Fills `settings` with the built-in settings: every setting at its default
// (settings/setting_table.h), the optional classes, line numbers and themes off. Returns 1, or 0
// when memory runs out.
int SetCppDefaults(ProfileSettings& settings);
