// The display backend over SDL2: windows with a software surface, events, wake-ups from
// other threads through a user event, and SDL's message boxes. SDL's own signal handlers
// are switched off so that SIGINT and SIGTERM end the program as usual.
#include "platform/display/display.h"

#include "platform/trace.h"
#include "platform/user/message.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xutil.h>

#include <atomic>
#include <cstring>
#include <cstdlib>
#include <mutex>

namespace display {
namespace {

constexpr int kOpenTries = 5;
constexpr Uint32 kOpenRetryMs = 200;
std::once_flag openOnce;
std::atomic<bool> opened{false};
std::string openFailure;
Uint32 wakeEventType = 0;
std::atomic<bool> wakePending{false};

SDL_Window* Find(uint32_t window) {
    return window ? SDL_GetWindowFromID(window) : nullptr;
}

int VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    switch (key) {
        case SDLK_RETURN:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        default:
            return 0;  // keys without a virtual-key code here are not reported
    }
}

int MouseButtons(Uint32 state) {
    return ((state & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0) |
           ((state & SDL_BUTTON_RMASK) ? MK_RBUTTON : 0) |
           ((state & SDL_BUTTON_MMASK) ? MK_MBUTTON : 0);
}

bool Translate(const SDL_Event& in, Event* out) {
    *out = Event{};
    if (in.type == wakeEventType) {
        wakePending.store(false);
        return false;
    }
    switch (in.type) {
        case SDL_WINDOWEVENT:
            out->window = in.window.windowID;
            switch (in.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    out->kind = EventKind::Close;
                    return true;
                case SDL_WINDOWEVENT_EXPOSED:
                    out->kind = EventKind::Exposed;
                    return true;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    out->kind = EventKind::Resized;
                    out->x = in.window.data1;
                    out->y = in.window.data2;
                    return true;
                case SDL_WINDOWEVENT_MOVED:
                    out->kind = EventKind::Moved;
                    out->x = in.window.data1;
                    out->y = in.window.data2;
                    return true;
                case SDL_WINDOWEVENT_MINIMIZED:
                    out->kind = EventKind::Minimized;
                    return true;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                    out->kind = EventKind::Restored;
                    return true;
                default:
                    return false;
            }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            out->kind = in.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp;
            out->window = in.key.windowID;
            out->key = VirtualKey(in.key.keysym.sym);
            out->alt = (in.key.keysym.mod & KMOD_ALT) != 0;
            return out->key != 0;
        case SDL_MOUSEMOTION:
            out->kind = EventKind::MouseMove;
            out->window = in.motion.windowID;
            out->x = in.motion.x;
            out->y = in.motion.y;
            out->buttons = MouseButtons(in.motion.state);
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            out->kind =
                in.type == SDL_MOUSEBUTTONDOWN ? EventKind::ButtonDown : EventKind::ButtonUp;
            out->window = in.button.windowID;
            out->x = in.button.x;
            out->y = in.button.y;
            out->button = in.button.button == SDL_BUTTON_LEFT     ? 1
                          : in.button.button == SDL_BUTTON_MIDDLE ? 2
                          : in.button.button == SDL_BUTTON_RIGHT  ? 3
                                                                  : 0;
            out->buttons = MouseButtons(SDL_GetMouseState(nullptr, nullptr));
            return out->button != 0;
        default:
            // SDL_QUIT follows the close of the last window; the close itself was reported.
            return false;
    }
}

}  // namespace

// The desktop to open: SDL_VIDEODRIVER when set (tests ask for "dummy"); otherwise X11 when
// DISPLAY names a server, else Wayland when WAYLAND_DISPLAY does. SDL's own fallbacks to its
// invisible "offscreen" and "dummy" drivers would run the program with no window anyone
// sees, so without a desktop there is no display.
static const char* ChooseDriver() {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (asked && *asked) return asked;
    const char* x11 = std::getenv("DISPLAY");
    if (x11 && *x11) return "x11";
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && *wayland) return "wayland";
    return nullptr;
}

bool Open(std::string* reason) {
    std::call_once(openOnce, [] {
        const char* driver = ChooseDriver();
        if (!driver) {
            openFailure = "no display available (neither DISPLAY nor WAYLAND_DISPLAY is set)";
            return;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The window surface stays the backend's own shared-memory image: an accelerated one
        // would recreate the X11 window (losing its WM_CLASS) and needs OpenGL for nothing.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // A window that stays black under a compositor is worse than one that tears.
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        // The window takes no text input, yet opening X11's input method parses the locale's
        // compose table (thousands of lines, a good part of the start-up time): an empty table
        // is named instead, unless the user named one.
        setenv("XCOMPOSEFILE", "/dev/null", 0);
        // A busy X server can refuse a connection for a moment (the connect fails with
        // EAGAIN while its queue of new clients is full): a few more tries before giving up.
        int tries = 0;
        while (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            openFailure = std::string("no display available (") + SDL_GetError() + ")";
            platform_trace::Record("DisplayError", openFailure);
            if (++tries == kOpenTries) return;
            SDL_Delay(kOpenRetryMs);
        }
        wakeEventType = SDL_RegisterEvents(1);
        opened.store(true);
    });
    if (!opened.load() && reason) *reason = openFailure;
    return opened.load();
}

bool IsOpen() {
    return opened.load();
}

uint32_t CreateWindow(const char* title, const char* className, int x, int y, int width, int height,
                      bool resizable) {
    if (!IsOpen()) return 0;
    Uint32 flags = SDL_WINDOW_HIDDEN | (resizable ? SDL_WINDOW_RESIZABLE : 0);
    SDL_Window* window =
        SDL_CreateWindow(title, x < 0 ? SDL_WINDOWPOS_UNDEFINED : x,
                         y < 0 ? SDL_WINDOWPOS_UNDEFINED : y, width, height, flags);
    if (!window) {
        platform_trace::Record("DisplayError", std::string("SDL_CreateWindow: ") + SDL_GetError());
        return 0;
    }
    // SDL names every X11 window after the executable; the window class is ours. Set before
    // the window is first mapped, when window managers read it.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        XClassHint hint{const_cast<char*>(className), const_cast<char*>(className)};
        XSetClassHint(info.info.x11.display, info.info.x11.window, &hint);
        // Whole-program tests close the window by this id without searching the screen.
        if (platform_trace::Recording())
            platform_trace::Record(
                "DisplayWindow", "x11=" + std::to_string(info.info.x11.window) + " title=" + title);
    }
    return SDL_GetWindowID(window);
}

void DestroyWindow(uint32_t window) {
    if (SDL_Window* native = Find(window)) SDL_DestroyWindow(native);
}

void Show(uint32_t window, ShowState state) {
    SDL_Window* native = Find(window);
    if (!native) return;
    switch (state) {
        case ShowState::Hidden:
            SDL_HideWindow(native);
            break;
        case ShowState::Normal:
            SDL_ShowWindow(native);
            if (SDL_GetWindowFlags(native) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED))
                SDL_RestoreWindow(native);
            break;
        case ShowState::Minimized:
            SDL_ShowWindow(native);
            SDL_MinimizeWindow(native);
            break;
        case ShowState::Maximized:
            SDL_ShowWindow(native);
            SDL_MaximizeWindow(native);
            break;
    }
}

void ClientPosition(uint32_t window, int* x, int* y) {
    *x = *y = 0;
    if (SDL_Window* native = Find(window)) SDL_GetWindowPosition(native, x, y);
}

void SetIcon(uint32_t window, int width, int height, const uint32_t* pixels) {
    SDL_Window* native = Find(window);
    if (!native) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(native, icon);
    SDL_FreeSurface(icon);
}

void Present(uint32_t window, const uint32_t* pixels, int width, int height) {
    SDL_Window* native = Find(window);
    if (!native) return;
    SDL_Surface* surface = SDL_GetWindowSurface(native);
    if (!surface) return;
    int w = width < surface->w ? width : surface->w;
    int h = height < surface->h ? height : surface->h;
    if (w > 0 && h > 0) {
        SDL_LockSurface(surface);
        if (surface->format->format == SDL_PIXELFORMAT_RGB888) {
            // The X11 surface's usual format has the client's byte layout with the top byte
            // unused: rows are copied as they are, which costs a fraction of a conversion.
            for (int row = 0; row < h; ++row)
                std::memcpy(static_cast<uint8_t*>(surface->pixels) + row * surface->pitch,
                            pixels + static_cast<size_t>(row) * width, w * 4u);
        } else {
            SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, pixels, width * 4,
                              surface->format->format, surface->pixels, surface->pitch);
        }
        SDL_UnlockSurface(surface);
    }
    SDL_UpdateWindowSurface(native);
}

bool ReadScreen(uint32_t window, std::vector<uint32_t>* pixels, int* width, int* height) {
    SDL_Window* native = Find(window);
    if (!native) return false;
    SDL_Surface* surface = SDL_GetWindowSurface(native);
    if (!surface) return false;
    *width = surface->w;
    *height = surface->h;
    pixels->assign(static_cast<size_t>(surface->w) * surface->h, 0);
    SDL_LockSurface(surface);
    int result =
        SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels,
                          surface->pitch, SDL_PIXELFORMAT_RGB888, pixels->data(), surface->w * 4);
    SDL_UnlockSurface(surface);
    return result == 0;
}

bool PollEvent(Event* event) {
    if (!IsOpen()) return false;
    SDL_Event in;
    while (SDL_PollEvent(&in)) {
        if (Translate(in, event)) return true;
    }
    return false;
}

void WaitForEvent() {
    if (IsOpen()) SDL_WaitEvent(nullptr);
}

void Wake() {
    if (!IsOpen()) return;
    // One wake-up in the queue is enough however many requests come before it is taken.
    if (wakePending.exchange(true)) return;
    SDL_Event event{};
    event.type = wakeEventType;
    SDL_PushEvent(&event);
}

int ShowMessageBox(const std::string& caption, const std::string& text, BoxButtons buttons,
                   BoxIcon icon, uint32_t owner) {
    static const char* const kLabels[][3] = {
        {"OK", nullptr, nullptr}, {"OK", "Cancel", nullptr},    {"Yes", "No", nullptr},
        {"Yes", "No", "Cancel"},  {"Retry", "Cancel", nullptr}, {"Abort", "Retry", "Ignore"},
    };
    const char* const* labels = kLabels[static_cast<int>(buttons)];
    SDL_MessageBoxButtonData data[3];
    int count = 0;
    for (; count < 3 && labels[count]; ++count) {
        data[count] = SDL_MessageBoxButtonData{0, count, labels[count]};
    }
    data[0].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    data[count - 1].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    Uint32 flags = icon == BoxIcon::Error         ? SDL_MESSAGEBOX_ERROR
                   : icon == BoxIcon::Warning     ? SDL_MESSAGEBOX_WARNING
                   : icon == BoxIcon::Information ? SDL_MESSAGEBOX_INFORMATION
                                                  : 0;
    SDL_MessageBoxData box{
        flags,  IsOpen() ? Find(owner) : nullptr, caption.c_str(), text.c_str(), count, data,
        nullptr};
    int chosen = 0;
    if (SDL_ShowMessageBox(&box, &chosen) != 0) return -1;
    return chosen < 0 ? 0 : chosen;
}

}  // namespace display
