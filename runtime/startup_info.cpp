// The platform check, the show command and the command tail.
#include "runtime/startup_info.h"

#include "runtime/error_numbers.h"

namespace {
constexpr UINT kNoSupportStyle = 0x12000;  // MB_SETFOREGROUND | MB_TASKMODAL, OK only
}  // namespace

void CheckPlatform(const OSVERSIONINFOA& version) {
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) return;
    MessageBoxA(nullptr, "Win98 No Support", nullptr, kNoSupportStyle);
    ExitProcess(kFatalExitCode);
}

LONG ShowCommandFrom(const STARTUPINFOA& startup) {
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

LPCWSTR CommandTail(LPCWSTR line) {
    if (*line == u'"') {
        // A quoted program name: up to the closing quote, which may be missing.
        ++line;
        while (*line && *line != u'"') ++line;
        if (*line == u'"') ++line;
    } else {
        // An unquoted name ends at the first character up to 0x20; a control character
        // (the terminator, a tab) stops the scan and starts the tail.
        while (*line > u' ') ++line;
        if (*line != u' ') return line;
    }
    while (*line == u' ') ++line;
    return line;
}
