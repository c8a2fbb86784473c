// KERNEL32 subset for the portable host: threads and their handles. Handles are our own
// handle kind (small multiples of 4, never dereferenced); CloseHandle knows only them.
#pragma once

#include "platform/types.h"

typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID parameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define STILL_ACTIVE 259L
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_TIMEOUT 0x00000102L
#define WAIT_FAILED 0xFFFFFFFF
#define CREATE_SUSPENDED 0x00000004
#define STACK_SIZE_PARAM_IS_A_RESERVATION 0x00010000

// Starts `start(parameter)` on a new thread at once and returns a handle to it; the thread
// identifier goes to `threadId` when it is not null. The stack is `stackSize` bytes rounded
// up to 64 KiB, or 1 MiB (the Windows default reserve) for 0, and never less than the host's
// least thread stack (128 KiB on aarch64); Windows treats the size as the initial commit of a
// reserve of at least 1 MiB instead. Security attributes must be
// null and `flags` 0 (no suspended start here): otherwise null with
// ERROR_INVALID_PARAMETER. A thread the system cannot start gives null with
// ERROR_NOT_ENOUGH_MEMORY. The function's result is the thread's exit code.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD threadId);

// Closes a thread handle; the thread goes on. FALSE with ERROR_INVALID_HANDLE for a value
// that is not an open handle of this layer (null, INVALID_HANDLE_VALUE, a closed handle).
BOOL CloseHandle(HANDLE handle);

// Waits until the thread of `handle` has ended (WAIT_OBJECT_0) or `milliseconds` have
// passed (WAIT_TIMEOUT); INFINITE waits for ever. WAIT_FAILED with ERROR_INVALID_HANDLE
// for an unknown handle. Only thread handles exist here.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// The thread's exit code, or STILL_ACTIVE while it runs. FALSE with ERROR_INVALID_HANDLE
// for an unknown handle.
BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode);

// The calling thread's identifier: a non-zero multiple of 4, unique for the process's life
// (also for threads this layer did not create).
DWORD GetCurrentThreadId();
