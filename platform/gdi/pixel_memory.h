// Memory for window-sized pixel buffers. Every fresh 4 KB page costs a fault on its first
// touch, and one 820 x 500 frame is 1.5 MB: on a virtual machine those 375 faults per
// buffer were a large part of the wait for the first picture. Requests of 1 MB or more are
// mapped 2 MB-aligned and marked for transparent huge pages (one fault per 2 MB where the
// kernel allows it, plain pages where it does not), and the last large block released is
// kept for the next request of its size: a paint makes and frees one off-screen bitmap.
// Smaller requests, and every request under AddressSanitizer (which checks only its own
// heap), go to operator new.
// The pixels of smaller images that live long, icons above all, are carved one after another
// from one 2 MB block marked for a huge page: the eight pictures the program loads at its
// start were 320 faults (about 4 ms here) in blocks of their own.
#pragma once

#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define PIXEL_MEMORY_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PIXEL_MEMORY_UNDER_ASAN 1
#endif
#endif

namespace pixel_memory {

// Bytes from which a request is mapped rather than taken from the heap.
constexpr std::size_t kLargeRequest = std::size_t{1} << 20;
// The size and alignment of one mapping unit: a transparent huge page on x86-64 and arm64.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
#ifdef PIXEL_MEMORY_UNDER_ASAN
constexpr bool kMapsLargeRequests = false;
#else
constexpr bool kMapsLargeRequests = true;
#endif

// `bytes` of memory (contents undefined); throws std::bad_alloc when none is left.
void* Allocate(std::size_t bytes);
// Gives back a block from Allocate with the same `bytes`.
void Release(void* block, std::size_t bytes) noexcept;

// `bytes` carved from the shared block (contents undefined), or from operator new when they
// do not fit in what is left of it; throws std::bad_alloc when no memory is left. The block is
// carved again from its start once every piece of it has been given back.
void* AllocateCarved(std::size_t bytes);
// Gives back a piece from AllocateCarved with the same `bytes`.
void ReleaseCarved(void* block, std::size_t bytes) noexcept;

// Pieces carved one after another from one region, each on a 64-byte boundary; the region
// is carved again from its start once every piece has been given back. Not locked.
class Carver {
   public:
    Carver(unsigned char* region, std::size_t size) : region_(region), size_(size) {}
    // A piece of `bytes`, or nullptr when they do not fit in what is left.
    void* Take(std::size_t bytes);
    // False (and nothing changed) when `piece` is not from this region.
    bool Give(void* piece);

   private:
    unsigned char* region_;
    std::size_t size_;
    std::size_t used_ = 0;
    std::size_t live_ = 0;  // pieces not yet given back
};

// Where an Allocator takes its memory from.
struct WindowSized {
    static void* Take(std::size_t bytes) { return Allocate(bytes); }
    static void Give(void* block, std::size_t bytes) noexcept { Release(block, bytes); }
};
struct Carved {
    static void* Take(std::size_t bytes) { return AllocateCarved(bytes); }
    static void Give(void* block, std::size_t bytes) noexcept { ReleaseCarved(block, bytes); }
};

// The standard allocator interface over one of the sources above, for std::vector.
template <class T, class Source = WindowSized>
struct Allocator {
    using value_type = T;
    Allocator() = default;
    template <class U>
    Allocator(const Allocator<U, Source>&) {}
    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(Source::Take(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { Source::Give(block, count * sizeof(T)); }
    template <class U>
    bool operator==(const Allocator<U, Source>&) const { return true; }
    template <class U>
    bool operator!=(const Allocator<U, Source>&) const { return false; }
};

}  // namespace pixel_memory
