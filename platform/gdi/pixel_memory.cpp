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

// The block smaller images are carved from, mapped on first use.
struct CarvedBlock {
    std::mutex lock;
    Carver* carver = nullptr;
    bool unavailable = false;  // its mapping failed: operator new from then on
};
CarvedBlock carved;

constexpr std::size_t kPieceAlignment = 64;  // a cache line: rows start where a line does

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

void* Carver::Take(std::size_t bytes) {
    if (bytes > size_) return nullptr;
    const std::size_t rounded = (bytes + kPieceAlignment - 1) / kPieceAlignment * kPieceAlignment;
    if (rounded > size_ - used_) return nullptr;
    void* piece = region_ + used_;
    used_ += rounded;
    ++live_;
    return piece;
}

bool Carver::Give(void* piece) {
    const auto* at = static_cast<unsigned char*>(piece);
    if (at < region_ || at >= region_ + size_) return false;
    if (--live_ == 0) used_ = 0;
    return true;
}

void* AllocateCarved(std::size_t bytes) {
    if (kMapsLargeRequests) {
        std::lock_guard<std::mutex> hold(carved.lock);
        if (!carved.carver && !carved.unavailable) {
            try {
                carved.carver = new Carver(static_cast<unsigned char*>(MapAligned(kHugePage)),
                                           kHugePage);
            } catch (const std::bad_alloc&) {
                carved.unavailable = true;
            }
        }
        if (carved.carver)
            if (void* piece = carved.carver->Take(bytes)) return piece;
    }
    return ::operator new(bytes);
}

void ReleaseCarved(void* block, std::size_t bytes) noexcept {
    (void)bytes;  // a piece's place says where it came from
    if (!block) return;
    {
        std::lock_guard<std::mutex> hold(carved.lock);
        if (carved.carver && carved.carver->Give(block)) return;
    }
    ::operator delete(block);
}

}  // namespace pixel_memory
