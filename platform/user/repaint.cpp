// Repaint requests, from any thread: RedrawWindow, InvalidateRect, ValidateRect. A request
// grows the window's update region and wakes its thread; requests made before that thread
// paints merge into one WM_PAINT.
#include "platform/trace.h"
#include "platform/user/window_state.h"

#include <cstdio>

namespace {

std::string Hex(uintptr_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

constexpr UINT kSupported = RDW_INVALIDATE | RDW_ERASE | RDW_NOERASE | RDW_VALIDATE | RDW_FRAME |
                            RDW_NOFRAME | RDW_ALLCHILDREN | RDW_NOCHILDREN | RDW_NOINTERNALPAINT |
                            RDW_UPDATENOW | RDW_ERASENOW;

// Applies the request to one window; returns false with the last error set.
bool Apply(const std::shared_ptr<user_state::WindowState>& window, const RECT* area, UINT flags) {
    const bool ownThread = window->owner == std::this_thread::get_id();
    if ((flags & (RDW_UPDATENOW | RDW_ERASENOW)) && !ownThread) {
        SetLastError(ERROR_NOT_SUPPORTED);  // an immediate paint only on the window's thread
        return false;
    }
    bool wake = false;
    {
        std::lock_guard<std::mutex> guard(user_state::WindowsLock());
        if (flags & RDW_VALIDATE) {
            if (!area) {
                window->update = RECT{0, 0, 0, 0};
                window->erase = false;
            }
            // Part of a region cannot be taken off a rectangle; a partial validate keeps it.
        }
        // A hidden window has no update region: it is painted whole when it is shown.
        if ((flags & RDW_INVALIDATE) && window->visible && !window->destroying)
            wake = user_state::Invalidate(*window, area, (flags & RDW_ERASE) != 0);
        // RDW_FRAME: there is no frame of our own to repaint; the window manager draws it.
    }
    if (wake) user_state::WakeQueue(*window->queue);
    if ((flags & RDW_UPDATENOW) && ownThread) UpdateWindow(window->handle);
    return true;
}

BOOL Request(HWND handle, const RECT* area, HRGN region, UINT flags) {
    if (region) {  // there are no regions on this host
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (flags & ~kSupported) {
        SetLastError(ERROR_NOT_SUPPORTED);  // RDW_INTERNALPAINT
        return FALSE;
    }
    if (!handle) {  // the desktop: every window of the process
        for (auto& window : user_state::AllWindows()) Apply(window, area, flags);
        return TRUE;
    }
    auto window = user_state::LookUpWindow(handle);
    if (!window) return FALSE;
    return Apply(window, area, flags) ? TRUE : FALSE;
}

}  // namespace

BOOL RedrawWindow(HWND window, const RECT* area, HRGN region, UINT flags) {
    platform_trace::Record("RedrawWindow", "window=" + Hex(reinterpret_cast<uintptr_t>(window)) +
                                               " area=" + (area ? "rect" : "null") + " region=" +
                                               (region ? "set" : "null") + " flags=" + Hex(flags));
    return Request(window, area, region, flags);
}

BOOL InvalidateRect(HWND window, const RECT* area, BOOL erase) {
    platform_trace::Record("InvalidateRect", "window=" + Hex(reinterpret_cast<uintptr_t>(window)) +
                                                 " area=" + (area ? "rect" : "null") +
                                                 " erase=" + std::to_string(erase));
    return Request(window, area, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND window, const RECT* area) {
    if (!window) return FALSE;
    return Request(window, area, nullptr, RDW_VALIDATE);
}
