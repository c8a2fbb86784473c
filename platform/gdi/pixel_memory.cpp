#include "platform/gdi/pixel_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <mutex>

namespace pixel_memory {
namespace {

std::size_t MappedSize(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

// The last large block released, for the next request of the same mapped size.
struct KeptBlock {
    std::mutex lock;
    void* block = nullptr;
    std::size_t mapped = 0;
};
KeptBlock kept;

void* TakeKept(std::size_t mapped) {
    std::lock_guard<std::mutex> hold(kept.lock);
    if (!kept.block || kept.mapped != mapped) return nullptr;
    void* block = kept.block;
    kept.block = nullptr;
    return block;
}

void* MapAligned(std::size_t mapped) {
    // One huge page more than needed, then the unaligned head and the tail are unmapped.
    std::size_t reserved = mapped + kHugePage;
    void* raw = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    auto start = reinterpret_cast<std::uintptr_t>(raw);
    std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) munmap(raw, aligned - start);
    std::size_t tail = start + reserved - (aligned + mapped);
    if (tail) munmap(reinterpret_cast<void*>(aligned + mapped), tail);
    void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(block, mapped, MADV_HUGEPAGE);  // advice only: plain pages where it is refused
#endif
    return block;
}

}  // namespace

void* Allocate(std::size_t bytes) {
    if (kMapsLargeRequests && bytes >= kLargeRequest) {
        std::size_t mapped = MappedSize(bytes);
        if (void* block = TakeKept(mapped)) return block;
        return MapAligned(mapped);
    }
    return ::operator new(bytes);
}

void Release(void* block, std::size_t bytes) noexcept {
    if (!block) return;
    if (kMapsLargeRequests && bytes >= kLargeRequest) {
        std::size_t mapped = MappedSize(bytes);
        void* older = nullptr;
        std::size_t olderMapped = 0;
        {
            std::lock_guard<std::mutex> hold(kept.lock);
            older = kept.block;
            olderMapped = kept.mapped;
            kept.block = block;
            kept.mapped = mapped;
        }
        if (older) munmap(older, olderMapped);
        return;
    }
    ::operator delete(block);
}

}  // namespace pixel_memory
