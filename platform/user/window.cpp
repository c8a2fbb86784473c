// Top-level windows: CreateWindowExA, DestroyWindow, ShowWindow, UpdateWindow, geometry
// and SendMessageA.
#include "platform/display/display.h"
#include "platform/run_allocations.h"
#include "platform/trace.h"
#include "platform/user/icon_state.h"
#include "platform/user/window_state.h"

#include <cstdio>
#include <new>

using user_state::WindowState;

namespace {

constexpr int kDefaultWidth = 640, kDefaultHeight = 480;

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

bool HasFrame(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

// The window of the calling thread, or null with the published error.
std::shared_ptr<WindowState> OwnWindow(HWND handle) {
    auto window = user_state::LookUpWindow(handle);
    if (window && window->owner != std::this_thread::get_id()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return window;
}

void SetClassIcon(const WindowState& window) {
    user_icons::IconState* icon = nullptr;
    {
        DWORD saved = GetLastError();
        icon = window.windowClass->record.hIcon ? user_icons::Find(window.windowClass->record.hIcon)
                                                : nullptr;
        SetLastError(saved);
    }
    if (!icon) return;
    std::vector<uint32_t> straight(icon->premultiplied.size());
    for (size_t i = 0; i < straight.size(); ++i) {
        uint32_t p = icon->premultiplied[i], a = p >> 24;
        auto un = [&](int shift) { return a ? ((((p >> shift) & 0xFF) * 255 + a / 2) / a) : 0; };
        straight[i] = (a << 24) | (std::min(un(16), 255u) << 16) | (std::min(un(8), 255u) << 8) |
                      std::min(un(0), 255u);
    }
    display::SetIcon(window.surface, display::Frame{straight.data(), icon->width, icon->height});
}

}  // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID parameter) {
    if (parent || menu || (style & WS_CHILD)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto windowClass = user_state::FindClass(className);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    platform_trace::Record("CreateWindowExA", "class=" + windowClass->name +
                                                  " title=" + (title ? title : "") +
                                                  " size=" + std::to_string(width) + "x" +
                                                  std::to_string(height) + " style=" + Hex(style));
    if (!display::Open(nullptr)) {
        SetLastError(ERROR_DEVICE_NOT_AVAILABLE);
        return nullptr;
    }
    if (width == CW_USEDEFAULT) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    const bool framed = HasFrame(style);
    int clientWidth =
        std::max(0, width - (framed ? user_state::kFrameLeft + user_state::kFrameRight : 0));
    int clientHeight =
        std::max(0, height - (framed ? user_state::kFrameTop + user_state::kFrameBottom : 0));

    if (!run_allocations::Allow()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto window = std::make_shared<WindowState>();
    window->windowClass = windowClass;
    window->procedure = windowClass->record.lpfnWndProc;
    window->owner = std::this_thread::get_id();
    window->queue = user_state::CurrentQueue();
    window->title = title ? title : "";
    window->style = style & ~WS_VISIBLE;
    window->exStyle = exStyle;
    try {
        window->client.width = clientWidth;
        window->client.height = clientHeight;
        window->client.pixels.assign(static_cast<size_t>(clientWidth) * clientHeight, 0);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    display::SurfaceSpec spec;
    spec.title = window->title.c_str();
    spec.className = windowClass->name.c_str();
    spec.x = x == CW_USEDEFAULT ? -1 : x + user_state::kFrameLeft;
    spec.y = y == CW_USEDEFAULT ? -1 : y + user_state::kFrameTop;
    spec.width = std::max(1, clientWidth);
    spec.height = std::max(1, clientHeight);
    spec.resizable = (style & WS_THICKFRAME) != 0;
    window->surface = display::CreateSurface(spec);
    if (!window->surface) {
        SetLastError(ERROR_DEVICE_NOT_AVAILABLE);
        return nullptr;
    }
    HWND handle = user_state::AddWindow(window);
    SetClassIcon(*window);

    CREATESTRUCTA create{
        parameter, instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        title,     className, exStyle};
    LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (!user_state::Send(window, WM_NCCREATE, 0, createParam)) {
        user_state::Send(window, WM_NCDESTROY, 0, 0);
        display::DestroySurface(window->surface);
        user_state::RemoveWindow(handle);
        return nullptr;
    }
    if (user_state::Send(window, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    user_state::Send(window, WM_SIZE, SIZE_RESTORED, MAKELONG(clientWidth, clientHeight));
    int cx, cy;
    display::ClientPosition(window->surface, &cx, &cy);
    user_state::Send(window, WM_MOVE, 0, MAKELONG(cx, cy));
    if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
    return handle;
}

BOOL DestroyWindow(HWND handle) {
    auto window = OwnWindow(handle);
    if (!window) return FALSE;
    if (window->destroying) return TRUE;  // WM_DESTROY handlers may ask again
    platform_trace::Record("DestroyWindow", "");
    window->destroying = true;
    if (window->visible) {
        window->visible = false;
        display::Show(window->surface, display::ShowState::kHidden);
    }
    user_state::Send(window, WM_DESTROY, 0, 0);
    user_state::Send(window, WM_NCDESTROY, 0, 0);
    display::DestroySurface(window->surface);
    user_state::RemoveWindow(handle);
    return TRUE;
}

BOOL ShowWindow(HWND handle, int command) {
    auto window = OwnWindow(handle);
    if (!window) return FALSE;
    const BOOL wasVisible = window->visible;
    display::ShowState state;
    switch (command) {
        case SW_HIDE:
            state = display::ShowState::kHidden;
            break;
        case SW_SHOWNORMAL:
        case SW_SHOWNOACTIVATE:
        case SW_SHOW:
        case SW_SHOWNA:
        case SW_RESTORE:
        case SW_SHOWDEFAULT:
            state = display::ShowState::kNormal;
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE:
        case SW_FORCEMINIMIZE:
            state = display::ShowState::kMinimized;
            break;
        case SW_SHOWMAXIMIZED:
            state = display::ShowState::kMaximized;
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
    }
    platform_trace::Record("ShowWindow", "command=" + std::to_string(command));
    const bool show = state != display::ShowState::kHidden;
    if (show != static_cast<bool>(wasVisible))
        user_state::Send(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    window->visible = show;
    display::Show(window->surface, state);
    if (show && !wasVisible) {
        std::lock_guard<std::mutex> guard(user_state::WindowsLock());
        user_state::Invalidate(*window, nullptr, true);
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND handle) {
    auto window = OwnWindow(handle);
    if (!window) return FALSE;
    bool needsPaint;
    {
        std::lock_guard<std::mutex> guard(user_state::WindowsLock());
        needsPaint = window->visible && !gdi_objects::IsEmpty(window->update);
    }
    if (needsPaint) user_state::Send(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    auto window = user_state::LookUpWindow(handle);
    if (!window) return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *rect = RECT{0, 0, window->client.width, window->client.height};
    return TRUE;
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    auto window = user_state::LookUpWindow(handle);
    if (!window) return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int x, y;
    display::ClientPosition(window->surface, &x, &y);
    const bool framed = HasFrame(window->style);
    *rect =
        RECT{x - (framed ? user_state::kFrameLeft : 0), y - (framed ? user_state::kFrameTop : 0),
             x + window->client.width + (framed ? user_state::kFrameRight : 0),
             y + window->client.height + (framed ? user_state::kFrameBottom : 0)};
    return TRUE;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto window = OwnWindow(handle);
    if (!window) return 0;
    return user_state::Send(window, message, wParam, lParam);
}

BOOL IsWindow(HWND handle) {
    DWORD saved = GetLastError();
    bool live = user_state::LookUpWindow(handle) != nullptr;
    SetLastError(saved);
    return live;
}
