// BeginPaint and EndPaint: the paint DC draws into the window's client pixels, which reach
// the screen when the paint ends.
#include "platform/display/display.h"
#include "platform/trace.h"
#include "platform/user/window_state.h"

#include <cstring>

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    if (paint && paint->hdc) gdi_objects::DeletePaintDc(paint->hdc);
    auto window = user_state::LookUpWindow(handle);
    if (!window || window->owner != std::this_thread::get_id()) return TRUE;
    display::Present(window->surface, display::Frame{window->client.pixels.data(),
                                                     window->client.width, window->client.height});
    platform_trace::Record("EndPaint", "");  // after the pixels reached the screen
    return TRUE;
}

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    auto window = user_state::LookUpWindow(handle);
    if (!window) return nullptr;
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (window->owner != std::this_thread::get_id()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    RECT area;
    bool erase;
    {
        std::lock_guard<std::mutex> guard(user_state::WindowsLock());
        area = window->update;
        erase = window->erase;
        window->update = RECT{0, 0, 0, 0};
        window->erase = false;
    }
    std::memset(paint, 0, sizeof *paint);
    paint->rcPaint = area;
    paint->hdc = gdi_objects::CreatePaintDc(&window->client, area);
    platform_trace::Record("BeginPaint", "");
    if (erase)
        paint->fErase =
            user_state::Send(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) == 0;
    return paint->hdc;
}
