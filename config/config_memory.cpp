#include "config_memory.h"

namespace {
// The reader runs on one thread; a plain counter is enough.
long g_allocationsLeft = -1;
} // namespace

bool ConfigAllocationRefused() noexcept {
    if (g_allocationsLeft == 0) {
        return true;
    }
    if (g_allocationsLeft > 0) {
        --g_allocationsLeft;
    }
    return false;
}

void InjectConfigAllocationFailure(long after) noexcept {
    g_allocationsLeft = after < 0 ? -1 : after;
}
