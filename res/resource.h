#pragma once
// Identifiers of Tarvo's resources and of the dialog's controls.

#include "platform/dialog_template.h"

#include <span>

inline constexpr int IDC_TAB_SIZE = 1000;
inline constexpr int IDC_KEYWORD_COLOR = 1001;
inline constexpr int IDC_COMMENT_COLOR = 1002;
inline constexpr int IDC_KEYWORD_LIST = 1003;
inline constexpr int IDC_TABLE_LT_COLOR = 1004;
inline constexpr int IDC_LOAD = 1005;
inline constexpr int IDC_SAVE = 1006;
inline constexpr int IDC_CPP_DEFAULTS = 1007;
inline constexpr int IDC_PROFILE_NAME = 1008;
inline constexpr int IDC_SET_DEFAULT = 1009;
inline constexpr int IDC_GO = 1010;
inline constexpr int IDC_SOURCE = 1011;
inline constexpr int IDC_DELETE = 1012;
inline constexpr int IDC_PROGRESS = 1013;
inline constexpr int IDC_W3C_CORRECT = 1014;
inline constexpr int IDC_VIEW_CSS = 1015;
inline constexpr int IDC_TABLE_DK_COLOR = 1016;
inline constexpr int IDC_FONT_SIZE = 1017;
inline constexpr int IDC_USE_TABLE = 1020;
inline constexpr int IDC_TABLE_WIDTH = 1021;
inline constexpr int IDC_TABLE_WIDTH_PERCENT = 1023;

// Commands of the context menus.
inline constexpr int ID_COPY_RICH_TEXT = 32771;
inline constexpr int ID_PREVIEW_IN_BROWSER = 32772;
inline constexpr int ID_SAVE_HTML_PAGE = 32773;
inline constexpr int ID_OPEN_SOURCE_FILE = 32774;
inline constexpr int ID_COLOURS = 32775;
inline constexpr int ID_PICK_KEYWORD_COLOR = 32776;
inline constexpr int ID_PICK_COMMENT_COLOR = 32777;
inline constexpr int ID_KEYWORD_SET_FIRST = 32800; // plus the set's index in TarvoKeywordSets()

// Dialog template 102: Tarvo's one window.
const platform::DialogTemplate& TarvoDialogTemplate();

// The entries that the source box's context menu adds to the toolkit's own.
std::span<const platform::MenuItemTemplate> TarvoSourceMenu();
// The colour boxes': "Colours...", which opens the dialog of the optional colours. Its shortcut
// is the source box's entry's.
std::span<const platform::MenuItemTemplate> TarvoColourMenu();
// The keyword box's: "Insert keywords", with one entry for each keyword set.
std::span<const platform::MenuItemTemplate> TarvoKeywordMenu();
// The controls that grow with the window: the source box in both directions, the progress bar
// in width.
std::span<const platform::ControlStretch> TarvoDialogStretch();

// Icon 128: the application icon, at 32 x 32 and 16 x 16.
const platform::IconResource& TarvoIcon();
