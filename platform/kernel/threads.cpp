// Threads for the portable host over POSIX threads. A thread's state is shared by its
// handle and the running thread and lives until both are gone; threads run detached.
#include "platform/kernel/thread_stack.h"
#include "platform/run_allocations.h"
#include "platform/trace.h"
#include "platform/win32.h"

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {
struct ThreadState {
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
    DWORD id;
    std::mutex lock;
    std::condition_variable ended;
    bool running = true;
    DWORD exitCode = STILL_ACTIVE;
};

std::atomic<DWORD> nextThreadId{4};
thread_local DWORD currentThreadId = 0;

std::mutex handlesLock;
UINT_PTR nextHandle = 0x100;
// Open handles. A heap object that outlives every thread, so no static destructor runs
// while a detached thread may still close a handle.
std::map<HANDLE, std::shared_ptr<ThreadState>>& Handles() {
    static auto* handles = new std::map<HANDLE, std::shared_ptr<ThreadState>>();
    return *handles;
}

std::shared_ptr<ThreadState> FindThread(HANDLE handle) {
    std::lock_guard<std::mutex> guard(handlesLock);
    auto found = Handles().find(handle);
    if (found == Handles().end()) return nullptr;
    return found->second;
}

void* Run(void* argument) {
    // The thread's own reference; released when the thread ends.
    std::shared_ptr<ThreadState> state(*static_cast<std::shared_ptr<ThreadState>*>(argument));
    delete static_cast<std::shared_ptr<ThreadState>*>(argument);
    currentThreadId = state->id;
    DWORD exitCode = state->start(state->parameter);
    std::lock_guard<std::mutex> guard(state->lock);
    state->exitCode = exitCode;
    state->running = false;
    state->ended.notify_all();
    return nullptr;
}
}  // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD threadId) {
    platform_trace::Record(
        "CreateThread", "stack=" + std::to_string(stackSize) + " flags=" + std::to_string(flags));
    if (security || flags != 0 || !start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!run_allocations::Allow()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto state = std::make_shared<ThreadState>();
    state->start = start;
    state->parameter = parameter;
    state->id = nextThreadId.fetch_add(4);
    HANDLE handle;
    {
        std::lock_guard<std::mutex> guard(handlesLock);
        handle = reinterpret_cast<HANDLE>(nextHandle);
        nextHandle += 4;
        Handles()[handle] = state;
    }
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    int failed = pthread_attr_setstacksize(&attributes,
                                           ThreadStackBytes(stackSize, HostMinimumThreadStack()));
    pthread_t thread;
    auto* threadReference = new std::shared_ptr<ThreadState>(state);
    if (!failed) failed = pthread_create(&thread, &attributes, Run, threadReference);
    pthread_attr_destroy(&attributes);
    if (failed) {
        delete threadReference;
        std::lock_guard<std::mutex> guard(handlesLock);
        Handles().erase(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) *threadId = state->id;
    return handle;
}

BOOL CloseHandle(HANDLE handle) {
    bool known;
    {
        std::lock_guard<std::mutex> guard(handlesLock);
        known = Handles().erase(handle) != 0;
    }
    platform_trace::Record("CloseHandle", known ? "closed" : "unknown");
    if (!known) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    std::shared_ptr<ThreadState> state = FindThread(handle);
    if (!state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::unique_lock<std::mutex> guard(state->lock);
    auto ended = [&] { return !state->running; };
    if (milliseconds == INFINITE) {
        state->ended.wait(guard, ended);
        return WAIT_OBJECT_0;
    }
    bool done = state->ended.wait_for(guard, std::chrono::milliseconds(milliseconds), ended);
    return done ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
    std::shared_ptr<ThreadState> state = FindThread(handle);
    if (!state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(state->lock);
    *exitCode = state->exitCode;
    return TRUE;
}

DWORD GetCurrentThreadId() {
    if (currentThreadId == 0) currentThreadId = nextThreadId.fetch_add(4);
    return currentThreadId;
}
