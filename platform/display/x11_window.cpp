// X11 specifics of the SDL2 backend's windows: the class hint and the input method's compose
// table. Plain Xlib calls on a window SDL made.
#include "platform/display/x11_window.h"

#include "platform/trace.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
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

}  // namespace x11_window
