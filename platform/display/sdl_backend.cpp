// The display backend over SDL2: windows with a software surface, events in the display's
// codes, wake-ups from other threads through a user event, and SDL's message boxes. SDL's own
// signal handlers are switched off so that SIGINT and SIGTERM end the program as usual.
// SDL itself is reached through the calls sdl_library loaded.
#include "platform/display/sdl_backend.h"

#include "platform/display/sdl_library.h"
#include "platform/display/x11_early_window.h"
#include "platform/display/x11_window.h"
#include "platform/trace.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <unistd.h>

namespace display {
namespace sdl {
namespace {

constexpr int kOpenTries = 5;
constexpr Uint32 kOpenRetryMs = 200;

// SDL numbers its windows from 1 upwards; the early surface's id lies far beyond them.
constexpr SurfaceId kEarlySurface = 0x80000000u;

// On X11 the first surface is made with plain Xlib while SDL is still loading
// (x11_early_window), and SDL takes it over when the program first needs more than making,
// showing and drawing it.
struct EarlySurface {
    Display* connection = nullptr;  // opened by Open; SDL's own once lent to it
    bool lentToSdl = false;
    bool exists = false;       // kEarlySurface names a live surface
    unsigned long window = 0;  // its X11 window; 0 when a failed SDL start closed it
    bool shown = false;
    std::string title, className;
    SurfaceSpec spec;                       // its title and class point into the strings above
    std::atomic<SDL_Window*> sdl{nullptr};  // SDL's window for it, once SDL has started
    Uint32 sdlId = 0;
    bool madeBySdl = false;  // made again by SDL (which then also destroys it)
};

// Everything the backend keeps; SDL keeps the windows themselves.
struct SdlState {
    std::once_flag openOnce;
    const sdl_library::Calls* calls = nullptr;  // set before `ready`
    std::atomic<bool> opened{false};
    std::string openFailure;
    // SDL loaded, its video started and the early surface taken over. Set under readyLock,
    // which orders it against a Wake from another thread.
    std::atomic<bool> ready{false};
    std::mutex readyLock;
    Uint32 wakeEventType = 0;
    std::atomic<bool> wakePending{false};
    EarlySurface early;
};
SdlState state;

// The SDL calls once SDL has started: every operation but opening and the message box
// starts it first (EnsureSdl) unless it can do without.
const sdl_library::Calls& Sdl() {
    return *state.calls;
}

SDL_Window* Find(SurfaceId surface) {
    if (surface == kEarlySurface) return state.early.sdl.load();
    return surface ? Sdl().GetWindowFromID(surface) : nullptr;
}

// The surface an SDL window id belongs to.
SurfaceId SurfaceOf(Uint32 windowId) {
    return state.early.sdl.load() && windowId == state.early.sdlId ? kEarlySurface : windowId;
}

// Whether the early surface still waits for SDL: then it is served with plain Xlib.
bool Early(SurfaceId surface) {
    return surface == kEarlySurface && !state.ready.load();
}

Key KeyOf(SDL_Keycode key) {
    auto run = [](Key first, int offset) {
        return static_cast<Key>(static_cast<int>(first) + offset);
    };
    if (key >= SDLK_a && key <= SDLK_z) return run(Key::kA, key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return run(Key::kDigit0, key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return run(Key::kF1, key - SDLK_F1);
    switch (key) {
        case SDLK_RETURN:
            return Key::kReturn;
        case SDLK_ESCAPE:
            return Key::kEscape;
        case SDLK_BACKSPACE:
            return Key::kBackspace;
        case SDLK_TAB:
            return Key::kTab;
        case SDLK_SPACE:
            return Key::kSpace;
        case SDLK_DELETE:
            return Key::kDelete;
        case SDLK_LEFT:
            return Key::kLeft;
        case SDLK_RIGHT:
            return Key::kRight;
        case SDLK_UP:
            return Key::kUp;
        case SDLK_DOWN:
            return Key::kDown;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return Key::kShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return Key::kControl;
        case SDLK_LALT:
        case SDLK_RALT:
            return Key::kAlt;
        default:
            return Key::kNoKey;  // not reported
    }
}

unsigned HeldButtons(Uint32 mask) {
    return ((mask & SDL_BUTTON_LMASK) ? kHeldLeft : 0) |
           ((mask & SDL_BUTTON_MMASK) ? kHeldMiddle : 0) |
           ((mask & SDL_BUTTON_RMASK) ? kHeldRight : 0);
}

bool Translate(const SDL_Event& in, Event* out) {
    *out = Event{};
    if (in.type == state.wakeEventType) {
        state.wakePending.store(false);
        return false;
    }
    switch (in.type) {
        case SDL_WINDOWEVENT:
            out->surface = SurfaceOf(in.window.windowID);
            switch (in.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    out->kind = EventKind::kClose;
                    return true;
                case SDL_WINDOWEVENT_EXPOSED:
                    out->kind = EventKind::kExposed;
                    return true;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    out->kind = EventKind::kResized;
                    out->x = in.window.data1;
                    out->y = in.window.data2;
                    return true;
                case SDL_WINDOWEVENT_MOVED:
                    out->kind = EventKind::kMoved;
                    out->x = in.window.data1;
                    out->y = in.window.data2;
                    return true;
                case SDL_WINDOWEVENT_MINIMIZED:
                    out->kind = EventKind::kMinimized;
                    return true;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                    out->kind = EventKind::kRestored;
                    return true;
                default:
                    return false;
            }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            out->kind = in.type == SDL_KEYDOWN ? EventKind::kKeyDown : EventKind::kKeyUp;
            out->surface = SurfaceOf(in.key.windowID);
            out->key = KeyOf(in.key.keysym.sym);
            out->alt = (in.key.keysym.mod & KMOD_ALT) != 0;
            return out->key != Key::kNoKey;
        case SDL_MOUSEMOTION:
            out->kind = EventKind::kPointerMove;
            out->surface = SurfaceOf(in.motion.windowID);
            out->x = in.motion.x;
            out->y = in.motion.y;
            out->buttons = HeldButtons(in.motion.state);
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            out->kind =
                in.type == SDL_MOUSEBUTTONDOWN ? EventKind::kPointerDown : EventKind::kPointerUp;
            out->surface = SurfaceOf(in.button.windowID);
            out->x = in.button.x;
            out->y = in.button.y;
            out->button = in.button.button == SDL_BUTTON_LEFT     ? PointerButton::kLeft
                          : in.button.button == SDL_BUTTON_MIDDLE ? PointerButton::kMiddle
                          : in.button.button == SDL_BUTTON_RIGHT  ? PointerButton::kRight
                                                                  : PointerButton::kNoButton;
            out->buttons = HeldButtons(Sdl().GetMouseState(nullptr, nullptr));
            return out->button != PointerButton::kNoButton;
        default:
            // SDL_QUIT follows the close of the last window; the close itself was reported.
            return false;
    }
}

// The desktop to open: SDL_VIDEODRIVER when set; otherwise X11 when DISPLAY names a server,
// else Wayland when WAYLAND_DISPLAY does. SDL's own fallbacks to its invisible "offscreen"
// and "dummy" drivers would run the program with no window anyone sees, so without a
// desktop there is no display.
const char* ChooseDriver() {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (asked && *asked) return asked;
    const char* x11 = std::getenv("DISPLAY");
    if (x11 && *x11) return "x11";
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && *wayland) return "wayland";
    return nullptr;
}

// Started before main() where a desktop other than X11 is named, so that SDL2's libraries
// are being mapped while the program starts; a process without one loads SDL2 only for a
// message box. On X11 the first frame comes without SDL (x11_early_window) and the load
// starts once it is on the screen: on two processors, a load beside the start slowed the
// first frame by half (the program, the load and the X server all wanted a processor).
// After the constructors of priority 101, which may look symbols up without waiting for it.
__attribute__((constructor(102))) void LoadSdlEarly() {
    const char* driver = ChooseDriver();
    if (!driver) return;
    if (std::strcmp(driver, "x11") == 0)
        x11_early_window::StartOpening();
    else
        sdl_library::StartLoading();
}

// SDL asks the session bus for an input method and to hold off the screen saver. Where the
// user has no bus (no address set and none at $XDG_RUNTIME_DIR/bus: a bare X server, a remote
// display), libdbus would fork to run dbus-launch, which starts a bus that outlives the
// program if it is installed, and costs a fork of this process either way. The program uses
// no D-Bus service, so there it asks for no bus at all; a desktop's bus is used as before.
void SkipBusAutolaunch() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && access((std::string(runtime) + "/bus").c_str(), F_OK) == 0) return;
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

// Starts SDL's video, waiting for SDL's load if it is still under way. The early surface's
// connection is lent to SDL's X11 driver on the first try. False, with the reason (also in
// the trace), when SDL cannot be loaded or started.
bool StartSdl(std::string* reason) {
    state.calls = sdl_library::Get(reason);
    if (!state.calls) {
        platform_trace::Record("DisplayError", "no display available (" + *reason + ")");
        return false;
    }
    Sdl().SetHint(SDL_HINT_VIDEODRIVER, ChooseDriver());
    Sdl().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window surface stays the backend's own shared-memory image: an accelerated one
    // would recreate the X11 window (losing its WM_CLASS) and needs OpenGL for nothing.
    Sdl().SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A window that stays black under a compositor is worse than one that tears.
    Sdl().SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // A busy X server can refuse a connection for a moment (the connect fails with EAGAIN
    // while its queue of new clients is full): a few more tries before giving up.
    EarlySurface& early = state.early;
    for (int tries = 1;; ++tries) {
        const bool lending = early.connection && !early.lentToSdl;
        if (lending) x11_early_window::LendToNextOpen(early.connection);
        const bool started = Sdl().InitSubSystem(SDL_INIT_VIDEO) == 0;
        if (lending && x11_early_window::EndLending()) {
            early.lentToSdl = true;
            if (!started) {  // SDL closed the connections of its failed start, the lent one too
                early.connection = nullptr;
                early.window = 0;
            }
        }
        if (started) break;
        *reason = Sdl().GetError();
        platform_trace::Record("DisplayError", "no display available (" + *reason + ")");
        if (tries == kOpenTries) return false;
        Sdl().Delay(kOpenRetryMs);
    }
    state.wakeEventType = Sdl().RegisterEvents(1);
    return true;
}

// A display that opened without SDL and cannot get it later is no display after all: the
// process ends as a missing display ends it at the start, with the reason and exit code 255.
[[noreturn]] void EndWithoutDisplay(const std::string& reason) {
    std::fprintf(stderr, "No display is available: the window cannot be kept (%s)\n",
                 reason.c_str());
    std::fflush(stderr);
    _exit(255);
}

// The X11 connection and window of an SDL window on X11.
bool X11WindowOf(SDL_Window* native, Display** display, Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!Sdl().GetWindowWMInfo(native, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    *display = info.info.x11.display;
    *window = info.info.x11.window;
    return true;
}

SDL_Window* MakeSdlWindow(const SurfaceSpec& spec) {
    Uint32 flags = SDL_WINDOW_HIDDEN | (spec.resizable ? SDL_WINDOW_RESIZABLE : 0);
    SDL_Window* window = Sdl().CreateWindow(
        spec.title, spec.x < 0 ? SDL_WINDOWPOS_UNDEFINED : spec.x,
        spec.y < 0 ? SDL_WINDOWPOS_UNDEFINED : spec.y, spec.width, spec.height, flags);
    if (!window) {
        platform_trace::Record("DisplayError",
                               std::string("SDL_CreateWindow: ") + Sdl().GetError());
        return nullptr;
    }
    Display* display = nullptr;
    Window x11 = 0;
    if (X11WindowOf(window, &display, &x11))
        x11_window::AdoptWindow(display, x11, spec.className, spec.title);
    return window;
}

// SDL takes the early surface over on the connection it was made on. When SDL's driver did
// not take that connection (an SDL that reaches libX11 some other way), the window's close
// requests would go to a client nobody reads: SDL makes the window again instead.
void TakeOverEarlySurface() {
    EarlySurface& early = state.early;
    if (!early.exists) {
        if (early.connection && !early.lentToSdl) x11_early_window::Close(early.connection);
        early.connection = nullptr;
        return;
    }
    SDL_Window* window = nullptr;
    if (early.window && early.lentToSdl) {
        window = Sdl().CreateWindowFrom(reinterpret_cast<void*>(early.window));
        Display* display = nullptr;
        Window x11 = 0;
        if (window && !(X11WindowOf(window, &display, &x11) && display == early.connection)) {
            Sdl().DestroyWindow(window);
            window = nullptr;
        }
    }
    if (!window) {
        if (early.window && early.connection)
            x11_early_window::Destroy(early.connection, early.window);
        if (early.connection && !early.lentToSdl) x11_early_window::Close(early.connection);
        early.connection = nullptr;
        window = MakeSdlWindow(early.spec);
        if (!window) EndWithoutDisplay("SDL could not make the window again");
        early.madeBySdl = true;
        if (early.shown) Sdl().ShowWindow(window);
    }
    early.sdlId = Sdl().GetWindowID(window);
    early.sdl.store(window);
}

void PushWake() {
    SDL_Event event{};
    event.type = state.wakeEventType;
    Sdl().PushEvent(&event);
}

// Starts SDL for the operations the early surface cannot do without it.
void EnsureSdl() {
    if (state.ready.load()) return;
    std::string reason;
    if (!StartSdl(&reason)) EndWithoutDisplay(reason);
    TakeOverEarlySurface();
    {
        std::lock_guard<std::mutex> hold(state.readyLock);
        state.ready.store(true);
    }
    if (state.wakePending.load()) PushWake();  // a Wake that came before SDL did
}

bool Open(std::string* reason) {
    std::call_once(state.openOnce, [] {
        const char* driver = ChooseDriver();
        if (!driver) {
            state.openFailure = "no display available (neither DISPLAY nor WAYLAND_DISPLAY is set)";
            return;
        }
        // What SDL's start reads from the environment, set as the display opens (at the
        // first window, before the program starts threads of its own) rather than when SDL
        // starts, when other threads may be reading the environment.
        x11_window::SkipComposeTable();
        SkipBusAutolaunch();
        // On X11 the display opens with a plain connection of its own, and SDL starts when
        // first needed (EnsureSdl), by when its load has mostly ended.
        if (std::strcmp(driver, "x11") == 0 &&
            (state.early.connection = x11_early_window::OpenConnection())) {
            state.opened.store(true);
            return;
        }
        std::string reason;
        if (!StartSdl(&reason)) {
            state.openFailure = "no display available (" + reason + ")";
            return;
        }
        state.ready.store(true);
        state.opened.store(true);
    });
    if (!state.opened.load() && reason) *reason = state.openFailure;
    return state.opened.load();
}

bool IsOpen() {
    return state.opened.load();
}

SurfaceId CreateSurface(const SurfaceSpec& spec) {
    EarlySurface& early = state.early;
    if (!state.ready.load() && !early.exists) {
        early.window = x11_early_window::Create(early.connection, spec);
        if (early.window) {
            early.exists = true;
            early.title = spec.title;
            early.className = spec.className;
            early.spec = spec;
            early.spec.title = early.title.c_str();
            early.spec.className = early.className.c_str();
            return kEarlySurface;
        }
    }
    EnsureSdl();
    SDL_Window* window = MakeSdlWindow(spec);
    return window ? Sdl().GetWindowID(window) : 0;
}

void DestroySurface(SurfaceId surface) {
    EnsureSdl();
    SDL_Window* native = Find(surface);
    if (!native) return;
    Sdl().DestroyWindow(native);
    if (surface != kEarlySurface) return;
    EarlySurface& early = state.early;
    // SDL leaves a window it took over to the client that made it.
    if (!early.madeBySdl) x11_early_window::Destroy(early.connection, early.window);
    early.sdl.store(nullptr);
    early.exists = false;
}

void Show(SurfaceId surface, ShowState shown) {
    if (Early(surface) && (shown == ShowState::kNormal || shown == ShowState::kHidden)) {
        EarlySurface& early = state.early;
        early.shown = shown == ShowState::kNormal;
        if (early.shown)
            x11_early_window::Map(early.connection, early.window);
        else
            x11_early_window::Unmap(early.connection, early.window);
        return;
    }
    EnsureSdl();
    SDL_Window* native = Find(surface);
    if (!native) return;
    switch (shown) {
        case ShowState::kHidden:
            Sdl().HideWindow(native);
            break;
        case ShowState::kNormal:
            Sdl().ShowWindow(native);
            if (Sdl().GetWindowFlags(native) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED))
                Sdl().RestoreWindow(native);
            break;
        case ShowState::kMinimized:
            Sdl().ShowWindow(native);
            Sdl().MinimizeWindow(native);
            break;
        case ShowState::kMaximized:
            Sdl().ShowWindow(native);
            Sdl().MaximizeWindow(native);
            break;
    }
}

void ClientPosition(SurfaceId surface, int* x, int* y) {
    if (Early(surface))
        return x11_early_window::Position(state.early.connection, state.early.window, x, y);
    EnsureSdl();
    if (SDL_Window* native = Find(surface)) Sdl().GetWindowPosition(native, x, y);
}

void SetIcon(SurfaceId surface, const Frame& icon) {
    if (Early(surface))
        return x11_early_window::SetIcon(state.early.connection, state.early.window, icon);
    EnsureSdl();
    SDL_Window* native = Find(surface);
    if (!native) return;
    SDL_Surface* image = Sdl().CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(icon.pixels), icon.width, icon.height, 32, icon.width * 4,
        SDL_PIXELFORMAT_ARGB8888);
    if (!image) return;
    Sdl().SetWindowIcon(native, image);
    Sdl().FreeSurface(image);
}

// The X11 display and window of `native` when frames can go to it with XPutImage as they
// are: an X11 window whose pixels are 32-bit 0x00RRGGBB words, the frames' own layout.
bool X11Target(SDL_Window* native, Display** display, Window* window) {
    return Sdl().GetWindowPixelFormat(native) == SDL_PIXELFORMAT_RGB888 &&
           X11WindowOf(native, display, window);
}

void Present(SurfaceId surface, const Frame& frame) {
    if (frame.width < 1 || frame.height < 1) return;
    if (Early(surface)) {  // its connection was chosen for taking the frames as they are
        x11_window::PutFrame(state.early.connection, state.early.window, frame.pixels, frame.width,
                             frame.height);
        sdl_library::StartLoading();  // the frame is on the screen: SDL may come now
        return;
    }
    EnsureSdl();
    SDL_Window* native = Find(surface);
    if (!native) return;
    Display* display = nullptr;
    Window window = 0;
    if (X11Target(native, &display, &window)) {
        x11_window::PutFrame(display, window, frame.pixels, frame.width, frame.height);
        return;
    }
    // Elsewhere (Wayland, other pixel layouts) through SDL's window surface, converted.
    SDL_Surface* screen = Sdl().GetWindowSurface(native);
    if (!screen) return;
    int w = frame.width < screen->w ? frame.width : screen->w;
    int h = frame.height < screen->h ? frame.height : screen->h;
    Sdl().LockSurface(screen);
    if (screen->format->format == SDL_PIXELFORMAT_RGB888) {
        // The frame's byte layout with the top byte unused: rows are copied as they are,
        // which costs a fraction of a conversion.
        for (int row = 0; row < h; ++row)
            std::memcpy(static_cast<uint8_t*>(screen->pixels) + row * screen->pitch,
                        frame.pixels + static_cast<size_t>(row) * frame.width, w * 4u);
    } else {
        Sdl().ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, frame.pixels, frame.width * 4,
                            screen->format->format, screen->pixels, screen->pitch);
    }
    Sdl().UnlockSurface(screen);
    Sdl().UpdateWindowSurface(native);
}

bool ReadFrame(SurfaceId surface, std::vector<uint32_t>* pixels, int* width, int* height) {
    EnsureSdl();
    SDL_Window* native = Find(surface);
    if (!native) return false;
    Display* display = nullptr;
    Window window = 0;
    if (X11Target(native, &display, &window))
        return x11_window::ReadFrame(display, window, pixels, width, height);
    SDL_Surface* screen = Sdl().GetWindowSurface(native);
    if (!screen) return false;
    *width = screen->w;
    *height = screen->h;
    pixels->assign(static_cast<size_t>(screen->w) * screen->h, 0);
    Sdl().LockSurface(screen);
    int result =
        Sdl().ConvertPixels(screen->w, screen->h, screen->format->format, screen->pixels,
                            screen->pitch, SDL_PIXELFORMAT_RGB888, pixels->data(), screen->w * 4);
    Sdl().UnlockSurface(screen);
    return result == 0;
}

bool PollEvent(Event* event) {
    EnsureSdl();
    SDL_Event in;
    while (Sdl().PollEvent(&in)) {
        if (Translate(in, event)) return true;
    }
    return false;
}

void WaitForEvent() {
    EnsureSdl();
    Sdl().WaitEvent(nullptr);
}

void Wake() {
    // One wake-up in the queue is enough however many requests come before it is taken.
    if (state.wakePending.exchange(true)) return;
    if (!state.ready.load()) {
        std::lock_guard<std::mutex> hold(state.readyLock);
        if (!state.ready.load()) return;  // EnsureSdl pushes it once SDL has started
    }
    PushWake();
}

int ShowMessageBox(const std::string& caption, const std::string& text, BoxButtons buttons,
                   BoxIcon icon, SurfaceId owner) {
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
    Uint32 flags = icon == BoxIcon::kError         ? SDL_MESSAGEBOX_ERROR
                   : icon == BoxIcon::kWarning     ? SDL_MESSAGEBOX_WARNING
                   : icon == BoxIcon::kInformation ? SDL_MESSAGEBOX_INFORMATION
                                                   : 0;
    SDL_Window* parent = state.ready.load() ? Find(owner) : nullptr;
    SDL_MessageBoxData box{flags, parent, caption.c_str(), text.c_str(), count, data, nullptr};
    const sdl_library::Calls* calls = sdl_library::Get(nullptr);
    // SDL shows an X11 box from a child it forks; the child must not start while the early
    // connection is being opened on another thread.
    x11_early_window::FinishOpening();
    int chosen = 0;
    if (!calls || calls->ShowMessageBox(&box, &chosen) != 0) return -1;
    return chosen < 0 ? 0 : chosen;
}

}  // namespace
}  // namespace sdl

const Backend& SdlBackend() {
    static const Backend record{
        .name = "sdl2",
        .open = sdl::Open,
        .isOpen = sdl::IsOpen,
        .createSurface = sdl::CreateSurface,
        .destroySurface = sdl::DestroySurface,
        .show = sdl::Show,
        .clientPosition = sdl::ClientPosition,
        .setIcon = sdl::SetIcon,
        .present = sdl::Present,
        .readFrame = sdl::ReadFrame,
        .pollEvent = sdl::PollEvent,
        .waitForEvent = sdl::WaitForEvent,
        .wake = sdl::Wake,
        .showMessageBox = sdl::ShowMessageBox,
    };
    return record;
}

}  // namespace display
