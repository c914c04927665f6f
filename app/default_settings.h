#pragma once
// The built-in settings for C and C++ that "C++ &defaults" puts into the controls.

// 60 keywords, one space between each two: a lone "#" first, preprocessor directives (with
// "#defined"), then the C++ keywords.
inline constexpr const char* kDefaultKeywords =
    "# #define #undef #defined #include #pragma #if #else #elif #endif #ifdef #ifndef asm auto "
    "break case catch char class const continue default delete do double else enum extern float "
    "for friend goto if inline int long new operator private protected public register return "
    "short signed sizeof static struct switch template this throw try typedef union unsigned "
    "virtual void volatile while";
