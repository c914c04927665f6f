#include "memory.h"

#include <cstdlib>
#include <cstring>
#include <exception>

namespace tarvo {

namespace {
// Single-threaded program: a plain counter is enough.
long g_allocations_left = -1;
} // namespace

void* TryAllocate(std::size_t bytes) noexcept {
    if (g_allocations_left == 0) {
        return nullptr;
    }
    if (g_allocations_left > 0) {
        --g_allocations_left;
    }
    return std::malloc(bytes == 0 ? 1 : bytes);
}

char* DuplicateString(const char* text, std::size_t length) noexcept {
    auto* copy = static_cast<char*>(TryAllocate(length + 1));
    if (copy == nullptr) {
        return nullptr;
    }
    if (length != 0) {
        std::memcpy(copy, text, length);
    }
    copy[length] = '\0';
    return copy;
}

bool TryReserve(std::string& text, std::size_t capacity) noexcept {
    if (capacity <= text.capacity()) {
        return true;
    }
    if (g_allocations_left == 0) {
        return false;
    }
    if (g_allocations_left > 0) {
        --g_allocations_left;
    }
    try {
        text.reserve(capacity);
    } catch (const std::exception&) { // bad_alloc or length_error
        return false;
    }
    return true;
}

void InjectAllocationFailure(long after) noexcept {
    g_allocations_left = after < 0 ? -1 : after;
}

} // namespace tarvo
