// X11 specifics of the SDL2 backend's windows: the class hint, the input method's compose
// table, and putting and reading frames. Plain Xlib calls on a window SDL made.
#include "platform/display/x11_window.h"

#include "platform/trace.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <mutex>
#include <string>

namespace x11_window {

void AdoptWindow(Display* display, unsigned long window, const char* className, const char* title) {
    XClassHint hint{const_cast<char*>(className), const_cast<char*>(className)};
    XSetClassHint(display, window, &hint);
    if (platform_trace::Recording())
        platform_trace::Record("DisplayWindow",
                               "x11=" + std::to_string(window) + " title=" + title);
}

void SkipComposeTable() {
    setenv("XCOMPOSEFILE", "/dev/null", 0);
}

void PutFrame(Display* display, unsigned long window, const uint32_t* pixels, int width,
              int height) {
    // The image only describes the caller's words; XPutImage copies them into the request.
    XImage* image = XCreateImage(display, nullptr, 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<uint32_t*>(pixels)), width,
                                 height, 32, width * 4);
    if (!image) return;
    GC gc = XCreateGC(display, window, 0, nullptr);
    XPutImage(display, window, gc, image, 0, 0, 0, 0, width, height);
    XFreeGC(display, gc);
    image->data = nullptr;  // not ours to free
    XDestroyImage(image);
    XSync(display, False);
}

namespace {

// X11 reports a failed request through the error handler, whose default ends the process:
// a read runs with a handler that only counts.
std::mutex readLock;
int readErrors = 0;
int CountError(Display*, XErrorEvent*) {
    ++readErrors;
    return 0;
}

}  // namespace

bool ReadFrame(Display* display, unsigned long window, std::vector<uint32_t>* pixels, int* width,
               int* height) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) ||
        attributes.map_state != IsViewable || attributes.width < 1 || attributes.height < 1) {
        return false;
    }
    std::lock_guard<std::mutex> hold(readLock);
    XSync(display, False);
    readErrors = 0;
    auto previous = XSetErrorHandler(CountError);
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height,
                              AllPlanes, ZPixmap);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!image) return false;
    bool ok = readErrors == 0;
    if (ok) {
        *width = attributes.width;
        *height = attributes.height;
        pixels->resize(static_cast<size_t>(attributes.width) * attributes.height);
        for (int y = 0; y < attributes.height; ++y)
            for (int x = 0; x < attributes.width; ++x)
                (*pixels)[static_cast<size_t>(y) * attributes.width + x] =
                    static_cast<uint32_t>(XGetPixel(image, x, y)) & 0x00FFFFFFu;
    }
    XDestroyImage(image);
    return ok;
}

}  // namespace x11_window
