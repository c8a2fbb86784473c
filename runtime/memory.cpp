// The allocation seam: counting and failure injection around the system allocators.
#include "runtime/memory.h"

#include <atomic>

namespace {
std::atomic<long> allocations{0};
std::atomic<long> frees{0};
std::atomic<long> failures{0};
std::atomic<long> failCountdown{0};  // 0: never fail
std::atomic<bool> injectedFailure{false};
std::atomic<bool> failNextGlobalFree{false};  // FailNextGlobalFree armed

// Decides whether this allocation is refused by injection.
bool InjectFailure() {
    long remaining = failCountdown.load(std::memory_order_relaxed);
    while (remaining > 0) {
        if (failCountdown.compare_exchange_weak(remaining, remaining - 1)) {
            if (remaining == 1) {
                injectedFailure.store(true);
                return true;
            }
            return false;
        }
    }
    return false;
}

template <typename Pointer>
Pointer Count(Pointer block) {
    (block ? allocations : failures).fetch_add(1, std::memory_order_relaxed);
    return block;
}
}  // namespace

BSTR RuntimeAllocByteString(LPCSTR source, UINT bytes) {
    if (InjectFailure()) return Count<BSTR>(nullptr);
    return Count(SysAllocStringByteLen(source, bytes));
}

BSTR RuntimeAllocWideString(const OLECHAR* source, UINT characters) {
    if (InjectFailure()) return Count<BSTR>(nullptr);
    return Count(SysAllocStringLen(source, characters));
}

void RuntimeFreeString(BSTR text) {
    if (!text) return;
    frees.fetch_add(1, std::memory_order_relaxed);
    SysFreeString(text);
}

HGLOBAL RuntimeGlobalAlloc(UINT flags, SIZE_T bytes) {
    if (InjectFailure()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return Count<HGLOBAL>(nullptr);
    }
    return Count(GlobalAlloc(flags, bytes));
}

HGLOBAL RuntimeGlobalFree(HGLOBAL block) {
    if (block) frees.fetch_add(1, std::memory_order_relaxed);
    HGLOBAL result = GlobalFree(block);
    if (block && !result && failNextGlobalFree.exchange(false)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return block;
    }
    return result;
}

namespace allocation_seam {
Counters Read() {
    return Counters{allocations.load(), frees.load(), failures.load()};
}

void Reset() {
    allocations = 0;
    frees = 0;
    failures = 0;
}

void FailAllocationNumber(long n) {
    injectedFailure = false;
    failCountdown = n > 0 ? n : 0;
}

void FailNextGlobalFree() {
    failNextGlobalFree = true;
}

bool InjectedFailureHappened() {
    return injectedFailure.load();
}
}  // namespace allocation_seam
