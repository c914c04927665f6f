#pragma once
// Every colour picker of the program goes through one handler that can be replaced, so that
// tests choose the colour without a modal window.

#include <cstdint>
#include <functional>
#include <string_view>

namespace platform {

// Returns the chosen colour as 0xRRGGBB, or -1 when the user cancelled.
using ColourDialogHandler = std::function<int32_t(uint32_t initial, std::string_view caption)>;

// Installs `handler` for every later colour picker and returns the one it replaces. An empty
// handler brings back the toolkit's colour dialog.
ColourDialogHandler SetColourDialogHandler(ColourDialogHandler handler);

// Installs a handler for the life of this object, then puts the previous one back.
class ScopedColourDialogHandler {
public:
    explicit ScopedColourDialogHandler(ColourDialogHandler handler)
        : m_previous(SetColourDialogHandler(std::move(handler))) {}
    ~ScopedColourDialogHandler() { SetColourDialogHandler(std::move(m_previous)); }
    ScopedColourDialogHandler(const ScopedColourDialogHandler&) = delete;
    ScopedColourDialogHandler& operator=(const ScopedColourDialogHandler&) = delete;

private:
    ColourDialogHandler m_previous;
};

} // namespace platform
