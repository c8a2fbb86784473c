// Thread information block access. This is the one run-time file that tells the hosts apart
// itself: the NT_TIB is not reachable through any platform call.
#include "runtime/tib_pointer.h"

#include "platform/win32.h"

#ifdef _WIN32
void SetTibUserPointer(void* value) {
    reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ArbitraryUserPointer = value;
}

void* TibUserPointer() {
    return reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ArbitraryUserPointer;
}
#else
namespace {
// No thread information block here: a plain thread-local pointer stands in for it.
thread_local void* arbitraryUserPointer = nullptr;
}  // namespace

void SetTibUserPointer(void* value) {
    arbitraryUserPointer = value;
}

void* TibUserPointer() {
    return arbitraryUserPointer;
}
#endif
