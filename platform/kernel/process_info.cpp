// Version, start-up information, own module and error mode for the portable host.
#include "platform/win32.h"

#include <atomic>
#include <cstring>

namespace {
std::atomic<UINT> errorMode{0};
char ownModule;  // its address is the program's module handle
}  // namespace

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
        info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) + 8) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    DWORD size = info->dwOSVersionInfoSize;
    std::memset(info, 0, sizeof(OSVERSIONINFOA));
    info->dwOSVersionInfoSize = size;
    info->dwMajorVersion = 6;
    info->dwMinorVersion = 2;
    info->dwBuildNumber = 9200;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    return TRUE;
}

void GetStartupInfoA(LPSTARTUPINFOA info) {
    std::memset(info, 0, sizeof(STARTUPINFOA));
    info->cb = sizeof(STARTUPINFOA);
}

HMODULE GetModuleHandleW(LPCWSTR name) {
    if (name) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return &ownModule;
}

HMODULE GetModuleHandleA(LPCSTR name) {
    if (!name) return &ownModule;
    if (HMODULE library = FindLoadedLibrary(name)) return library;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

UINT SetErrorMode(UINT mode) {
    return errorMode.exchange(mode);
}
