// Thread creation, handle closing and the thread start and end wrappers.
#include "runtime/threads.h"

#include "runtime/errors.h"
#include "runtime/guarded_call.h"
#include "runtime/runtime_globals.h"
#include "runtime/thread_record.h"

DWORD ThreadStackSize(DWORD requested) {
    if (requested != 0 && (requested & 0xFFFF0000u) == 0) return 0x10000;
    return requested;
}

DWORD CreateRuntimeThread(DWORD creationFlags, DWORD stackSize, LONG parameter,
                          ThreadFunction function, HANDLE* handleVariable) {
    // Counted before the thread can run, so RuntimeExit never misses a thread that is only
    // about to enter its start wrapper.
    TheRuntime.activeThreads.fetch_add(1);
    DWORD identifier = 0;
    auto created =
        GuardedSystemCall(CreateThread, nullptr, SIZE_T{ThreadStackSize(stackSize)}, function,
                          reinterpret_cast<LPVOID>(INT_PTR{parameter}), creationFlags, &identifier);
    // A thread that exists keeps its handle even if the call left a stale last error.
    if (!created.value) {
        TheRuntime.activeThreads.fetch_sub(1);
        *handleVariable = nullptr;
        return 0;
    }
    *handleVariable = created.value;
    return identifier;
}

void CloseThreadHandle(HANDLE handle, LONG* result) {
    auto closed = GuardedSystemCall(CloseHandle, handle);
    *result = !closed.failed && closed.value ? -1 : 0;
}

void ThreadStart(LONG, LONG, LONG) {
    CoInitialize(nullptr);  // the result is ignored
    // The thread function sets up its ProcFrame before calling this wrapper, so the error
    // lands in that frame through the thread's current-frame pointer.
    if (!GetThreadRecord()) RaiseError(kErrorOutOfMemory);
}

void ThreadEnd(LONG, LONG, LONG) {
    CoUninitialize();
    ReleaseThreadRecord();
    TheRuntime.activeThreads.fetch_sub(1);
}

LONG ActiveRuntimeThreads() {
    return TheRuntime.activeThreads.load();
}
