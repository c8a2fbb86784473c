// Threads of the run-time: creating a thread on a program procedure, dropping its handle,
// and the start and end wrappers that give every thread its own COM initialisation and
// ThreadRecord for exactly as long as it runs.
#pragma once

#include "platform/win32.h"

// A thread function: a program procedure with one 32-bit parameter passed by value (it
// arrives in the pointer-sized start argument) whose result becomes the thread's exit code.
typedef DWORD(WINAPI* ThreadFunction)(LPVOID parameter);

// The stack size handed to the system: 0 stays 0 (the system default); a size with no bits
// above the low 16 becomes 65536; any other size is passed unchanged.
DWORD ThreadStackSize(DWORD requested);

// Starts `function(parameter)` with default security and the given creation flags through
// a guarded system call. On success `*handleVariable` holds the new thread's handle and the
// thread identifier is returned; on failure the handle variable becomes 0, 0 is returned
// and no error is raised.
DWORD CreateRuntimeThread(DWORD creationFlags, DWORD stackSize, LONG parameter,
                          ThreadFunction function, HANDLE* handleVariable);

// Closes a thread handle through a guarded system call; the thread goes on. `*result`: -1
// when CloseHandle succeeded, 0 when it or the guarded call failed. Raises nothing.
void CloseThreadHandle(HANDLE handle, LONG* result);

// The start wrapper, the thread function's first act: CoInitialize, then the thread's
// ThreadRecord (code page copied from the main record). No memory for the record raises
// kErrorOutOfMemory in the thread function's frame (the current ProcFrame) and the thread goes on.
void ThreadStart(LONG parameter, LONG reserved1, LONG reserved2);

// The end wrapper, the thread function's last act before it returns: CoUninitialize, then
// ReleaseThreadRecord. After it the thread no longer counts as a run-time thread.
void ThreadEnd(LONG parameter, LONG reserved1, LONG reserved2);

// Brackets a thread function's statements with the wrappers, so that the end wrapper runs
// on every return. Declare it right after the thread function's ProcFrame.
class ThreadScope {
   public:
    explicit ThreadScope(LONG parameter) : parameter_(parameter) { ThreadStart(parameter, 0, 0); }
    ~ThreadScope() { ThreadEnd(parameter_, 0, 0); }
    ThreadScope(const ThreadScope&) = delete;
    ThreadScope& operator=(const ThreadScope&) = delete;

   private:
    LONG parameter_;
};

// Run-time threads that may still run program code: the first thread plus every thread from
// its creation until its end wrapper.
LONG ActiveRuntimeThreads();
