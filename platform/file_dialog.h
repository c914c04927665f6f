#pragma once
// Every file dialog of the program goes through one handler that can be replaced, so that tests
// choose the file without a modal window.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class FileDialogMode {
    Open, // an existing file to read
    Save, // a file to write; the dialog asks before it lets the user pick an existing one
};

struct FileDialogRequest {
    FileDialogMode mode;
    std::string_view caption;
    std::string_view filter;    // "Name (*.a *.b);;Other (*)"
    std::string_view suggested; // the path shown first; "" for the current folder
    // Save: added, after a ".", to a chosen name that has no suffix ("" adds nothing).
    std::string_view default_suffix = {};
};

// Returns the chosen path as the file system names it, or "" when the user cancelled. The
// request's default suffix is added afterwards where the handler left it out.
using FileDialogHandler = std::function<std::string(const FileDialogRequest&)>;

// Installs `handler` for every later file dialog and returns the one it replaces. An empty
// handler brings back the toolkit's file dialog.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

// Installs a handler for the life of this object, then puts the previous one back.
class ScopedFileDialogHandler {
public:
    explicit ScopedFileDialogHandler(FileDialogHandler handler)
        : m_previous(SetFileDialogHandler(std::move(handler))) {}
    ~ScopedFileDialogHandler() { SetFileDialogHandler(std::move(m_previous)); }
    ScopedFileDialogHandler(const ScopedFileDialogHandler&) = delete;
    ScopedFileDialogHandler& operator=(const ScopedFileDialogHandler&) = delete;

private:
    FileDialogHandler m_previous;
};

} // namespace platform
