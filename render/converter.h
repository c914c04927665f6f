#pragma once
// Turns C and C++ source text into an HTML fragment: keywords and comments marked, <, > and &
// escaped, tabs replaced, optionally framed by a one-cell table, in font markup or CSS classes.

#include "lexing/pass_output.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace names {
class TreeNames;
}

enum class NoticeStyle {
    Information, // shown with the information icon
    Stop,        // shown with the stop icon
};

inline constexpr const char* kNoticeKeepTabs = "Negative tab-size = keep tabs";
inline constexpr const char* kNoticeMaxTabSize = "Max tab-size is 255 !";
// "lenght" as users have always seen it: the text stays as it is, spelling included.
inline constexpr const char* kNoticeOver64k = "Text lenght is over 64k !";

inline constexpr int32_t kProgressMax = 1024; // the escape pass covers 0..512, the scan 512..1024

// What a conversion tells its caller while it runs. Every call is optional.
class ConvertObserver : public ProgressObserver {
public:
    // A notice to show at once; the conversion goes on afterwards.
    virtual void Notice(NoticeStyle /*style*/, const char* /*text*/) {}
    // The opening piece followed by the escaped source, once, before the keyword scan.
    virtual void EscapeDone(std::string_view /*escaped*/) {}
    // What a tree of files declares, for a conversion of one of them with a name class on: its
    // names are then known by what the other files declare too. Null: the text alone.
    virtual const names::TreeNames* Names() const { return nullptr; }
    // Whether the conversion may run part of its work on a thread of its own: not where the
    // caller keeps every core busy already.
    virtual bool MayUseThreads() const { return true; }
};

// Converts `source` with `settings`; `b_css` nonzero chooses CSS classes, zero font markup.
// Sorts the keyword list of `settings` in place, longest first. Returns 1 with the HTML in
// `html`, or 0 with `html` empty when memory ran out while building it.
int ConvertSource(ProfileSettings& settings, std::string_view source, int b_css, std::string& html,
                  ConvertObserver* observer = nullptr);
// The same with the looks of `style` instead of those built from `settings` (BuildStyle), whose
// keywords and tab size it still uses.
int ConvertSource(ProfileSettings& settings, const StyleRecord& style, std::string_view source,
                  int b_css, std::string& html, ConvertObserver* observer = nullptr);

// The same, the HTML handed to `blocks` a block at a time as it is made (BufferedText), so that
// it is never held whole; `style` null: the looks that `settings` give. Returns 0 when memory
// ran out or `blocks` refused a block; what it took is then only part of the HTML.
class TextBlocks;
int ConvertSourceInBlocks(ProfileSettings& settings, const StyleRecord* style,
                          std::string_view source, int b_css, TextBlocks& blocks,
                          ConvertObserver* observer = nullptr);
