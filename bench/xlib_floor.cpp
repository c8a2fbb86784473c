// The start-up floor for bench/whole_program.py: the least a Linux program can do to show a
// picture of the window's client size (812 x 473) with plain Xlib: open the display, make
// and map a window, wait for it to be exposed, put one frame with XPutImage and wait until
// the server has it. With HANOI_PLATFORM_TRACE set it writes the moment the frame arrived
// there as a "Present" line, as the program's trace does, then waits to be ended.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned kWidth = 812, kHeight = 473;
constexpr unsigned long kBackground = 0xF5EDCB;  // the scene's background, as 0xRRGGBB

void RecordPresent() {
    const char* path = std::getenv("HANOI_PLATFORM_TRACE");
    if (!path || !*path) return;
    std::FILE* trace = std::fopen(path, "w");
    if (!trace) return;
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    std::fprintf(trace, "%lld.%09ld Present \n", static_cast<long long>(now.tv_sec), now.tv_nsec);
    std::fclose(trace);
}

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xlib_floor: no display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth, kHeight, 0, 0, 0);
    XSelectInput(display, window, ExposureMask);
    XMapWindow(display, window);
    XEvent event;
    do XNextEvent(display, &event);
    while (event.type != Expose);

    std::vector<unsigned> pixels(static_cast<size_t>(kWidth) * kHeight, kBackground);
    XImage* image = XCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(pixels.data()), kWidth, kHeight, 32, 0);
    XPutImage(display, window, DefaultGC(display, screen), image, 0, 0, 0, 0, kWidth, kHeight);
    XSync(display, False);
    RecordPresent();
    image->data = nullptr;  // the vector owns the pixels
    XDestroyImage(image);
    pause();  // until the measuring script ends it
    XCloseDisplay(display);
    return 0;
}
