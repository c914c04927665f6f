#pragma once
// A dialog described as data: the window and its controls, in dialog units, as the layer's
// Dialog turns them into widgets. Plain types only, so resource tables need no toolkit headers.

#include <cstdint>
#include <span>

namespace platform {

enum class ControlKind {
    GroupBox,         // a frame with a title; takes no focus
    Label,            // static text; an "&" access key moves the focus to the next control
    Edit,             // single-line edit box
    MultiLineEdit,    // multi-line edit box
    PushButton,       // a button that runs a command
    PushLikeCheckBox, // a button that toggles between pressed and released
    ComboBox,         // a combo box that takes a typed name and offers a sorted list
    ProgressBar,      // a bar that shows a position in a range, without text
};

// Control styles; a control's `styles` is a combination of these bits.
namespace style {
inline constexpr uint32_t kTabStop = 1u << 0;     // reached with Tab
inline constexpr uint32_t kGroup = 1u << 1;       // starts a group of controls
inline constexpr uint32_t kBorder = 1u << 2;      // drawn with a frame
inline constexpr uint32_t kVScroll = 1u << 3;     // vertical scroll bar
inline constexpr uint32_t kHScroll = 1u << 4;     // horizontal scroll bar
inline constexpr uint32_t kNumber = 1u << 5;      // edit: only digits can be typed
inline constexpr uint32_t kUpperCase = 1u << 6;   // edit: typed letters become capitals
inline constexpr uint32_t kRight = 1u << 7;       // edit: text aligned right
inline constexpr uint32_t kAutoHScroll = 1u << 8; // edit: scrolls sideways; multi-line: no wrap
inline constexpr uint32_t kAutoVScroll = 1u << 9; // multi-line edit: scrolls as lines are added
inline constexpr uint32_t kWantReturn = 1u << 10; // multi-line edit: Enter breaks the line
inline constexpr uint32_t kSorted = 1u << 11;     // combo box: items kept in order, case ignored
inline constexpr uint32_t kDropList = 1u << 12;   // combo box: a list to pick from, nothing typed
} // namespace style

inline constexpr int kStaticId = -1; // controls that nothing addresses

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* caption; // UTF-8; "" for none
    uint32_t styles;
    int x, y, width, height; // dialog units
};

struct DialogTemplate {
    const char* caption;
    int width, height;     // client area, dialog units
    const char* font_face; // the dialog font; the system's UI face stands in when missing
    int font_points;
    std::span<const ControlTemplate> controls; // creation order, which is also the tab order
};

// An entry of a context menu: a command, or a submenu when `submenu` is not empty.
struct MenuItemTemplate {
    int id;               // the command sent when the entry is picked; unused for a submenu
    const char* caption;  // UTF-8; an "&" marks the access key
    const char* shortcut; // e.g. "Ctrl+Shift+C" or "F5", valid anywhere in the window; "" for none
    std::span<const MenuItemTemplate> submenu;
};

// A control that takes part of the window's growth when the window is made larger than the
// template: all of the extra width, all of the extra height, or both. The others keep their
// places and sizes.
struct ControlStretch {
    int id;
    bool width;
    bool height;
};

// An image in XPM form, as C data.
using XpmImage = const char* const*;

// An application icon: the same picture at several sizes.
struct IconResource {
    std::span<const XpmImage> images;
};

} // namespace platform
