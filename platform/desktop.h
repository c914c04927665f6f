#pragma once
// Handing a file to the desktop: the program that the desktop opens its kind with, such as the
// default browser for an HTML page. Goes through one opener that can be replaced, so that tests
// see what would be opened.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Opens the local file `path` with the desktop's program for it. False when none could be
// started.
bool OpenWithDesktop(std::string_view path);

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
