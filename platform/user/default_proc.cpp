// DefWindowProcA: the default answers that the program relies on (closing, erasing,
// painting) and 0 for everything else.
#include "platform/user/window_state.h"

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(handle);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(handle, WM_CLOSE, 0, 0);
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & (1 << 29)))
                SendMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_ERASEBKGND: {
            auto window = user_state::LookUpWindow(handle);
            if (!window || !window->windowClass->record.hbrBackground || !wParam) return 0;
            RECT all{0, 0, window->client.width, window->client.height};
            FillRect(reinterpret_cast<HDC>(wParam), &all,
                     window->windowClass->record.hbrBackground);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (BeginPaint(handle, &paint)) EndPaint(handle, &paint);
            return 0;
        }
        default:
            return 0;
    }
}
