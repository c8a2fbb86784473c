// Thread-local storage indexes for the portable host. Each index carries a generation that
// changes when it is allocated or freed, so TlsFree forgets every thread's value at once
// without visiting the threads: a value stored under an older generation reads as null.
#include "platform/trace.h"
#include "platform/win32.h"

#include <atomic>
#include <mutex>

namespace {
constexpr DWORD kSlotCount = 128;

// Odd generation: allocated. Even: free.
std::atomic<uint32_t> slotGeneration[kSlotCount];
std::mutex allocationLock;

struct ThreadValue {
    uint32_t generation;
    LPVOID value;
};
thread_local ThreadValue threadValues[kSlotCount];

// The index's current generation when it is allocated, else 0 (with the last error set).
uint32_t LiveGeneration(DWORD index) {
    if (index < kSlotCount) {
        uint32_t generation = slotGeneration[index].load(std::memory_order_acquire);
        if (generation & 1) return generation;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}
}  // namespace

DWORD TlsAlloc() {
    std::lock_guard<std::mutex> guard(allocationLock);
    for (DWORD index = 0; index < kSlotCount; ++index) {
        uint32_t generation = slotGeneration[index].load(std::memory_order_relaxed);
        if ((generation & 1) == 0) {
            slotGeneration[index].store(generation + 1, std::memory_order_release);
            return index;
        }
    }
    SetLastError(ERROR_NO_MORE_ITEMS);
    return TLS_OUT_OF_INDEXES;
}

LPVOID TlsGetValue(DWORD index) {
    uint32_t generation = LiveGeneration(index);
    if (!generation) return nullptr;
    SetLastError(ERROR_SUCCESS);
    const ThreadValue& slot = threadValues[index];
    return slot.generation == generation ? slot.value : nullptr;
}

BOOL TlsSetValue(DWORD index, LPVOID value) {
    platform_trace::Record("TlsSetValue", value ? "set" : "clear");
    uint32_t generation = LiveGeneration(index);
    if (!generation) return FALSE;
    threadValues[index] = ThreadValue{generation, value};
    return TRUE;
}

BOOL TlsFree(DWORD index) {
    std::lock_guard<std::mutex> guard(allocationLock);
    if (!LiveGeneration(index)) return FALSE;
    slotGeneration[index].fetch_add(1, std::memory_order_release);
    return TRUE;
}
