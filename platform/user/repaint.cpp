// Repaint requests for the portable host. Until windows exist, no handle is a live window:
// requests for the desktop (null) succeed and change nothing, every other handle fails.
#include "platform/trace.h"
#include "platform/win32.h"

#include <cstdio>

namespace {
std::string Hex(uintptr_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}
}  // namespace

BOOL IsWindow(HWND) { return FALSE; }

BOOL RedrawWindow(HWND window, const RECT* area, HRGN region, UINT flags) {
    platform_trace::Record("RedrawWindow", "window=" + Hex(reinterpret_cast<uintptr_t>(window)) +
                                               " area=" + (area ? "rect" : "null") +
                                               " region=" + (region ? "set" : "null") +
                                               " flags=" + Hex(flags));
    if (window && !IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT* area, BOOL erase) {
    platform_trace::Record("InvalidateRect", "window=" +
                                                 Hex(reinterpret_cast<uintptr_t>(window)) +
                                                 " area=" + (area ? "rect" : "null") +
                                                 " erase=" + std::to_string(erase));
    if (window && !IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}
