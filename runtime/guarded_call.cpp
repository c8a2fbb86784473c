// The process-wide state of guarded system calls: the spin lock and, under it, the saved
// floating-point state and error mode.
#include "runtime/guarded_call.h"

#include "runtime/errors.h"
#include "runtime/fpu_state.h"

#include <atomic>

namespace {
std::atomic<LONG> lockWord{0};  // -1 while a guarded call runs
// Used only under the lock.
FpuState savedFpuState;
UINT savedErrorMode = 0;
}  // namespace

void GuardedCallEnter() {
    // A pure spin, no sleep: guarded calls are short, and one that blocks inside the system
    // keeps the others spinning until it returns.
    while (lockWord.exchange(-1, std::memory_order_acquire) != 0) {
    }
    SaveFpuState(savedFpuState);
    savedErrorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    SetLastError(0);
}

DWORD GuardedCallLeave() {
    RestoreFpuState(savedFpuState);
    const DWORD error = GetLastError();
    SetErrorMode(savedErrorMode);
    lockWord.store(0, std::memory_order_release);
    return error;
}

DWORD GuardedFailureCode(DWORD win32Error) {
    return (win32Error & 0xFFFF) << 16 | TranslateSystemError(win32Error);
}

bool GuardedCallLockHeld() {
    return lockWord.load() != 0;
}
