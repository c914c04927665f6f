#include "res/resource.h"

#include "res/keyword_sets.h"

#include <array>
#include <vector>

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kStaticId;
namespace style = platform::style;

constexpr uint32_t kLabel = style::kGroup;
constexpr uint32_t kNumberBox =
    style::kBorder | style::kTabStop | style::kNumber | style::kRight | style::kAutoHScroll;
constexpr uint32_t kColourBox =
    style::kBorder | style::kTabStop | style::kUpperCase | style::kRight | style::kAutoHScroll;
constexpr uint32_t kButton = style::kTabStop;
constexpr uint32_t kToggle = style::kTabStop;

// Template order is the tab order; "%" sits right of the table width yet comes last.
constexpr ControlTemplate kControls[] = {
    {kStaticId, ControlKind::GroupBox, "Config Section", 0, 7, 7, 171, 116},
    {kStaticId, ControlKind::Label, "T&ab size (-1=tab)", kLabel, 13, 18, 53, 8},
    {IDC_TAB_SIZE, ControlKind::Edit, "", kNumberBox, 13, 27, 40, 14},
    {kStaticId, ControlKind::Label, "Ke&yword color", kLabel, 13, 43, 46, 8},
    {IDC_KEYWORD_COLOR, ControlKind::Edit, "", kColourBox, 13, 52, 40, 14},
    {kStaticId, ControlKind::Label, "Co&mment color", kLabel, 13, 68, 49, 8},
    {IDC_COMMENT_COLOR, ControlKind::Edit, "", kColourBox, 13, 77, 40, 14},
    {kStaticId, ControlKind::Label, "Font si&ze", kLabel, 13, 93, 32, 8},
    {IDC_FONT_SIZE, ControlKind::Edit, "", kNumberBox, 13, 102, 40, 14},
    {kStaticId, ControlKind::Label, "Table dar&k color", kLabel, 71, 68, 55, 8},
    {IDC_TABLE_DK_COLOR, ControlKind::Edit, "", kColourBox, 71, 77, 40, 14},
    {kStaticId, ControlKind::Label, "Table l&ight color", kLabel, 71, 93, 53, 8},
    {IDC_TABLE_LT_COLOR, ControlKind::Edit, "", kColourBox, 71, 102, 40, 14},
    {kStaticId, ControlKind::Label, "Table widt&h", kLabel, 130, 68, 39, 8},
    {IDC_TABLE_WIDTH, ControlKind::Edit, "", kNumberBox, 130, 77, 30, 14},
    {kStaticId, ControlKind::Label, "Code to table", kLabel, 130, 93, 44, 8},
    {IDC_USE_TABLE, ControlKind::PushLikeCheckBox, "&Table", kToggle, 130, 102, 40, 14},
    {kStaticId, ControlKind::Label, "Keyw&ord list", kLabel, 71, 18, 38, 8},
    {IDC_KEYWORD_LIST, ControlKind::MultiLineEdit, "",
     style::kBorder | style::kTabStop | style::kVScroll | style::kAutoVScroll | style::kWantReturn,
     71, 27, 98, 39},
    {kStaticId, ControlKind::GroupBox, "Profile management", 0, 185, 7, 120, 116},
    {kStaticId, ControlKind::Label, "&Profile name", kLabel, 192, 18, 40, 8},
    {IDC_PROFILE_NAME, ControlKind::ComboBox, "",
     style::kTabStop | style::kVScroll | style::kSorted, 192, 27, 106, 30},
    {IDC_LOAD, ControlKind::PushButton, "&Load", kButton, 193, 48, 50, 14},
    {IDC_SAVE, ControlKind::PushButton, "&Save", kButton, 193, 66, 50, 14},
    {IDC_CPP_DEFAULTS, ControlKind::PushButton, "C++ &defaults", kButton, 193, 84, 50, 14},
    {IDC_W3C_CORRECT, ControlKind::PushLikeCheckBox, "W3C &correct", kToggle, 193, 102, 50, 14},
    {IDC_SET_DEFAULT, ControlKind::PushButton, "Set de&fault", kButton, 248, 48, 50, 14},
    {IDC_DELETE, ControlKind::PushButton, "D&elete", kButton, 248, 66, 50, 14},
    {IDC_GO, ControlKind::PushButton, "&Go", kButton, 248, 84, 50, 14},
    {IDC_VIEW_CSS, ControlKind::PushButton, "Vie&w CSS", kButton, 248, 102, 50, 14},
    {IDC_PROGRESS, ControlKind::ProgressBar, "", style::kBorder, 7, 125, 298, 6},
    {IDC_SOURCE, ControlKind::MultiLineEdit, "",
     style::kBorder | style::kTabStop | style::kVScroll | style::kHScroll | style::kAutoVScroll |
         style::kAutoHScroll | style::kWantReturn,
     7, 133, 298, 217},
    {IDC_TABLE_WIDTH_PERCENT, ControlKind::PushLikeCheckBox, "%", kToggle, 160, 77, 10, 14},
};

constexpr platform::DialogTemplate kDialog{
    "Tarvo by Kesmund", 312, 357, "MS Sans Serif", 8, kControls,
};

constexpr platform::MenuItemTemplate kSourceMenu[] = {
    {ID_COPY_RICH_TEXT, "Copy as ric&h text", "Ctrl+Shift+C", {}},
    {ID_PREVIEW_IN_BROWSER, "Pre&view in browser", "F5", {}},
    {ID_SAVE_HTML_PAGE, "Save as HTML pa&ge...", "Ctrl+S", {}},
    {ID_OPEN_SOURCE_FILE, "&Open source file...", "Ctrl+O", {}},
    {ID_COLOURS, "Colo&urs...", "F7", {}},
};

// A shortcut belongs to one entry of the window, the source box's.
constexpr platform::MenuItemTemplate kColourMenu[] = {
    {ID_COLOURS, "Colo&urs...", "", {}},
};

constexpr platform::ControlStretch kStretch[] = {
    {IDC_PROGRESS, true, false},
    {IDC_SOURCE, true, true},
};

#include "res/tarvo-16.xpm"
#include "res/tarvo-32.xpm"

constexpr std::array<platform::XpmImage, 2> kIconImages{tarvo_32_xpm, tarvo_16_xpm};
constexpr platform::IconResource kIcon{kIconImages};

} // namespace

const platform::DialogTemplate& TarvoDialogTemplate() {
    return kDialog;
}

std::span<const platform::MenuItemTemplate> TarvoSourceMenu() {
    return kSourceMenu;
}

std::span<const platform::MenuItemTemplate> TarvoColourMenu() {
    return kColourMenu;
}

std::span<const platform::MenuItemTemplate> TarvoKeywordMenu() {
    static const std::vector<platform::MenuItemTemplate> sets = [] {
        std::vector<platform::MenuItemTemplate> items;
        int id = ID_KEYWORD_SET_FIRST;
        for (const KeywordSet& set : TarvoKeywordSets()) {
            items.push_back({id++, set.name.c_str(), "", {}});
        }
        return items;
    }();
    static const platform::MenuItemTemplate menu[] = {{0, "Insert &keywords", "", sets}};
    return menu;
}

std::span<const platform::ControlStretch> TarvoDialogStretch() {
    return kStretch;
}

const platform::IconResource& TarvoIcon() {
    return kIcon;
}
