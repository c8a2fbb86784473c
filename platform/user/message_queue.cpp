// The message queue: GetMessageA, PostMessageA, PostQuitMessage, TranslateMessage and
// DispatchMessageA, and the turning of display events into messages.
#include "platform/display/display.h"
#include "platform/run_allocations.h"
#include "platform/trace.h"
#include "platform/user/input.h"
#include "platform/user/window_state.h"

#include <chrono>

using user_state::ThreadQueue;
using user_state::WindowState;

namespace {

DWORD Now() {
    using namespace std::chrono;
    return static_cast<DWORD>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// False, with nothing queued, when the queue has no room for one more entry.
bool Post(ThreadQueue& queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!run_allocations::Allow()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(queue.lock);
        queue.posted.push_back(MSG{window, message, wParam, lParam, Now(), POINT{0, 0}});
    }
    queue.wake.notify_all();
    return true;
}

void Resize(WindowState& window, int width, int height) {
    {
        std::lock_guard<std::mutex> guard(user_state::WindowsLock());
        gdi_objects::PixelSurface resized;
        resized.width = width;
        resized.height = height;
        resized.pixels.assign(static_cast<size_t>(width) * height, 0);
        for (int y = 0; y < std::min(height, window.client.height); ++y) {
            for (int x = 0; x < std::min(width, window.client.width); ++x)
                resized.Row(y)[x] = window.client.Row(y)[x];
        }
        window.client = std::move(resized);
        window.update = gdi_objects::Intersect(window.update, RECT{0, 0, width, height});
        // CS_HREDRAW | CS_VREDRAW ask for this; without them Windows repaints only the new
        // parts, here every size change repaints the whole client area.
        user_state::Invalidate(window, nullptr, true);
    }
}

// Turns one display event into messages for the calling thread's windows.
void Deliver(const display::Event& event) {
    auto window = user_state::FindBySurface(event.surface);
    if (!window || window->owner != std::this_thread::get_id()) return;
    ThreadQueue& queue = *window->queue;
    HWND handle = window->handle;
    switch (event.kind) {
        case display::EventKind::kClose:
            // Windows answers a click on the close button with WM_SYSCOMMAND / SC_CLOSE.
            Post(queue, handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case display::EventKind::kExposed: {
            std::lock_guard<std::mutex> guard(user_state::WindowsLock());
            user_state::Invalidate(*window, nullptr, true);
            break;
        }
        case display::EventKind::kResized:
            if (event.x == window->client.width && event.y == window->client.height) break;
            Resize(*window, event.x, event.y);
            user_state::Send(window, WM_SIZE, SIZE_RESTORED, MAKELONG(event.x, event.y));
            break;
        case display::EventKind::kMoved:
            user_state::Send(window, WM_MOVE, 0, MAKELONG(event.x, event.y));
            break;
        case display::EventKind::kMinimized:
            user_state::Send(window, WM_SIZE, SIZE_MINIMIZED, 0);
            break;
        case display::EventKind::kRestored: {
            user_state::Send(window, WM_SIZE, SIZE_RESTORED,
                             MAKELONG(window->client.width, window->client.height));
            std::lock_guard<std::mutex> guard(user_state::WindowsLock());
            user_state::Invalidate(*window, nullptr, true);
            break;
        }
        default: {
            user_input::InputMessage input;
            if (user_input::ToMessage(event, &input))
                Post(queue, handle, input.message, input.wParam, input.lParam);
            break;
        }
    }
}

// A visible window of this thread that needs painting, or null.
HWND WindowToPaint() {
    const auto self = std::this_thread::get_id();
    for (auto& window : user_state::AllWindows()) {
        if (window->owner != self || !window->visible || window->destroying) continue;
        std::lock_guard<std::mutex> guard(user_state::WindowsLock());
        if (!gdi_objects::IsEmpty(window->update)) return window->handle;
    }
    return nullptr;
}

// Takes (or, without `remove`, looks at) the next message; false when there is none.
bool NextMessage(LPMSG message, bool remove) {
    ThreadQueue& queue = *user_state::CurrentQueue();
    display::Event event;
    while (display::PollEvent(&event)) Deliver(event);
    {
        std::lock_guard<std::mutex> guard(queue.lock);
        if (!queue.posted.empty()) {
            *message = queue.posted.front();
            if (remove) queue.posted.pop_front();
            return true;
        }
        if (queue.quit) {
            if (remove) queue.quit = false;
            *message =
                MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, Now(), POINT{0, 0}};
            return true;
        }
    }
    if (HWND paint = WindowToPaint()) {
        *message = MSG{paint, WM_PAINT, 0, 0, Now(), POINT{0, 0}};
        return true;
    }
    return false;
}

}  // namespace

BOOL GetMessageA(LPMSG message, HWND window, UINT first, UINT last) {
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (window || first || last) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return -1;
    }
    ThreadQueue& queue = *user_state::CurrentQueue();
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(queue.lock);
            queue.wakeRequested = false;
        }
        if (NextMessage(message, true)) return message->message != WM_QUIT;
        // Nothing to hand out: sleep until the display has an event or another thread
        // posts or asks for a repaint (both also wake the display's wait).
        if (display::IsOpen()) {
            display::WaitForEvent();
        } else {
            std::unique_lock<std::mutex> guard(queue.lock);
            queue.wake.wait(
                guard, [&] { return queue.wakeRequested || !queue.posted.empty() || queue.quit; });
        }
    }
}

BOOL PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT flags) {
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (window || first || last || (flags & ~PM_REMOVE)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    return NextMessage(message, (flags & PM_REMOVE) != 0);
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> queue;
    if (handle) {
        auto window = user_state::LookUpWindow(handle);
        if (!window) return FALSE;
        queue = window->queue;
    } else {
        queue = user_state::CurrentQueue();
    }
    if (!Post(*queue, handle, message, wParam, lParam)) return FALSE;
    user_state::WakeQueue(*queue);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    platform_trace::Record("PostQuitMessage", std::to_string(exitCode));
    ThreadQueue& queue = *user_state::CurrentQueue();
    std::lock_guard<std::mutex> guard(queue.lock);
    queue.quit = true;
    queue.quitCode = exitCode;
}

BOOL TranslateMessage(const MSG* message) {
    if (!message || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN))
        return FALSE;
    WPARAM key = message->wParam;
    WPARAM character = 0;
    if (key >= 'A' && key <= 'Z') {
        character = key - 'A' + 'a';  // no Shift or Caps Lock state is kept here
    } else if ((key >= '0' && key <= '9') || key == VK_SPACE || key == VK_RETURN ||
               key == VK_ESCAPE || key == VK_BACK || key == VK_TAB) {
        character = key;
    }
    if (!character) return FALSE;
    UINT charMessage = message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    if (!run_allocations::Allow()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    auto queue = user_state::CurrentQueue();
    std::lock_guard<std::mutex> guard(queue->lock);
    // Windows puts the character message at the front so it comes next.
    queue->posted.push_front(
        MSG{message->hwnd, charMessage, character, message->lParam, Now(), POINT{0, 0}});
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd) return 0;
    auto window = user_state::LookUpWindow(message->hwnd);
    if (!window || window->owner != std::this_thread::get_id()) return 0;
    return user_state::Send(window, message->message, message->wParam, message->lParam);
}
