// KERNEL32 subset for the portable host: what a process learns about itself at start
// (version, start-up information, command line, own module), error modes and process exit.
#pragma once

#include "platform/types.h"

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;

#define STARTF_USESHOWWINDOW 0x00000001
#define STARTF_USESIZE 0x00000002
#define STARTF_USEPOSITION 0x00000004
#define STARTF_USESTDHANDLES 0x00000100

typedef struct _STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOGPFAULTERRORBOX 0x0002
#define SEM_NOALIGNMENTFAULTEXCEPT 0x0004
#define SEM_NOOPENFILEERRORBOX 0x8000

// Reports Windows 8 (6.2, build 9200) on the NT platform with no service pack, which is
// what Windows reports to programs without a compatibility manifest. FALSE with
// ERROR_INSUFFICIENT_BUFFER unless dwOSVersionInfoSize is 148 (or 156, the EX size, of
// which only the first 148 bytes are filled here).
BOOL GetVersionExA(LPOSVERSIONINFOA info);

// Fills the start-up information (cb and all other fields) with dwFlags 0: nothing starts
// a process here with a requested show state, position, size or standard handles.
void GetStartupInfoA(LPSTARTUPINFOA info);

// The process command line as Windows would have built it from the arguments in
// /proc/self/cmdline: arguments joined by one blank, each one that is empty or holds a
// blank, tab or double quote enclosed in double quotes, with double quotes written \" and
// the backslashes before a quote or the closing quote doubled (the inverse of the
// Microsoft C run-time's splitting). UTF-8 arguments become UTF-16; bytes that are not
// UTF-8 become U+FFFD. Built once; the same pointer for the whole process. Never null.
LPWSTR GetCommandLineW();

// Null name: the program's own module, a handle that stays the same for the whole process.
// Any other name: null with ERROR_MOD_NOT_FOUND (no other modules are known here).
HMODULE GetModuleHandleW(LPCWSTR name);
// Null name: as GetModuleHandleW. Any other name: a library that LoadLibraryA loaded under
// that name or file name (platform/kernel/modules.h), else null with ERROR_MOD_NOT_FOUND.
HMODULE GetModuleHandleA(LPCSTR name);

// Sets the process-wide error mode and returns the previous one. The mode is only kept:
// nothing here shows the dialogs it suppresses on Windows.
UINT SetErrorMode(UINT mode);

// Ends the process with `exitCode` (only its low 8 bits reach a Linux parent): flushes the
// C standard streams, then ends every thread at once (_exit). Unlike Windows, no module
// detach code runs; like Windows' kill of the other threads, no static destructor or
// atexit handler runs, so nothing can race the threads that are still running.
[[noreturn]] void ExitProcess(UINT exitCode);
