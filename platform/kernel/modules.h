// KERNEL32 subset for the portable host: loading libraries and finding their exports
// (dlopen and dlsym underneath) and the file names of modules.
#pragma once

#include "platform/types.h"

#define MAX_PATH 260

typedef INT_PTR(WINAPI* FARPROC)();

// Loads a shared library and returns its handle; a library already loaded gives the same
// handle again and counts one more load. A name without '/' is looked for first in the
// program's own directory (as Windows does), then where dlopen looks. Null or empty name:
// null with ERROR_INVALID_PARAMETER; a library that cannot be loaded: null with
// ERROR_MOD_NOT_FOUND. Unlike Windows, no ".dll" is appended and names are case-sensitive.
HMODULE LoadLibraryA(LPCSTR name);

// Undoes one LoadLibraryA; the library is unloaded after its last one. FALSE with
// ERROR_INVALID_HANDLE for a handle that LoadLibraryA did not give (the program's own
// module among them).
BOOL FreeLibrary(HMODULE module);

// The address of the export `name` of a module from LoadLibraryA, or of the program's own
// module (its dynamic symbols). Null with ERROR_PROC_NOT_FOUND when there is no such
// export, also for ordinals (not supported here); null with ERROR_MOD_NOT_FOUND for an
// unknown handle.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);

// The full path of a module (null: the program's own file) in `buffer`, 0-terminated;
// returns its length. A path that does not fit is cut to size - 1 characters and
// terminated, and `size` is returned with ERROR_INSUFFICIENT_BUFFER (as Windows Vista and
// later do). Unknown handle: 0 with ERROR_MOD_NOT_FOUND; size 0: 0 with
// ERROR_INSUFFICIENT_BUFFER. Paths are the host's (UTF-8 bytes, '/' separators).
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// For GetModuleHandleA: the handle of a library that LoadLibraryA loaded under this name
// (as given, or by its file name without the directory); null when none is.
HMODULE FindLoadedLibrary(LPCSTR name);
