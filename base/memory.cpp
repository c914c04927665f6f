#include "base/memory.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace tarvo {

namespace {
// Negative: no failure injected. Atomic, since tarvo-convert converts on several threads.
std::atomic<long> g_allocations_left{-1};
} // namespace

bool AllocationRefused() noexcept {
    long left = g_allocations_left.load(std::memory_order_relaxed);
    while (left > 0 &&
           !g_allocations_left.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
    }
    return left == 0;
}

void FreeBlock::operator()(char* p) const noexcept {
    std::free(p);
}

void* TryAllocate(std::size_t bytes) noexcept {
    if (AllocationRefused()) {
        return nullptr;
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
    if (AllocationRefused()) {
        return false;
    }
    try {
        text.reserve(capacity);
    } catch (const std::exception&) { // bad_alloc or length_error
        return false;
    }
    return true;
}

void InjectAllocationFailure(long after) noexcept {
    g_allocations_left.store(after < 0 ? -1 : after, std::memory_order_relaxed);
}

void PreferLargePages(std::string& text) noexcept {
    PreferLargePages(text.data(), text.capacity());
}

void PreferLargePages(void* block, std::size_t bytes) noexcept {
    constexpr uintptr_t kLarge = uintptr_t(2) << 20;
    const auto start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (start + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t last = (start + bytes) & ~(kLarge - 1);
    if (first < last) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

} // namespace tarvo
