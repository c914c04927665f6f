#pragma once
// A dialog window built from a DialogTemplate, with its controls addressed by identifier.
// Text crosses this interface as UTF-8 with CR LF line ends, whatever the toolkit uses inside.

#include "platform/dialog_template.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

enum class Notification {
    Clicked,  // a push button or toggle was pressed
    SelEndOk, // the user picked an item from a combo box's list
    DropDown, // a combo box's list is about to open
    Menu,     // the user picked a context menu entry, or pressed its shortcut
    Changed,  // the text of a single-line edit box changed, by the user or the program
};

// How a command's text goes into a multi-line edit box (SetDlgItemTextAsStep).
enum class UndoStep {
    New,  // one Undo brings back what the box shows now
    Same, // replaces the text that the last New set, when nothing changed it since: a command's
          // text shown while it runs, then its result, undone together
};

struct FontSpec {
    const char* face;        // wanted face
    int cell_height;         // pixels, ascent plus descent
    bool monospace_fallback; // when the face is missing: the system's fixed-pitch face
};

class Dialog {
public:
    explicit Dialog(const DialogTemplate& dialog_template);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the window and its controls, runs OnInitDialog and shows the window; returns at
    // once. False when the window already exists.
    bool Create();
    // Creates the window like Create and runs it modally until EndDialog; returns the result
    // given to EndDialog, or -1 when the window already existed.
    int DoModal();
    // Hides the window and ends DoModal with `result`.
    void EndDialog(int result);
    bool IsWindowVisible() const;
    bool IsIconic() const;

    // Control text, UTF-8 with CR LF line ends. Unknown identifiers give "" and take nothing.
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, std::string_view text);
    // Sets the text of a multi-line edit box as a command's result, which the user can undo
    // (Ctrl+Z, the box's context menu) and redo (Ctrl+Shift+Z, Ctrl+Y) as one step. Neither way
    // copies a text: the box keeps the earlier ones. SetDlgItemText forgets them.
    void SetDlgItemTextAsStep(int id, std::string_view text, UndoStep step);
    // The text read as a decimal number: leading spaces skipped, a minus sign when `is_signed`,
    // then digits up to the first other character. No number, or one out of range, gives 0 and
    // `*translated` false.
    int32_t GetDlgItemInt(int id, bool* translated, bool is_signed) const;
    // Decimal digits, with a leading "-" for a negative value when `is_signed`.
    void SetDlgItemInt(int id, int32_t value, bool is_signed);

    // Toggle state: 1 pressed, 0 released. Any nonzero state presses the toggle.
    int GetCheck(int id) const;
    void SetCheck(int id, int state);

    // Combo box list. AddString puts the item where the order (case ignored) wants it and returns
    // its index; the selection and the typed text stay as they were.
    int ComboAddString(int id, std::string_view text);
    // Removes item `index` and returns the number of items left, or -1 when there is no such
    // item. The typed text stays; when the item was selected, nothing is selected afterwards.
    int ComboDeleteString(int id, int index);
    void ComboResetContent(int id);
    int ComboGetCount(int id) const;
    std::string ComboGetItemText(int id, int index) const;
    int ComboGetCurSel(int id) const;
    // Selects item `index` and shows its text; an index outside the list clears both and gives -1.
    int ComboSetCurSel(int id, int index);

    // Progress bar; positions outside the range are moved to its nearer end.
    void SetProgressRange(int id, int low, int high);
    void SetProgressPos(int id, int position);

    void SetItemFocus(int id);
    // Selects the whole text of an edit box, with the caret at its end.
    void SelectAll(int id);
    // Replaces the selection of an edit box (or inserts at the caret) with `text`, as a paste
    // does: the user can undo it.
    void ReplaceSel(int id, std::string_view text);
    // Scrolls an edit box so that its caret is in view.
    void ScrollCaret(int id);
    // Paints the control now, so that a change shows while a long command still runs.
    void UpdateItem(int id);
    // Gives the control a font for text in columns (MakeCellFont in cell_font.h); returns false,
    // leaving the font as it was, when neither the face, its stand-in nor an allowed fallback
    // draws every letter at one width.
    bool SetItemFont(int id, const FontSpec& font);

    // Shows `html` in label `id` as rich text (the toolkit's subset of HTML and inline CSS:
    // colours, backgrounds, bold, italic, <pre>).
    void SetDlgItemHtml(int id, std::string_view html);
    // A swatch of `colour` (0xRRGGBB) at the end of edit box `id`, which sends OnCommand with the
    // box's id and Notification::Clicked when clicked; a negative colour takes it away.
    void SetItemSwatch(int id, int32_t colour);
    // Asks the user for a colour, starting from `initial` (0xRRGGBB), through the process's colour
    // dialog handler: the chosen 0xRRGGBB, or -1 when the user cancelled.
    int32_t AskColour(uint32_t initial, std::string_view caption) const;

    // Tab stops of a multi-line edit box, `columns` spaces of its font apart; 0: a tab takes no
    // room.
    void SetTabStops(int id, int columns);

    // A number box (style::kNumber) that also takes a typed "-" in front of its number.
    void AllowTypedMinus(int id);

    // The icon of the window, for its title bar and the task bar. Null: none of its own.
    void SetIcon(const IconResource* icon);

    // Adds `items` to the context menu of edit box `id` (single- or multi-line), after the
    // toolkit's own entries; their shortcuts work anywhere in the window, so give each shortcut
    // to one entry only. A pick or a shortcut calls OnCommand with the entry's id and
    // Notification::Menu. False (nothing added) for another control.
    bool AddContextMenu(int id, std::span<const MenuItemTemplate> items);
    // Lets the user resize and maximise the window, no smaller than the template's size; the
    // controls named in `stretch` take the extra width and height. Call once the window exists.
    void EnableResizing(std::span<const ControlStretch> stretch);
    // A line along the window's bottom, below the template's controls, for short notes that go
    // by themselves; the window grows by its height. Call once the window exists.
    void EnableStatusLine();
    // Shows `text` in the status line for `milliseconds`; nothing without one.
    void ShowStatus(std::string_view text, int milliseconds);
    // Files dropped on multi-line edit box `id` go to OnDropFiles instead of becoming text.
    void DragAcceptFiles(int id);

    // A modal message box owned by this window, through the process's message handler.
    MessageAnswer MessageBox(std::string_view text, std::string_view caption,
                             MessageStyle style) const;
    // A modal file dialog owned by this window, through the process's file dialog handler.
    // Returns the chosen path, or "" when the user cancelled.
    std::string AskFileName(const FileDialogRequest& request) const;

    // Layer internals, for the toolkit side of the layer and its tests.
    struct Impl;
    Impl& impl() const { return *m_impl; }

protected:
    // Called after the controls exist and before the window shows. True: the focus goes to the
    // first control with a tab stop.
    virtual bool OnInitDialog();
    // Called after each paint of the window.
    virtual void OnPaint() {}
    // Enter that no control took for itself. Ends the dialog with IDOK unless overridden.
    virtual void OnOK();
    // Escape and the close box. Ends the dialog with IDCANCEL unless overridden.
    virtual void OnCancel();
    // A control's notification; returns true when handled.
    virtual bool OnCommand(int /*id*/, Notification /*code*/) { return false; }
    // Files dropped on a control that accepts them (DragAcceptFiles): their paths, as the file
    // system names them, in the order given. Called once the drop has ended.
    virtual void OnDropFiles(int /*id*/, const std::vector<std::string>& /*paths*/) {}

private:
    friend struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace platform
