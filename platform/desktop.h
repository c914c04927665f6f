#pragma once
// Handing a file to the desktop: the program that the desktop opens its kind with, such as the
// default browser for an HTML page. Goes through one opener that can be replaced, so that tests
// see what would be opened.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

class Dialog;

// Opens the local file `path` with the desktop's program for it. False when the desktop's opener
// could not be started. When it starts and later reports that it opened nothing (no program for
// the file, or that program failed), `on_failure` runs from the event loop, unless `owner`'s
// window has gone by then.
bool OpenWithDesktop(std::string_view path, const Dialog& owner, std::function<void()> on_failure);

using FileOpener = std::function<bool(std::string_view path)>;

// Installs `opener` for every later OpenWithDesktop and returns the one it replaces. An empty
// opener brings back the desktop's.
FileOpener SetFileOpener(FileOpener opener);

// Installs an opener for the life of this object, then puts the previous one back.
class ScopedFileOpener {
public:
    explicit ScopedFileOpener(FileOpener opener) : m_previous(SetFileOpener(std::move(opener))) {}
    ~ScopedFileOpener() { SetFileOpener(std::move(m_previous)); }
    ScopedFileOpener(const ScopedFileOpener&) = delete;
    ScopedFileOpener& operator=(const ScopedFileOpener&) = delete;

private:
    FileOpener m_previous;
};

} // namespace platform
