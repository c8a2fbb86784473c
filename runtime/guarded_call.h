// GuardedSystemCall: a system function called under the process-wide system-call lock, with
// the floating-point state saved, critical-error boxes suppressed and the last error
// cleared first; a non-zero last error afterwards is the failure, translated into a
// run-time error number. It raises nothing: each caller decides what a failure means.
#pragma once

#include "platform/win32.h"

#include <type_traits>
#include <utility>

// The outcome of one guarded call. `code`: low 16 bits the run-time error number, high 16
// bits the low 16 bits of the Win32 error code; 0 on success.
template <typename Result>
struct GuardedResult {
    Result value;
    bool failed;
    DWORD code;
};
template <>
struct GuardedResult<void> {
    bool failed;
    DWORD code;
};

// The two halves around the call: Enter takes the lock, saves the floating-point state,
// sets the error mode and clears the last error; Leave restores them, releases the lock
// and returns the last error the call left.
void GuardedCallEnter();
DWORD GuardedCallLeave();
// The combined code for a non-zero Win32 error: run-time number low, Win32 code high.
DWORD GuardedFailureCode(DWORD win32Error);

template <typename Function, typename... Arguments>
auto GuardedSystemCall(Function&& function, Arguments&&... arguments)
    -> GuardedResult<std::invoke_result_t<Function, Arguments...>> {
    using Result = std::invoke_result_t<Function, Arguments...>;
    GuardedCallEnter();
    if constexpr (std::is_void_v<Result>) {
        std::forward<Function>(function)(std::forward<Arguments>(arguments)...);
        const DWORD error = GuardedCallLeave();
        return {error != 0, error ? GuardedFailureCode(error) : 0};
    } else {
        Result value = std::forward<Function>(function)(std::forward<Arguments>(arguments)...);
        const DWORD error = GuardedCallLeave();
        // The function's own result is not examined: only the last error says "failed".
        return {value, error != 0, error ? GuardedFailureCode(error) : 0};
    }
}

// True while some thread is inside a guarded call (for tests).
bool GuardedCallLockHeld();
