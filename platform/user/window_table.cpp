// The window table, the thread queues and the update-region arithmetic shared by the
// USER32 files of the portable host.
#include "platform/display/display.h"
#include "platform/user/window_state.h"

#include <unordered_map>

namespace user_state {
namespace {

struct Tables {
    std::unordered_map<HWND, std::shared_ptr<WindowState>> windows;
    uintptr_t nextHandle = 0x10010;
};

Tables& TheTables() {
    static auto* tables = new Tables();  // outlives every thread, also at process exit
    return *tables;
}

}  // namespace

std::mutex& WindowsLock() {
    static auto* lock = new std::mutex();
    return *lock;
}

std::shared_ptr<WindowState> LookUpWindow(HWND window) {
    {
        std::lock_guard<std::mutex> guard(WindowsLock());
        auto found = TheTables().windows.find(window);
        if (found != TheTables().windows.end()) return found->second;
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

std::shared_ptr<WindowState> FindBySurface(uint32_t surface) {
    std::lock_guard<std::mutex> guard(WindowsLock());
    for (auto& [handle, window] : TheTables().windows) {
        if (window->surface == surface) return window;
    }
    return nullptr;
}

std::deque<std::shared_ptr<WindowState>> AllWindows() {
    std::lock_guard<std::mutex> guard(WindowsLock());
    std::deque<std::shared_ptr<WindowState>> all;
    for (auto& [handle, window] : TheTables().windows) all.push_back(window);
    return all;
}

HWND AddWindow(std::shared_ptr<WindowState> window) {
    std::lock_guard<std::mutex> guard(WindowsLock());
    // Even numbers from a counter, as Windows' handles are; never reused in one process.
    HWND handle = reinterpret_cast<HWND>(TheTables().nextHandle);
    TheTables().nextHandle += 2;
    window->handle = handle;
    TheTables().windows[handle] = std::move(window);
    return handle;
}

void RemoveWindow(HWND window) {
    std::lock_guard<std::mutex> guard(WindowsLock());
    TheTables().windows.erase(window);
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    thread_local std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
    return queue;
}

void WakeQueue(ThreadQueue& queue) {
    {
        std::lock_guard<std::mutex> guard(queue.lock);
        queue.wakeRequested = true;
    }
    queue.wake.notify_all();
    display::Wake();  // the UI thread may be waiting on the display instead
}

bool Invalidate(WindowState& window, const RECT* area, bool erase) {
    RECT all{0, 0, window.client.width, window.client.height};
    RECT add = area ? gdi_objects::Intersect(*area, all) : all;
    if (erase) window.erase = true;
    if (gdi_objects::IsEmpty(add)) return false;
    RECT& update = window.update;
    if (gdi_objects::IsEmpty(update)) {
        update = add;
    } else {
        update.left = std::min(update.left, add.left);
        update.top = std::min(update.top, add.top);
        update.right = std::max(update.right, add.right);
        update.bottom = std::max(update.bottom, add.bottom);
    }
    return true;
}

LRESULT Send(const std::shared_ptr<WindowState>& window, UINT message, WPARAM wParam,
             LPARAM lParam) {
    return window->procedure(window->handle, message, wParam, lParam);
}

}  // namespace user_state
