#pragma once
// Allocation of the blocks whose failure the program reports to the user ("Not enough memory").
// Every such block, of the conversion, the reader and the profile code alike, goes through this
// one seam, so that tests can make an allocation fail on purpose.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

namespace tarvo {

// True when an injected failure refuses this allocation; counts it otherwise. Safe to call from
// several threads at once.
bool AllocationRefused() noexcept;

// std::malloc, or null when a failure has been injected. Free the block with std::free.
void* TryAllocate(std::size_t bytes) noexcept;

// A value-initialised (zero-filled) array of `count` elements from new[], or null when memory
// runs out or a failure has been injected. Free it with delete[].
template <typename T>
T* TryAllocateArray(std::size_t count) noexcept {
    if (count > PTRDIFF_MAX / sizeof(T) || AllocationRefused()) {
        return nullptr;
    }
    return new (std::nothrow) T[count]();
}

// Copies `length` bytes of `text` into a new block and ends it with NUL; null when memory runs out.
char* DuplicateString(const char* text, std::size_t length) noexcept;

// Grows `text` to hold at least `capacity` characters. False when memory runs out or a failure
// has been injected; `text` is then unchanged.
bool TryReserve(std::string& text, std::size_t capacity) noexcept;

// Frees a block from TryAllocate or DuplicateString: the deleter of Block.
struct FreeBlock {
    void operator()(char* p) const noexcept;
};
// A block of text from TryAllocate or DuplicateString, freed when it goes out of scope.
using Block = std::unique_ptr<char, FreeBlock>;

// Asks for large pages behind the room of a big block, such as `text`'s: a block written once
// from end to end otherwise costs a page fault, and the kernel's clearing of a page, every 4 KiB.
// A hint only.
void PreferLargePages(std::string& text) noexcept;
// The same for `bytes` of a block from TryAllocate.
void PreferLargePages(void* block, std::size_t bytes) noexcept;

// Test seam: the next `after` allocations succeed and every later one fails, until this is
// called again; a negative `after` turns injected failures off.
void InjectAllocationFailure(long after) noexcept;

} // namespace tarvo
