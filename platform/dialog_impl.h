#pragma once
// The inside of a Dialog, shared by the layer's sources: the window, its controls and what the
// program asked of them.

#include "platform/controls.h"
#include "platform/dialog.h"

#include <QSize>

class QStatusBar;

#include <memory>
#include <vector>

namespace platform {

class DialogWindow;

struct Dialog::Impl {
    Impl(Dialog& owner_, const DialogTemplate& dialog_template);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Makes the window and its controls, at the template's size, in its font and tab order.
    void Build();
    // Runs OnInitDialog, gives the first focus where it asks for that, and centres the window.
    void Initialise();
    // Ends the window and its controls.
    void Destroy();
    // The control `id`; null for none and for the static identifier.
    const Control* Find(int id) const;
    // Places the controls for a window of `size`: the stretching ones take what it has beyond
    // the template's size and the status line.
    void Layout(QSize size);

    // The dialog's overridables, reachable from the window.
    void CallOnOK() { owner.OnOK(); }
    void CallOnCancel() { owner.OnCancel(); }
    void CallOnPaint() { owner.OnPaint(); }
    void CallOnCommand(int id, Notification code) { owner.OnCommand(id, code); }
    void CallOnDropFiles(int id, const std::vector<std::string>& paths) {
        owner.OnDropFiles(id, paths);
    }

    Dialog& owner;
    const DialogTemplate& tmpl;
    int result = 0;
    bool ended = false;
    QSize base_size;                      // the client area at the template's size
    std::vector<Control> controls;        // template order; widgets owned by the window
    std::vector<ControlStretch> stretch;  // controls that grow with the window
    QStatusBar* status = nullptr;         // the status line, owned by the window; null for none
    int status_height = 0;                // the window's height beyond the template's
    std::unique_ptr<DialogWindow> window; // last, so it goes first, with its controls
};

} // namespace platform
