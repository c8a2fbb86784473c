// The window made before SDL2 is ready, and the lending of its connection to SDL's driver.
#include "platform/display/x11_early_window.h"

#include "platform/display/x11_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

namespace x11_early_window {
namespace {

// What SDL's X11 driver selects on the windows it makes: the events it turns into its own.
// ButtonPress can be selected by one client only, which is why the window must be made on
// the connection SDL reads rather than on one of the backend's own.
constexpr long kSdlInputMask = FocusChangeMask | EnterWindowMask | LeaveWindowMask | ExposureMask |
                               ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                               KeyPressMask | KeyReleaseMask | PropertyChangeMask |
                               StructureNotifyMask | KeymapStateMask;

using OpenDisplayCall = Display* (*)(const char*);

// libX11's XOpenDisplay, which the program's own definition below hides. It is looked up
// before any load of SDL can start (the backend's early load runs at a later constructor
// priority): dlsym waits for a dlopen in progress, and SDL's takes longer than the whole
// early window.
OpenDisplayCall libX11Open = nullptr;
__attribute__((constructor(101))) void FindLibX11Open() {
    libX11Open = reinterpret_cast<OpenDisplayCall>(dlsym(RTLD_NEXT, "XOpenDisplay"));
}

Display* OpenNewDisplay(const char* name) {
    return libX11Open ? libX11Open(name) : nullptr;
}

std::atomic<Display*> lent{nullptr};
std::atomic<bool> lentTaken{false};
std::thread::id lender;

// Whether the default visual holds 0x00RRGGBB in 32-bit words, as the frames are laid out.
bool TakesFramesAsTheyAre(Display* connection) {
    const int screen = DefaultScreen(connection);
    Visual* visual = DefaultVisual(connection, screen);
    if (DefaultDepth(connection, screen) != 24 || visual->c_class != TrueColor ||
        visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF)
        return false;
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(connection, &count);
    bool words = false;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == 24) words = formats[i].bits_per_pixel == 32;
    if (formats) XFree(formats);
    return words;
}

Display* OpenSuitableConnection() {
    Display* connection = OpenNewDisplay(nullptr);
    if (connection && !TakesFramesAsTheyAre(connection)) {
        XCloseDisplay(connection);
        return nullptr;
    }
    return connection;
}

// The connection being opened by StartOpening's thread. Never destroyed: the thread may still
// be at work when the process ends.
struct Opening {
    std::mutex lock;
    std::condition_variable done;
    bool started = false;
    bool finished = false;
    Display* connection = nullptr;
};

Opening& TheOpening() {
    static Opening* opening = new Opening;
    return *opening;
}

void* OpenInBackground(void*) {
    Display* connection = OpenSuitableConnection();
    Opening& opening = TheOpening();
    std::lock_guard<std::mutex> hold(opening.lock);
    opening.connection = connection;
    opening.finished = true;
    opening.done.notify_all();
    return nullptr;
}

}  // namespace

void StartOpening() {
    Opening& opening = TheOpening();
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    std::lock_guard<std::mutex> hold(opening.lock);
    opening.started = pthread_create(&thread, &attributes, OpenInBackground, nullptr) == 0;
    pthread_attr_destroy(&attributes);
}

void FinishOpening() {
    Opening& opening = TheOpening();
    std::unique_lock<std::mutex> hold(opening.lock);
    if (opening.started) opening.done.wait(hold, [&opening] { return opening.finished; });
}

Display* OpenConnection() {
    Opening& opening = TheOpening();
    std::unique_lock<std::mutex> hold(opening.lock);
    if (!opening.started) {
        hold.unlock();
        return OpenSuitableConnection();
    }
    opening.done.wait(hold, [&opening] { return opening.finished; });
    opening.started = false;  // taken: a later call opens a connection of its own
    return opening.connection;
}

unsigned long Create(Display* connection, const display::SurfaceSpec& spec) {
    enum { kProtocols, kDeleteWindow, kPing, kName, kUtf8, kPid, kType, kTypeNormal, kCount };
    const char* names[kCount] = {
        "WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_WM_PING",        "_NET_WM_NAME",
        "UTF8_STRING",  "_NET_WM_PID",      "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL"};
    Atom atoms[kCount];
    if (!XInternAtoms(connection, const_cast<char**>(names), kCount, False, atoms)) return 0;

    const bool placed = spec.x >= 0 && spec.y >= 0;
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // nothing drawn by the server before the frame
    attributes.border_pixel = 0;
    attributes.event_mask = kSdlInputMask;
    const Window window =
        XCreateWindow(connection, DefaultRootWindow(connection), placed ? spec.x : 0,
                      placed ? spec.y : 0, spec.width, spec.height, 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
    if (!window) return 0;

    XSizeHints* size = XAllocSizeHints();
    XWMHints* hints = XAllocWMHints();
    if (size && !spec.resizable) {
        size->flags = PMinSize | PMaxSize;
        size->min_width = size->max_width = spec.width;
        size->min_height = size->max_height = spec.height;
    }
    if (size && placed) {
        size->flags |= PPosition | USPosition;
        size->x = spec.x;
        size->y = spec.y;
    }
    if (hints) {
        hints->flags = InputHint;
        hints->input = True;
    }
    // WM_CLIENT_MACHINE and the hints; WM_CLASS comes with AdoptWindow.
    XSetWMProperties(connection, window, nullptr, nullptr, nullptr, 0, size, hints, nullptr);
    if (size) XFree(size);
    if (hints) XFree(hints);
    // The title as UTF-8 in both the old and the new property, as SDL writes it. Written
    // directly: Xlib's text conversions first load its locale tables, a millisecond here.
    const auto title = reinterpret_cast<const unsigned char*>(spec.title);
    const int titleLength = static_cast<int>(std::strlen(spec.title));
    for (Atom property : {Atom{XA_WM_NAME}, Atom{XA_WM_ICON_NAME}, atoms[kName]})
        XChangeProperty(connection, window, property, atoms[kUtf8], 8, PropModeReplace, title,
                        titleLength);
    const long pid = getpid();
    XChangeProperty(connection, window, atoms[kPid], XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XChangeProperty(connection, window, atoms[kType], XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&atoms[kTypeNormal]), 1);
    // WM_PROTOCOLS as XSetWMProtocols writes it, without its own look-up of the atom.
    const Atom protocols[] = {atoms[kDeleteWindow], atoms[kPing]};
    XChangeProperty(connection, window, atoms[kProtocols], XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(protocols), 2);
    x11_window::AdoptWindow(connection, window, spec.className, spec.title);
    return window;
}

void Map(Display* connection, unsigned long window) {
    XMapRaised(connection, window);
    XFlush(connection);
}

void Unmap(Display* connection, unsigned long window) {
    XUnmapWindow(connection, window);
    XFlush(connection);
}

void Destroy(Display* connection, unsigned long window) {
    XDestroyWindow(connection, window);
    XFlush(connection);
}

void Close(Display* connection) {
    XCloseDisplay(connection);
}

void Position(Display* connection, unsigned long window, int* x, int* y) {
    Window child;
    if (!XTranslateCoordinates(connection, window, DefaultRootWindow(connection), 0, 0, x, y,
                               &child))
        *x = *y = 0;
}

void SetIcon(Display* connection, unsigned long window, const display::Frame& icon) {
    if (icon.width < 1 || icon.height < 1) return;
    // Format-32 properties are arrays of longs, whatever a long's size.
    std::vector<long> words;
    words.reserve(2 + static_cast<size_t>(icon.width) * icon.height);
    words.push_back(icon.width);
    words.push_back(icon.height);
    words.insert(words.end(), icon.pixels,
                 icon.pixels + static_cast<size_t>(icon.width) * icon.height);
    XChangeProperty(connection, window, XInternAtom(connection, "_NET_WM_ICON", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(words.data()),
                    static_cast<int>(words.size()));
    XFlush(connection);
}

void LendToNextOpen(Display* connection) {
    lender = std::this_thread::get_id();
    lentTaken.store(false);
    lent.store(connection);
}

bool EndLending() {
    lent.store(nullptr);
    return lentTaken.load();
}

}  // namespace x11_early_window

// The program's XOpenDisplay, which SDL's X11 driver calls (the executable exports it, so it
// comes before libX11's): while a connection is lent, the lender's thread gets that one,
// once; everyone else, and every other time, a new connection from libX11.
extern "C" __attribute__((visibility("default"))) Display* XOpenDisplay(const char* name) {
    using namespace x11_early_window;
    Display* connection = lent.load();
    if (connection && std::this_thread::get_id() == lender &&
        (!name || !*name || std::strcmp(name, DisplayString(connection)) == 0) &&
        lent.compare_exchange_strong(connection, nullptr)) {
        lentTaken.store(true);
        return connection;
    }
    return OpenNewDisplay(name);
}
