// Private state of USER32 on the portable host: one struct per handle kind (window class,
// window, thread message queue) and the lookups between them. Window handles are small
// numbers from a counter, never addresses, so a handle of a destroyed window stays dead.
// One lock (WindowsLock) guards the window table and every window's update region; the
// rest of a window's state belongs to the thread that created it.
#pragma once

#include "platform/gdi/gdi_objects.h"
#include "platform/win32.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace user_state {

struct ClassState {
    ATOM atom = 0;
    std::string name;
    WNDCLASSA record{};  // lpszClassName and lpszMenuName are not kept
};

struct ThreadQueue {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<MSG> posted;
    bool quit = false;
    int quitCode = 0;
    bool wakeRequested = false;  // set by other threads between two looks at the queue
};

struct WindowState {
    HWND handle = nullptr;
    std::shared_ptr<const ClassState> windowClass;
    WNDPROC procedure = nullptr;
    std::thread::id owner;
    std::shared_ptr<ThreadQueue> queue;
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    uint32_t surface = 0;  // the display's surface showing the window
    // Written by the owner thread, read by repaint requests from any thread.
    std::atomic<bool> visible{false};
    std::atomic<bool> destroying{false};
    gdi_objects::PixelSurface client;  // the client area's pixels
    // Update region, guarded by WindowsLock: its bounding rectangle and the erase request.
    RECT update{0, 0, 0, 0};
    bool erase = false;
};

// The lock over the window table and the update regions.
std::mutex& WindowsLock();

// The live window with this handle, or null with ERROR_INVALID_WINDOW_HANDLE.
std::shared_ptr<WindowState> LookUpWindow(HWND window);
// The live window shown by this display surface, or null.
std::shared_ptr<WindowState> FindBySurface(uint32_t surface);
// Every live window (a copy of the table, for walks that call out).
std::deque<std::shared_ptr<WindowState>> AllWindows();
// Adds a window to the table and gives it a fresh handle.
HWND AddWindow(std::shared_ptr<WindowState> window);
void RemoveWindow(HWND window);

// The calling thread's message queue, made on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();

// Wakes the thread that waits on `queue` (any thread may call this).
void WakeQueue(ThreadQueue& queue);

// The class registered under `name` (an atom given as MAKEINTATOM, or a name compared
// without regard to ASCII case), or null.
std::shared_ptr<const ClassState> FindClass(LPCSTR name);

// Adds `area` (null: the whole client area) to the window's update region; with `erase`
// it also asks for WM_ERASEBKGND. Caller holds WindowsLock. True when the region grew.
bool Invalidate(WindowState& window, const RECT* area, bool erase);

// Calls the window procedure on the calling thread.
LRESULT Send(const std::shared_ptr<WindowState>& window, UINT message, WPARAM wParam,
             LPARAM lParam);

// The classic frame of a captioned, sizable window: what CreateWindowExA takes off the
// outer size to get the client size (and GetWindowRect adds back).
constexpr int kFrameLeft = 4, kFrameTop = 23, kFrameRight = 4, kFrameBottom = 4;

}  // namespace user_state
