#pragma once
// The busy cursor over every window of the program while a long command runs.

namespace platform {

// Shows the wait cursor from construction to destruction, so every way out of a command
// restores the cursor. Nested ones stack.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace platform
