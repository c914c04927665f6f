#pragma once
// Every buffer of the configuration reader is allocated here, so that tests can make an
// allocation fail on purpose and check that the reader reports it instead of crashing.

#include <cstddef>
#include <cstdint>
#include <new>

// True when an injected failure refuses the next allocation (and counts it otherwise).
bool ConfigAllocationRefused() noexcept;

// Test seam: the next `after` allocations succeed and every later one fails, until this is
// called again; a negative `after` turns injected failures off.
void InjectConfigAllocationFailure(long after) noexcept;

// A value-initialised (zero-filled) array of `count` elements, or null when memory runs out.
template <typename T>
T* ConfigAllocate(std::size_t count) noexcept {
    if (count > PTRDIFF_MAX / sizeof(T) || ConfigAllocationRefused()) {
        return nullptr;
    }
    return new (std::nothrow) T[count]();
}
