// The whole program with a test's hand on it, for the end-to-end runs on both hosts:
//   --register-first        registers "HanoisClass" before the program starts, so that the
//                           program's own registration fails;
//   --first-picture FILE    writes the first picture painted into the main window to FILE
//                           (binary PPM), read back from the window as it reached the screen;
//   --describe              (Windows only) does not run the program: finds the running
//                           program's window by class and title and prints its sizes;
//   --show-state            (Windows only) likewise, and prints the window's show state.
// Everything else is the program itself: RuntimeStartup with the program's module.
#include "program/module_tables.h"
#include "platform/win32.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
// Windows: a hook on the UI thread sees the main window's first WM_PAINT return and reads the
// client area back through the window's DC.
#else
#include "platform/display/display.h"
#include "platform/trace.h"
#include "platform/user/window_state.h"
#endif

namespace {

std::string picturePath;

void WritePpm(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (uint32_t p : rgb) {
        unsigned char bytes[3] = {static_cast<unsigned char>(p >> 16),
                                  static_cast<unsigned char>(p >> 8),
                                  static_cast<unsigned char>(p)};
        std::fwrite(bytes, 1, 3, file);
    }
    std::fclose(file);
}

#ifdef _WIN32
HHOOK hook = nullptr;

LRESULT CALLBACK AfterCall(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    char name[64] = "";
    if (code == HC_ACTION && call->message == WM_PAINT && GetClassNameA(call->hwnd, name, 64) &&
        std::strcmp(name, "HanoisClass") == 0 && !picturePath.empty()) {
        RECT client;
        GetClientRect(call->hwnd, &client);
        const int w = client.right, h = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC window = GetDC(call->hwnd);
        HDC memory = CreateCompatibleDC(window);
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, section);
        BitBlt(memory, 0, 0, w, h, window, 0, 0, SRCCOPY);
        std::vector<uint32_t> rgb(static_cast<const uint32_t*>(bits),
                                  static_cast<const uint32_t*>(bits) + w * h);
        for (auto& p : rgb) p &= 0xFFFFFF;
        WritePpm(picturePath, w, h, rgb);
        SelectObject(memory, old);
        DeleteObject(section);
        DeleteDC(memory);
        ReleaseDC(call->hwnd, window);
        picturePath.clear();  // the first picture only
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

void WatchFirstPicture() {
    hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterCall, nullptr, GetCurrentThreadId());
}

int Describe() {
    HWND window = FindWindowA("HanoisClass", "Towers of Hanoi");
    if (!window) {
        std::printf("no window of class HanoisClass titled Towers of Hanoi\n");
        return 1;
    }
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    std::printf("class=HanoisClass title=Towers of Hanoi outer=%ldx%ld client=%ldx%ld\n",
                outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom);
    return 0;
}

int ShowState() {
    HWND window = FindWindowA("HanoisClass", "Towers of Hanoi");
    if (!window) {
        std::printf("no window of class HanoisClass titled Towers of Hanoi\n");
        return 1;
    }
    const char* state = !IsWindowVisible(window) ? "hidden"
                        : IsIconic(window)       ? "minimized"
                        : IsZoomed(window)       ? "maximized"
                                                 : "normal";
    std::printf("shown=%s\n", state);
    return 0;
}
#else
void WatchFirstPicture() {
    // EndPaint is traced after the client pixels reached the screen.
    platform_trace::SetObserver([](const platform_trace::Event& event) {
        if (event.call != "EndPaint" || picturePath.empty()) return;
        for (auto& window : user_state::AllWindows()) {
            if (window->windowClass->name != "HanoisClass") continue;
            std::vector<uint32_t> rgb;
            int w = 0, h = 0;
            if (display::ReadFrame(window->surface, &rgb, &w, &h)) {
                WritePpm(picturePath, w, h, rgb);
                picturePath.clear();
            }
        }
    });
    platform_trace::Enable(true);
}

int Describe() {
    std::printf("--describe: another process's windows are out of reach on this host\n");
    return 2;
}
int ShowState() {
    return Describe();
}
#endif

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--register-first") == 0) {
            WNDCLASSA taken{};
            taken.lpfnWndProc = DefWindowProcA;
            taken.hInstance = GetModuleHandleA(nullptr);
            taken.lpszClassName = "HanoisClass";
            if (!RegisterClassA(&taken)) return 2;
        } else if (std::strcmp(argv[i], "--describe") == 0) {
            return Describe();
        } else if (std::strcmp(argv[i], "--show-state") == 0) {
            return ShowState();
        } else if (std::strcmp(argv[i], "--first-picture") == 0 && i + 1 < argc) {
            picturePath = argv[++i];
            WatchFirstPicture();
        } else {
            std::fprintf(stderr, "usage: %s [--register-first] [--first-picture FILE]\n", argv[0]);
            return 2;
        }
    }
    RuntimeStartup(HanoiProgram());
}
